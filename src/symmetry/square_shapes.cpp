// Rectangle, square and half square: the shapes whose source is an upright
// box of whole pixels.
#include <algorithm>

#include "symmetry/shapes.h"
#include "symmetry/side_shape.h"

namespace quiltora {

using shape::kEpsilon;
using shape::Trunc;

namespace {

void RoundRectangle(RectangleSource* object) {
  object->x = shape::TruncNear(object->fx, kEpsilon);
  object->y = shape::TruncNear(object->fy, kEpsilon);
  object->width = shape::TruncNear(object->fwidth, kEpsilon);
  object->height = shape::TruncNear(object->fheight, kEpsilon);
}

int32_t RectangleLargestFeather(const RectangleSource& object) {
  return std::min(object.width, object.height) / 2 - 1;
}

int32_t HalfSquareLargestFeather(const HalfSquareSource& object) {
  return Trunc(object.side * 0.2728932);
}

int32_t SquareLargestFeather(const SquareSource& object) { return object.side / 2 - 1; }

// Bounds of the square-based shapes: the side × side box grown by the feather margins.
template <class Shape>
void SquareBounds(const Shape& object, Rect16* bounds) {
  *bounds = Rect16{shape::Narrow(object.y - object.featherMarginTop),
                   shape::Narrow(object.x - object.featherMarginLeft),
                   shape::Narrow(object.y + object.side + object.featherMarginBottom),
                   shape::Narrow(object.x + object.side + object.featherMarginRight)};
}

}  // namespace

// ---- RectangleSource ----

void RectangleSource::LoadSelection(const ParameterBlock& block) {
  x = block.selectionX;
  y = block.selectionY;
  height = block.selectionHeight;
  width = block.selectionWidth;
  fx = x;
  fy = y;
  fheight = height;
  fwidth = width;
  featherPixels = block.featherPixels;
  selectionReserved = block.selectionReserved;
}

void RectangleSource::StoreSelection(ParameterBlock& block) {
  shape::StoreCommon(*this, block);
  block.selectionHeight = height;
  block.selectionWidth = width;
  block.sourceWidth = sourceWidth;
  block.sourceHeight = sourceHeight;
}

void RectangleSource::SetFromRect(const Rect16& rect) { SetFromFrame(shape::RectFrame(rect, 0.0)); }

void RectangleSource::SetFromFrame(const SelectionFrame& frame) {
  fx = frame.left;
  fy = frame.top;
  fwidth = frame.right - frame.left;
  fheight = frame.bottom - frame.top;
  RoundRectangle(this);
}

void RectangleSource::GetRect(Rect16* rect) { *rect = shape::BoxRect(x, y, width, height); }

void RectangleSource::GetFrame(SelectionFrame* frame) {
  *frame = shape::BoxFrame(x, y, width, height, 0.0);
}

int16_t RectangleSource::LimitFeather() {
  return shape::LowerFeather(this, RectangleLargestFeather(*this));
}

int16_t RectangleSource::IsOutsideImage() { return shape::BoxOutside(*this, x, y, width, height); }

void RectangleSource::SetDefault() {
  SetFromFrame(shape::MiddleThird(*this));
  featherPixels = 0;
}

void RectangleSource::SetScaled(int32_t left, int32_t top, int32_t boxWidth, int32_t boxHeight,
                                int32_t, double scale) {
  fx = left * scale;
  fy = top * scale;
  fwidth = boxWidth * scale;
  fheight = boxHeight * scale;
  RoundRectangle(this);
}

void RectangleSource::Scale(double factor) {
  fx *= factor;
  fy *= factor;
  fwidth *= factor;
  fheight *= factor;
  RoundRectangle(this);
}

void RectangleSource::ComputeTileSize() {
  shape::SetTileSize(this, TileSizeOf(TileRule::kTwoByTwo, width, height, 0));
}

void RectangleSource::ComputeSourceExtent() {
  extentWidth = width;
  extentHeight = height;
}

void RectangleSource::SetFeatherPercent(int32_t percent) {
  featherPixels = percent * RectangleLargestFeather(*this) / 100;
  FitFeather();
}

void RectangleSource::GetFeatherReach(int32_t* reachX, int32_t* reachY) {
  *reachX = featherPixels;
  *reachY = featherPixels;
}

// The rectangle grows by the feather itself, not by the margins.
void RectangleSource::GetSourceBounds(Rect16* bounds) {
  const int32_t f = featherPixels;
  *bounds = Rect16{shape::Narrow(y - f), shape::Narrow(x - f), shape::Narrow(y + height + f),
                   shape::Narrow(x + width + f)};
}

// ---- HalfSquareSource ----

void HalfSquareSource::LoadSelection(const ParameterBlock& block) {
  shape::LoadSide(this, block, block.selectionSize);
}

void HalfSquareSource::StoreSelection(ParameterBlock& block) {
  shape::StoreCommon(*this, block);
  block.selectionSize = side;
  block.sourceWidth = sourceWidth;
  block.sourceHeight = sourceHeight;
}

void HalfSquareSource::SetFromRect(const Rect16& rect) { SetFromFrame(shape::RectFrame(rect, 0.0)); }

void HalfSquareSource::SetFromFrame(const SelectionFrame& frame) {
  fx = frame.left;
  fy = frame.top;
  fside = std::min(frame.bottom - frame.top, frame.right - frame.left);
  shape::RoundSide(this, kEpsilon);
}

void HalfSquareSource::GetRect(Rect16* rect) { *rect = shape::BoxRect(x, y, side, side); }

void HalfSquareSource::GetFrame(SelectionFrame* frame) {
  *frame = shape::BoxFrame(x, y, side, side, 0.0);
}

int16_t HalfSquareSource::LimitFeather() {
  return shape::LowerFeather(this, std::min(HalfSquareLargestFeather(*this), 127));
}

int16_t HalfSquareSource::IsOutsideImage() { return shape::BoxOutside(*this, x, y, side, side); }

void HalfSquareSource::SetDefault() {
  SetFromFrame(shape::MiddleThird(*this));
  featherPixels = 0;
}

void HalfSquareSource::SetScaled(int32_t left, int32_t top, int32_t boxWidth, int32_t, int32_t,
                                 double scale) {
  fx = left * scale;
  fy = top * scale;
  fside = boxWidth * scale;
  shape::RoundSide(this, kEpsilon);
}

void HalfSquareSource::Scale(double factor) { shape::ScaleSide(this, factor, kEpsilon); }

void HalfSquareSource::ComputeTileSize() {
  shape::SetTileSize(this, TileSizeOf(TileRule::kTwoSides, 0, 0, side));
}

void HalfSquareSource::ComputeSourceExtent() {
  extentWidth = side;
  extentHeight = side;
}

void HalfSquareSource::SetFeatherPercent(int32_t percent) {
  featherPixels = percent * HalfSquareLargestFeather(*this) / 100;
  FitFeather();
  if (featherPixels >= 128) featherPixels = 127;
}

// The slanted edge needs two pixels more than the feather.
void HalfSquareSource::GetFeatherReach(int32_t* reachX, int32_t* reachY) {
  *reachX = featherPixels + 2;
  *reachY = featherPixels + 2;
}

void HalfSquareSource::GetSourceBounds(Rect16* bounds) { SquareBounds(*this, bounds); }

// ---- SquareSource ----

void SquareSource::LoadSelection(const ParameterBlock& block) {
  shape::LoadSide(this, block, block.selectionHeight);
}

void SquareSource::StoreSelection(ParameterBlock& block) {
  shape::StoreCommon(*this, block);
  block.selectionHeight = side;
  block.sourceWidth = sourceWidth;
  block.sourceHeight = sourceHeight;
}

void SquareSource::SetFromRect(const Rect16& rect) { SetFromFrame(shape::RectFrame(rect, 0.0)); }

void SquareSource::SetFromFrame(const SelectionFrame& frame) {
  fx = frame.left;
  fy = frame.top;
  fside = std::min(frame.bottom - frame.top, frame.right - frame.left);
  shape::RoundSide(this, kEpsilon);
}

void SquareSource::GetRect(Rect16* rect) { *rect = shape::BoxRect(x, y, side, side); }

void SquareSource::GetFrame(SelectionFrame* frame) {
  *frame = shape::BoxFrame(x, y, side, side, 0.0);
}

int16_t SquareSource::LimitFeather() {
  return shape::LowerFeather(this, SquareLargestFeather(*this));
}

int16_t SquareSource::IsOutsideImage() { return shape::BoxOutside(*this, x, y, side, side); }

void SquareSource::SetDefault() {
  SetFromFrame(shape::MiddleThird(*this));
  featherPixels = 0;
}

void SquareSource::SetScaled(int32_t left, int32_t top, int32_t boxWidth, int32_t, int32_t,
                             double scale) {
  fx = left * scale;
  fy = top * scale;
  fside = boxWidth * scale;
  shape::RoundSide(this, kEpsilon);
}

void SquareSource::Scale(double factor) { shape::ScaleSide(this, factor, kEpsilon); }

void SquareSource::ComputeTileSize() {
  shape::SetTileSize(this, TileSizeOf(TileRule::kTwoSides, 0, 0, side));
}

void SquareSource::ComputeSourceExtent() {
  extentWidth = side;
  extentHeight = side;
}

void SquareSource::SetFeatherPercent(int32_t percent) {
  featherPixels = percent * SquareLargestFeather(*this) / 100;
  FitFeather();
}

void SquareSource::GetFeatherReach(int32_t* reachX, int32_t* reachY) {
  *reachX = featherPixels;
  *reachY = featherPixels;
}

void SquareSource::GetSourceBounds(Rect16* bounds) { SquareBounds(*this, bounds); }

}  // namespace quiltora
