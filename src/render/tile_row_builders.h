// The stores of a tile held as rows (see tile_rows.h), filled by the members
// that can be held that way, with the progress count of their BuildTile:
// the same total, one step per source or block row. Each returns 0, 1 when
// stopped, or −108 when a store cannot be had; rows is then to be released.
#pragma once

#include <cstdint>

#include "render/build_rows.h"
#include "render/tile_rows.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora {

// The run's tile of symmetry as rows (TileRows::Holds(number) must hold):
// the symmetry's tile size in tileMode, the stores filled from source (the
// buffer BuildTile would get), or from the feathered work image, which rows
// then takes over. Finishes rows when it returns 0.
int16_t BuildTileRows(TileSymmetry& symmetry, const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode,
                      PixelImage* feathered, ProgressSink& progress, int16_t tileMode, TileRows* rows);

// Numbers 3 to 7 and 12: the width × height rectangle at the source origin,
// copied, or taken over from the feathered work image when there is one.
int16_t BuildRectangleRows(int16_t number, const TileBuffers& buffers, PixelImage* feathered, int32_t width,
                           int32_t height, const BuildRun& run, TileRows* rows);

// Numbers 8 to 11: the side × side square as above, and for 8, 9 and 10
// its transpose as a second store.
int16_t BuildSquareRows(int16_t number, const TileBuffers& buffers, PixelImage* feathered, int32_t side,
                        const BuildRun& run, TileRows* rows);

// Numbers 13 to 17: the block the member computes, its rows shared between
// this thread and a helper; side, maxX and maxY as for BuildHexTile.
int16_t BuildHexRows(int16_t number, const TileBuffers& buffers, int32_t side, int32_t maxX, int32_t maxY,
                     const BuildRun& run, TileRows* rows);

}  // namespace quiltora
