// Pictures in memory: the reduced preview, a loaded BMP file, the panes'
// copies, the bordered source copy. Rows are padded to 4 bytes, top row first.
#pragma once

#include <cstdint>
#include <memory>

#include "common/object_table.h"

namespace quiltora {

enum ImageFormat : int32_t {
  kFormatBGR24 = 1,   // blue, green, red
  kFormatFour32 = 3,  // four 8-bit channels
  kFormatGray8 = 5,
};

struct ImageBuffer {
  int32_t format;
  int32_t width;
  int32_t height;
  int32_t planes;
  int32_t bitsPerPixel;
  int32_t rowBytes;
  int32_t imageBytes;
  uint8_t* pixels;
  void* extra;
  int32_t reserved;
};

// The buffer format that holds pixels of a host image mode: gray (1) in 8-bit
// gray, RGB (3) in 24-bit, CMYK (4) in 32-bit; 0 for any other mode.
int32_t ImageFormatOfMode(int32_t imageMode);

// Bits per pixel of a format; 0 for an unknown one.
int32_t FormatBitsPerPixel(int32_t format);

// Row length of a buffer: whole bytes, rounded up to a multiple of 4; -1 when
// the size is negative or does not fit in int32.
int32_t ImageRowBytes(int32_t format, int32_t width);

// A new buffer with its pixels directly after the header, not cleared; null
// for a negative or oversized size or when memory is short.
ImageBuffer* ImageBufferCreate(int32_t format, int32_t width, int32_t height);

// A header describing pixels owned by someone else.
ImageBuffer* ImageBufferWrap(int32_t format, int32_t width, int32_t height, uint8_t* pixels);

// Releases the buffer (and its extra allocation); 0 for null, else 1.
int32_t ImageBufferRelease(ImageBuffer* buffer);

// Releases a buffer when its owner goes.
struct ImageBufferDeleter {
  void operator()(ImageBuffer* buffer) const { ImageBufferRelease(buffer); }
};
using ImageBufferPtr = std::unique_ptr<ImageBuffer, ImageBufferDeleter>;

// A byte copy of the buffer; null for null or when memory is short.
ImageBuffer* ImageBufferDuplicate(const ImageBuffer* buffer);

// Address of pixel (x, y); no bounds check.
uint8_t* ImageBufferPixel(const ImageBuffer* buffer, int32_t x, int32_t y);

// Copies the rectangle (sx, sy, sw × sh) of src to (dx, dy) of dst, both
// clipped to their buffers, converting by the pair of formats (24↔24, 8↔8,
// 32↔32, 24→8 gray, 8→24). Only mode 1 (copy) is carried out. Returns 1 when
// pixels were copied, 0 otherwise. The context is not used.
int32_t ImageBufferCopyRect(const void* context, ImageBuffer* dst, int32_t dx, int32_t dy, int32_t dw,
                            int32_t dh, const ImageBuffer* src, int32_t sx, int32_t sy, int32_t sw,
                            int32_t sh, int32_t mode);

// Releases the buffer behind a settings-record reference when this load of
// the module owns it, and clears the reference either way.
void ReleaseImageRef(ObjectRef* ref);

}  // namespace quiltora
