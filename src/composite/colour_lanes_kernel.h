// The colour model of Hue, Saturation, Color and Luminosity written once over
// a lane type S (AVX2 or AVX-512, see colour_lanes_avx2.cpp and
// colour_lanes_avx512.cpp). Included only by those files, each compiled for
// its instruction set, so everything here has internal linkage: no copy built
// for one set can stand in for another.
//
// Every value is a whole number held in f32 lanes, where sums and products of
// channels and weights stay below 2^24 and so are exact. Shifts become floor
// (x / 256); the divisions are the only inexact steps and are made exact:
// (mid - lo) × 256 / spread with a spread below 256 cannot round across a
// whole number, and the clip's 16.16 quotient is truncated, then corrected by
// its remainder from one fused multiply-add. None of it depends on the
// rounding mode the host left set.
#pragma once

#include <cstdint>

#include "composite/colour_lanes.h"
#include "composite/colour_model.h"
#include "composite/tile_image.h"

namespace quiltora {
namespace {

template <class S>
struct Colour3 {
  typename S::F r, g, b;
};

// A colour by the values of its largest, middle and smallest channel, its
// spread hi - lo and its rise mid - lo, each channel marked where its value
// equals the largest or the smallest (but see SetSatOf). Equal channels come
// out of SetSat and Clip equal whichever of them the decision tree calls mid,
// so a channel can be placed by these marks alone.
template <class S>
struct Shape {
  typename S::F hi, mid, lo, spread, rise;
  typename S::M isHi[3], isLo[3];
};

template <class S>
QUILTORA_ALWAYS_INLINE inline typename S::F Max3(const Colour3<S>& c) {
  return S::Max(S::Max(c.r, c.g), c.b);
}
template <class S>
QUILTORA_ALWAYS_INLINE inline typename S::F Min3(const Colour3<S>& c) {
  return S::Min(S::Min(c.r, c.g), c.b);
}

template <class S>
QUILTORA_ALWAYS_INLINE inline Shape<S> ShapeOf(const Colour3<S>& c) {
  using F = typename S::F;
  const F maxRG = S::Max(c.r, c.g), minRG = S::Min(c.r, c.g);
  const F hi = S::Max(maxRG, c.b), lo = S::Min(minRG, c.b);
  const F mid = S::Max(minRG, S::Min(maxRG, c.b));
  return Shape<S>{hi,
                  mid,
                  lo,
                  S::Sub(hi, lo),
                  S::Sub(mid, lo),
                  {S::Eq(c.r, hi), S::Eq(c.g, hi), S::Eq(c.b, hi)},
                  {S::Eq(c.r, lo), S::Eq(c.g, lo), S::Eq(c.b, lo)}};
}

// The channels of a shape whose values are replaced by hi, mid and lo.
template <class S>
QUILTORA_ALWAYS_INLINE inline Colour3<S> Place(const Shape<S>& shape, typename S::F hi, typename S::F mid,
                                               typename S::F lo) {
  auto place = [&](int k) { return S::Select(shape.isHi[k], hi, S::Select(shape.isLo[k], lo, mid)); };
  return Colour3<S>{place(0), place(1), place(2)};
}

// (77 R + 151 G + 28 B [+ 128]) >> 8.
template <class S, bool kRounded>
QUILTORA_ALWAYS_INLINE inline typename S::F LumOf(const Colour3<S>& c) {
  const typename S::F blue =
      kRounded ? S::Fma(c.b, S::Splat(kWeightB8 / 256.0f), S::Splat(0.5f)) : S::Mul(c.b, S::Splat(kWeightB8 / 256.0f));
  return S::Floor(S::Fma(c.r, S::Splat(kWeightR8 / 256.0f), S::Fma(c.g, S::Splat(kWeightG8 / 256.0f), blue)));
}

// n / d truncated toward zero, for -d < n < 2^24 and 0 < d < 2^16. The
// quotient can only round up across a whole number, and then the remainder
// falls below 0 (below n for a negative n, whose quotient is 0).
template <class S>
QUILTORA_ALWAYS_INLINE inline typename S::F TruncatedQuotient(typename S::F n, typename S::F d) {
  const typename S::F q = S::Trunc(S::Div(n, d));
  const typename S::F remainder = S::Fnma(q, d, n);
  return S::Select(S::Lt(remainder, S::Min(n, S::Splat(0.0f))), S::Sub(q, S::Splat(1.0f)), q);
}

// (rise × 256) / spread for a spread of 1 to 255: exact from one f32
// division, since a fraction of at least 1/255 cannot round to a whole
// number. A spread of 0 gives 0.
template <class S>
QUILTORA_ALWAYS_INLINE inline typename S::F ProportionOf(const Shape<S>& shape) {
  return S::Trunc(S::Div(S::Mul(shape.rise, S::Splat(256.0f)), S::Max(shape.spread, S::Splat(1.0f))));
}

// SetSat: hi stays, lo becomes hi - s, mid hi - s + ((s × q + 128) >> 8); a
// gray colour is kept, as if s were 0. Returns the new channels; shape
// becomes theirs. A middle channel that meets the new lo stays unmarked: it
// is placed alike, and its weight counts for nothing (q is 0).
template <class S>
QUILTORA_ALWAYS_INLINE inline Colour3<S> SetSatOf(Shape<S>& shape, typename S::F s) {
  using F = typename S::F;
  const F saturation = S::Min(s, S::Mul(shape.spread, S::Splat(256.0f)));
  const F q = ProportionOf<S>(shape);
  const F lo = S::Sub(shape.hi, saturation);
  const F rise = S::Floor(S::Fma(q, S::Mul(saturation, S::Splat(1.0f / 256)), S::Splat(0.5f)));
  const F mid = S::Add(lo, rise);
  const Colour3<S> c = Place<S>(shape, shape.hi, mid, lo);
  shape.isHi[0] = S::Eq(c.r, shape.hi);
  shape.isHi[1] = S::Eq(c.g, shape.hi);
  shape.isHi[2] = S::Eq(c.b, shape.hi);
  shape.mid = mid;
  shape.lo = lo;
  shape.spread = saturation;
  shape.rise = rise;
  return c;
}

// SetLum then Clip: every channel moves by L - Lum(c); channels that leave
// 0..255 come back while luminosity L and the proportion between the
// channels hold, in 16.16 with truncating divisions. A gray colour lands on L
// exactly, so only colours with a spread reach the clip.
template <class S, bool kRounded>
QUILTORA_ALWAYS_INLINE inline Colour3<S> SetLumOf(const Shape<S>& shape, const Colour3<S>& c, typename S::F target) {
  using F = typename S::F;
  using M = typename S::M;
  // The decision tree calls hi the first of the largest channels in the
  // order R, G, B; which one it calls lo only matters when lo < mid, and then
  // lo is the one smallest channel. Weights of 256ths sum to 256.
  auto byFirstMark = [](const M* marks, float r, float g, float b) {
    return S::Select(marks[0], S::Splat(r), S::Select(marks[1], S::Splat(g), S::Splat(b)));
  };
  const F hiWeight16 = byFirstMark(shape.isHi, kWeightR16, kWeightG16, kWeightB16);
  const F hiWeight8 = byFirstMark(shape.isHi, kWeightR8, kWeightG8, kWeightB8);
  const F loWeight8 = byFirstMark(shape.isLo, kWeightR8, kWeightG8, kWeightB8);
  const F midWeight8 = S::Sub(S::Sub(S::Splat(256.0f), hiWeight8), loWeight8);

  const F d = S::Sub(target, LumOf<S, kRounded>(c));
  const F hi = S::Add(shape.hi, d), mid = S::Add(shape.mid, d), lo = S::Add(shape.lo, d);
  // The spread is at most 255, so never both.
  const M low = S::Lt(lo, S::Splat(0.0f)), high = S::Lt(S::Splat(255.0f), hi);

  // lo < 0: x = L × 65536 / D; hi x, mid (q × x) >> 8, lo 0.
  // hi > 255: y = (L × 65536 - 255 D) / (65536 - D); hi 255,
  // mid (((255 - y) × q) >> 8) + y, lo y, where y is never below 0.
  // D = q × w8(mid) + W16(hi) lies between 7209 and 58378.
  const F q = ProportionOf<S>(shape);
  const F weight = S::Fma(q, midWeight8, hiWeight16);
  const F scaledTarget = S::Mul(target, S::Splat(65536.0f));
  const F numerator = S::Select(low, scaledTarget, S::Fnma(S::Splat(255.0f), weight, scaledTarget));
  const F denominator = S::Select(low, weight, S::Sub(S::Splat(65536.0f), weight));
  const F z = TruncatedQuotient<S>(numerator, denominator);
  const F newHi = S::Select(low, z, S::Min(hi, S::Splat(255.0f)));
  const F newLo = S::Select(high, z, S::Max(lo, S::Splat(0.0f)));
  const F clippedMid = S::Floor(S::Fma(S::Mul(q, S::Splat(1.0f / 256)), S::Sub(newHi, newLo), newLo));
  return Place<S>(shape, newHi, S::Select(S::Or(low, high), clippedMid, mid), newLo);
}

template <class S, int kMode>
QUILTORA_ALWAYS_INLINE inline Colour3<S> ModeResult(const Colour3<S>& image, const Colour3<S>& tile) {
  if constexpr (kMode == kBlendHue) {
    Shape<S> shape = ShapeOf<S>(tile);
    const Colour3<S> c = SetSatOf<S>(shape, S::Sub(Max3(image), Min3(image)));
    return SetLumOf<S, true>(shape, c, LumOf<S, true>(image));
  } else if constexpr (kMode == kBlendSaturation) {
    Shape<S> shape = ShapeOf<S>(image);
    const Colour3<S> c = SetSatOf<S>(shape, S::Sub(Max3(tile), Min3(tile)));
    return SetLumOf<S, true>(shape, c, LumOf<S, true>(image));
  } else if constexpr (kMode == kBlendColor) {
    return SetLumOf<S, false>(ShapeOf<S>(tile), tile, LumOf<S, false>(image));
  } else {
    return SetLumOf<S, false>(ShapeOf<S>(image), image, LumOf<S, false>(tile));
  }
}

template <class S, int kMode, bool kMixed, int kOutputStride, int kTileStride>
int32_t BlendColourRun(const ColourLaneRun& run) {
  using F = typename S::F;
  const typename S::Codec codec(*run.controls);
  // (X × (256 - t) + I × t) >> 8 as X × (256 - t) / 256 + I × t / 256, both
  // exact and the sum never negative, so the store's truncation floors it.
  // X, the mode's result, is always a byte (shown over every colour and
  // luminosity the modes can produce), so it needs no wrap first.
  const F keep = S::Splat(static_cast<float>(256 - run.transparency) / 256.0f);
  const F take = S::Splat(static_cast<float>(run.transparency) / 256.0f);

  const uint8_t* tile = run.tile;
  const uint8_t* input = run.input;
  uint8_t* output = run.output;
  const int32_t whole = run.count / S::kLanes * S::kLanes;
  for (int32_t done = 0; done < whole; done += S::kLanes) {
    const typename S::I inputPixels = S::template LoadPixels<kOutputStride>(input);
    const typename S::I tilePixels = S::template LoadPixels<kTileStride>(tile);
    const Colour3<S> image{codec.Input(inputPixels, 0), codec.Input(inputPixels, 1), codec.Input(inputPixels, 2)};
    const Colour3<S> x = ModeResult<S, kMode>(
        image, Colour3<S>{codec.Tile(tilePixels, 0), codec.Tile(tilePixels, 1), codec.Tile(tilePixels, 2)});
    F channels[3] = {x.r, x.g, x.b};
    if constexpr (kMixed) {
      const F inputs[3] = {image.r, image.g, image.b};
      for (int k = 0; k < 3; ++k) channels[k] = S::Fma(channels[k], keep, S::Mul(inputs[k], take));
    }
    codec.template Store<kOutputStride>(output, channels);
    tile += S::kLanes * kTileStride;
    input += S::kLanes * kOutputStride;
    output += S::kLanes * kOutputStride;
  }
  return whole;
}

template <class S, int kMode, bool kMixed>
int32_t BlendColourRunOfStrides(const ColourLaneRun& run) {
  if (run.outputBytes == 3)
    return run.tileBytes == 3 ? BlendColourRun<S, kMode, kMixed, 3, 3>(run)
                              : BlendColourRun<S, kMode, kMixed, 3, 4>(run);
  return run.tileBytes == 3 ? BlendColourRun<S, kMode, kMixed, 4, 3>(run) : BlendColourRun<S, kMode, kMixed, 4, 4>(run);
}

template <class S, int kMode>
int32_t BlendColourRunOfMode(const ColourLaneRun& run) {
  return run.mixed ? BlendColourRunOfStrides<S, kMode, true>(run) : BlendColourRunOfStrides<S, kMode, false>(run);
}

template <class S>
int32_t BlendColourLanesWith(const ColourLaneRun& run) {
  if ((run.outputBytes != 3 && run.outputBytes != 4) || (run.tileBytes != 3 && run.tileBytes != 4)) return 0;
  switch (run.blendMode) {
    case kBlendHue: return BlendColourRunOfMode<S, kBlendHue>(run);
    case kBlendSaturation: return BlendColourRunOfMode<S, kBlendSaturation>(run);
    case kBlendColor: return BlendColourRunOfMode<S, kBlendColor>(run);
    case kBlendLuminosity: return BlendColourRunOfMode<S, kBlendLuminosity>(run);
    default: return 0;
  }
}

}  // namespace
}  // namespace quiltora
