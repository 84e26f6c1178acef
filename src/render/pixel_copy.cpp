#include "render/pixel_copy.h"

#include <cstring>

namespace quiltora {

namespace {

template <int kChannels>
void CopyRun(const uint8_t* source, int64_t sourceStride, uint8_t* destination,
             int64_t destinationStride, int32_t count) {
  for (int32_t k = 0; k < count; ++k) {
    std::memcpy(destination, source, kChannels);
    source += sourceStride;
    destination += destinationStride;
  }
}

// A mirrored run of equal pixels in whole words: four 3-byte pixels at a time
// are read as three words and written back in reverse pixel order.
void CopyMirroredRgb(const uint8_t* source, uint8_t* tileLast, int32_t count) {
  uint8_t* out = tileLast;
  int32_t k = 0;
  for (; k + 4 <= count; k += 4) {
    uint8_t block[12];
    std::memcpy(block, source, 12);
    uint8_t reversed[12] = {block[9], block[10], block[11], block[6], block[7], block[8],
                            block[3], block[4],  block[5],  block[0], block[1], block[2]};
    std::memcpy(out - 9, reversed, 12);
    source += 12;
    out -= 12;
  }
  CopyRun<3>(source, 3, out, -3, count - k);
}

}  // namespace

PixelLayout MakePixelLayout(int16_t sourceMode, int16_t tileMode) {
  PixelLayout layout{};
  layout.channels = tileMode == 10 ? 3 : BytesPerPixel(tileMode);
  layout.sourceStep = BytesPerPixel(sourceMode);
  layout.sourceSkip = sourceMode == 10 ? 1 : 0;
  layout.tileStep = BytesPerPixel(tileMode);
  layout.tileSkip = tileMode == 10 ? 1 : 0;
  return layout;
}

void CopyPixelRun(const uint8_t* source, int64_t sourceStride, uint8_t* destination,
                  int64_t destinationStride, int32_t count, int32_t channels) {
  switch (channels) {
    case 1: CopyRun<1>(source, sourceStride, destination, destinationStride, count); break;
    case 3: CopyRun<3>(source, sourceStride, destination, destinationStride, count); break;
    case 4: CopyRun<4>(source, sourceStride, destination, destinationStride, count); break;
    default: break;
  }
}

void CopyRowForward(const uint8_t* source, uint8_t* tile, int32_t count,
                    const PixelLayout& layout) {
  if (count <= 0) return;
  if (IsPlainCopy(layout)) {
    std::memcpy(tile, source, static_cast<size_t>(count) * static_cast<size_t>(layout.channels));
    return;
  }
  CopyPixelRun(source + layout.sourceSkip, layout.sourceStep, tile + layout.tileSkip,
               layout.tileStep, count, layout.channels);
}

void CopyRowMirrored(const uint8_t* source, uint8_t* tileLast, int32_t count,
                     const PixelLayout& layout) {
  if (count <= 0) return;
  if (IsPlainCopy(layout) && layout.channels == 3) {
    CopyMirroredRgb(source, tileLast, count);
    return;
  }
  CopyPixelRun(source + layout.sourceSkip, layout.sourceStep, tileLast + layout.tileSkip,
               -static_cast<int64_t>(layout.tileStep), count, layout.channels);
}

}  // namespace quiltora
