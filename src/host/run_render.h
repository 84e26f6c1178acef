// The rendering half of a run: set-up from the settings record, building the
// tile, and writing one output row per call.
#pragma once

#include <cstdint>

#include "abi/parameter_block.h"

namespace quiltora {

// Creates the run's objects afresh from the record and requests the source
// pixels the tile needs. Returns 0 or -108.
int16_t SetUpRun(ParameterBlock* block);

// State 2: builds the tile at full resolution and requests the first row.
int16_t BuildRunTile(ParameterBlock* block);

// State 3: blends the delivered row with the pattern and moves on one row.
int16_t WriteOutputRow();

// Releases the run's tile rows, if any.
void ReleaseRunTileRows();

// Copies the finished tile's rows, unpadded, into buffer when it holds at
// least the returned byte count; info receives width, height, bytes per
// pixel, row shift and the pattern origin. 0 when there is no tile.
int32_t CopyRunTile(uint8_t* buffer, int32_t bufferSize, int32_t info[6]);

}  // namespace quiltora
