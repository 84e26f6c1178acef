// Straightforward models of the blend modes and of the tile-row walk, written
// from their definitions for the tests to hold the fast kernels against.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace quiltora {
namespace reference {

inline int32_t Transparency(int32_t opacity) { return (100 - opacity) * 255 / 100; }

// One channel of a separable mode (1, 2, 3, 8, 9) at the given opacity.
inline int32_t Separable(int mode, int32_t opacity, int32_t i, int32_t t) {
  const int32_t tr = Transparency(opacity);
  const int32_t a = 255 - tr;
  const bool full = tr == 0;
  auto mix = [&](int32_t x) { return x + (((i - x) * tr) >> 8); };
  switch (mode) {
    case 1: return full ? t : mix(t);
    case 2: return full ? std::min(i, t) : (i >= t ? mix(t) : i);
    case 3: return full ? std::max(i, t) : (t >= i ? mix(t) : i);
    case 8: return full ? (t * i) >> 8 : (a * t * i + (255 - a) * 256 * i) >> 16;
    case 9: return full ? (((255 - i) * t) >> 8) + i : ((a * (((255 - i) * t) >> 8)) >> 8) + i;
    default: return -1;
  }
}

using Colour = std::array<int32_t, 3>;  // R, G, B
constexpr int32_t kW8[3] = {77, 151, 28};
constexpr int32_t kW16[3] = {19661, 38666, 7209};

inline int32_t LumOf(const Colour& c, bool rounded) {
  return (77 * c[0] + 151 * c[1] + 28 * c[2] + (rounded ? 128 : 0)) >> 8;
}

// Indices {lo, mid, hi} as the decision tree orders R (0), G (1), B (2);
// {-1, -1, -1} when all three are equal.
using Order = std::array<int, 3>;
inline Order OrderOf(const Colour& c) {
  const int32_t r = c[0], g = c[1], b = c[2];
  if (r < g) {
    if (g < b) return {0, 1, 2};
    if (b < r) return {2, 0, 1};
    return {0, 2, 1};
  }
  if (r < b) return {1, 0, 2};
  if (b < g) return {2, 1, 0};
  if (r != g) return {1, 2, 0};
  return {-1, -1, -1};
}

inline Colour SetSatOf(Colour c, int32_t s) {
  const Order o = OrderOf(c);
  if (o[0] < 0) return c;
  const int32_t lo = c[o[0]], mid = c[o[1]], hi = c[o[2]];
  const int32_t q = (mid - lo) * 256 / (hi - lo);
  c[o[0]] = hi - s;
  c[o[1]] = hi - s + ((s * q + 128) >> 8);
  return c;
}

// Counts which branch of the clip each call took, so tests can show they
// covered both.
struct ClipCounts {
  long low = 0, high = 0;
};

inline Colour ClipOf(Colour c, int32_t target, ClipCounts* counts) {
  if (std::all_of(c.begin(), c.end(), [](int32_t v) { return v >= 0 && v <= 255; })) return c;
  const Order o = OrderOf(c);
  if (o[0] < 0) return c[0] < 0 ? Colour{0, 0, 0} : Colour{255, 255, 255};
  const int32_t lo = c[o[0]], mid = c[o[1]], hi = c[o[2]];
  const int32_t q = static_cast<int16_t>((mid - lo) * 256 / (hi - lo));
  if (lo < 0) {
    ++counts->low;
    const int32_t x = target * 65536 / (q * kW8[o[1]] + kW16[o[2]]);
    c[o[2]] = x;
    c[o[1]] = (q * x) >> 8;
    c[o[0]] = 0;
  } else if (hi > 255) {
    ++counts->high;
    const int32_t y = (target * 65536 - q * 255 * kW8[o[1]] - 255 * kW16[o[2]]) / (65536 - kW16[o[2]] - q * kW8[o[1]]);
    c[o[0]] = y;
    c[o[1]] = (((255 - y) * q) >> 8) + y;
    c[o[2]] = 255;
  }
  return c;
}

inline Colour SetLumOf(Colour c, int32_t target, bool rounded, ClipCounts* counts) {
  const int32_t d = target - LumOf(c, rounded);
  for (int32_t& v : c) v += d;
  return ClipOf(c, target, counts);
}

inline int32_t SatOf(const Colour& c) {
  return *std::max_element(c.begin(), c.end()) - *std::min_element(c.begin(), c.end());
}

// Result of a colour mode (4 to 7) at the given opacity, as bytes.
inline Colour ColourMode(int mode, int32_t opacity, const Colour& image, const Colour& tile, ClipCounts* counts) {
  Colour x{};
  switch (mode) {
    case 4: x = SetLumOf(SetSatOf(tile, SatOf(image)), LumOf(image, true), true, counts); break;
    case 5: x = SetLumOf(SetSatOf(image, SatOf(tile)), LumOf(image, true), true, counts); break;
    case 6: x = SetLumOf(tile, LumOf(image, false), false, counts); break;
    case 7: x = SetLumOf(image, LumOf(tile, false), false, counts); break;
    default: break;
  }
  const int32_t tr = Transparency(opacity);
  for (int k = 0; k < 3; ++k) {
    const int32_t byte = x[k] & 0xFF;
    x[k] = (byte + (((image[k] - byte) * tr) >> 8)) & 0xFF;
  }
  return x;
}

// The tile columns a walk visits, modelled on a byte pointer into the tile row
// that wraps by a true modulo, with the fraction counter starting at -100000.
inline std::vector<int32_t> WalkColumns(int32_t width, int32_t bytesPerPixel, int32_t startColumn, int32_t count,
                                        int32_t fractionStep, int32_t wholeStep) {
  std::vector<int32_t> columns;
  const int64_t rowLength = static_cast<int64_t>(width) * bytesPerPixel;
  int64_t p = static_cast<int64_t>(startColumn) * bytesPerPixel;
  int64_t counter = -100000;
  for (int32_t i = 0; i < count; ++i) {
    columns.push_back(static_cast<int32_t>(p / bytesPerPixel));
    p += bytesPerPixel + wholeStep;
    counter += fractionStep;
    if (counter >= 0) {
      counter -= 100000;
      p += bytesPerPixel;
    }
    p %= rowLength;
  }
  return columns;
}

}  // namespace reference
}  // namespace quiltora
