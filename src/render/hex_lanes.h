// The interior samples of the hexagonal builders on vector lanes: the blend
// of BilinearSample, byte for byte, eight 3- or 4-byte pixels at a time.
// Compiled for AVX2 alone (hex_lanes_avx2.cpp) and taken only where the
// processor has it.
#pragma once

#include <cstdint>

namespace quiltora {

// Whether SampleInteriorLanes is built in (x86 with GCC or Clang).
bool HexLanesBuilt();

// Samples interior pixels of a source of channels (3 or 4) bytes per pixel,
// rows rowBytes apart, from 16.16 position (sx, sy) stepping by (stepX, stepY)
// with the 32-bit wrap, into out (the same bytes per pixel), in groups of
// eight; returns how many it wrote (count rounded down to a multiple of 8).
// Every sample must lie in [0, maxX) × [0, maxY) in whole pixels, with
// (maxY + 1) × rowBytes below 2^31, and origin must have a row after the
// last one sampled. Reads no byte outside rows 0..maxY of the source.
int32_t SampleInteriorLanes(const uint8_t* origin, int32_t rowBytes, int32_t channels, int32_t sx, int32_t sy,
                            int32_t stepX, int32_t stepY, uint8_t* out, int32_t count);

}  // namespace quiltora
