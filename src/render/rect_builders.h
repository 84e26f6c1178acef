// Tile builders of the symmetries with a rectangular or square lattice
// (numbers 2 to 12) and the sheared one (number 1): whole-pixel copies only.
// Each returns 0 when the tile is complete, or 1 when the progress sink
// stopped the build at the start of a row.
#pragma once

#include <cstdint>

#include "render/build_rows.h"

namespace quiltora {

// Number 1 (p1): the parallelogram of height rows, width pixels per row and
// the given shear, its rows wrapped modulo width into a width × height tile.
// source addresses the bounding box's top-left pixel; the top-left vertex is
// at column max(0, −shear) of it.
int16_t BuildShearedTile(const TileBuffers& buffers, int32_t width, int32_t height,
                         int32_t shear, const BuildRun& run);

// Numbers 3 to 7 and 12: mirrored, turned and glided copies of a
// width × height rectangle. Any other number writes nothing and returns 0.
int16_t BuildRectangleTile(int16_t number, const TileBuffers& buffers, int32_t width,
                           int32_t height, const BuildRun& run);

// Members 2 and 8 turn source rows into tile columns. Those copies are made
// for groups of this many rows at once, as row runs (a column would touch
// one memory page per pixel); a stop writes the copies of every finished row
// before it returns, so a stopped tile holds exactly what the finished rows
// make.
constexpr int32_t kTurnedColumnRows = 256;

// Numbers 2, 8, 9, 10 and 11: copies of a side × side square (8) or of the
// lower-left half of it, diagonal included (2, 9, 10, 11). Any other number
// writes nothing and returns 0.
int16_t BuildSquareTile(int16_t number, const TileBuffers& buffers, int32_t side,
                        const BuildRun& run);

}  // namespace quiltora
