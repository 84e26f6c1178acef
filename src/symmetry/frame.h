// Selection frames: a selection's bounding box in pixels or as fractions of
// the source size.
#pragma once

#include "common/parameter_block.h"

namespace quiltora {

// Left and right divided by width, top and bottom by height, shear copied.
void NormaliseFrame(const SelectionFrame& in, SelectionFrame* out, double width, double height);
// The inverse: left and right times width, top and bottom times height.
void DenormaliseFrame(const SelectionFrame& in, SelectionFrame* out, double width, double height);

}  // namespace quiltora
