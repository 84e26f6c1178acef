// Helpers the hexagonal builders share: the source as the samplers see it,
// the tile row a block row is computed into, and the copies of a computed
// block row to its other places in the tile.
#pragma once

#include <cstdint>

#include "render/build_rows.h"
#include "render/hex_machinery.h"

namespace quiltora {

inline HexSource MakeHexSource(const TileBuffers& buffers, const PixelLayout& layout,
                               int32_t maxX, int32_t maxY, FractionRule rule) {
  return HexSource{buffers.source + layout.sourceSkip, buffers.sourceRowBytes, layout.sourceStep,
                   layout.channels, maxX, maxY, rule};
}

// Block row r is computed straight into tile row r, columns 0 to the block
// width − 1: that is one of the places of every hexagonal member.
inline BlockRow MakeBlockRow(const TileBuffers& buffers, const PixelLayout& layout, int32_t row,
                             bool atCentres) {
  return BlockRow{TilePixel(buffers, layout, row, 0) + layout.tileSkip, layout.tileStep, row,
                  atCentres};
}

// Copies the computed block row (tile row `row`, columns 0..count − 1) to
// tile row toRow: block column x lands on column toColumn + x, or on
// toColumn − x when mirrored.
inline void CopyBlockRow(const TileBuffers& buffers, const PixelLayout& layout, int32_t row,
                         int32_t count, int32_t toRow, int32_t toColumn, bool mirrored) {
  const PixelLayout tileToTile{layout.channels, layout.tileStep, layout.tileSkip, layout.tileStep,
                               layout.tileSkip};
  const uint8_t* from = TilePixel(buffers, layout, row, 0);
  uint8_t* to = TilePixel(buffers, layout, toRow, toColumn);
  if (mirrored) {
    CopyRowMirrored(from, to, count, tileToTile);
  } else {
    CopyRowForward(from, to, count, tileToTile);
  }
}

// Renders span `region` of a block row: a null map is the direct region.
inline void RenderRegion(const HexSource& source, const AffineMap* map, const BlockRow& row,
                         int32_t first, int32_t last, bool clampDirect) {
  if (map == nullptr) {
    CopyDirectSpan(source, row, first, last, clampDirect);
  } else {
    SampleSpan(source, *map, row, first, last);
  }
}

}  // namespace quiltora
