// Windows bitmap files: a picture loaded as tile source, and the tile saved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "image/image_buffer.h"

namespace quiltora {

// Results of reading and writing. Each failure has its own message (ShowFileMessage).
enum BmpResult : int32_t {
  kBmpOk = 0,
  kBmpNotValid = 2,   // not a bitmap, unreadable or contradictory header, compressed, unsupported depth
  kBmpReadError = 3,  // colour table or rows missing; for writing: the file cannot be created or written
  kBmpOpenError = 4,  // the file cannot be opened
  kBmpLowMemory = 5,  // no memory for the picture, or more than kMaxBmpPixels pixels
};

// Largest picture the reader takes: 64 Mi pixels (192 MiB as 24-bit rows),
// e.g. 8192 × 8192, and at most 32767 pixels on a side, so that the run's
// 16-bit source rectangles hold it. Anything larger is refused with
// kBmpLowMemory before any allocation.
constexpr int64_t kMaxBmpPixels = int64_t{1} << 26;
constexpr int32_t kMaxBmpSide = 32767;

// Reads an uncompressed 1-, 4-, 8- or 24-bit bitmap (12-byte, 40-byte or
// longer header, rows stored bottom-up or top-down) into a new 24-bit buffer,
// blue-green-red, top row first. On kBmpOk *picture owns the new buffer
// (release with ImageBufferRelease); otherwise it is null.
int32_t ReadBmpFile(const char* path, ImageBuffer** picture);

// The same for a path kept in a fixed-size field that may lack its terminator
// (a settings record handed back by a host): no terminator within
// fieldSize bytes gives kBmpOpenError.
int32_t ReadBmpFile(const char* pathField, size_t fieldSize, ImageBuffer** picture);

// The same from an open stream positioned anywhere; the stream is read from
// its start and left open. Codes as above except kBmpOpenError.
int32_t ReadBmpStream(std::FILE* file, ImageBuffer** picture);

// Writes a 24-bit, 32-bit or 8-bit buffer as a bitmap file: 40-byte header,
// positive height (rows stored bottom row first, so the picture stays upright),
// a gray colour table for 8-bit buffers. kBmpOk, or kBmpReadError when the
// file cannot be created or written (a partial file is removed).
int32_t WriteBmpFile(const ImageBuffer* buffer, const char* path);

// Writes a tile's pixels: pixel mode 1 as 8-bit gray, 4 as 32-bit, anything
// else as 24-bit (three bytes per pixel written as they are, i.e. blue, green,
// red). rowBytes is the distance between rows in memory, top row first; it
// must hold at least width pixels. Results as WriteBmpFile; a size that does
// not fit gives kBmpReadError.
int32_t WriteTileFile(const char* path, const uint8_t* pixels, int32_t width, int32_t height,
                      int32_t rowBytes, int32_t pixelMode);

}  // namespace quiltora
