#include "symmetry/tile_symmetry.h"

#include <algorithm>
#include <new>

#include "symmetry/leaves.h"

namespace quiltora {

TileSymmetry* gSymmetry = nullptr;

namespace {

int16_t Narrow(int32_t value) { return static_cast<int16_t>(value); }

// (extentHeight + bottom, -left, -top, extentWidth + right), larger row bound first.
Rect16 MarginRect(const TileSymmetry& object, int16_t bottom, int16_t left, int16_t top,
                  int16_t right) {
  return Rect16{Narrow(object.extentHeight + bottom), Narrow(-left), Narrow(-top),
                Narrow(object.extentWidth + right)};
}

TileSymmetry* MakeLeaf(int32_t number) {
  switch (number) {
    case 1: return new (std::nothrow) GoldBrick;
    case 2: return new (std::nothrow) CrabClaws;
    case 3: return new (std::nothrow) Wings;
    case 4: return new (std::nothrow) HitherAndYon;
    case 5: return new (std::nothrow) CardTricks;
    case 6: return new (std::nothrow) HoneyBees;
    case 7: return new (std::nothrow) PricklyPear;
    case 8: return new (std::nothrow) Pinwheel;
    case 9: return new (std::nothrow) PrimrosePath;
    case 10: return new (std::nothrow) Sunflower;
    case 11: return new (std::nothrow) SpiderWeb;
    case 12: return new (std::nothrow) Lightning;
    case 13: return new (std::nothrow) StormAtSea;
    case 14: return new (std::nothrow) WindingWays;
    case 15: return new (std::nothrow) MonkeyWrench;
    case 16: return new (std::nothrow) Whirlpool;
    case 17: return new (std::nothrow) Turnstile;
    default: return nullptr;
  }
}

}  // namespace

void TileSymmetry::LoadSelection(const ParameterBlock&) {}
void TileSymmetry::StoreSelection(ParameterBlock&) {}
void TileSymmetry::SetFromRect(const Rect16&) {}
void TileSymmetry::SetFromFrame(const SelectionFrame&) {}
void TileSymmetry::GetRect(Rect16*) {}
void TileSymmetry::GetFrame(SelectionFrame*) {}
int16_t TileSymmetry::LimitFeather() { return 0; }
int16_t TileSymmetry::IsOutsideImage() { return 0; }
void TileSymmetry::SetDefault() {}
void TileSymmetry::SetScaled(int32_t, int32_t, int32_t, int32_t, int32_t, double) {}
void TileSymmetry::PrepareRun() {}
void TileSymmetry::Scale(double) {}
void TileSymmetry::ReservedA(int32_t, int32_t) {}
void TileSymmetry::ComputeTileSize() {}
void TileSymmetry::ComputeRowShift() { rowShift = 0; }
void TileSymmetry::ComputeSourceExtent() {}
void TileSymmetry::SetFeatherPercent(int32_t) {}
void TileSymmetry::GetFeatherReach(int32_t*, int32_t*) {}
void TileSymmetry::GetSourceBounds(Rect16*) {}
int16_t TileSymmetry::BuildTile(const uint8_t*, int32_t, int16_t, ProgressSink&, uint8_t*, int32_t, int16_t) {
  return 0;
}
int16_t TileSymmetry::FeatherSource(const uint8_t*, int32_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
void TileSymmetry::ReservedB() {}

void TileSymmetry::SetSourceSize(int32_t width, int32_t height) {
  sourceWidth = width;
  sourceHeight = height;
}

void TileSymmetry::ResetEdgeMins() {
  edgeMinBottom = edgeMinLeft = edgeMinTop = edgeMinRight = 0;
}

void TileSymmetry::ComputeEdgeRect() {
  edgeRect = MarginRect(*this, edgeMinBottom, edgeMinLeft, edgeMinTop, edgeMinRight);
}

void TileSymmetry::ComputeFeatherRect() {
  featherRect = MarginRect(*this, featherMarginBottom, featherMarginLeft, featherMarginTop,
                           featherMarginRight);
}

void TileSymmetry::ComputeBlendRect() {
  blendRect = MarginRect(*this, blendMarginBottom, blendMarginLeft, blendMarginTop,
                         blendMarginRight);
}

void TileSymmetry::ComputeFeatherMargins() {
  featherMarginBottom = Narrow(std::max<int32_t>(featherPixels, edgeMinBottom));
  featherMarginLeft = Narrow(std::max<int32_t>(featherPixels, edgeMinLeft));
  featherMarginTop = Narrow(std::max<int32_t>(featherPixels, edgeMinTop));
  featherMarginRight = Narrow(std::max<int32_t>(featherPixels, edgeMinRight));
}

void TileSymmetry::ComputeBlendMargins() {
  blendMarginBottom = Narrow(featherMarginBottom + 5);
  blendMarginLeft = Narrow(featherMarginLeft + 5);
  blendMarginTop = Narrow(featherMarginTop + 5);
  blendMarginRight = Narrow(featherMarginRight + 5);
}

void TileSymmetry::GetEdgeRect(Rect16* rect) const { *rect = edgeRect; }
void TileSymmetry::GetFeatherRect(Rect16* rect) const { *rect = featherRect; }
void TileSymmetry::GetBlendRect(Rect16* rect) const { *rect = blendRect; }

void TileSymmetry::FitFeather() {
  const int32_t f = featherPixels;
  if (f == 0) return;
  int32_t r = f;
  const int32_t right = x + extentWidth;
  const int32_t bottom = y + extentHeight;
  if (right + f > sourceWidth - 1) r = std::min(r, sourceWidth - 1 - right);
  if (x - f < 1) r = std::min(r, x - 1);
  // The bottom is compared with the height itself, the right with width - 1.
  if (bottom + f > sourceHeight) r = std::min(r, sourceHeight - 1 - bottom);
  if (y - f < 1) r = std::min(r, y - 1);
  // A shape already past the border gets no feather, never a negative one.
  featherPixels = std::max(r, 0);
}

TileSymmetry* CreateSymmetry(int16_t number) {
  DestroySymmetry();
  gSymmetry = MakeLeaf(number);
  return gSymmetry;
}

void DestroySymmetry() {
  delete gSymmetry;
  gSymmetry = nullptr;
}

CreateSymmetryResult CreateSymmetryForRun(int32_t number, int16_t* usedNumber) {
  const bool known = number >= 1 && number <= 17;
  const int16_t made = known ? static_cast<int16_t>(number) : Pinwheel::kNumber;
  *usedNumber = made;
  if (CreateSymmetry(made) == nullptr) return CreateSymmetryResult::kOutOfMemory;
  return known ? CreateSymmetryResult::kCreated : CreateSymmetryResult::kFellBack;
}

}  // namespace quiltora
