#include <cstring>
#include <memory>
#include <new>

#include "common/checked.h"
#include "files/bmp_file.h"

namespace quiltora {
namespace {

constexpr int32_t kHeadersBytes = 14 + 40;
constexpr int32_t kGrayTableEntries = 256;

// The numbers a written file is made of, all checked to fit the header fields.
struct WriteLayout {
  int32_t bitCount = 0;
  int32_t rowDataBytes = 0;  // one row's pixels in memory
  int32_t fileRowBytes = 0;  // padded to 4 bytes
  int32_t imageBytes = 0;
  int32_t tableEntries = 0;
  int32_t rowsOffset = 0;
  int32_t fileBytes = 0;
};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

void Put16(uint8_t* p, uint32_t value) {
  p[0] = uint8_t(value);
  p[1] = uint8_t(value >> 8);
}

void Put32(uint8_t* p, uint32_t value) {
  Put16(p, value);
  Put16(p + 2, value >> 16);
}

bool PlanWrite(int32_t format, int32_t width, int32_t height, int32_t rowBytes, WriteLayout* layout) {
  layout->bitCount = FormatBitsPerPixel(format);
  layout->fileRowBytes = ImageRowBytes(format, width);
  if (layout->bitCount == 0 || width <= 0 || height <= 0 || layout->fileRowBytes < 0) return false;
  layout->rowDataBytes = width * (layout->bitCount / 8);
  if (rowBytes < layout->rowDataBytes) return false;
  layout->tableEntries = format == kFormatGray8 ? kGrayTableEntries : 0;
  layout->rowsOffset = kHeadersBytes + 4 * layout->tableEntries;
  return CheckedMul32(layout->fileRowBytes, height, &layout->imageBytes) &&
         CheckedAdd32(layout->imageBytes, layout->rowsOffset, &layout->fileBytes);
}

bool WriteHeaders(std::FILE* file, const WriteLayout& layout, int32_t width, int32_t height) {
  uint8_t header[kHeadersBytes] = {'B', 'M'};
  Put32(header + 2, uint32_t(layout.fileBytes));
  Put32(header + 10, uint32_t(layout.rowsOffset));
  Put32(header + 14, 40);
  Put32(header + 18, uint32_t(width));
  Put32(header + 22, uint32_t(height));
  Put16(header + 26, 1);
  Put16(header + 28, uint32_t(layout.bitCount));
  Put32(header + 34, uint32_t(layout.imageBytes));
  Put32(header + 46, uint32_t(layout.tableEntries));
  Put32(header + 50, uint32_t(layout.tableEntries));
  if (std::fwrite(header, 1, sizeof header, file) != sizeof header) return false;
  uint8_t table[kGrayTableEntries * 4] = {};
  for (int32_t i = 0; i < layout.tableEntries; ++i) std::memset(table + 4 * i, i, 3);
  const size_t tableBytes = size_t(layout.tableEntries) * 4;
  return std::fwrite(table, 1, tableBytes, file) == tableBytes;
}

// Rows go out bottom row first, as a positive height tells readers to expect.
bool WriteRows(std::FILE* file, const WriteLayout& layout, const uint8_t* pixels, int32_t height,
               int32_t rowBytes) {
  std::unique_ptr<uint8_t[]> row(new (std::nothrow) uint8_t[size_t(layout.fileRowBytes)]());
  if (row == nullptr) return false;
  for (int32_t y = height - 1; y >= 0; --y) {
    std::memcpy(row.get(), pixels + ptrdiff_t{y} * rowBytes, size_t(layout.rowDataBytes));
    if (std::fwrite(row.get(), 1, size_t(layout.fileRowBytes), file) != size_t(layout.fileRowBytes)) return false;
  }
  return true;
}

int32_t WritePixels(const char* path, const uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes,
                    int32_t format) {
  WriteLayout layout;
  if (path == nullptr || pixels == nullptr || !PlanWrite(format, width, height, rowBytes, &layout))
    return kBmpReadError;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "wb"));
  if (file == nullptr) return kBmpReadError;
  bool written = WriteHeaders(file.get(), layout, width, height) &&
                 WriteRows(file.get(), layout, pixels, height, rowBytes);
  written = std::fclose(file.release()) == 0 && written;
  if (!written) std::remove(path);
  return written ? kBmpOk : kBmpReadError;
}

}  // namespace

int32_t WriteBmpFile(const ImageBuffer* buffer, const char* path) {
  if (buffer == nullptr) return kBmpReadError;
  return WritePixels(path, buffer->pixels, buffer->width, buffer->height, buffer->rowBytes, buffer->format);
}

int32_t WriteTileFile(const char* path, const uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes,
                      int32_t pixelMode) {
  const int32_t format = pixelMode == 1 ? kFormatGray8 : pixelMode == 4 ? kFormatFour32 : kFormatBGR24;
  return WritePixels(path, pixels, width, height, rowBytes, format);
}

}  // namespace quiltora
