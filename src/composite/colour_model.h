// The colour model of the Hue, Saturation, Color and Luminosity blend modes,
// in integers only: luminosity weights of 256ths and 65536ths, truncating
// divisions, channels that may leave 0..255 until Clip brings them back.
#pragma once

#include <cstdint>

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

// One channel of a colour named by reference, with its two weights.
struct Channel {
  int32_t* value;
  int32_t weight8;
  int32_t weight16;
};

struct Ordered {
  Channel lo, mid, hi;
};

// The channels in the order both SetSat and Clip use; false when all three
// are equal.
inline bool Order(Rgb* c, Ordered* o) {
  const Channel r{&c->r, kWeightR8, kWeightR16};
  const Channel g{&c->g, kWeightG8, kWeightG16};
  const Channel b{&c->b, kWeightB8, kWeightB16};
  if (c->r < c->g) {
    if (c->g < c->b) {
      *o = {r, g, b};
    } else if (c->b < c->r) {
      *o = {b, r, g};
    } else {
      *o = {r, b, g};
    }
  } else if (c->r < c->b) {
    *o = {g, r, b};
  } else if (c->b < c->g) {
    *o = {b, g, r};
  } else if (c->r != c->g) {
    *o = {g, b, r};
  } else {
    return false;
  }
  return true;
}

}  // namespace colour_detail

// Keeps the largest channel hi, moves the smallest to hi - s and the middle
// one in proportion; a gray colour is returned unchanged.
inline Rgb SetSat(Rgb c, int32_t s) {
  colour_detail::Ordered o;
  if (!colour_detail::Order(&c, &o)) return c;
  const int32_t hi = *o.hi.value, mid = *o.mid.value, lo = *o.lo.value;
  const int32_t q = ((mid - lo) * 256) / (hi - lo);
  *o.lo.value = hi - s;
  *o.mid.value = (hi - s) + ((s * q + 128) >> 8);
  return c;
}

// Brings channels outside 0..255 back while keeping luminosity target and the
// proportion between the channels, in 16.16 with truncating divisions.
inline Rgb Clip(Rgb c, int32_t target) {
  if (c.r >= 0 && c.r <= 255 && c.g >= 0 && c.g <= 255 && c.b >= 0 && c.b <= 255) return c;
  colour_detail::Ordered o;
  if (!colour_detail::Order(&c, &o)) {
    const int32_t v = c.r < 0 ? 0 : 255;
    return Rgb{v, v, v};
  }
  const int32_t hi = *o.hi.value, mid = *o.mid.value, lo = *o.lo.value;
  const int32_t q = static_cast<int16_t>(((mid - lo) * 256) / (hi - lo));
  if (lo < 0) {
    const int32_t x = (target * 65536) / (q * o.mid.weight8 + o.hi.weight16);
    *o.hi.value = x;
    *o.mid.value = (q * x) >> 8;
    *o.lo.value = 0;
  } else if (hi > 255) {
    const int32_t y = (target * 65536 - q * 255 * o.mid.weight8 - 255 * o.hi.weight16) /
                      (65536 - o.hi.weight16 - q * o.mid.weight8);
    *o.lo.value = y;
    *o.mid.value = (((255 - y) * q) >> 8) + y;
    *o.hi.value = 255;
  }
  return c;
}

// Moves the colour to luminosity target (measured in the form given), then clips.
template <bool kRounded>
inline Rgb SetLum(Rgb c, int32_t target) {
  const int32_t d = target - (kRounded ? LumRounded(c) : Lum(c));
  return Clip(Rgb{c.r + d, c.g + d, c.b + d}, target);
}

// The four modes' full-strength result X for image colour I and tile colour T.
inline Rgb HueResult(const Rgb& image, const Rgb& tile) {
  return SetLum<true>(SetSat(tile, Sat(image)), LumRounded(image));
}
inline Rgb SaturationResult(const Rgb& image, const Rgb& tile) {
  return SetLum<true>(SetSat(image, Sat(tile)), LumRounded(image));
}
inline Rgb ColorResult(const Rgb& image, const Rgb& tile) { return SetLum<false>(tile, Lum(image)); }
inline Rgb LuminosityResult(const Rgb& image, const Rgb& tile) { return SetLum<false>(image, Lum(tile)); }

}  // namespace quiltora
