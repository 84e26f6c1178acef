// The module's pixel modes: how the tile, the work images and the rows the
// compositors read lay out one pixel.
#pragma once

#include <cstdint>

namespace quiltora {

enum PixelMode : int16_t {
  kPixelGray = 1,
  kPixelThree = 3,
  kPixelFour = 4,
  kPixelSkipFirst = 10,  // four bytes, the first one unused
};

// 1, 3, 4 and 4 bytes for pixel modes 1, 3, 4 and 10; 0 for any other mode.
constexpr int16_t BytesPerPixel(int32_t pixelMode) {
  switch (pixelMode) {
    case kPixelGray: return 1;
    case kPixelThree: return 3;
    case kPixelFour:
    case kPixelSkipFirst: return 4;
    default: return 0;
  }
}

}  // namespace quiltora
