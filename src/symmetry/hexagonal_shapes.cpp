// Triangle, half triangle, rhombus and kite: the sources of the five
// hexagonal symmetries. Their sizes follow from side through the constants
// below, used as written rather than as the closed forms they approximate.
#include <algorithm>

#include "symmetry/shapes.h"
#include "symmetry/side_shape.h"

namespace quiltora {

using shape::Trunc;

namespace {

struct Box {
  int32_t width, height;
};

Box TriangleBox(int32_t side) { return Box{side, Trunc(side * 0.8660254) + 2}; }
Box HalfTriangleBox(int32_t side) { return Box{side, Trunc(side * 1.7320508) + 1}; }
Box RhombusBox(int32_t side) {
  return Box{Trunc(side * 1.1547005 * 3.0 / 2.0 - 0.5) + 1, side};
}
Box KiteBox(int32_t side) { return Box{Trunc(side * 0.75), Trunc(side * 0.8660254 - 0.5) + 1}; }

int32_t RhombusLargestFeather(int32_t side) {
  return Trunc(std::min(static_cast<double>(side / 2), side * 0.57735025 * 0.8660254)) - 1;
}

// t is the height of the kite's 60-degree corner over its long diagonal, q the
// depth of the inscribed circle's centre below the top.
int32_t KiteLargestFeather(int32_t side) {
  const double t = side * 0.8660254;
  const double r = t / (t * 2.0 / side + 1.0);
  const double q = r * t * 2.0 / side;
  return Trunc(t - Trunc(q)) - 1;
}

// Bounds shared by the four shapes: the extent grown by the feather margins.
void ExtentBounds(const TileSymmetry& object, Rect16* bounds) {
  *bounds = Rect16{shape::Narrow(object.y - object.featherMarginTop),
                   shape::Narrow(object.x - object.featherMarginLeft),
                   shape::Narrow(object.y + object.extentHeight + object.featherMarginBottom),
                   shape::Narrow(object.x + object.extentWidth + object.featherMarginRight)};
}

void SetExtent(TileSymmetry* object, Box box) {
  object->extentWidth = box.width;
  object->extentHeight = box.height;
}

// Measures the tile by the rule and keeps the side the rule lowered.
template <typename Shape>
void MeasureHexagonalTile(Shape* object, TileRule rule) {
  const TileSize size = TileSizeOf(rule, 0, 0, object->side);
  object->side = size.side;
  shape::SetTileSize(object, size);
}

}  // namespace

// The four classes share everything but their size rule, box and feather.
#define QUILTORA_SIDE_COMMON(Shape, BoxOf, Epsilon)                                     \
  void Shape::SetFromRect(const Rect16& rect) { SetFromFrame(shape::RectFrame(rect, 0.0)); } \
  void Shape::GetRect(Rect16* rect) {                                                   \
    const Box box = BoxOf(side);                                                        \
    *rect = shape::BoxRect(x, y, box.width, box.height);                                \
  }                                                                                     \
  void Shape::GetFrame(SelectionFrame* frame) {                                         \
    const Box box = BoxOf(side);                                                        \
    *frame = shape::BoxFrame(x, y, box.width, box.height, 0.0);                         \
  }                                                                                     \
  int16_t Shape::IsOutsideImage() {                                                     \
    const Box box = BoxOf(side);                                                        \
    return shape::BoxOutside(*this, x, y, box.width, box.height);                       \
  }                                                                                     \
  void Shape::SetDefault() {                                                            \
    SetFromFrame(shape::MiddleThird(*this));                                            \
    featherPixels = 0;                                                                  \
  }                                                                                     \
  void Shape::Scale(double factor) { shape::ScaleSide(this, factor, Epsilon); }         \
  void Shape::ComputeSourceExtent() { SetExtent(this, BoxOf(side)); }                   \
  void Shape::GetSourceBounds(Rect16* bounds) { ExtentBounds(*this, bounds); }

QUILTORA_SIDE_COMMON(TriangleSource, TriangleBox, shape::kEpsilonWide)
QUILTORA_SIDE_COMMON(HalfTriangleSource, HalfTriangleBox, shape::kEpsilon)
QUILTORA_SIDE_COMMON(RhombusSource, RhombusBox, shape::kEpsilonRhombus)
QUILTORA_SIDE_COMMON(KiteSource, KiteBox, shape::kEpsilonWide)

#undef QUILTORA_SIDE_COMMON

// ---- TriangleSource ----

void TriangleSource::LoadSelection(const ParameterBlock& block) {
  shape::LoadSide(this, block, block.selectionSize);
}

void TriangleSource::StoreSelection(ParameterBlock& block) {
  shape::StoreCommon(*this, block);
  block.selectionSize = side;
}

void TriangleSource::SetFromFrame(const SelectionFrame& frame) {
  fx = frame.left;
  fy = frame.top;
  fside = std::min(frame.right - frame.left, (frame.bottom - frame.top) * 1.1547005383792524);
  shape::RoundSide(this, shape::kEpsilonWide);
}

void TriangleSource::SetScaled(int32_t left, int32_t top, int32_t boxWidth, int32_t, int32_t,
                               double scale) {
  fx = left * scale;
  fy = top * scale;
  fside = boxWidth * scale;
  shape::RoundSide(this, shape::kEpsilonWide);
}

int16_t TriangleSource::LimitFeather() { return shape::LowerFeather(this, 0); }

// The side is lowered by one before the tile is measured, and stays lowered.
void TriangleSource::ComputeTileSize() { MeasureHexagonalTile(this, TileRule::kTriangle); }

void TriangleSource::SetFeatherPercent(int32_t) { featherPixels = 0; }

void TriangleSource::GetFeatherReach(int32_t*, int32_t*) {}

// ---- HalfTriangleSource ----

void HalfTriangleSource::LoadSelection(const ParameterBlock& block) {
  shape::LoadSide(this, block, block.selectionSize);
}

void HalfTriangleSource::StoreSelection(ParameterBlock& block) {
  shape::StoreCommon(*this, block);
  block.selectionSize = side;
}

void HalfTriangleSource::SetFromFrame(const SelectionFrame& frame) {
  fx = frame.left;
  fy = frame.top;
  fside = std::min((frame.bottom - frame.top) * 0.5773502691925848, frame.right - frame.left);
  shape::RoundSide(this, shape::kEpsilon);
}

void HalfTriangleSource::SetScaled(int32_t left, int32_t top, int32_t boxWidth, int32_t, int32_t,
                                   double scale) {
  fx = left * scale;
  fy = top * scale;
  fside = boxWidth * scale;
  shape::RoundSide(this, shape::kEpsilon);
}

int16_t HalfTriangleSource::LimitFeather() { return shape::LowerFeather(this, 0); }

// An odd side is lowered to even (and stays lowered).
void HalfTriangleSource::ComputeTileSize() { MeasureHexagonalTile(this, TileRule::kHalfTriangle); }

// The shape leaves the feather as it is; its one leaf sets 0.
void HalfTriangleSource::SetFeatherPercent(int32_t) {}

void HalfTriangleSource::GetFeatherReach(int32_t*, int32_t*) {}

// ---- RhombusSource ----

void RhombusSource::LoadSelection(const ParameterBlock& block) {
  shape::LoadSide(this, block, block.selectionHeight);
}

void RhombusSource::StoreSelection(ParameterBlock& block) {
  shape::StoreCommon(*this, block);
  block.selectionHeight = side;
}

void RhombusSource::SetFromFrame(const SelectionFrame& frame) {
  fx = frame.left;
  fy = frame.top;
  fside = std::min(frame.bottom - frame.top, (frame.right - frame.left) * 0.5773502691925848);
  shape::RoundSide(this, shape::kEpsilonRhombus);
}

void RhombusSource::SetScaled(int32_t left, int32_t top, int32_t, int32_t boxHeight, int32_t,
                              double scale) {
  fx = left * scale;
  fy = top * scale;
  fside = boxHeight * scale;
  shape::RoundSide(this, shape::kEpsilonRhombus);
}

int16_t RhombusSource::LimitFeather() {
  return shape::LowerFeather(this, std::min(RhombusLargestFeather(side), 127));
}

void RhombusSource::ComputeTileSize() { MeasureHexagonalTile(this, TileRule::kRhombus); }

void RhombusSource::SetFeatherPercent(int32_t percent) {
  featherPixels = percent * RhombusLargestFeather(side) / 100;
  FitFeather();
  if (featherPixels > 127) featherPixels = 127;
}

// The slanted edges need four pixels more than the feather.
void RhombusSource::GetFeatherReach(int32_t* reachX, int32_t* reachY) {
  *reachX = featherPixels + 4;
  *reachY = featherPixels + 4;
}

// ---- KiteSource ----

void KiteSource::LoadSelection(const ParameterBlock& block) {
  shape::LoadSide(this, block, block.selectionSize);
}

void KiteSource::StoreSelection(ParameterBlock& block) {
  shape::StoreCommon(*this, block);
  block.selectionSize = side;
}

void KiteSource::SetFromFrame(const SelectionFrame& frame) {
  fx = frame.left;
  fy = frame.top;
  fside = std::min((frame.bottom - frame.top) * 1.1547005, (frame.right - frame.left) * 1.33333333);
  shape::RoundSide(this, shape::kEpsilonWide);
}

void KiteSource::SetScaled(int32_t left, int32_t top, int32_t boxWidth, int32_t, int32_t,
                           double scale) {
  fx = left * scale;
  fy = top * scale;
  fside = boxWidth * scale * 4.0 / 3.0;
  shape::RoundSide(this, shape::kEpsilonWide);
}

// Lowers the feather to the kite's largest, then until the feathered copy's
// reach stays inside the image.
int16_t KiteSource::LimitFeather() {
  int16_t lowered = shape::LowerFeather(this, std::min(KiteLargestFeather(side), 127));
  const Box box = KiteBox(side);
  while (featherPixels > 0) {
    int32_t reachX = 0;
    int32_t reachY = 0;
    GetFeatherReach(&reachX, &reachY);
    const bool inside = x - reachX >= 0 && y - reachY >= 0 &&
                        x + box.width + reachX <= sourceWidth &&
                        y + box.height + reachY <= sourceHeight;
    if (inside) break;
    --featherPixels;
    lowered = -1;
  }
  return lowered;
}

// An odd side is lowered to even (and stays lowered).
void KiteSource::ComputeTileSize() { MeasureHexagonalTile(this, TileRule::kKite); }

void KiteSource::SetFeatherPercent(int32_t percent) {
  featherPixels = percent * KiteLargestFeather(side) / 100;
  FitFeather();
  if (featherPixels > 127) featherPixels = 127;
}

// The kite's acute corner needs six pixels more than the feather.
void KiteSource::GetFeatherReach(int32_t* reachX, int32_t* reachY) {
  *reachX = featherPixels + 6;
  *reachY = featherPixels + 6;
}

}  // namespace quiltora
