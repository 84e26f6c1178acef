#include "image/win32/draw_image_buffer.h"

#include <vector>

#include "image/draw_prep.h"

namespace quiltora {

int32_t DrawImageBuffer(HDC dc, const ImageBuffer* buffer, const IntRect* device, const DisplayRect* source) {
  if (dc == nullptr || buffer == nullptr || device == nullptr) return 0;
  DrawPlan plan{};
  if (!PlanImageDrawing(buffer, device, source, &plan)) return 0;
  std::vector<uint8_t> rows;
  int32_t rowBytes = 0;
  if (!DrawingRows(buffer, plan, &rows, &rowBytes)) return 0;

  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = plan.sourceWidth;
  header.biHeight = plan.sourceHeight;  // positive: the first row is the bottom one
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(rows.size());

  int previousMode = SetStretchBltMode(dc, COLORONCOLOR);
  int lines = StretchDIBits(dc, plan.deviceX, plan.deviceY, plan.deviceWidth, plan.deviceHeight, 0, 0, plan.sourceWidth,
                            plan.sourceHeight, rows.data(), reinterpret_cast<const BITMAPINFO*>(&header),
                            DIB_RGB_COLORS, SRCCOPY);
  if (previousMode != 0) SetStretchBltMode(dc, previousMode);
  return lines > 0 && lines != static_cast<int>(GDI_ERROR) ? 1 : 0;
}

}  // namespace quiltora
