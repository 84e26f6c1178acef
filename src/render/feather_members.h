// The feather of each family of symmetries, below the leaves' FeatherSource:
// straight bands with fixed weights for the rectangle and square members,
// masked spans for the half-square members, and edge scans for the
// parallelogram, rhombus and kite members.
#pragma once

#include <cstdint>
#include <functional>

#include "render/feather_blend.h"
#include "render/feather_mask.h"

namespace quiltora {

// ---- Rectangle and square members (bands and corners) ----

enum class LatticeMember { kWings, kHitherAndYon, kCardTricks, kHoneyBees, kLightning, kPinwheel };

// A pixel's partner (row, column) from its (row r, column c):
// row = rowFromRow·r + rowFromColumn·c + rowOffset, column likewise.
struct PartnerMap {
  int32_t rowFromRow, rowFromColumn, rowOffset;
  int32_t columnFromRow, columnFromColumn, columnOffset;
};

// Across the top, bottom, left and right edges, then the diagonal partners of
// the top-left, top-right, bottom-left and bottom-right corners.
struct PartnerMaps {
  PartnerMap top, bottom, left, right;
  PartnerMap topLeft, topRight, bottomLeft, bottomRight;
};

PartnerMaps LatticePartners(LatticeMember member, int32_t width, int32_t height);

// Blends the bands and corner squares of a width × height source with feather
// f (taken as at most half the shorter side); the interior is left as the
// caller copied it.
void FeatherLattice(LatticeMember member, int32_t width, int32_t height, int32_t f,
                    const FeatherBuffers& buffers);

// ---- Spans shared by the masked members ----

// Columns first..last of a row and the images that serve them (bit k = image k).
struct FeatherSpan {
  int32_t first;
  int32_t last;
  uint32_t images;
};

// ---- Half-square members ----

enum class HalfSquareMember { kCrabClaws, kSpiderWeb, kPrimrosePath };

constexpr int kHalfSquareMaxSpans = 3;
constexpr int kHalfSquareMaxImages = 4;

// The spans of row y of a side × side half square (at most three); returns
// their count. Empty spans are left out.
int32_t HalfSquareRowSpans(HalfSquareMember member, int32_t side, int32_t f, int32_t y,
                           FeatherSpan* spans);

// The member's whole-pixel images; entries past its count are zero.
void HalfSquareImages(HalfSquareMember member, int32_t side,
                      WholeImage (&images)[kHalfSquareMaxImages]);

// Feathers the half square. The row table comes first (failure: -108,
// nothing blended), then the mask from makeMask (invalid: nothing blended,
// the work image keeps its copy). Returns 0 otherwise.
int16_t FeatherHalfSquare(HalfSquareMember member, int32_t side, int32_t f, const FeatherBuffers& buffers,
                          const std::function<FeatherMask()>& makeMask);

// ---- Edge-scan members ----

enum class EdgeKind : uint8_t { kLeftBound, kRightBound, kLeftZone, kRightZone };

struct ScanEdge {
  double position;  // column at the centre of the scan's first row
  double slope;     // added after every row
  EdgeKind kind;
  uint32_t images;  // zone edges only
};

// Rows below the threshold (top zone) or above it (bottom zone) lose the images.
struct RowCondition {
  double threshold;
  bool topZone;
  uint32_t images;
};

struct EdgeScan {
  ScanEdge edges[8];
  int32_t edgeCount = 0;
  RowCondition conditions[2];
  int32_t conditionCount = 0;
  uint32_t allImages = 0;
  int32_t firstRow = 0;
  int32_t lastRow = -1;
  bool kiteSpanEnds = false;  // span ends at SpanEnd(p − 0.5 + 1e-7), else SpanEnd(p − 0.4999999)
  bool startAtZero = false;   // no span starts left of column 0
};

// Calls visit(y, span) for every span of every row in order; spans are kept
// inside columns clipLeft..clipRight.
void ScanFeatherSpans(EdgeScan scan, int32_t clipLeft, int32_t clipRight,
                      const std::function<void(int32_t, const FeatherSpan&)>& visit);

// Blends (or copies, when no image serves it) every span of the scan inside
// the work image; images are whole-pixel when wholeImages is given, 16.16
// samples otherwise.
void FeatherEdgeScan(const EdgeScan& scan, const FeatherBuffers& buffers, const FeatherMask& mask,
                     const WholeImage* wholeImages, const AffineMap* fixedImages);

// The horizontal reach of the parallelogram's feather: D (the width of a band
// f pixels wide along a slanted side), and the whole pixels R and Q. False when
// the reach is too large for any image.
struct ShearedReach {
  double bandWidth;
  int32_t across;
  int32_t along;
};
bool GoldBrickReach(int32_t height, int32_t shear, int32_t f, ShearedReach* reach);

EdgeScan GoldBrickScan(int32_t width, int32_t height, int32_t shear, int32_t f, double bandWidth);
void GoldBrickImages(int32_t width, int32_t height, int32_t shear, WholeImage (&images)[8]);

// side, extent and edge rectangle as the rhombus object holds them.
EdgeScan StormAtSeaScan(int32_t side, int32_t f, int32_t firstRow, int32_t lastRow,
                        int32_t edgeLeft, int32_t edgeRight);
void StormAtSeaImages(int32_t side, AffineMap (&images)[10]);

// whirlpool false: Monkey Wrench. extentHeight is the kite's e.
EdgeScan KiteScan(bool whirlpool, int32_t side, int32_t f, int32_t lastRow, int32_t edgeLeft,
                  int32_t edgeRight);
void KiteImages(bool whirlpool, int32_t side, int32_t extentHeight, AffineMap (&images)[6]);

}  // namespace quiltora
