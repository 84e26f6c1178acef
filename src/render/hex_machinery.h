// The machinery of the hexagonal tile builders: affine maps in 16.16 fixed
// point, spans between boundaries that move once per row in f64, and the
// bilinear blend of source pixels. Nothing here uses floating point per pixel.
#pragma once

#include <algorithm>
#include <cstdint>

#include "common/integer.h"

namespace quiltora {

// v << 16 with 32-bit wrap.
inline int32_t ToFix(int32_t v) {
  return static_cast<int32_t>(static_cast<uint32_t>(v) << 16);
}

// Bit for bit the shared FixMul: floor(a × b / 65536) wrapped to 32 bits,
// inline for the per-pixel blend.
inline int32_t FixMulInline(int32_t a, int32_t b) {
  return static_cast<int32_t>(
      static_cast<uint32_t>(static_cast<uint64_t>((static_cast<int64_t>(a) * b) >> 16)));
}

// trunc(t) when t > 0, otherwise trunc(t) − 1 (a whole t ≤ 0 gives t − 1).
int32_t SpanEnd(double t);

// Blends channels bytes of the pixel at p with its right, lower and
// lower-right neighbours by the 16.16 fractions fx, fy (each in [0, 65536)):
// per channel top = (c00 << 16) + FixMul(fx, (c10 − c00) << 16), bottom the
// same one row down, result (top + FixMul(fy, bottom − top) + 0x8000) >> 16.
void BilinearSample(const uint8_t* p, int32_t pixelStep, int32_t rowBytes, int32_t fx,
                    int32_t fy, int32_t channels, uint8_t* out);

// The source position of block position (X, Y): sx = FixMul(a, X) +
// FixMul(b, Y) + e, sy = FixMul(c, X) + FixMul(d, Y) + f, all 16.16.
struct AffineMap {
  int32_t a, b, c, d, e, f;
};

// Where a sample's fraction is taken: from the unclamped position (members
// 13, 14, 17) or from the position after clamping (15, 16).
enum class FractionRule { kBeforeClamp, kAfterClamp };

// The source as the samplers see it. origin addresses the first channel byte
// of the shape's origin pixel. Integer sample positions are clamped to
// [0, maxX] × [0, maxY]; a sample on the last column or row is copied, any
// other is blended with its right and lower neighbours.
struct HexSource {
  const uint8_t* origin;
  int32_t rowBytes;
  int32_t pixelStep;
  int32_t channels;
  int32_t maxX;
  int32_t maxY;
  FractionRule rule;
};

// One block row being computed: out addresses the first channel byte of the
// tile pixel that receives block pixel (row, 0); tileStep is the tile's bytes
// per pixel. Maps are evaluated at pixel indices or at pixel centres.
struct BlockRow {
  uint8_t* out;
  int32_t tileStep;
  int32_t row;
  bool atCentres;
};

// Samples block pixels xs..xe of the row through map: the map is evaluated
// at xe and xs, and the position steps by (sx(xe) − sx(xs)) / (xe − xs) per
// pixel in 16.16.
void SampleSpan(const HexSource& source, const AffineMap& map, const BlockRow& row, int32_t xs,
                int32_t xe);

// Copies source (row, xs..xe) to block (row, xs..xe); with clampToSource the
// row and columns are held inside [0, maxY] and [0, maxX].
void CopyDirectSpan(const HexSource& source, const BlockRow& row, int32_t xs, int32_t xe,
                    bool clampToSource);

// Calls render(k, first, last) for the spans of one block row in order: span
// k ends at ends[k] (the last one at blockWidth − 1) and the next starts one
// column after that end, the first at column 0; empty spans are skipped and
// every span is kept inside the block.
template <typename Render>
void ForEachSpan(const int32_t* ends, int count, int32_t blockWidth, Render&& render) {
  int32_t first = 0;
  for (int k = 0; k < count; ++k) {
    const int32_t last = k + 1 == count ? blockWidth - 1 : std::clamp(ends[k], -1, blockWidth - 1);
    if (last >= first) render(k, first, last);
    first = std::max(last + 1, 0);
  }
}

}  // namespace quiltora
