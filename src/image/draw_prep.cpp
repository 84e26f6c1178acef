#include "image/draw_prep.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "image/ripmem.h"

namespace quiltora {
namespace {

using RowConversion = void (*)(uint8_t* dst, const uint8_t* src, int32_t pixels);

void FromBgr(uint8_t* dst, const uint8_t* src, int32_t pixels) { std::memcpy(dst, src, size_t(pixels) * 3); }

void FromGray(uint8_t* dst, const uint8_t* src, int32_t pixels) {
  for (int32_t x = 0; x < pixels; ++x, dst += 3) dst[0] = dst[1] = dst[2] = src[x];
}

uint8_t Ink(int32_t a, int32_t b) { return a + b >= 255 ? 0 : static_cast<uint8_t>(255 - (a + b)); }

void FromCmyk(uint8_t* dst, const uint8_t* src, int32_t pixels) {
  for (int32_t x = 0; x < pixels; ++x, dst += 3, src += 4) {
    dst[0] = Ink(src[2], src[3]);
    dst[1] = Ink(src[1], src[3]);
    dst[2] = Ink(src[0], src[3]);
  }
}

RowConversion ConversionFor(int32_t format) {
  switch (format) {
    case kFormatBGR24: return FromBgr;
    case kFormatGray8: return FromGray;
    case kFormatFour32: return FromCmyk;
    default: return nullptr;
  }
}

// The part [start, start + size) of one axis that lies in [0, limit), and
// where its ends fall on the device axis of `deviceSize` pixels. reversed:
// the axis runs the other way on the device.
bool ClipAxis(int64_t start, int64_t size, int64_t limit, int64_t deviceSize, bool reversed, int32_t* clipStart,
              int32_t* clipSize, int32_t* deviceStart, int32_t* deviceEnd) {
  int64_t first = std::max<int64_t>(start, 0);
  int64_t end = std::min<int64_t>(start + size, limit);
  if (first >= end) return false;
  int64_t near = reversed ? start + size - end : first - start;
  int64_t far = reversed ? start + size - first : end - start;
  *clipStart = static_cast<int32_t>(first);
  *clipSize = static_cast<int32_t>(end - first);
  *deviceStart = static_cast<int32_t>(near * deviceSize / size);
  *deviceEnd = static_cast<int32_t>(far * deviceSize / size);
  return *deviceEnd > *deviceStart;
}

}  // namespace

bool PlanImageDrawing(const ImageBuffer* buffer, const IntRect* device, const DisplayRect* source, DrawPlan* plan) {
  if (buffer == nullptr || device == nullptr) return false;
  int64_t deviceWidth = int64_t(device->right) - device->left + 1;
  int64_t deviceHeight = int64_t(device->bottom) - device->top + 1;
  if (deviceWidth < 1 || deviceHeight < 1 || deviceWidth > INT32_MAX || deviceHeight > INT32_MAX) return false;
  DisplayRect whole{0, buffer->height - 1, buffer->width - 1, 0};
  const DisplayRect& s = source != nullptr ? *source : whole;
  int64_t sourceWidth = int64_t(s.right) - s.left + 1;
  int64_t sourceHeight = int64_t(s.bottom) - s.top + 1;
  if (sourceWidth < 1 || sourceHeight < 1 || sourceWidth > buffer->width || sourceHeight > buffer->height) {
    ReportAssertion("ripdisp", __LINE__);
    return false;
  }
  int32_t left = 0, right = 0, top = 0, bottom = 0;
  if (!ClipAxis(s.left, sourceWidth, buffer->width, deviceWidth, false, &plan->sourceX, &plan->sourceWidth, &left,
                &right) ||
      !ClipAxis(s.top, sourceHeight, buffer->height, deviceHeight, true, &plan->sourceY, &plan->sourceHeight, &top,
                &bottom))
    return false;
  plan->deviceX = device->left + left;
  plan->deviceY = device->top + top;
  plan->deviceWidth = right - left;
  plan->deviceHeight = bottom - top;
  return true;
}

bool DrawingRows(const ImageBuffer* buffer, const DrawPlan& plan, std::vector<uint8_t>* rows, int32_t* rowBytes) {
  RowConversion convert = ConversionFor(buffer->format);
  if (convert == nullptr || buffer->pixels == nullptr) return false;
  int32_t stride = ((plan.sourceWidth * 3) + 3) & ~3;
  try {
    rows->assign(size_t(stride) * size_t(plan.sourceHeight), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int32_t r = 0; r < plan.sourceHeight; ++r)
    convert(rows->data() + size_t(r) * size_t(stride), ImageBufferPixel(buffer, plan.sourceX, plan.sourceY + r),
            plan.sourceWidth);
  *rowBytes = stride;
  return true;
}

}  // namespace quiltora
