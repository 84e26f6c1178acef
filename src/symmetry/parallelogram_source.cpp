// The sheared parallelogram of Gold Brick. Its slant is measured in 16.16
// fixed point so that the feather matches the tile builder's reach exactly.
#include <algorithm>
#include <cstdlib>

#include "common/fixed.h"
#include "symmetry/shapes.h"
#include "symmetry/side_shape.h"

namespace quiltora {

using shape::kEpsilon;
using shape::Trunc;

namespace {

void RoundParallelogram(ParallelogramSource* object) {
  object->x = shape::TruncNear(object->fx, kEpsilon);
  object->y = shape::TruncNear(object->fy, kEpsilon);
  object->width = shape::TruncNear(object->fwidth, kEpsilon);
  object->height = shape::TruncNear(object->fheight, kEpsilon);
  object->shear = shape::TruncNear(object->fshear, kEpsilon);
}

// |shear| / height in 16.16.
int32_t Slope(const ParallelogramSource& object) {
  return FixDiv(IntToFix(std::abs(object.shear)), IntToFix(object.height));
}

// sqrt(c × c + 1) in 16.16, with the sum wrapping like the products.
int32_t SlantFactor(int32_t slope) { return FixSqrt(WrapAdd(FixMul(slope, slope), 65536)); }

// The smaller of height / 2 and half the distance between the slanted edges.
int32_t ParallelogramLargestFeather(const ParallelogramSource& object) {
  if (object.height <= 0) return 0;
  // A slope past 181 wraps the square to a negative sum, whose root is 0;
  // such a sliver takes no feather rather than a division by zero.
  const int32_t factor = SlantFactor(Slope(object));
  if (factor < 65536) return 0;
  const int32_t inverse = FixDiv(65536, factor);
  const int32_t halfDistance = FixToInt(FixMul(IntToFix(object.width / 2), inverse));
  return std::min(object.height / 2, halfDistance);
}

int32_t BoxLeft(const ParallelogramSource& object) { return object.x + std::min(0, object.shear); }

}  // namespace

void ParallelogramSource::LoadSelection(const ParameterBlock& block) {
  x = block.selectionX;
  y = block.selectionY;
  height = block.selectionHeight;
  width = block.selectionWidth;
  shear = block.selectionSpan;
  fx = x;
  fy = y;
  fheight = height;
  fwidth = width;
  fshear = shear;
  featherPixels = block.featherPixels;
  selectionReserved = block.selectionReserved;
}

void ParallelogramSource::StoreSelection(ParameterBlock& block) {
  shape::StoreCommon(*this, block);
  block.selectionHeight = height;
  block.selectionWidth = width;
  block.selectionSpan = shear;
}

// Keeps the current slant ratio.
void ParallelogramSource::SetFromRect(const Rect16& rect) {
  const double ratio = height != 0 ? static_cast<double>(shear) / height : 0.0;
  SetFromFrame(shape::RectFrame(rect, ratio));
}

// x is the top-left vertex, which lies right of the box's left for a negative shear.
void ParallelogramSource::SetFromFrame(const SelectionFrame& frame) {
  const double ratio = frame.shear;
  fheight = frame.bottom - frame.top;
  fshear = ratio == 0.0 ? 0.0 : fheight * ratio;
  fwidth = (frame.right - frame.left) - std::fabs(fshear);
  fx = ratio >= 0.0 ? frame.left : frame.left - fshear;
  fy = frame.top;
  RoundParallelogram(this);
}

void ParallelogramSource::GetRect(Rect16* rect) {
  *rect = shape::BoxRect(BoxLeft(*this), y, width + std::abs(shear), height);
}

void ParallelogramSource::GetFrame(SelectionFrame* frame) {
  const double ratio = height != 0 ? static_cast<double>(shear) / height : 0.0;
  *frame = shape::BoxFrame(BoxLeft(*this), y, width + std::abs(shear), height, ratio);
}

int16_t ParallelogramSource::LimitFeather() {
  return shape::LowerFeather(this, std::min(ParallelogramLargestFeather(*this), 127));
}

int16_t ParallelogramSource::IsOutsideImage() {
  return shape::BoxOutside(*this, BoxLeft(*this), y, width + std::abs(shear), height);
}

void ParallelogramSource::SetDefault() {
  SetFromFrame(shape::MiddleThird(*this));
  featherPixels = 0;
}

// width is the bounding width; the top-left vertex lies shear pixels in from
// the box's left when the shear is negative.
void ParallelogramSource::SetScaled(int32_t left, int32_t top, int32_t boxWidth,
                                    int32_t boxHeight, int32_t boxShear, double scale) {
  fx = left * scale;
  fy = top * scale;
  fheight = boxHeight * scale;
  fshear = boxShear * scale;
  if (fshear > 0.0) {
    fwidth = boxWidth * scale - fshear;
  } else {
    fwidth = boxWidth * scale + fshear;
    fx = left * scale - fshear;
  }
  RoundParallelogram(this);
}

void ParallelogramSource::Scale(double factor) {
  fx *= factor;
  fy *= factor;
  fwidth *= factor;
  fheight *= factor;
  fshear *= factor;
  RoundParallelogram(this);
}

void ParallelogramSource::ComputeTileSize() {
  shape::SetTileSize(this, TileSizeOf(TileRule::kShape, width, height, 0));
}

void ParallelogramSource::ComputeRowShift() { rowShift = shear; }

void ParallelogramSource::ComputeSourceExtent() {
  extentWidth = width + std::abs(shear);
  extentHeight = height;
}

void ParallelogramSource::SetFeatherPercent(int32_t percent) {
  featherPixels = percent * ParallelogramLargestFeather(*this) / 100;
  FitFeatherSheared();
  if (featherPixels > 127) featherPixels = 127;
}

void ParallelogramSource::GetFeatherReach(int32_t* reachX, int32_t* reachY) {
  int32_t across = 0;
  int32_t along = 0;
  double acrossExact = 0.0;
  double alongExact = 0.0;
  ShearedFeatherReach(featherPixels, &across, &along, &acrossExact, &alongExact);
  *reachX = across + along;
  *reachY = featherPixels + 1;
}

void ParallelogramSource::GetSourceBounds(Rect16* bounds) {
  *bounds = Rect16{shape::Narrow(y - featherMarginTop),
                   shape::Narrow(BoxLeft(*this) - featherMarginLeft),
                   shape::Narrow(y + height + featherMarginBottom),
                   shape::Narrow(x + width + std::max(0, shear) + featherMarginRight)};
}

// FitFeather on the bounding box, with the bottom kept off row H - 1 like the right.
void ParallelogramSource::FitFeatherSheared() {
  const int32_t f = featherPixels;
  if (f == 0) return;
  int32_t r = f;
  const int32_t left = BoxLeft(*this);
  const int32_t right = left + extentWidth;
  const int32_t bottom = y + extentHeight;
  if (right + f > sourceWidth - 1) r = std::min(r, sourceWidth - 1 - right);
  if (left - f < 1) r = std::min(r, left - 1);
  if (bottom + f > sourceHeight - 1) r = std::min(r, sourceHeight - 1 - bottom);
  if (y - f < 1) r = std::min(r, y - 1);
  featherPixels = std::max(r, 0);
}

void ParallelogramSource::ShearedFeatherReach(int32_t f, int32_t* a, int32_t* b, double* fa,
                                              double* fb) const {
  if (height <= 0) {
    *a = *b = 0;
    *fa = *fb = 0.0;
    return;
  }
  const int32_t slope = Slope(*this);
  const int32_t across = FixMul(IntToFix(f), SlantFactor(slope));
  const int32_t along = FixMul(IntToFix(f), slope);
  *fa = across / 65536.0;
  *fb = along / 65536.0;
  *a = FixToInt(WrapAdd(across, 65536));
  *b = FixToInt(WrapAdd(along, 65536));
}

}  // namespace quiltora
