// Row copies on the widest vector lanes, compiled for their instruction set
// alone (pixel_lanes_avx512.cpp) and taken only where the processor has it.
#pragma once

#include <cstdint>

namespace quiltora {

// Whether MirrorRgbVbmi is built in.
bool PixelLanesBuilt();

// Copies whole groups of 21 three-byte pixels from source, left to right, to
// the tile right to left (tileLast receives the first source pixel), reading
// and writing no byte outside the count pixels of either side; returns how
// many pixels it copied (count rounded down to a multiple of 21). Needs
// ProcessorHasAvx512Vbmi().
int32_t MirrorRgbVbmi(const uint8_t* source, uint8_t* tileLast, int32_t count);

}  // namespace quiltora
