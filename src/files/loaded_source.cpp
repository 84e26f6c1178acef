#include "files/loaded_source.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace quiltora {
namespace {

using RowConverter = void (*)(uint8_t* dst, const uint8_t* bgr, int64_t pixels);

void BgrToGray(uint8_t* dst, const uint8_t* bgr, int64_t pixels) {
  for (int64_t x = 0; x < pixels; ++x, bgr += 3) dst[x] = uint8_t((3 * bgr[2] + 6 * bgr[1] + bgr[0]) / 10);
}

void BgrToRgb(uint8_t* dst, const uint8_t* bgr, int64_t pixels) {
  for (int64_t x = 0; x < pixels; ++x, bgr += 3, dst += 3) {
    dst[0] = bgr[2];
    dst[1] = bgr[1];
    dst[2] = bgr[0];
  }
}

void BgrToInk(uint8_t* dst, const uint8_t* bgr, int64_t pixels) {
  for (int64_t x = 0; x < pixels; ++x, bgr += 3, dst += 4) {
    dst[0] = uint8_t(255 - bgr[2]);
    dst[1] = uint8_t(255 - bgr[1]);
    dst[2] = uint8_t(255 - bgr[0]);
    dst[3] = 0;
  }
}

RowConverter ChooseConverter(int32_t imageMode) {
  switch (imageMode) {
    case 1: return BgrToGray;
    case 3: return BgrToRgb;
    case 4: return BgrToInk;
    default: return nullptr;
  }
}

// The part of the picture a converted buffer shows: its top-left corner in
// picture pixels (possibly outside the picture) and its size.
struct Window {
  int64_t left, top;
  int32_t width, height;
};

// Fills one converted row whose column 0 is picture column window.left;
// columns beyond the picture repeat its first or last pixel.
void FillRow(uint8_t* dst, const uint8_t* pictureRow, int32_t pictureWidth, const Window& window,
             RowConverter convert, int32_t bytesPerPixel) {
  int64_t first = std::clamp<int64_t>(-window.left, 0, window.width);
  int64_t end = std::clamp<int64_t>(pictureWidth - window.left, 0, window.width);
  if (first < end) {
    convert(dst + first * bytesPerPixel, pictureRow + (window.left + first) * 3, end - first);
  } else {
    convert(dst, pictureRow + (window.left < 0 ? 0 : int64_t{pictureWidth - 1}) * 3, 1);
    first = 0;
    end = 1;
  }
  for (int64_t x = 0; x < first; ++x)
    std::memcpy(dst + x * bytesPerPixel, dst + first * bytesPerPixel, size_t(bytesPerPixel));
  for (int64_t x = end; x < window.width; ++x)
    std::memcpy(dst + x * bytesPerPixel, dst + (end - 1) * bytesPerPixel, size_t(bytesPerPixel));
}

bool IsPicture(const ImageBuffer* picture) {
  return picture != nullptr && picture->format == kFormatBGR24 && picture->width > 0 && picture->height > 0;
}

ImageBuffer* MakeConverted(const ImageBuffer* picture, const Window& window, int32_t imageMode) {
  const RowConverter convert = ChooseConverter(imageMode);
  if (!IsPicture(picture) || convert == nullptr) return nullptr;
  ImageBuffer* converted = ImageBufferCreate(LoadedSourceFormat(imageMode), window.width, window.height);
  if (converted == nullptr) return nullptr;
  const int32_t bytesPerPixel = converted->bitsPerPixel / 8;
  const int32_t usedBytes = window.width * bytesPerPixel;
  for (int32_t y = 0; y < window.height; ++y) {
    const int64_t pictureY = std::clamp<int64_t>(window.top + y, 0, picture->height - 1);
    uint8_t* row = ImageBufferPixel(converted, 0, y);
    FillRow(row, ImageBufferPixel(picture, 0, int32_t(pictureY)), picture->width, window, convert, bytesPerPixel);
    std::memset(row + usedBytes, 0, size_t(converted->rowBytes - usedBytes));
  }
  return converted;
}

}  // namespace

int32_t LoadedSourceFormat(int32_t imageMode) { return ImageFormatOfMode(imageMode); }

ImageBuffer* ConvertLoadedSource(const ImageBuffer* picture, int32_t imageMode) {
  if (!IsPicture(picture)) return nullptr;
  return MakeConverted(picture, Window{0, 0, picture->width, picture->height}, imageMode);
}

ImageBuffer* CopyLoadedSourceArea(const ImageBuffer* picture, const IntRect& area, int32_t imageMode) {
  if (!IsPicture(picture)) return nullptr;
  const int64_t width = int64_t{area.right} - area.left;
  const int64_t height = int64_t{area.bottom} - area.top;
  if (width <= 0 || height <= 0 || width > int64_t{picture->width} + 2 || height > int64_t{picture->height} + 2)
    return nullptr;
  if (width + 2 > INT32_MAX || height + 2 > INT32_MAX) return nullptr;
  const Window window{int64_t{area.left} - 1, int64_t{area.top} - 1, int32_t(width + 2), int32_t(height + 2)};
  return MakeConverted(picture, window, imageMode);
}

}  // namespace quiltora
