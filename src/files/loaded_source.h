// A loaded picture (24-bit, blue-green-red) brought into the pixel layout of
// the host image, so that the tile builders get source and tile of one mode.
//
// Layouts by image mode:
//   1 (gray): one byte, (3 × red + 6 × green + blue) / 10, as ImageBufferCopyRect
//     turns 24-bit into gray; buffer format 5.
//   3 (RGB): three bytes red, green, blue, the host's order; buffer format 1
//     (the format gives the size only: the bytes are not in its blue-green-red order).
//   4 (CMYK): four bytes of ink, 0 = none: cyan = 255 - red, magenta = 255 - green,
//     yellow = 255 - blue, black = 0; buffer format 3. The run inverts every tile
//     byte after building from a loaded picture, which turns these into the host's
//     stored-inverted CMYK: the bytes (red, green, blue, 255). The first three then
//     read as the picture's own red, green and blue, as the hue, saturation, colour
//     and luminosity blends take them, and the fourth says "no black ink".
#pragma once

#include <cstdint>

#include "abi/parameter_block.h"
#include "image/image_buffer.h"

namespace quiltora {

// Buffer format of a converted picture for an image mode; 0 for other modes.
int32_t LoadedSourceFormat(int32_t imageMode);

// The whole picture in the layout of imageMode. Null for a picture that is
// not a non-empty 24-bit buffer, another mode, or when memory is short.
ImageBuffer* ConvertLoadedSource(const ImageBuffer* picture, int32_t imageMode);

// The bordered source copy of a tile build: area (in picture pixels) in the
// layout of imageMode, with a one-pixel frame, so the area's pixel (left, top)
// lands at (1, 1) of a (width + 2) × (height + 2) buffer. The frame, and any
// part of the area beyond the picture, repeats the nearest picture pixel, so
// builders that read one pixel past the area see the picture's edge. Null as
// for ConvertLoadedSource, and for an empty area or one more than two pixels
// wider or higher than the picture.
ImageBuffer* CopyLoadedSourceArea(const ImageBuffer* picture, const IntRect& area, int32_t imageMode);

}  // namespace quiltora
