// 16.16 fixed-point helpers shared by the shape geometry, the tile builders
// and the feather. A value is x × 65536 held in an int32; sums and products
// wrap at 32 bits, as the reproduced geometry requires.
#pragma once

#include <cstdint>

namespace quiltora {

// Four partial products of the 16-bit halves, summed with 32-bit wrap; the low
// product's fraction is truncated (floor of the exact product when it fits).
int32_t FixMul(int32_t a, int32_t b);

// FixMul(a, 0x40000000 / (b >> 2)) with truncating division; meant for b a
// positive whole number (b >> 2 must not be 0).
int32_t FixDiv(int32_t a, int32_t b);

// floor(sqrt(v)) << 8 for v read as a plain integer (a 16.16 root); 0 for v < 0.
int32_t FixSqrt(int32_t v);

// trunc(x × 65536) toward zero, taken as whole part << 16 plus fraction, with 32-bit wrap.
int32_t DoubleToFix(double x);

}  // namespace quiltora
