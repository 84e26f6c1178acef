// Placing the stored selection on a source and preparing the symmetry
// object's geometry for a tile build, in the order every tile-building
// driver follows.
#pragma once

#include <cstdint>

#include "abi/parameter_block.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora {

// The stored normalised frame, or the middle ninth (1/3, 1/3, 2/3, 2/3, shear
// 0) when the stored proportions sourceWidth / sourceHeight differ from
// width / height by more than 0.5 or were never recorded.
SelectionFrame StoredFrameFor(const ParameterBlock& block, int32_t width, int32_t height);

// Gives the object the source size, fits the pixel frame to it and sets the
// object's geometry from it.
void PlaceFrame(TileSymmetry* object, SelectionFrame frame, int32_t width, int32_t height);

// StoredFrameFor, converted to pixels of width × height, then PlaceFrame.
void PlaceStoredSelection(TileSymmetry* object, const ParameterBlock& block, int32_t width,
                          int32_t height);

// Source size again, then PrepareRun, ComputeTileSize, ComputeSourceExtent,
// ComputeRowShift, SetFeatherPercent, ResetEdgeMins, ComputeEdgeRect,
// ComputeFeatherMargins and ComputeFeatherRect, in that order. Call once per
// placement: the hexagonal tile sizes lower the side they measure.
void PrepareTileGeometry(TileSymmetry* object, int32_t width, int32_t height,
                         int32_t featherPercent);

}  // namespace quiltora
