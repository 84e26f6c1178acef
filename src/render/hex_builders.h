// The five symmetries with a hexagonal lattice (numbers 13 to 17). Each
// computes one block of the tile row by row through affine maps with bilinear
// sampling; every computed row then goes to its other places in the tile.
// A member is described by a plan: the block's size, the source as its
// samplers see it, the spans of each block row and the places of the rows.
// source addresses the shape's origin pixel; samples may read one column
// right of and one row below the shape's bounding box.
#pragma once

#include <cstdint>
#include <memory>

#include "render/build_rows.h"
#include "render/hex_machinery.h"

namespace quiltora {

constexpr int kMaxHexSpans = 6;

// The spans of one block row, left to right: span k ends at column ends[k]
// (the last one at the block's last column) and is sampled through maps[k],
// or copied straight from the source where that is null.
struct HexRowSpans {
  int count = 0;
  int32_t ends[kMaxHexSpans];
  const AffineMap* maps[kMaxHexSpans];
};

// Where block row r also lands, for r in [firstRow, lastRow]: tile row
// rowBase + rowSign × r, block column x at tile column column + x, or
// column − x when mirrored. Every block row r is also tile row r, columns
// 0 to the block width − 1, where it is computed.
struct HexPlace {
  int32_t rowBase, rowSign, firstRow, lastRow, column;
  bool mirrored;
};

constexpr int kMaxHexPlaces = 7;

class HexPlan {
 public:
  virtual ~HexPlan() = default;
  // The spans of block row r. Rows are asked for in order from 0: the
  // boundaries between spans move once per row, in f64.
  virtual void NextRow(int32_t r, HexRowSpans* spans) = 0;

  int32_t blockWidth = 0;
  int32_t blockRows = 0;
  HexSource source{};
  bool atCentres = false;    // maps evaluated at pixel centres rather than indices
  bool clampDirect = false;  // the direct region holds its reads inside the source
  int placeCount = 0;
  HexPlace places[kMaxHexPlaces];
};

// The plan of member number (13 to 17) with the geometry BuildTile gives it:
// side as the object holds it (the kite members lower it to even), and for
// 17 the last image column and row counted from the shape's origin. Null
// when a kite member's boundary table cannot be had, or for another number.
std::unique_ptr<HexPlan> MakeHexPlan(int16_t number, const TileBuffers& buffers, int32_t side, int32_t maxX,
                                     int32_t maxY);

// Computes block row r of the plan into out (the first channel byte of the
// pixel receiving block column 0; pixels step bytes apart).
void RenderHexRow(const HexPlan& plan, const HexRowSpans& spans, int32_t r, uint8_t* out, int32_t step);

// BuildTile of a hexagonal member: each block row is computed into tile row r
// and copied to its places, with the progress count of BuildTile. Returns 0,
// 1 when the progress sink stopped the build at the start of a row, or −108
// when the plan cannot be had (the tile is then unwritten).
int16_t BuildHexTile(int16_t number, const TileBuffers& buffers, int32_t side, int32_t maxX, int32_t maxY,
                     const BuildRun& run);

}  // namespace quiltora
