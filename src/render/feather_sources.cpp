// FeatherSource of the 17 leaves: each sets up its buffers, margins and mask
// and hands its shape to the feather of its family. Symmetries 7, 10, 14 and
// 17 have only mirror seams and are never feathered.
#include <algorithm>

#include "render/feather_members.h"
#include "symmetry/leaves.h"

namespace quiltora {

namespace {

// Rectangles and squares: the shape's origin lies f columns and rows into
// the source buffer.
void FeatherRectangle(TileSymmetry* symmetry, LatticeMember member, int32_t width, int32_t height,
                      const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode,
                      uint8_t* work, int32_t workRowBytes, int16_t workMode) {
  const int32_t f = symmetry->featherPixels;
  if (f <= 0) return;
  const FeatherBuffers buffers = MakeFeatherBuffers(*symmetry, source, sourceRowBytes, sourceMode,
                                                    work, workRowBytes, workMode, f, f);
  FeatherLattice(member, width, height, f, buffers);
}

// The masked members: the shape's origin lies at the feather margins, and
// at column originX, row y of the object's image. Their images are read
// inside that image only: the feather fitting lets the bottom margin end one
// row past the image, where a caller has no pixels to give.
FeatherBuffers MaskedBuffers(const TileSymmetry& symmetry, int32_t originX, const uint8_t* source,
                             int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work,
                             int32_t workRowBytes, int16_t workMode) {
  FeatherBuffers buffers =
      MakeFeatherBuffers(symmetry, source, sourceRowBytes, sourceMode, work, workRowBytes,
                         workMode, symmetry.featherMarginLeft, symmetry.featherMarginTop);
  if (symmetry.sourceWidth > 0 && symmetry.sourceHeight > 0) {
    buffers.readLeft = std::max(buffers.readLeft, -originX);
    buffers.readTop = std::max(buffers.readTop, -symmetry.y);
    buffers.readRight = std::min(buffers.readRight, symmetry.sourceWidth - 1 - originX);
    buffers.readBottom = std::min(buffers.readBottom, symmetry.sourceHeight - 1 - symmetry.y);
  }
  return buffers;
}

// Each blend margin = the larger of the feather margin of its side and least.
void SetBlendMarginsAtLeast(TileSymmetry* symmetry, int32_t least) {
  auto margin = [least](int16_t feather) {
    return static_cast<int16_t>(std::clamp<int32_t>(std::max<int32_t>(feather, least), 0, 32767));
  };
  symmetry->blendMarginBottom = margin(symmetry->featherMarginBottom);
  symmetry->blendMarginLeft = margin(symmetry->featherMarginLeft);
  symmetry->blendMarginTop = margin(symmetry->featherMarginTop);
  symmetry->blendMarginRight = margin(symmetry->featherMarginRight);
  symmetry->ComputeBlendRect();
}

// The mask over the blend rectangle, from the blend margins and the extent.
FeatherMask MaskFor(const TileSymmetry& symmetry, const PolygonVertex* polygon, int32_t count) {
  const int32_t width = symmetry.extentWidth + symmetry.blendMarginLeft + symmetry.blendMarginRight;
  const int32_t height =
      symmetry.extentHeight + symmetry.blendMarginTop + symmetry.blendMarginBottom;
  return BuildFeatherMask(width, height, symmetry.blendMarginLeft, symmetry.blendMarginTop, polygon,
                          count, symmetry.featherPixels);
}

int16_t FeatherHalfSquareLeaf(HalfSquareSource* symmetry, HalfSquareMember member, const uint8_t* source,
                              int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work, int32_t workRowBytes,
                              int16_t workMode) {
  if (symmetry->featherPixels <= 0) return 0;
  symmetry->ComputeBlendMargins();
  symmetry->ComputeBlendRect();
  const FeatherBuffers buffers =
      MaskedBuffers(*symmetry, symmetry->x, source, sourceRowBytes, sourceMode, work, workRowBytes,
                    workMode);
  const int32_t n = symmetry->side;
  const PolygonVertex polygon[3] = {{0, 0}, {0, n}, {n, n}};
  return FeatherHalfSquare(member, n, symmetry->featherPixels, buffers,
                           [symmetry, &polygon]() { return MaskFor(*symmetry, polygon, 3); });
}

void FeatherKiteLeaf(KiteSource* symmetry, bool whirlpool, const uint8_t* source,
                     int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work,
                     int32_t workRowBytes, int16_t workMode) {
  const int32_t f = symmetry->featherPixels;
  if (f <= 0) return;
  SetBlendMarginsAtLeast(symmetry, static_cast<int32_t>(1.5 * f + 5));
  const FeatherBuffers buffers =
      MaskedBuffers(*symmetry, symmetry->x, source, sourceRowBytes, sourceMode, work, workRowBytes,
                    workMode);
  const int32_t n = symmetry->side;
  const int32_t h = static_cast<int32_t>(0.8660254 * n - 0.5);
  const PolygonVertex polygon[4] = {{0, 0},
                                    {0, h - 1},
                                    {static_cast<int32_t>(0.5 * n), h - 1},
                                    {static_cast<int32_t>(0.75 * n) - 1,
                                     static_cast<int32_t>(0.5 * 0.8660254 * n)}};
  const FeatherMask mask = MaskFor(*symmetry, polygon, 4);
  if (!mask.IsValid()) return;
  AffineMap images[6];
  KiteImages(whirlpool, n, symmetry->extentHeight, images);
  const EdgeScan scan = KiteScan(whirlpool, n, f, buffers.workBottom, -symmetry->edgeMinLeft,
                                 symmetry->extentWidth + symmetry->edgeMinRight);
  FeatherEdgeScan(scan, buffers, mask, nullptr, images);
}

}  // namespace

int16_t GoldBrick::FeatherSource(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work,
                                 int32_t workRowBytes, int16_t workMode) {
  const int32_t f = featherPixels;
  ShearedReach reach{};
  if (f <= 0 || !GoldBrickReach(height, shear, f, &reach)) return 0;
  SetBlendMarginsAtLeast(this, reach.across + reach.along + 5);
  const FeatherBuffers buffers =
      MaskedBuffers(*this, x + std::min(0, shear), source, sourceRowBytes, sourceMode, work,
                    workRowBytes, workMode);
  const int32_t s = shear, w = width, h = height;
  const PolygonVertex sheared[4] = {{0, 0}, {s, h}, {w + s, h}, {w, 0}};
  const PolygonVertex backward[4] = {{-s, 0}, {0, h}, {w, h}, {w - s, 0}};
  const FeatherMask mask = MaskFor(*this, s >= 0 ? sheared : backward, 4);
  if (!mask.IsValid()) return 0;
  WholeImage images[8];
  GoldBrickImages(w, h, s, images);
  FeatherEdgeScan(GoldBrickScan(w, h, s, f, reach.bandWidth), buffers, mask, images, nullptr);
  return 0;
}

int16_t CrabClaws::FeatherSource(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work,
                                 int32_t workRowBytes, int16_t workMode) {
  return FeatherHalfSquareLeaf(this, HalfSquareMember::kCrabClaws, source, sourceRowBytes, sourceMode, work,
                               workRowBytes, workMode);
}

int16_t SpiderWeb::FeatherSource(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work,
                                 int32_t workRowBytes, int16_t workMode) {
  return FeatherHalfSquareLeaf(this, HalfSquareMember::kSpiderWeb, source, sourceRowBytes, sourceMode, work,
                               workRowBytes, workMode);
}

int16_t PrimrosePath::FeatherSource(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work,
                                    int32_t workRowBytes, int16_t workMode) {
  return FeatherHalfSquareLeaf(this, HalfSquareMember::kPrimrosePath, source, sourceRowBytes, sourceMode, work,
                               workRowBytes, workMode);
}

int16_t Wings::FeatherSource(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work,
                             int32_t workRowBytes, int16_t workMode) {
  FeatherRectangle(this, LatticeMember::kWings, width, height, source, sourceRowBytes, sourceMode,
                   work, workRowBytes, workMode);
  return 0;
}

int16_t HitherAndYon::FeatherSource(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work,
                                    int32_t workRowBytes, int16_t workMode) {
  FeatherRectangle(this, LatticeMember::kHitherAndYon, width, height, source, sourceRowBytes,
                   sourceMode, work, workRowBytes, workMode);
  return 0;
}

int16_t CardTricks::FeatherSource(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work,
                                  int32_t workRowBytes, int16_t workMode) {
  FeatherRectangle(this, LatticeMember::kCardTricks, width, height, source, sourceRowBytes,
                   sourceMode, work, workRowBytes, workMode);
  return 0;
}

int16_t HoneyBees::FeatherSource(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work,
                                 int32_t workRowBytes, int16_t workMode) {
  FeatherRectangle(this, LatticeMember::kHoneyBees, width, height, source, sourceRowBytes,
                   sourceMode, work, workRowBytes, workMode);
  return 0;
}

int16_t Lightning::FeatherSource(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work,
                                 int32_t workRowBytes, int16_t workMode) {
  FeatherRectangle(this, LatticeMember::kLightning, width, height, source, sourceRowBytes,
                   sourceMode, work, workRowBytes, workMode);
  return 0;
}

int16_t Pinwheel::FeatherSource(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work,
                                int32_t workRowBytes, int16_t workMode) {
  FeatherRectangle(this, LatticeMember::kPinwheel, side, side, source, sourceRowBytes, sourceMode,
                   work, workRowBytes, workMode);
  return 0;
}

int16_t StormAtSea::FeatherSource(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work,
                                  int32_t workRowBytes, int16_t workMode) {
  const int32_t f = featherPixels;
  if (f <= 0) return 0;
  SetBlendMarginsAtLeast(this, static_cast<int32_t>(1.25 * f) + 5);
  const FeatherBuffers buffers =
      MaskedBuffers(*this, x, source, sourceRowBytes, sourceMode, work, workRowBytes, workMode);
  const int32_t n = side;
  const double s = 1.1547005 * n;
  const PolygonVertex polygon[4] = {{0, 0},
                                    {static_cast<int32_t>(s), 0},
                                    {static_cast<int32_t>(1.5 * s), n},
                                    {static_cast<int32_t>(0.5 * s), n}};
  const FeatherMask mask = MaskFor(*this, polygon, 4);
  if (!mask.IsValid()) return 0;
  AffineMap images[10];
  StormAtSeaImages(n, images);
  const EdgeScan scan = StormAtSeaScan(n, f, buffers.workTop, buffers.workBottom,
                                       buffers.workLeft, buffers.workRight + 1);
  FeatherEdgeScan(scan, buffers, mask, nullptr, images);
  return 0;
}

int16_t MonkeyWrench::FeatherSource(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work,
                                    int32_t workRowBytes, int16_t workMode) {
  FeatherKiteLeaf(this, false, source, sourceRowBytes, sourceMode, work, workRowBytes, workMode);
  return 0;
}

int16_t Whirlpool::FeatherSource(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work,
                                 int32_t workRowBytes, int16_t workMode) {
  FeatherKiteLeaf(this, true, source, sourceRowBytes, sourceMode, work, workRowBytes, workMode);
  return 0;
}

// Only mirror seams: nothing to feather.
int16_t PricklyPear::FeatherSource(const uint8_t*, int32_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t Sunflower::FeatherSource(const uint8_t*, int32_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t WindingWays::FeatherSource(const uint8_t*, int32_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t Turnstile::FeatherSource(const uint8_t*, int32_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }

}  // namespace quiltora
