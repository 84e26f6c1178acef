// The colour model of the Hue, Saturation, Color and Luminosity blend modes,
// in integers only: luminosity weights of 256ths and 65536ths, truncating
// divisions, channels that may leave 0..255 until Clip brings them back.
#pragma once

#include <cstdint>

// The colour model is small enough to inline into every pixel loop, which
// the compilers' own budget does not always do for the routines with opacity.
#define QUILTORA_ALWAYS_INLINE [[gnu::always_inline]]

namespace quiltora {

struct Rgb {
  int32_t r, g, b;
};

// Luminosity weights: 256ths and 16.16, each summing to one.
constexpr int32_t kWeightR8 = 77, kWeightG8 = 151, kWeightB8 = 28;
constexpr int32_t kWeightR16 = 19661, kWeightG16 = 38666, kWeightB16 = 7209;

// (77 R + 151 G + 28 B) >> 8, an arithmetic shift.
inline int32_t Lum(const Rgb& c) { return (kWeightR8 * c.r + kWeightG8 * c.g + kWeightB8 * c.b) >> 8; }

// (77 R + 151 G + 28 B + 128) >> 8: the form Hue and Saturation use throughout.
inline int32_t LumRounded(const Rgb& c) {
  return (kWeightR8 * c.r + kWeightG8 * c.g + kWeightB8 * c.b + 128) >> 8;
}

inline int32_t Sat(const Rgb& c) {
  int32_t hi = c.r > c.g ? c.r : c.g;
  int32_t lo = c.r < c.g ? c.r : c.g;
  if (c.b > hi) hi = c.b;
  if (c.b < lo) lo = c.b;
  return hi - lo;
}

namespace colour_detail {

// ceil(2^32 / d) for d = 1..255.
struct Reciprocals {
  uint64_t of[256];
};
constexpr Reciprocals MakeReciprocals() {
  Reciprocals table{};
  for (uint64_t d = 1; d < 256; ++d) table.of[d] = ((uint64_t{1} << 32) + d - 1) / d;
  return table;
}
inline constexpr Reciprocals kReciprocals = MakeReciprocals();

// ((mid - lo) × 256) / (hi - lo) for lo <= mid <= hi, lo < hi. With a spread of
// at most 255 the quotient comes from a reciprocal: for n < 2^16 and d < 2^8
// the error of ceil(2^32 / d) stays below 1 / d, so the floor is exact.
inline int32_t Proportion(int32_t lo, int32_t mid, int32_t hi) {
  const int32_t numerator = (mid - lo) * 256;
  const int32_t spread = hi - lo;
  if (spread > 255) return numerator / spread;
  return static_cast<int32_t>((static_cast<uint64_t>(numerator) * kReciprocals.of[spread]) >> 32);
}

constexpr int32_t kWeight8[3] = {kWeightR8, kWeightG8, kWeightB8};
constexpr int32_t kWeight16[3] = {kWeightR16, kWeightG16, kWeightB16};

// Channel indices (0 = R, 1 = G, 2 = B) from the smallest to the largest.
struct Order {
  uint8_t lo, mid, hi;
  bool gray;  // all three channels equal
};

// The order of the decision tree both SetSat and Clip use, as a function of
// the six comparisons it may ask. Looking it up instead of branching keeps the
// pixel loops free of unpredictable jumps.
constexpr Order OrderFromComparisons(int bits) {
  const bool rLessG = bits & 1, gLessB = bits & 2, bLessR = bits & 4;
  const bool rLessB = bits & 8, bLessG = bits & 16, rNotG = bits & 32;
  if (rLessG) {
    if (gLessB) return {0, 1, 2, false};
    if (bLessR) return {2, 0, 1, false};
    return {0, 2, 1, false};
  }
  if (rLessB) return {1, 0, 2, false};
  if (bLessG) return {2, 1, 0, false};
  if (rNotG) return {1, 2, 0, false};
  return {0, 0, 0, true};
}

struct OrderTable {
  Order of[64];
};
constexpr OrderTable MakeOrderTable() {
  OrderTable table{};
  for (int bits = 0; bits < 64; ++bits) table.of[bits] = OrderFromComparisons(bits);
  return table;
}
inline constexpr OrderTable kOrders = MakeOrderTable();

inline Order OrderOf(const int32_t v[3]) {
  const int bits = (v[0] < v[1]) | (v[1] < v[2]) << 1 | (v[2] < v[0]) << 2 | (v[0] < v[2]) << 3 |
                   (v[2] < v[1]) << 4 | (v[0] != v[1]) << 5;
  return kOrders.of[bits];
}

}  // namespace colour_detail

// Keeps the largest channel hi, moves the smallest to hi - s and the middle
// one in proportion; a gray colour is returned unchanged.
QUILTORA_ALWAYS_INLINE inline Rgb SetSat(const Rgb& c, int32_t s) {
  int32_t v[3] = {c.r, c.g, c.b};
  const colour_detail::Order o = colour_detail::OrderOf(v);
  if (o.gray) return c;
  const int32_t hi = v[o.hi];
  const int32_t q = colour_detail::Proportion(v[o.lo], v[o.mid], hi);
  v[o.lo] = hi - s;
  v[o.mid] = (hi - s) + ((s * q + 128) >> 8);
  return Rgb{v[0], v[1], v[2]};
}

// Brings channels outside 0..255 back while keeping luminosity target and the
// proportion between the channels, in 16.16 with truncating divisions.
QUILTORA_ALWAYS_INLINE inline Rgb Clip(const Rgb& c, int32_t target) {
  if (static_cast<uint32_t>(c.r) <= 255 && static_cast<uint32_t>(c.g) <= 255 && static_cast<uint32_t>(c.b) <= 255)
    return c;
  int32_t v[3] = {c.r, c.g, c.b};
  const colour_detail::Order o = colour_detail::OrderOf(v);
  if (o.gray) {
    const int32_t level = c.r < 0 ? 0 : 255;
    return Rgb{level, level, level};
  }
  const int32_t hi = v[o.hi], lo = v[o.lo];
  const int32_t q = static_cast<int16_t>(colour_detail::Proportion(lo, v[o.mid], hi));
  const int32_t midWeight8 = colour_detail::kWeight8[o.mid], hiWeight16 = colour_detail::kWeight16[o.hi];
  if (lo < 0) {
    const int32_t x = (target * 65536) / (q * midWeight8 + hiWeight16);
    v[o.hi] = x;
    v[o.mid] = (q * x) >> 8;
    v[o.lo] = 0;
  } else if (hi > 255) {
    const int32_t y = (target * 65536 - q * 255 * midWeight8 - 255 * hiWeight16) / (65536 - hiWeight16 - q * midWeight8);
    v[o.lo] = y;
    v[o.mid] = (((255 - y) * q) >> 8) + y;
    v[o.hi] = 255;
  }
  return Rgb{v[0], v[1], v[2]};
}

// Moves the colour to luminosity target (measured in the form given), then clips.
template <bool kRounded>
QUILTORA_ALWAYS_INLINE inline Rgb SetLum(Rgb c, int32_t target) {
  const int32_t d = target - (kRounded ? LumRounded(c) : Lum(c));
  return Clip(Rgb{c.r + d, c.g + d, c.b + d}, target);
}

// The four modes' full-strength result X for image colour I and tile colour T.
QUILTORA_ALWAYS_INLINE inline Rgb HueResult(const Rgb& image, const Rgb& tile) {
  return SetLum<true>(SetSat(tile, Sat(image)), LumRounded(image));
}
QUILTORA_ALWAYS_INLINE inline Rgb SaturationResult(const Rgb& image, const Rgb& tile) {
  return SetLum<true>(SetSat(image, Sat(tile)), LumRounded(image));
}
QUILTORA_ALWAYS_INLINE inline Rgb ColorResult(const Rgb& image, const Rgb& tile) { return SetLum<false>(tile, Lum(image)); }
QUILTORA_ALWAYS_INLINE inline Rgb LuminosityResult(const Rgb& image, const Rgb& tile) { return SetLum<false>(image, Lum(tile)); }

}  // namespace quiltora
