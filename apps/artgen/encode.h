// The file formats the resource compiler takes: BMP files for bitmaps and
// CUR files for cursors, byte for byte the same on every run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"

namespace artgen {

using Bytes = std::vector<uint8_t>;

// 24 bits per pixel, bottom row first; the picture is taken as opaque.
Bytes EncodeBmp24(const Canvas& picture);

// One bit per pixel with the colour table black, white; bits[y * width + x]
// true means white.
Bytes EncodeBmp1(const std::vector<bool>& bits, int32_t width, int32_t height);

// A cursor file holding the picture twice at its own size: black and white
// with a mask (pixels of alpha 128 and more are shown, dark ones black) for
// displays without colour cursors, and 32 bits with alpha for the rest.
Bytes EncodeCursor(const Canvas& picture, int32_t hotspotX, int32_t hotspotY);

// A PNG file of the picture, for looking at it.
Bytes EncodePng(const Canvas& picture);

}  // namespace artgen
