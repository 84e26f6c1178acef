#include "dialog/pane_pictures.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace quiltora {

bool FitCopy(ImageBuffer* destination, const ImageBuffer* source, int32_t x0, int32_t y0, int32_t partWidth,
             int32_t partHeight) {
  if (destination == nullptr || source == nullptr || destination->format != source->format) return false;
  const int32_t bytes = FormatBitsPerPixel(source->format) / 8;
  if (bytes == 0 || partWidth <= 0 || partHeight <= 0 || destination->width <= 0 || destination->height <= 0)
    return false;
  if (x0 < 0 || y0 < 0 || int64_t(x0) + partWidth > source->width || int64_t(y0) + partHeight > source->height)
    return false;
  const double partAspect = double(partHeight) / partWidth;
  const double destinationAspect = double(destination->height) / destination->width;
  int32_t rows = 0, cols = 0;
  if (destinationAspect > partAspect) {
    cols = destination->width;
    rows = int32_t(destination->width * partAspect);
  } else {
    rows = destination->height;
    cols = int32_t(destination->height / partAspect);
  }
  rows = std::min(rows, destination->height);
  cols = std::min(cols, destination->width);
  for (int32_t i = 0; i < rows; ++i) {
    const int32_t sourceRow = y0 + int32_t(int64_t(i) * partHeight / rows);
    uint8_t* out = ImageBufferPixel(destination, 0, i);
    for (int32_t j = 0; j < cols; ++j) {
      const int32_t sourceColumn = x0 + int32_t(int64_t(j) * partWidth / cols);
      std::memcpy(out + int64_t(j) * bytes, ImageBufferPixel(source, sourceColumn, sourceRow), size_t(bytes));
    }
  }
  return true;
}

void FlipRows(ImageBuffer* buffer) {
  if (buffer == nullptr || buffer->pixels == nullptr || buffer->rowBytes <= 0) return;
  std::vector<uint8_t> spare(size_t(buffer->rowBytes));
  for (int32_t k = 0; k < buffer->height / 2; ++k) {
    uint8_t* top = ImageBufferPixel(buffer, 0, k);
    uint8_t* bottom = ImageBufferPixel(buffer, 0, buffer->height - 1 - k);
    std::memcpy(spare.data(), top, spare.size());
    std::memcpy(top, bottom, spare.size());
    std::memcpy(bottom, spare.data(), spare.size());
  }
}

}  // namespace quiltora
