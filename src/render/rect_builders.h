// Tile builders of the symmetries with a rectangular or square lattice
// (numbers 2 to 12) and the sheared one (number 1): whole-pixel copies only.
// Each returns 0 when the tile is complete, or 1 when the progress sink
// stopped the build at the start of a row.
#pragma once

#include <cstdint>

#include "render/build_rows.h"

namespace quiltora {

// One place a source row goes to: source pixel (i, j) lands on tile row
// rowBase + rowSign × i, column firstColumn + j (or firstColumn − j when
// mirrored).
struct RowPlace {
  int32_t rowBase;
  int32_t rowSign;
  int32_t firstColumn;
  bool mirrored;
};

constexpr int kMaxPlaces = 8;

// The places of the rows of a width × height rectangle for numbers 3 to 7
// and 12, in the order they are written; returns their count, 0 for any
// other number.
int RectanglePlaces(int16_t number, int32_t width, int32_t height, RowPlace* places);

// The places of the rows of a side × side square: for 11 the half-square's
// rows (columns 0..i of row i), for 9 and 10 the rows of the square folded
// across its diagonal; in the order they are written. 0 for any other number.
int SquarePlaces(int16_t number, int32_t side, RowPlace* places);

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
