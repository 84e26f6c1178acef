// The dialog's live previews. BuildPreviewTile builds the tile from the
// source-pane picture and the selection drawn on it; CompositePreview lays the
// pattern of that tile over the result pane's picture. Both work on the
// module's objects gSymmetry, gTile and gFeatherWork, which the dialog creates
// when it opens and releases when it closes, and on the settings record's
// picture references and fields named below. Neither reports progress nor
// stops: the run's final build does that at full resolution.
#pragma once

#include <cstdint>

#include "abi/parameter_block.h"

namespace quiltora {

// Result-preview pixels per tile pixel: 1.0 unless a loaded picture smaller
// than the image is the source; never above 1.0. Set by BuildPreviewTile.
extern double gPreviewScale;

// Why BuildPreviewTile built no tile.
enum PreviewFailure : int16_t {
  kPreviewNoTile = 2,         // the tile's pixels (or a builder's table) could not be had
  kPreviewNoFeatherWork = 8,  // the feather work image could not be had
};

// Builds gTile afresh for the current gSymmetry from block->sourcePaneImage
// and the selection polygon (selectionVertices, selectionVertexCount, less
// sourcePaneImageRect's top-left corner), with block->feather; the pattern
// fills the size of resultPaneImage. Sets gPreviewScale, resets gTile's
// placement to the object's position with opacity 100, Normal and no offset,
// and writes that position into selectionX, selectionY with tileOffsetX,
// tileOffsetY = 0. Returns 1; 0 when there is nothing to build from, or with
// *failure set when memory ran short (gTile then holds no pixels).
int16_t BuildPreviewTile(ParameterBlock* block, int16_t* failure = nullptr);

// Fills block->resultPaneWork with resultPaneImage under the pattern of gTile
// at block->opacity and blendMode, placed at (selectionX, selectionY) plus the
// tile's offsets and stepped by gPreviewScale. Both pictures keep their
// bottom row first. Opacity 0, a tile without pixels, or pictures that do not
// match the tile's pixel mode or each other leave resultPaneWork as it was.
void CompositePreview(ParameterBlock* block);

}  // namespace quiltora
