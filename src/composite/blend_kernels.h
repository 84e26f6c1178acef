// The per-layout row loops behind the compositors: pixel layouts, the
// eighteen blend operations and the two walks along a tile row. Internal to
// blend.cpp.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "common/processor.h"
#include "composite/colour_lanes.h"
#include "composite/colour_model.h"

namespace quiltora {
namespace blend_detail {

// Where the channels of one output pixel and of one tile pixel lie. For the
// colour-model modes kR, kG, kB index red, green and blue in the input and
// output pixel, kTileR, kTileG, kTileB in the tile pixel (after its skip).
template <int kOutBytes_, int kTileBytes_, int kOutSkip_, int kTileSkip_, int kChannels_, int kR_, int kG_, int kB_,
          int kTileR_, int kTileG_, int kTileB_>
struct Layout {
  static constexpr int kOutBytes = kOutBytes_;
  static constexpr int kTileBytes = kTileBytes_;
  static constexpr int kOutSkip = kOutSkip_;
  static constexpr int kTileSkip = kTileSkip_;
  static constexpr int kChannels = kChannels_;
  static constexpr int kR = kR_, kG = kG_, kB = kB_;
  static constexpr int kTileR = kTileR_, kTileG = kTileG_, kTileB = kTileB_;
  // Tile, input and output bytes correspond one to one.
  static constexpr bool kFlat = kOutBytes == kTileBytes && kOutSkip == 0 && kTileSkip == 0 && kChannels == kOutBytes;
  // The separable modes combine byte with byte, whatever the colour order.
  using Unordered = std::conditional_t<kChannels == 1, Layout,
                                       Layout<kOutBytes_, kTileBytes_, kOutSkip_, kTileSkip_, kChannels_, 0, 1, 2, 0, 1, 2>>;
};

// Three-byte pixels follow the byte-order flag; four-byte pixels are always
// red, green, blue. Gray is read as a colour with three equal channels.
using LayoutGray = Layout<1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0>;
using LayoutRgb = Layout<3, 3, 0, 0, 3, 0, 1, 2, 0, 1, 2>;
using LayoutBgr = Layout<3, 3, 0, 0, 3, 2, 1, 0, 2, 1, 0>;
using LayoutRgbFromSkip = Layout<3, 4, 0, 1, 3, 0, 1, 2, 0, 1, 2>;
using LayoutBgrFromSkip = Layout<3, 4, 0, 1, 3, 2, 1, 0, 0, 1, 2>;
using LayoutSkipFromRgb = Layout<4, 3, 1, 0, 3, 0, 1, 2, 0, 1, 2>;
using LayoutSkipFromBgr = Layout<4, 3, 1, 0, 3, 0, 1, 2, 2, 1, 0>;
using LayoutSkip = Layout<4, 4, 1, 1, 3, 0, 1, 2, 0, 1, 2>;
// The separable modes treat all four bytes alike; the colour model uses the
// first three and leaves the fourth as the output buffer holds it.
using LayoutFour = Layout<4, 4, 0, 0, 4, 0, 1, 2, 0, 1, 2>;

// X + ((I - X) × t >> 8) with the shift flooring, rewritten as
// (X × (256 - t) + I × t) >> 8: equal for t in 0..255, and every term fits
// 16 bits, which lets the byte loops run on 16-bit lanes.
inline uint16_t Mix(uint16_t input, uint16_t result, uint16_t t) {
  return static_cast<uint16_t>(static_cast<uint16_t>(result * (256 - t) + input * t) >> 8);
}

// Separable operations: one channel from input I, tile T and the factor
// (t, or the opacity factor a for Multiply and Screen), all 0..255.
struct NormalFull {
  static constexpr bool kSeparable = true, kCopy = true;
  static uint16_t Channel(uint16_t, uint16_t t, uint16_t) { return t; }
};
struct NormalMix {
  static constexpr bool kSeparable = true, kCopy = false;
  static uint16_t Channel(uint16_t i, uint16_t t, uint16_t f) { return Mix(i, t, f); }
};
struct DarkenFull {
  static constexpr bool kSeparable = true, kCopy = false;
  static uint16_t Channel(uint16_t i, uint16_t t, uint16_t) { return i < t ? i : t; }
};
struct DarkenMix {
  static constexpr bool kSeparable = true, kCopy = false;
  static uint16_t Channel(uint16_t i, uint16_t t, uint16_t f) { return i >= t ? Mix(i, t, f) : i; }
};
struct LightenFull {
  static constexpr bool kSeparable = true, kCopy = false;
  static uint16_t Channel(uint16_t i, uint16_t t, uint16_t) { return i > t ? i : t; }
};
struct LightenMix {
  static constexpr bool kSeparable = true, kCopy = false;
  static uint16_t Channel(uint16_t i, uint16_t t, uint16_t f) { return t >= i ? Mix(i, t, f) : i; }
};
struct MultiplyFull {
  static constexpr bool kSeparable = true, kCopy = false;
  static uint16_t Channel(uint16_t i, uint16_t t, uint16_t) { return static_cast<uint16_t>(t * i) >> 8; }
};
struct MultiplyMix {
  // (a × T × I + (255 - a) × 256 × I) >> 16 = (I × k) >> 16 with
  // k = a × T + (255 - a) × 256 = 65280 - a × (256 - T), which fits 16 bits.
  static constexpr bool kSeparable = true, kCopy = false;
  static uint16_t Channel(uint16_t i, uint16_t t, uint16_t a) {
    const uint16_t k = static_cast<uint16_t>(65280 - a * (256 - t));
    return static_cast<uint16_t>((static_cast<uint32_t>(i) * k) >> 16);
  }
};
struct ScreenFull {
  static constexpr bool kSeparable = true, kCopy = false;
  static uint16_t Channel(uint16_t i, uint16_t t, uint16_t) {
    return static_cast<uint16_t>((static_cast<uint16_t>((255 - i) * t) >> 8) + i);
  }
};
struct ScreenMix {
  static constexpr bool kSeparable = true, kCopy = false;
  static uint16_t Channel(uint16_t i, uint16_t t, uint16_t a) {
    const uint16_t screened = static_cast<uint16_t>((255 - i) * t) >> 8;
    return static_cast<uint16_t>((static_cast<uint16_t>(a * screened) >> 8) + i);
  }
};
// On gray pixels, whose three channels are equal, Hue, Saturation and Color
// give back the image and Luminosity gives the tile, at any opacity.
struct KeepInput {
  static constexpr bool kSeparable = true, kCopy = false;
  static uint16_t Channel(uint16_t i, uint16_t, uint16_t) { return i; }
};

// Colour-model operations: the mode's result X from image and tile colours,
// mixed back towards the input by t when kMix. GrayOp gives the same bytes on
// gray pixels without the colour model.
template <int16_t kBlendMode, Rgb (*kResult)(const Rgb&, const Rgb&), bool kMixed, class GrayEquivalent>
struct ColourOp {
  static constexpr bool kSeparable = false, kCopy = false, kMix = kMixed;
  static constexpr int16_t kMode = kBlendMode;
  using GrayOp = GrayEquivalent;
  QUILTORA_ALWAYS_INLINE static Rgb Result(const Rgb& image, const Rgb& tile) { return kResult(image, tile); }
};

// The mode's result is a byte before it is mixed.
inline uint8_t MixChannel(int32_t input, int32_t result, int32_t t) {
  return static_cast<uint8_t>(Mix(static_cast<uint16_t>(input), static_cast<uint8_t>(result), static_cast<uint16_t>(t)));
}

template <class L, class Op>
QUILTORA_ALWAYS_INLINE inline void BlendPixel(const uint8_t* tile, const uint8_t* in, uint8_t* out, int32_t factor) {
  if constexpr (Op::kSeparable) {
    const uint16_t f = static_cast<uint16_t>(factor);
    for (int c = 0; c < L::kChannels; ++c) out[c] = static_cast<uint8_t>(Op::Channel(in[c], tile[c], f));
  } else {
    const Rgb image{in[L::kR], in[L::kG], in[L::kB]};
    const Rgb x = Op::Result(image, Rgb{tile[L::kTileR], tile[L::kTileG], tile[L::kTileB]});
    if constexpr (Op::kMix) {
      out[L::kR] = MixChannel(image.r, x.r, factor);
      out[L::kG] = MixChannel(image.g, x.g, factor);
      out[L::kB] = MixChannel(image.b, x.b, factor);
    } else {
      out[L::kR] = static_cast<uint8_t>(x.r);
      out[L::kG] = static_cast<uint8_t>(x.g);
      out[L::kB] = static_cast<uint8_t>(x.b);
    }
  }
}

// A separable operation over bytes that correspond one to one.
template <class Op>
inline void FlatBytes(const uint8_t* tile, const uint8_t* in, uint8_t* out, size_t bytes, uint16_t f) {
  for (size_t i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(Op::Channel(in[i], tile[i], f));
}

// The same loop compiled for AVX2 as well, taken when the processor has it:
// the same integer operations on twice as many lanes, so the same bytes.
#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define QUILTORA_BLEND_AVX2 1
template <class Op>
[[gnu::target("avx2")]] void FlatBytesAvx2(const uint8_t* tile, const uint8_t* in, uint8_t* out, size_t bytes,
                                           uint16_t f) {
  for (size_t i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(Op::Channel(in[i], tile[i], f));
}
#endif

template <class Op>
inline void FlatRun(const uint8_t* tile, const uint8_t* in, uint8_t* out, size_t bytes, uint16_t f) {
#ifdef QUILTORA_BLEND_AVX2
  if (ProcessorHasAvx2()) {
    FlatBytesAvx2<Op>(tile, in, out, bytes, f);
    return;
  }
#endif
  FlatBytes<Op>(tile, in, out, bytes, f);
}

// The leading whole vectors of a colour-model run; returns the pixels done.
template <class L, class Op>
inline int32_t ColourLaneRunOf(const uint8_t* tile, const uint8_t* in, uint8_t* out, int32_t count, int32_t factor) {
  static constexpr ColourLaneControls kControls =
      MakeColourLaneControls(L::kOutBytes, L::kTileBytes, {L::kOutSkip + L::kR, L::kOutSkip + L::kG, L::kOutSkip + L::kB},
                             {L::kTileSkip + L::kTileR, L::kTileSkip + L::kTileG, L::kTileSkip + L::kTileB});
  ColourLaneRun run;
  run.blendMode = Op::kMode;
  run.mixed = Op::kMix;
  run.transparency = factor;
  run.outputBytes = L::kOutBytes;
  run.tileBytes = L::kTileBytes;
  run.controls = &kControls;
  run.tile = tile;
  run.input = in;
  run.output = out;
  run.count = count;
  return BlendColourLanes(run);
}

// count consecutive tile pixels, none of them past the tile row's end.
template <class L, class Op>
inline void BlendRun(const uint8_t* tile, const uint8_t* in, uint8_t* out, int32_t count, int32_t factor) {
  if constexpr (L::kFlat && Op::kCopy) {
    std::memcpy(out, tile, static_cast<size_t>(count) * L::kOutBytes);
  } else if constexpr (L::kFlat && Op::kSeparable) {
    FlatRun<Op>(tile, in, out, static_cast<size_t>(count) * L::kOutBytes, static_cast<uint16_t>(factor));
  } else {
    if constexpr (!Op::kSeparable) {
      const int32_t done = ColourLaneRunOf<L, Op>(tile, in, out, count, factor);
      tile += static_cast<size_t>(done) * L::kTileBytes;
      in += static_cast<size_t>(done) * L::kOutBytes;
      out += static_cast<size_t>(done) * L::kOutBytes;
      count -= done;
    }
    for (int32_t i = 0; i < count; ++i) {
      BlendPixel<L, Op>(tile + L::kTileSkip, in + L::kOutSkip, out + L::kOutSkip, factor);
      tile += L::kTileBytes;
      in += L::kOutBytes;
      out += L::kOutBytes;
    }
  }
}

// One row's walk, with every step already reduced to the tile row.
struct RowWalk {
  const uint8_t* tileRow;
  int32_t tileWidth;
  int32_t column;        // [0, tileWidth)
  int32_t advance;       // whole tile pixels per output pixel, [0, tileWidth)
  int32_t fractionStep;  // hundred-thousandths of a pixel, [0, 100000)
  bool consecutive;      // each output pixel takes the next tile pixel
  int32_t pixelCount;
  const uint8_t* input;
  uint8_t* output;
  int32_t factor;
};

constexpr int32_t kFractionOne = 100000;

template <class L, class Op>
void WalkConsecutive(const RowWalk& walk) {
  const uint8_t* in = walk.input;
  uint8_t* out = walk.output;
  int32_t column = walk.column;
  int32_t remaining = walk.pixelCount;
  while (remaining > 0) {
    const int32_t run = remaining < walk.tileWidth - column ? remaining : walk.tileWidth - column;
    BlendRun<L, Op>(walk.tileRow + static_cast<size_t>(column) * L::kTileBytes, in, out, run, walk.factor);
    in += static_cast<size_t>(run) * L::kOutBytes;
    out += static_cast<size_t>(run) * L::kOutBytes;
    remaining -= run;
    column = 0;
  }
}

template <class L, class Op>
void WalkStepped(const RowWalk& walk) {
  const uint8_t* in = walk.input + L::kOutSkip;
  uint8_t* out = walk.output + L::kOutSkip;
  const uint8_t* tileRow = walk.tileRow + L::kTileSkip;
  int32_t column = walk.column;
  int32_t counter = -kFractionOne;
  for (int32_t i = 0; i < walk.pixelCount; ++i) {
    BlendPixel<L, Op>(tileRow + static_cast<size_t>(column) * L::kTileBytes, in, out, walk.factor);
    in += L::kOutBytes;
    out += L::kOutBytes;
    column += walk.advance;
    counter += walk.fractionStep;
    if (counter >= 0) {
      counter -= kFractionOne;
      ++column;
    }
    // advance < width, so one subtraction is a true modulo.
    if (column >= walk.tileWidth) column -= walk.tileWidth;
  }
}

template <class Op, bool kGray, bool kSeparable = Op::kSeparable>
struct ChosenOp {
  using Type = Op;
};
template <class Op>
struct ChosenOp<Op, true, false> {
  using Type = typename Op::GrayOp;
};

template <class L, class ModeOp>
void Kernel(const RowWalk& walk) {
  using Op = typename ChosenOp<ModeOp, L::kChannels == 1>::Type;
  using Chosen = std::conditional_t<Op::kSeparable, typename L::Unordered, L>;
  if (walk.consecutive)
    WalkConsecutive<Chosen, Op>(walk);
  else
    WalkStepped<Chosen, Op>(walk);
}

}  // namespace blend_detail
}  // namespace quiltora
