// 16.16 fixed-point helpers shared by the shape geometry, the tile builders
// and the feather. A value is x × 65536 held in an int32; sums and products
// wrap at 32 bits, as the reproduced geometry requires.
#pragma once

#include <cstdint>

#include "common/integer.h"

namespace quiltora {

// Four partial products of the 16-bit halves, summed with 32-bit wrap; the low
// product's fraction is truncated (floor of the exact product when it fits).
int32_t FixMul(int32_t a, int32_t b);

// FixMul(a, 0x40000000 / (b >> 2)) with truncating division; meant for b a
// positive whole number (b >> 2 must not be 0).
int32_t FixDiv(int32_t a, int32_t b);

// floor(sqrt(v)) << 8 for v read as a plain integer (a 16.16 root); 0 for v < 0.
int32_t FixSqrt(int32_t v);

// v << 16 with 32-bit wrap: a whole number as 16.16.
inline int32_t IntToFix(int32_t v) {
  const uint32_t bits = static_cast<uint32_t>(v) << 16;
  return bits <= 0x7FFFFFFFu ? static_cast<int32_t>(bits) : -static_cast<int32_t>(~bits) - 1;
}

// v >> 16 as an arithmetic shift: the whole part of a 16.16 value, rounded down.
inline int32_t FixToInt(int32_t v) { return v >= 0 ? v / 65536 : -((-(v + 1)) / 65536) - 1; }

// trunc(x × 65536) toward zero, taken as whole part << 16 plus fraction, with 32-bit wrap.
int32_t DoubleToFix(double x);

}  // namespace quiltora
