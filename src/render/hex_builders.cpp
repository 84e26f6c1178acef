#include "render/hex_builders.h"

#include <new>

#include "abi/plugin_api.h"
#include "common/fixed.h"
#include "render/hex_block.h"

namespace quiltora {

// The kite members live in hex_kite_builders.cpp.
std::unique_ptr<HexPlan> MakeKitePlan(int16_t number, const TileBuffers& buffers, int32_t side);

namespace {

constexpr double kSlope = 0.5773503;
constexpr double kHalfSlope = 0.28867515;
constexpr double kSpanBias = 0.4999999;

// FixMul(x, 0.5) of the constants the maps share.
int32_t HalfOf(int32_t value) { return FixMul(value, 32768); }

void SetSpans(HexRowSpans* spans, std::initializer_list<int32_t> ends, const AffineMap* const* maps) {
  spans->count = 0;
  for (int32_t end : ends) {
    spans->ends[spans->count] = end;
    spans->maps[spans->count] = maps[spans->count];
    ++spans->count;
  }
}

// Number 13 (p3): the rhombus of height side; block 2·side rows of w + 1
// columns with w = trunc(1.5 × 1.1547005·side − 0.5); tile twice as wide.
class StormAtSeaPlan final : public HexPlan {
 public:
  StormAtSeaPlan(const TileBuffers& buffers, int32_t side) : n_(side), o_(1.1547005 * side) {
    const int32_t w = static_cast<int32_t>(o_ * 3 * 0.5 - 0.5);
    blockWidth = w + 1;
    blockRows = 2 * n_;
    const int32_t nf = ToFix(n_), bw = ToFix(blockWidth);
    // Rotations by ±120 degrees that carry the hexagon's other rhombi onto the source.
    region1_ = {-32768, -56756, 56756, -32768, WrapAdd(FixMul(56756, ToFix(2 * n_)), HalfOf(-89524)),
                WrapSub(HalfOf(23988), FixMul(-32768, ToFix(2 * n_)))};
    region3_ = {-32768, -56756, 56756, -32768, WrapSub(WrapAdd(HalfOf(-89524), FixMul(56756, nf)), FixMul(-32768, bw)),
                WrapSub(WrapSub(HalfOf(23988), FixMul(56756, bw)), FixMul(-32768, nf))};
    const int32_t across = FixMul(113512, nf);
    region4_ = {-32768, 56756, -56756, -32768,
                WrapSub(WrapAdd(FixMul(-56756, nf), HalfOf(23988)), FixMul(-32768, across)),
                WrapSub(WrapSub(HalfOf(-89524), FixMul(-32768, nf)), FixMul(-56756, across))};
    region5_ = {-32768, -56756, 56756, -32768,
                WrapSub(WrapAdd(HalfOf(-89524), FixMul(56756, ToFix(3 * n_))), FixMul(-32768, bw)),
                WrapSub(WrapSub(HalfOf(23988), FixMul(56756, bw)), FixMul(-32768, ToFix(3 * n_)))};
    const PixelLayout layout = MakePixelLayout(buffers.sourceMode, buffers.tileMode);
    source = MakeHexSource(buffers, layout, w, n_ - 1, FractionRule::kBeforeClamp);
    // Row r also lands on tile row (r + side) mod 2·side, one block to the right.
    places[0] = {n_, 1, 0, n_ - 1, blockWidth, false};
    places[1] = {-n_, 1, n_, 2 * n_ - 1, blockWidth, false};
    placeCount = 2;
  }

  void NextRow(int32_t r, HexRowSpans* spans) override {
    if (r == n_) {
      boundaryA_ = (n_ - 0.5) * kSlope;
      boundaryB_ = (3 * n_ - 0.5) * kSlope;
      slope_ = -kSlope;
    }
    const AffineMap* const upper[3] = {&region1_, nullptr, &region3_};
    const AffineMap* const lower[3] = {&region1_, &region4_, &region5_};
    SetSpans(spans, {SpanEnd(boundaryA_ - kSpanBias), SpanEnd(boundaryB_ - kSpanBias), 0}, r < n_ ? upper : lower);
    boundaryA_ += slope_;
    boundaryB_ += slope_;
  }

 private:
  int32_t n_;
  double o_;
  AffineMap region1_{}, region3_{}, region4_{}, region5_{};
  double boundaryA_ = kHalfSlope, boundaryB_ = o_ + kHalfSlope, slope_ = kSlope;
};

// Number 14 (p3m1): the triangle of edge side (already lowered by its tile
// size); block h + 1 rows of 3·side / 2 columns, h = trunc(0.8660254·side − 0.5).
class WindingWaysPlan final : public HexPlan {
 public:
  WindingWaysPlan(const TileBuffers& buffers, int32_t side) : n_(side) {
    const int32_t h = static_cast<int32_t>(0.8660254 * n_ - 0.5);
    blockWidth = 3 * n_ / 2;
    blockRows = h + 1;
    const int32_t nf = ToFix(n_);
    // Reflections in the triangle's left and right edges, and the turn by 120
    // degrees that brings the triangle beyond the next edge back.
    m1_ = {-32768, 56756, 56756, 32768, 11805, 43738};
    m3_ = {-32768, -56756, -56756, 32768, WrapSub(FixMul(98304, nf), 44762), WrapSub(FixMul(56756, nf), 11994)};
    m4_ = {-32768, -56756, 56756, -32768, WrapSub(FixMul(98304, nf), 44762), WrapAdd(FixMul(-56756, nf), 11994)};
    const PixelLayout layout = MakePixelLayout(buffers.sourceMode, buffers.tileMode);
    source = MakeHexSource(buffers, layout, blockWidth - 1, h, FractionRule::kBeforeClamp);
    places[0] = {h + 1, 1, 0, h, blockWidth, false};
    places[1] = {2 * h + 1, -1, 0, h, 0, false};
    places[2] = {h, -1, 0, h, blockWidth, false};
    placeCount = 3;
  }

  void NextRow(int32_t, HexRowSpans* spans) override {
    const AffineMap* const maps[4] = {&m1_, nullptr, &m3_, &m4_};
    SetSpans(spans, {SpanEnd(b1_ - kSpanBias), SpanEnd(b2_ - kSpanBias), SpanEnd(b3_ - kSpanBias), 0}, maps);
    b1_ += kSlope;
    b2_ -= kSlope;
    b3_ += kSlope;
  }

 private:
  int32_t n_;
  AffineMap m1_{}, m3_{}, m4_{};
  double b1_ = kHalfSlope, b2_ = n_ - kHalfSlope, b3_ = n_ + kHalfSlope;
};

// Number 17 (p6m): the 30-60-90 triangle of short leg side (even); block
// v + 1 rows of 3·side / 2 columns, v = trunc(1.7320508·side − 0.5). Samples
// are clamped to [0, maxX] × [0, maxY].
class TurnstilePlan final : public HexPlan {
 public:
  TurnstilePlan(const TileBuffers& buffers, int32_t side, int32_t maxX, int32_t maxY) : n_(side) {
    const int32_t v = static_cast<int32_t>(1.7320508 * n_ - 0.5);
    blockWidth = 3 * n_ / 2;
    blockRows = v + 1;
    turnRow_ = static_cast<int32_t>(0.8660254 * n_ - 0.5) + 1;
    // The reflection in the hypotenuse, a turn by 60 and a turn by 120 degrees.
    region2_ = {-32768, 56756, 56756, 32768, HalfOf(23988), HalfOf(89524)};
    region3_ = {32768, -56756, 56756, 32768, HalfOf(-23988), HalfOf(89524)};
    region4_ = {-32768, 56756, -56756, -32768, HalfOf(23988), WrapAdd(FixMul(227023, ToFix(n_)), HalfOf(-89524))};
    const PixelLayout layout = MakePixelLayout(buffers.sourceMode, buffers.tileMode);
    source = MakeHexSource(buffers, layout, maxX, maxY, FractionRule::kBeforeClamp);
    clampDirect = true;
    places[0] = {2 * v + 1, -1, 0, v, 6 * n_ - 1, true};
    places[1] = {v + 1, 1, 0, v, 3 * n_, false};
    places[2] = {v + 1, 1, 0, v, 3 * n_ - 1, true};
    places[3] = {2 * v + 1, -1, 0, v, 0, false};
    places[4] = {0, 1, 0, v, 6 * n_ - 1, true};
    places[5] = {v, -1, 0, v, 3 * n_, false};
    places[6] = {v, -1, 0, v, 3 * n_ - 1, true};
    placeCount = 7;
  }

  void NextRow(int32_t r, HexRowSpans* spans) override {
    if (r == turnRow_) {
      b2_ = blockWidth - (turnRow_ + 0.5 - 0.8660254 * n_) * kSlope;
      slope2_ = -kSlope;
    }
    const AffineMap* const upper[3] = {nullptr, &region2_, &region3_};
    const AffineMap* const lower[3] = {nullptr, &region2_, &region4_};
    SetSpans(spans, {SpanEnd(b1_ - kSpanBias), SpanEnd(b2_ - kSpanBias), 0}, r < turnRow_ ? upper : lower);
    b1_ += kSlope;
    b2_ += slope2_;
  }

 private:
  int32_t n_;
  int32_t turnRow_ = 0;
  AffineMap region2_{}, region3_{}, region4_{};
  double b1_ = kHalfSlope, b2_ = 0.8660254, slope2_ = 1.7320508;
};

}  // namespace

std::unique_ptr<HexPlan> MakeHexPlan(int16_t number, const TileBuffers& buffers, int32_t side, int32_t maxX,
                                     int32_t maxY) {
  switch (number) {
    case 13: return std::unique_ptr<HexPlan>(new (std::nothrow) StormAtSeaPlan(buffers, side));
    case 14: return std::unique_ptr<HexPlan>(new (std::nothrow) WindingWaysPlan(buffers, side));
    case 15:
    case 16: return MakeKitePlan(number, buffers, side);
    case 17: return std::unique_ptr<HexPlan>(new (std::nothrow) TurnstilePlan(buffers, side, maxX, maxY));
    default: return nullptr;
  }
}

void RenderHexRow(const HexPlan& plan, const HexRowSpans& spans, int32_t r, uint8_t* out, int32_t step) {
  const BlockRow row{out, step, r, plan.atCentres};
  ForEachSpan(spans.ends, spans.count, plan.blockWidth, [&](int k, int32_t first, int32_t last) {
    RenderRegion(plan.source, spans.maps[k], row, first, last, plan.clampDirect);
  });
}

int16_t BuildHexTile(int16_t number, const TileBuffers& buffers, int32_t side, int32_t maxX, int32_t maxY,
                     const BuildRun& run) {
  std::unique_ptr<HexPlan> plan = MakeHexPlan(number, buffers, side, maxX, maxY);
  if (plan == nullptr) return plugin::kMemFullErr;
  const PixelLayout layout = MakePixelLayout(buffers.sourceMode, buffers.tileMode);
  const RowGate gate(run, plan->blockRows - 1 + run.destHeight);
  HexRowSpans spans;
  for (int32_t r = 0; r < plan->blockRows; ++r) {
    const int16_t stop = gate.StartRow();
    if (stop != 0) return stop;
    plan->NextRow(r, &spans);
    RenderHexRow(*plan, spans, r, TilePixel(buffers, layout, r, 0) + layout.tileSkip, layout.tileStep);
    for (int k = 0; k < plan->placeCount; ++k) {
      const HexPlace& place = plan->places[k];
      if (r < place.firstRow || r > place.lastRow) continue;
      CopyBlockRow(buffers, layout, r, plan->blockWidth, place.rowBase + place.rowSign * r, place.column,
                   place.mirrored);
    }
  }
  return gate.Finished();
}

}  // namespace quiltora
