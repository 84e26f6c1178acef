// Drawing a picture buffer into a device context.
#pragma once

#include <windows.h>

#include <cstdint>

#include "abi/parameter_block.h"  // IntRect, IntPoint
#include "image/display.h"
#include "image/image_buffer.h"

namespace quiltora {

// Stretches `source` of the buffer (the whole buffer when null) onto the
// inclusive device rectangle, the buffer's first row at the bottom, dropping
// eliminated rows and columns. 24-bit, 8-bit gray and 32-bit four-channel
// (CMYK) buffers are drawn as colour. 1 when something was drawn, else 0.
int32_t DrawImageBuffer(HDC dc, const ImageBuffer* buffer, const IntRect* device, const DisplayRect* source);

}  // namespace quiltora
