#include "render/feather_blend.h"

#include <algorithm>
#include <cstring>

#include "common/fixed.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora {

namespace {

constexpr int kMaxImages = 10;
constexpr int kMaxChannels = 4;

// The terms of one pixel's blend: weights and the channel bytes they weigh.
struct BlendTerms {
  int32_t count = 0;
  int32_t weights[kMaxImages + 1];
  uint8_t values[kMaxImages + 1][kMaxChannels];

  void Add(int32_t weight, const uint8_t* value, int32_t channels) {
    weights[count] = weight;
    std::memcpy(values[count], value, static_cast<size_t>(channels));
    ++count;
  }
};

// S / T per channel, 0 when T = 0.
void WriteBlend(const BlendTerms& terms, int32_t channels, uint8_t* out) {
  int32_t total = 0;
  for (int32_t k = 0; k < terms.count; ++k) total += terms.weights[k];
  for (int32_t c = 0; c < channels; ++c) {
    int32_t sum = 0;
    for (int32_t k = 0; k < terms.count; ++k) sum += terms.weights[k] * terms.values[k][c];
    out[c] = static_cast<uint8_t>(total == 0 ? 0 : sum / total);
  }
}

// Integer part and 16.16 fraction of a position; the fraction is taken
// before the integer part is clamped to [0, maximum].
void SplitClamped(int32_t position, int32_t maximum, int32_t* whole, int32_t* fraction) {
  const int32_t integer = FixToInt(position);
  *fraction = WrapSub(position, ToFix(integer));
  *whole = std::clamp(integer, 0, std::max(maximum, 0));
}

}  // namespace

FeatherBuffers MakeFeatherBuffers(const TileSymmetry& symmetry, const uint8_t* source,
                                  int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work,
                                  int32_t workRowBytes, int16_t workMode, int32_t sourceOriginX,
                                  int32_t sourceOriginY) {
  FeatherBuffers buffers{};
  buffers.layout = MakePixelLayout(sourceMode, workMode);
  buffers.sourceRowBytes = sourceRowBytes;
  buffers.workRowBytes = workRowBytes;
  buffers.sourceOrigin = source + static_cast<int64_t>(sourceOriginY) * sourceRowBytes +
                         static_cast<int64_t>(sourceOriginX) * buffers.layout.sourceStep +
                         buffers.layout.sourceSkip;
  buffers.workOrigin = work + static_cast<int64_t>(symmetry.edgeMinTop) * workRowBytes +
                       static_cast<int64_t>(symmetry.edgeMinLeft) * buffers.layout.tileStep +
                       buffers.layout.tileSkip;
  buffers.readLeft = -sourceOriginX;
  buffers.readTop = -sourceOriginY;
  buffers.readRight = symmetry.extentWidth + symmetry.featherMarginRight;
  buffers.readBottom = symmetry.extentHeight + symmetry.featherMarginBottom;
  buffers.workLeft = -symmetry.edgeMinLeft;
  buffers.workTop = -symmetry.edgeMinTop;
  buffers.workRight = symmetry.extentWidth + symmetry.edgeMinRight - 1;
  buffers.workBottom = symmetry.extentHeight + symmetry.edgeMinBottom - 1;
  return buffers;
}

void CopyFeatherSpan(const FeatherBuffers& buffers, int32_t y, int32_t first, int32_t last) {
  if (last < first) return;
  if (IsPlainCopy(buffers.layout)) {
    std::memcpy(buffers.WorkAt(first, y), buffers.SourceAt(first, y),
                static_cast<size_t>(last - first + 1) * static_cast<size_t>(buffers.layout.channels));
    return;
  }
  CopyPixelRun(buffers.SourceAt(first, y), buffers.layout.sourceStep, buffers.WorkAt(first, y),
               buffers.layout.tileStep, last - first + 1, buffers.layout.channels);
}

namespace {

// BlendFeatherSpan for a fixed channel count: the terms are summed as they
// are found (integer sums, so the order does not matter) rather than listed.
template <int kChannels>
void BlendWholeSpan(const FeatherBuffers& buffers, const FeatherMask& mask, int32_t y,
                    int32_t first, int32_t last, const WholeImage* images, uint32_t imageSet) {
  for (int32_t x = first; x <= last; ++x) {
    int32_t total = mask.At(x, y);
    int32_t sums[kChannels];
    const uint8_t* own = buffers.SourceAt(x, y);
    for (int c = 0; c < kChannels; ++c) sums[c] = total * own[c];
    for (uint32_t set = imageSet & ((1u << kMaxImages) - 1); set != 0; set &= set - 1) {
      const WholeImage& image = images[__builtin_ctz(set)];
      const int32_t column = image.xx * x + image.xy * y + image.x0;
      const int32_t row = image.yx * x + image.yy * y + image.y0;
      if (!buffers.CanRead(column, row)) continue;
      const int32_t weight = mask.At(column, row);
      if (weight == 0) continue;
      const uint8_t* value = buffers.SourceAt(column, row);
      total += weight;
      for (int c = 0; c < kChannels; ++c) sums[c] += weight * value[c];
    }
    uint8_t* out = buffers.WorkAt(x, y);
    for (int c = 0; c < kChannels; ++c) out[c] = static_cast<uint8_t>(total == 0 ? 0 : sums[c] / total);
  }
}

}  // namespace

void BlendFeatherSpan(const FeatherBuffers& buffers, const FeatherMask& mask, int32_t y,
                      int32_t first, int32_t last, const WholeImage* images, uint32_t imageSet) {
  switch (buffers.layout.channels) {
    case 1: BlendWholeSpan<1>(buffers, mask, y, first, last, images, imageSet); break;
    case 3: BlendWholeSpan<3>(buffers, mask, y, first, last, images, imageSet); break;
    case 4: BlendWholeSpan<4>(buffers, mask, y, first, last, images, imageSet); break;
    default: break;
  }
}

void BlendFeatherSpanFixed(const FeatherBuffers& buffers, const FeatherMask& mask, int32_t y,
                           int32_t first, int32_t last, const AffineMap* images,
                           uint32_t imageSet) {
  const int32_t channels = buffers.layout.channels;
  const int32_t maxX = buffers.workRight;
  const int32_t maxY = buffers.workBottom;
  const int32_t centreY = WrapAdd(ToFix(y), 32768);
  for (int32_t x = first; x <= last; ++x) {
    const int32_t centreX = WrapAdd(ToFix(x), 32768);
    BlendTerms terms;
    terms.Add(mask.At(x, y), buffers.SourceAt(x, y), channels);
    for (int32_t k = 0; k < kMaxImages; ++k) {
      if ((imageSet & (1u << k)) == 0) continue;
      const AffineMap& image = images[k];
      const int32_t sx = WrapAdd(
          WrapAdd(FixMulInline(image.a, centreX), FixMulInline(image.b, centreY)), image.e);
      const int32_t sy = WrapAdd(
          WrapAdd(FixMulInline(image.c, centreX), FixMulInline(image.d, centreY)), image.f);
      int32_t ix, iy, fx, fy;
      SplitClamped(sx, maxX, &ix, &fx);
      SplitClamped(sy, maxY, &iy, &fy);
      const int32_t weight = mask.At(ix, iy);
      if (weight == 0) continue;
      const uint8_t* pixel = buffers.SourceAt(ix, iy);
      if (ix == maxX || iy == maxY) {
        terms.Add(weight, pixel, channels);
      } else {
        uint8_t sample[kMaxChannels];
        BilinearSample(pixel, buffers.layout.sourceStep, buffers.sourceRowBytes, fx, fy, channels,
                       sample);
        terms.Add(weight, sample, channels);
      }
    }
    WriteBlend(terms, channels, buffers.WorkAt(x, y));
  }
}

}  // namespace quiltora
