#include "render/hex_machinery.h"

#include <cstring>

#include "common/fixed.h"
#include "common/processor.h"
#include "render/hex_lanes.h"

namespace quiltora {

namespace {

// The blend of BilinearSample. With fx in [0, 65536) the product
// FixMul(fx, d << 16) is exactly fx × d, so the rows blend in 32 bits.
template <int kChannels>
inline void Blend(const uint8_t* p, int32_t pixelStep, int32_t rowBytes, int32_t fx, int32_t fy,
                  uint8_t* out) {
  const uint8_t* below = p + rowBytes;
  for (int c = 0; c < kChannels; ++c) {
    const int32_t c00 = p[c], c10 = p[pixelStep + c], c01 = below[c], c11 = below[pixelStep + c];
    const int32_t top = (c00 << 16) + fx * (c10 - c00);
    const int32_t bottom = (c01 << 16) + fx * (c11 - c01);
    out[c] = static_cast<uint8_t>((top + FixMulInline(fy, bottom - top) + 0x8000) >> 16);
  }
}

// Integer part and fraction of one coordinate. The fraction taken after the
// clamping is held at 0 below the first column or row: a blend never
// extrapolates past the pixel it starts from.
template <FractionRule kRule>
inline void Split(int32_t position, int32_t maximum, int32_t* whole, int32_t* fraction) {
  if (kRule == FractionRule::kBeforeClamp) {
    const int32_t w = position >> 16;
    *fraction = position & 0xFFFF;
    *whole = std::clamp(w, 0, maximum);
  } else {
    const int32_t w = std::min(position < 0 ? 0 : position >> 16, maximum);
    *whole = w;
    *fraction = std::max(WrapSub(position, ToFix(w)), 0);
  }
}

// position + k × step with the 32-bit wrap of k single steps.
inline int32_t Advance(int32_t position, int32_t step, int32_t k) {
  const int64_t travel = static_cast<int64_t>(step) * k;
  return WrapAdd(position, static_cast<int32_t>(static_cast<uint32_t>(travel)));
}

// Whether sample k of a run lies in [0, maxX) × [0, maxY) in whole pixels:
// there no sample is clamped, and every one blends with its right and lower
// neighbours. The interior samples of a run are one contiguous stretch.
inline bool IsInterior(const HexSource& source, int32_t sx, int32_t sy, int32_t stepX,
                       int32_t stepY, int32_t k) {
  const int64_t x = sx + static_cast<int64_t>(stepX) * k;
  const int64_t y = sy + static_cast<int64_t>(stepY) * k;
  return x >= 0 && y >= 0 && x < static_cast<int64_t>(source.maxX) * 65536 &&
         y < static_cast<int64_t>(source.maxY) * 65536;
}

// The samples of an interior run: both fraction rules agree there.
template <int kChannels>
void SampleInterior(const HexSource& source, int32_t sx, int32_t sy, int32_t stepX,
                    int32_t stepY, uint8_t* out, int32_t tileStep, int32_t count) {
  const uint8_t* origin = source.origin;
  const int32_t rowBytes = source.rowBytes, pixelStep = source.pixelStep;
  for (int32_t k = 0; k < count; ++k) {
    const uint8_t* p = origin + static_cast<int64_t>(sy >> 16) * rowBytes +
                       static_cast<int64_t>(sx >> 16) * pixelStep;
    Blend<kChannels>(p, pixelStep, rowBytes, sx & 0xFFFF, sy & 0xFFFF, out);
    sx = WrapAdd(sx, stepX);
    sy = WrapAdd(sy, stepY);
    out += tileStep;
  }
}

// The interior samples of plain pixels, a batch at a time: the four
// neighbours' bytes and the fractions are gathered per channel first, then
// blended by one loop of 32-bit integer operations that the compiler runs on
// vector lanes. fy × (bottom − top) >> 16 is taken as fy × high + (fy × low
// >> 16) over the 16-bit halves of the difference: the same floor, in 32 bits.
constexpr int32_t kBatchPixels = 64;

struct InteriorBatch {
  int32_t c00[kBatchPixels * 4], c10[kBatchPixels * 4], c01[kBatchPixels * 4],
      c11[kBatchPixels * 4], fx[kBatchPixels * 4], fy[kBatchPixels * 4];
};

inline void BlendBatchBytes(const InteriorBatch& batch, int32_t elements, uint8_t* out) {
  for (int32_t i = 0; i < elements; ++i) {
    const int32_t top = (batch.c00[i] << 16) + batch.fx[i] * (batch.c10[i] - batch.c00[i]);
    const int32_t bottom = (batch.c01[i] << 16) + batch.fx[i] * (batch.c11[i] - batch.c01[i]);
    const int32_t difference = bottom - top;
    const int32_t high = difference >> 16;
    const uint32_t low = static_cast<uint32_t>(difference) & 0xFFFFu;
    const int32_t scaled =
        batch.fy[i] * high + static_cast<int32_t>((static_cast<uint32_t>(batch.fy[i]) * low) >> 16);
    out[i] = static_cast<uint8_t>((top + scaled + 0x8000) >> 16);
  }
}

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
[[gnu::target("avx2")]] void BlendBatchBytesAvx2(const InteriorBatch& batch, int32_t elements,
                                                 uint8_t* out) {
  BlendBatchBytes(batch, elements, out);
}

#define QUILTORA_HEX_AVX2 1
#endif

template <int kChannels>
void SampleInteriorPlain(const HexSource& source, int32_t sx, int32_t sy, int32_t stepX,
                         int32_t stepY, uint8_t* out, int32_t count) {
  const uint8_t* origin = source.origin;
  const int32_t rowBytes = source.rowBytes;
  InteriorBatch batch;
  while (count > 0) {
    const int32_t pixels = count < kBatchPixels ? count : kBatchPixels;
    for (int32_t k = 0; k < pixels; ++k) {
      const uint8_t* p = origin + static_cast<int64_t>(sy >> 16) * rowBytes +
                         static_cast<int64_t>(sx >> 16) * kChannels;
      const uint8_t* below = p + rowBytes;
      for (int c = 0; c < kChannels; ++c) {
        const int32_t i = k * kChannels + c;
        batch.c00[i] = p[c];
        batch.c10[i] = p[kChannels + c];
        batch.c01[i] = below[c];
        batch.c11[i] = below[kChannels + c];
        batch.fx[i] = sx & 0xFFFF;
        batch.fy[i] = sy & 0xFFFF;
      }
      sx = WrapAdd(sx, stepX);
      sy = WrapAdd(sy, stepY);
    }
#ifdef QUILTORA_HEX_AVX2
    if (ProcessorHasAvx2()) {
      BlendBatchBytesAvx2(batch, pixels * kChannels, out);
    } else {
      BlendBatchBytes(batch, pixels * kChannels, out);
    }
#else
    BlendBatchBytes(batch, pixels * kChannels, out);
#endif
    out += static_cast<int64_t>(pixels) * kChannels;
    count -= pixels;
  }
}

template <int kChannels, FractionRule kRule>
void SampleEdgeRun(const HexSource& source, int32_t sx, int32_t sy, int32_t stepX,
                   int32_t stepY, uint8_t* out, int32_t tileStep, int32_t count) {
  for (int32_t k = 0; k < count; ++k) {
    int32_t ix, iy, fx, fy;
    Split<kRule>(sx, source.maxX, &ix, &fx);
    Split<kRule>(sy, source.maxY, &iy, &fy);
    const uint8_t* p = source.origin + static_cast<int64_t>(iy) * source.rowBytes +
                       static_cast<int64_t>(ix) * source.pixelStep;
    if (ix == source.maxX || iy == source.maxY) {
      std::memcpy(out, p, kChannels);
    } else {
      Blend<kChannels>(p, source.pixelStep, source.rowBytes, fx, fy, out);
    }
    sx = WrapAdd(sx, stepX);
    sy = WrapAdd(sy, stepY);
    out += tileStep;
  }
}

// Whether the interior samples of plain pixels may go to the vector lanes:
// the processor has them and every byte offset they take fits 31 bits.
inline bool UseLanes(const HexSource& source) {
  return HexLaneWidth() > 0 && source.rowBytes > 0 &&
         static_cast<int64_t>(source.maxY) * source.rowBytes + static_cast<int64_t>(source.maxX) * source.pixelStep <
             (int64_t{1} << 31);
}

// A run in three parts: the samples before and after the interior ones go
// through the clamping loop, the interior ones through the plain blend.
template <int kChannels, FractionRule kRule>
void SampleRun(const HexSource& source, int32_t sx, int32_t sy, int32_t stepX, int32_t stepY,
               uint8_t* out, int32_t tileStep, int32_t count) {
  int32_t begin = 0, end = count;
  while (begin < count && !IsInterior(source, sx, sy, stepX, stepY, begin)) ++begin;
  while (end > begin && !IsInterior(source, sx, sy, stepX, stepY, end - 1)) --end;
  SampleEdgeRun<kChannels, kRule>(source, sx, sy, stepX, stepY, out, tileStep, begin);
  if (source.pixelStep == kChannels && tileStep == kChannels) {
    int32_t laned = 0;
    if (kChannels >= 3 && UseLanes(source)) {
      laned = SampleInteriorLanes(HexLaneWidth(), source.origin, source.rowBytes, kChannels, Advance(sx, stepX, begin),
                                  Advance(sy, stepY, begin), stepX, stepY,
                                  out + static_cast<int64_t>(begin) * tileStep, end - begin);
    }
    SampleInteriorPlain<kChannels>(source, Advance(sx, stepX, begin + laned), Advance(sy, stepY, begin + laned),
                                   stepX, stepY, out + static_cast<int64_t>(begin + laned) * tileStep,
                                   end - begin - laned);
  } else {
    SampleInterior<kChannels>(source, Advance(sx, stepX, begin), Advance(sy, stepY, begin), stepX,
                              stepY, out + static_cast<int64_t>(begin) * tileStep, tileStep,
                              end - begin);
  }
  SampleEdgeRun<kChannels, kRule>(source, Advance(sx, stepX, end), Advance(sy, stepY, end), stepX,
                                  stepY, out + static_cast<int64_t>(end) * tileStep, tileStep,
                                  count - end);
}

template <FractionRule kRule>
void SampleRunFor(const HexSource& source, int32_t sx, int32_t sy, int32_t stepX, int32_t stepY,
                  uint8_t* out, int32_t tileStep, int32_t count) {
  switch (source.channels) {
    case 1: SampleRun<1, kRule>(source, sx, sy, stepX, stepY, out, tileStep, count); break;
    case 3: SampleRun<3, kRule>(source, sx, sy, stepX, stepY, out, tileStep, count); break;
    case 4: SampleRun<4, kRule>(source, sx, sy, stepX, stepY, out, tileStep, count); break;
    default: break;
  }
}

// Step per pixel over a span of length columns. A whole-precision quotient:
// the reciprocal form FixMul(difference, 65536 / length) loses up to one part
// in 65536 / length, which drifts by pixels along spans of several hundred.
int32_t SpanStep(int32_t difference, int32_t length) {
  if (length <= 0) return 0;
  return static_cast<int32_t>(static_cast<int64_t>(difference) / length);
}

}  // namespace

int32_t SpanEnd(double t) {
  const int32_t whole = static_cast<int32_t>(t);
  return t > 0 ? whole : whole - 1;
}

void BilinearSample(const uint8_t* p, int32_t pixelStep, int32_t rowBytes, int32_t fx,
                    int32_t fy, int32_t channels, uint8_t* out) {
  const uint8_t* below = p + rowBytes;
  for (int c = 0; c < channels; ++c) {
    const int32_t c00 = p[c], c10 = p[pixelStep + c], c01 = below[c], c11 = below[pixelStep + c];
    const int32_t top = (c00 << 16) + FixMulInline(fx, (c10 - c00) * 65536);
    const int32_t bottom = (c01 << 16) + FixMulInline(fx, (c11 - c01) * 65536);
    out[c] = static_cast<uint8_t>((top + FixMulInline(fy, bottom - top) + 0x8000) >> 16);
  }
}

void SampleSpan(const HexSource& source, const AffineMap& map, const BlockRow& row, int32_t xs,
                int32_t xe) {
  const int32_t half = row.atCentres ? 32768 : 0;
  const int32_t y = WrapAdd(ToFix(row.row), half);
  const int32_t xFirst = WrapAdd(ToFix(xs), half);
  const int32_t xLast = WrapAdd(ToFix(xe), half);
  const int32_t rowX = WrapAdd(FixMul(map.b, y), map.e);
  const int32_t rowY = WrapAdd(FixMul(map.d, y), map.f);
  const int32_t sx = WrapAdd(FixMul(map.a, xFirst), rowX);
  const int32_t sy = WrapAdd(FixMul(map.c, xFirst), rowY);
  const int32_t sxLast = WrapAdd(FixMul(map.a, xLast), rowX);
  const int32_t syLast = WrapAdd(FixMul(map.c, xLast), rowY);
  const int32_t stepX = SpanStep(WrapSub(sxLast, sx), xe - xs);
  const int32_t stepY = SpanStep(WrapSub(syLast, sy), xe - xs);
  uint8_t* out = row.out + static_cast<int64_t>(xs) * row.tileStep;
  if (source.rule == FractionRule::kBeforeClamp) {
    SampleRunFor<FractionRule::kBeforeClamp>(source, sx, sy, stepX, stepY, out, row.tileStep,
                                             xe - xs + 1);
  } else {
    SampleRunFor<FractionRule::kAfterClamp>(source, sx, sy, stepX, stepY, out, row.tileStep,
                                            xe - xs + 1);
  }
}

void CopyDirectSpan(const HexSource& source, const BlockRow& row, int32_t xs, int32_t xe,
                    bool clampToSource) {
  int32_t sourceRow = row.row;
  int32_t first = xs;
  int32_t count = xe - xs + 1;
  int32_t held = 0;  // pixels past the last source column: repeat that column
  if (clampToSource) {
    sourceRow = std::clamp(sourceRow, 0, source.maxY);
    first = std::clamp(first, 0, source.maxX);
    held = std::max(0, first + count - 1 - source.maxX);
    count -= held;
  }
  const uint8_t* in = source.origin + static_cast<int64_t>(sourceRow) * source.rowBytes +
                      static_cast<int64_t>(first) * source.pixelStep;
  uint8_t* out = row.out + static_cast<int64_t>(xs) * row.tileStep;
  if (source.pixelStep == source.channels && row.tileStep == source.channels && count > 0) {
    // Plain pixels on both sides: the run is one block of bytes.
    const int64_t bytes = static_cast<int64_t>(count) * source.channels;
    std::memcpy(out, in, static_cast<size_t>(bytes));
    in += bytes;
    out += bytes;
  } else {
    for (int32_t k = 0; k < count; ++k) {
      std::memcpy(out, in, static_cast<size_t>(source.channels));
      in += source.pixelStep;
      out += row.tileStep;
    }
  }
  if (held > 0) in -= source.pixelStep;
  for (int32_t k = 0; k < held; ++k) {
    std::memcpy(out, in, static_cast<size_t>(source.channels));
    out += row.tileStep;
  }
}

}  // namespace quiltora
