// Selection frames: a selection's bounding box in pixels or as fractions of
// the source size.
#pragma once

#include "abi/parameter_block.h"

namespace quiltora {

class TileSymmetry;

// Left and right divided by width, top and bottom by height, shear copied.
void NormaliseFrame(const SelectionFrame& in, SelectionFrame* out, double width, double height);
// The inverse: left and right times width, top and bottom times height.
void DenormaliseFrame(const SelectionFrame& in, SelectionFrame* out, double width, double height);

// Brings a pixel frame inside the object's image with a one-pixel border:
// at least 10 wide and high (12 for the object of a hexagonal symmetry, dropping the
// shear when grown), moved without resizing into columns 1..W-1 and rows
// 1..H-1, and cut to exactly those when larger.
void FitFrame(const TileSymmetry& object, SelectionFrame* frame);

}  // namespace quiltora
