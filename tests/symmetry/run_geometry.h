// Prepares a symmetry object the way the run set-up does, so that tests see
// the geometry the host will be asked for.
#pragma once

#include "symmetry/leaves.h"
#include "symmetry/placement.h"

namespace quiltora::testing {

// Places `frame` (pixels of a width × height source) on `object` and prepares
// it for a tile build.
inline void PrepareLikeRun(TileSymmetry* object, int32_t width, int32_t height, const SelectionFrame& frame,
                           int32_t featherPercent) {
  PlaceFrame(object, frame, width, height);
  PrepareTileGeometry(object, width, height, featherPercent);
}

}  // namespace quiltora::testing
