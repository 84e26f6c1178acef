#include "render/hex_builders.h"

#include "common/fixed.h"
#include "render/hex_block.h"

namespace quiltora {

namespace {

constexpr double kSlope = 0.5773503;
constexpr double kHalfSlope = 0.28867515;
constexpr double kSpanBias = 0.4999999;

// FixMul(x, 0.5) of the constants the maps share.
int32_t HalfOf(int32_t value) { return FixMul(value, 32768); }

}  // namespace

int16_t BuildStormAtSeaTile(const TileBuffers& buffers, int32_t side, const BuildRun& run) {
  const int32_t n = side;
  const double o = 1.1547005 * n;
  const int32_t w = static_cast<int32_t>(o * 3 * 0.5 - 0.5);
  const int32_t blockWidth = w + 1;
  const int32_t nf = ToFix(n), bw = ToFix(blockWidth);
  // Rotations by ±120 degrees that carry the hexagon's other rhombi onto the source.
  const AffineMap region1{-32768, -56756, 56756, -32768,
                          WrapAdd(FixMul(56756, ToFix(2 * n)), HalfOf(-89524)),
                          WrapSub(HalfOf(23988), FixMul(-32768, ToFix(2 * n)))};
  const AffineMap region3{
      -32768, -56756, 56756, -32768,
      WrapSub(WrapAdd(HalfOf(-89524), FixMul(56756, nf)), FixMul(-32768, bw)),
      WrapSub(WrapSub(HalfOf(23988), FixMul(56756, bw)), FixMul(-32768, nf))};
  const int32_t across = FixMul(113512, nf);
  const AffineMap region4{
      -32768, 56756, -56756, -32768,
      WrapSub(WrapAdd(FixMul(-56756, nf), HalfOf(23988)), FixMul(-32768, across)),
      WrapSub(WrapSub(HalfOf(-89524), FixMul(-32768, nf)), FixMul(-56756, across))};
  const AffineMap region5{
      -32768, -56756, 56756, -32768,
      WrapSub(WrapAdd(HalfOf(-89524), FixMul(56756, ToFix(3 * n))), FixMul(-32768, bw)),
      WrapSub(WrapSub(HalfOf(23988), FixMul(56756, bw)), FixMul(-32768, ToFix(3 * n)))};
  const AffineMap* const upperMaps[3] = {&region1, nullptr, &region3};
  const AffineMap* const lowerMaps[3] = {&region1, &region4, &region5};

  const PixelLayout layout = MakePixelLayout(buffers.sourceMode, buffers.tileMode);
  const HexSource source = MakeHexSource(buffers, layout, w, n - 1, FractionRule::kBeforeClamp);
  const RowGate gate(run, 2 * n - 1 + run.destHeight);
  double boundaryA = kHalfSlope, boundaryB = o + kHalfSlope, slope = kSlope;
  for (int32_t r = 0; r < 2 * n; ++r) {
    const int16_t stop = gate.StartRow();
    if (stop != 0) return stop;
    if (r == n) {
      boundaryA = (n - 0.5) * kSlope;
      boundaryB = (3 * n - 0.5) * kSlope;
      slope = -kSlope;
    }
    const int32_t ends[3] = {SpanEnd(boundaryA - kSpanBias), SpanEnd(boundaryB - kSpanBias), 0};
    const AffineMap* const* maps = r < n ? upperMaps : lowerMaps;
    const BlockRow row = MakeBlockRow(buffers, layout, r, false);
    ForEachSpan(ends, 3, blockWidth, [&](int k, int32_t first, int32_t last) {
      RenderRegion(source, maps[k], row, first, last, false);
    });
    CopyBlockRow(buffers, layout, r, blockWidth, (r + n) % (2 * n), blockWidth, false);
    boundaryA += slope;
    boundaryB += slope;
  }
  return gate.Finished();
}

int16_t BuildWindingWaysTile(const TileBuffers& buffers, int32_t side, const BuildRun& run) {
  const int32_t n = side;
  const int32_t h = static_cast<int32_t>(0.8660254 * n - 0.5);
  const int32_t blockWidth = 3 * n / 2;
  const int32_t nf = ToFix(n);
  // Reflections in the triangle's left and right edges, and the turn by 120
  // degrees that brings the triangle beyond the next edge back.
  const AffineMap m1{-32768, 56756, 56756, 32768, 11805, 43738};
  const AffineMap m3{-32768, -56756, -56756, 32768, WrapSub(FixMul(98304, nf), 44762),
                     WrapSub(FixMul(56756, nf), 11994)};
  const AffineMap m4{-32768, -56756, 56756, -32768, WrapSub(FixMul(98304, nf), 44762),
                     WrapAdd(FixMul(-56756, nf), 11994)};
  const AffineMap* const maps[4] = {&m1, nullptr, &m3, &m4};

  const PixelLayout layout = MakePixelLayout(buffers.sourceMode, buffers.tileMode);
  const HexSource source =
      MakeHexSource(buffers, layout, blockWidth - 1, h, FractionRule::kBeforeClamp);
  const RowGate gate(run, h + run.destHeight);
  double b1 = kHalfSlope, b2 = n - kHalfSlope, b3 = n + kHalfSlope;
  for (int32_t r = 0; r <= h; ++r) {
    const int16_t stop = gate.StartRow();
    if (stop != 0) return stop;
    const int32_t ends[4] = {SpanEnd(b1 - kSpanBias), SpanEnd(b2 - kSpanBias),
                             SpanEnd(b3 - kSpanBias), 0};
    const BlockRow row = MakeBlockRow(buffers, layout, r, false);
    ForEachSpan(ends, 4, blockWidth, [&](int k, int32_t first, int32_t last) {
      RenderRegion(source, maps[k], row, first, last, false);
    });
    CopyBlockRow(buffers, layout, r, blockWidth, h + 1 + r, blockWidth, false);
    CopyBlockRow(buffers, layout, r, blockWidth, 2 * h + 1 - r, 0, false);
    CopyBlockRow(buffers, layout, r, blockWidth, h - r, blockWidth, false);
    b1 += kSlope;
    b2 -= kSlope;
    b3 += kSlope;
  }
  return gate.Finished();
}

int16_t BuildTurnstileTile(const TileBuffers& buffers, int32_t side, int32_t maxX, int32_t maxY,
                           const BuildRun& run) {
  const int32_t n = side;
  const int32_t v = static_cast<int32_t>(1.7320508 * n - 0.5);
  const int32_t blockWidth = 3 * n / 2;
  const int32_t turnRow = static_cast<int32_t>(0.8660254 * n - 0.5) + 1;
  // The reflection in the hypotenuse, a turn by 60 and a turn by 120 degrees.
  const AffineMap region2{-32768, 56756, 56756, 32768, HalfOf(23988), HalfOf(89524)};
  const AffineMap region3{32768, -56756, 56756, 32768, HalfOf(-23988), HalfOf(89524)};
  const AffineMap region4{-32768, 56756, -56756, -32768, HalfOf(23988),
                          WrapAdd(FixMul(227023, ToFix(n)), HalfOf(-89524))};
  const AffineMap* const upperMaps[3] = {nullptr, &region2, &region3};
  const AffineMap* const lowerMaps[3] = {nullptr, &region2, &region4};

  const PixelLayout layout = MakePixelLayout(buffers.sourceMode, buffers.tileMode);
  const HexSource source = MakeHexSource(buffers, layout, maxX, maxY, FractionRule::kBeforeClamp);
  const RowGate gate(run, v + run.destHeight);
  double b1 = kHalfSlope, b2 = 0.8660254, slope2 = 1.7320508;
  for (int32_t r = 0; r <= v; ++r) {
    const int16_t stop = gate.StartRow();
    if (stop != 0) return stop;
    if (r == turnRow) {
      b2 = blockWidth - (turnRow + 0.5 - 0.8660254 * n) * kSlope;
      slope2 = -kSlope;
    }
    const int32_t ends[3] = {SpanEnd(b1 - kSpanBias), SpanEnd(b2 - kSpanBias), 0};
    const AffineMap* const* maps = r < turnRow ? upperMaps : lowerMaps;
    const BlockRow row = MakeBlockRow(buffers, layout, r, false);
    ForEachSpan(ends, 3, blockWidth, [&](int k, int32_t first, int32_t last) {
      RenderRegion(source, maps[k], row, first, last, true);
    });
    CopyBlockRow(buffers, layout, r, blockWidth, 2 * v + 1 - r, 6 * n - 1, true);
    CopyBlockRow(buffers, layout, r, blockWidth, v + 1 + r, 3 * n, false);
    CopyBlockRow(buffers, layout, r, blockWidth, v + 1 + r, 3 * n - 1, true);
    CopyBlockRow(buffers, layout, r, blockWidth, 2 * v + 1 - r, 0, false);
    CopyBlockRow(buffers, layout, r, blockWidth, r, 6 * n - 1, true);
    CopyBlockRow(buffers, layout, r, blockWidth, v - r, 3 * n, false);
    CopyBlockRow(buffers, layout, r, blockWidth, v - r, 3 * n - 1, true);
    b1 += kSlope;
    b2 += slope2;
  }
  return gate.Finished();
}

}  // namespace quiltora
