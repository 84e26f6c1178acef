// The selection between the source pane's pixels and the settings record's
// source pixels: where the stored selection lies in the pane, the bounds the
// outline must keep inside the feather, the commit of the outline drawn on
// the pane back into the record, and the tile size that commit gives.
#pragma once

#include <cstdint>

#include "abi/parameter_block.h"

namespace quiltora {

class TileSymmetry;

// trunc(value + 0.5), saturated to 32 bits; 0 for not-a-number.
int32_t RoundHalfUp(double value);

// The stored selection's bounding rectangle in source-pane pixels. A loaded
// picture's selection is in its own pixels, offset by the source area; the
// image's is taken from the normalised frame over the pane picture's size.
IntRect SelectionPaneRect(const ParameterBlock& block);

// The rectangle the outline must stay in: the pane picture's rectangle
// shrunk by the feather, one pixel more at the top and left (the outline's
// right and bottom are measured one past its last pixel).
IntRect FeatherInsetRect(const IntRect& in, int32_t featherPixels);

// Turns the outline drawn on the pane into the record's source-pixel
// selection fields, its normalised frame and the pattern offset fractions.
// Does nothing while the pane has no scale (no picture was ever shown).
void CommitSelection(ParameterBlock* block);

// The tile the committed selection gives at full size: commits the selection
// (keeping selectionX and selectionY), places it on the object over the whole
// source and returns the object's tile size. False, with nothing changed,
// without an object.
bool CommittedTileSize(ParameterBlock* block, TileSymmetry* object, int32_t* width, int32_t* height);

}  // namespace quiltora
