// Tile builders of the five symmetries with a hexagonal lattice (numbers 13
// to 17). Each computes one block of the tile row by row through affine maps
// with bilinear sampling and copies every computed row to its other places.
// Each returns 0 when the tile is complete, or 1 when the progress sink
// stopped the build at the start of a row.
// source addresses the shape's origin pixel; samples may read one column
// right of and one row below the shape's bounding box.
#pragma once

#include <cstdint>

#include "render/build_rows.h"

namespace quiltora {

// Number 13 (p3): the rhombus of height side; tile 2(w + 1) × 2·side with
// w = trunc(1.5 × 1.1547005·side − 0.5).
int16_t BuildStormAtSeaTile(const TileBuffers& buffers, int32_t side, const BuildRun& run);

// Number 14 (p3m1): the triangle of edge side (already lowered by its tile
// size); tile 2·(3·side / 2) × 2(h + 1) with h = trunc(0.8660254·side − 0.5).
int16_t BuildWindingWaysTile(const TileBuffers& buffers, int32_t side, const BuildRun& run);

// Numbers 15 (p31m) and 16 (p6): the kite of diagonal side, lowered to even;
// tile 3·side × 2(h + 1). Both need a boundary table; when it cannot be
// allocated they return −108 with the tile unwritten.
int16_t BuildMonkeyWrenchTile(const TileBuffers& buffers, int32_t side, const BuildRun& run);
int16_t BuildWhirlpoolTile(const TileBuffers& buffers, int32_t side, const BuildRun& run);

// Number 17 (p6m): the 30-60-90 triangle of short leg side (even); tile
// 6·side × 2(v + 1) with v = trunc(1.7320508·side − 0.5). Samples are clamped
// to [0, maxX] × [0, maxY], the image's last column and row counted from the
// shape's origin.
int16_t BuildTurnstileTile(const TileBuffers& buffers, int32_t side, int32_t maxX, int32_t maxY,
                           const BuildRun& run);

}  // namespace quiltora
