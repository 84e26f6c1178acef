// Pixel layouts of the tile builders and the row kernels that copy between
// them. A layout is chosen once per build; the kernels run one tight loop per
// call, never a per-pixel choice.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/pixels.h"

namespace quiltora {

// How a builder steps through source and tile pixels. channels bytes are
// copied per pixel (1, 3 or 4, by the tile's mode); a mode-10 pixel's first
// byte is stepped over, so its skip is 1 and the tile keeps that byte.
struct PixelLayout {
  int32_t channels;
  int32_t sourceStep;  // bytes from one source pixel to the next
  int32_t sourceSkip;  // bytes before the first channel of a source pixel
  int32_t tileStep;
  int32_t tileSkip;
};

// The layout for a source of sourceMode and a tile of tileMode. Other pairings
// than equal modes or 3/10 give byte-wise copies of the tile's channel count.
PixelLayout MakePixelLayout(int16_t sourceMode, int16_t tileMode);

// True when source and tile pixels are the same bytes, so a run of pixels is
// one block copy.
inline bool IsPlainCopy(const PixelLayout& layout) {
  return layout.sourceStep == layout.channels && layout.tileStep == layout.channels &&
         layout.sourceSkip == 0 && layout.tileSkip == 0;
}

// Copies count pixels, reading at source (a pixel's first byte) and moving
// sourceStride bytes per pixel, writing channels bytes at destination and
// moving destinationStride bytes per pixel. Strides may be negative (a
// mirrored run) or a whole row (a column). Pointers address the first
// channel byte: any skip is already added.
void CopyPixelRun(const uint8_t* source, int64_t sourceStride, uint8_t* destination,
                  int64_t destinationStride, int32_t count, int32_t channels);

// Source row → tile row, left to right, count pixels; both pointers at the
// first pixel (before any skip).
void CopyRowForward(const uint8_t* source, uint8_t* tile, int32_t count,
                    const PixelLayout& layout);

// Source pixels left to right → tile pixels right to left: tileLast is the
// tile pixel that receives the first source pixel.
void CopyRowMirrored(const uint8_t* source, uint8_t* tileLast, int32_t count,
                     const PixelLayout& layout);

// Asks the processor to start bringing bytes into the cache; reads nothing.
inline void PrefetchBytes(const uint8_t* bytes, size_t count) {
#if defined(__GNUC__) || defined(__clang__)
  for (size_t offset = 0; offset < count; offset += 64) __builtin_prefetch(bytes + offset);
#else
  (void)bytes;
  (void)count;
#endif
}

// Transposes a rows × columns block of pixels of bytesPerPixel bytes: pixel
// (i, j) of from goes to (j, i) of to. Works in small squares, so that both
// sides stay in the cache.
void TransposePixels(const uint8_t* from, int32_t fromRowBytes, uint8_t* to, int32_t toRowBytes, int32_t rows,
                     int32_t columns, int32_t bytesPerPixel);

}  // namespace quiltora
