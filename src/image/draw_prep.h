// The portable half of drawing a picture buffer into a window: which device
// rectangle shows which buffer pixels, and the buffer's pixels as the 24-bit
// rows the system's stretch routine takes.
#pragma once

#include <cstdint>
#include <vector>

#include "abi/parameter_block.h"  // IntRect, IntPoint
#include "image/display.h"
#include "image/image_buffer.h"

namespace quiltora {

// The device area to fill (right and bottom exclusive) and the buffer pixels
// that fill it. The buffer is shown bottom row first: buffer row sourceY is
// the lowest row of the device area.
struct DrawPlan {
  int32_t deviceX, deviceY, deviceWidth, deviceHeight;
  int32_t sourceX, sourceY, sourceWidth, sourceHeight;
};

// Stretches `source` (the whole buffer when null) onto the inclusive device
// rectangle, clipped to the buffer in whole buffer pixels: the device area
// shrinks with the clipped source so that the scale stays the same. False when
// nothing is left; a source smaller than one pixel or larger than the buffer
// is reported as a broken invariant.
bool PlanImageDrawing(const ImageBuffer* buffer, const IntRect* device, const DisplayRect* source, DrawPlan* plan);

// The plan's buffer pixels as blue-green-red rows padded to 4 bytes, buffer
// row sourceY first. Gray is repeated into three bytes; four channels are CMYK
// ink: blue = 255 - (Y + K), green = 255 - (M + K), red = 255 - (C + K), 0
// where the sum reaches 255. False for an unknown format or when memory is short.
bool DrawingRows(const ImageBuffer* buffer, const DrawPlan& plan, std::vector<uint8_t>* rows, int32_t* rowBytes);

}  // namespace quiltora
