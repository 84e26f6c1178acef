// The interior samples of the hexagonal builders on vector lanes: the blend
// of BilinearSample, byte for byte, for 3- and 4-byte pixels, 8 samples at a
// time on AVX2 or 16 on AVX-512. Each width is compiled for its instruction
// set alone and taken only where the processor has it.
#pragma once

#include <cstdint>

namespace quiltora {

// The widest lanes this processor runs: 0 (none), 8 (AVX2) or 16 (AVX-512).
int32_t HexLaneWidth();

// Samples interior pixels of a source of channels (3 or 4) bytes per pixel,
// rows rowBytes apart, from 16.16 position (sx, sy) stepping by (stepX, stepY)
// with the 32-bit wrap, into out (the same bytes per pixel), lanes samples at
// a time (8 or 16, at most HexLaneWidth()); returns how many it wrote: count
// rounded down to a multiple of lanes. Every sample must lie in [0, maxX) ×
// [0, maxY) in whole pixels, with (maxY + 1) × rowBytes below 2^31. Reads no
// byte outside rows 0..maxY of the source.
int32_t SampleInteriorLanes(int32_t lanes, const uint8_t* origin, int32_t rowBytes, int32_t channels, int32_t sx,
                            int32_t sy, int32_t stepX, int32_t stepY, uint8_t* out, int32_t count);

// The kernels behind SampleInteriorLanes, one per instruction set.
int32_t SampleInteriorAvx2(const uint8_t* origin, int32_t rowBytes, int32_t channels, int32_t sx, int32_t sy,
                           int32_t stepX, int32_t stepY, uint8_t* out, int32_t count);
int32_t SampleInteriorAvx512(const uint8_t* origin, int32_t rowBytes, int32_t channels, int32_t sx, int32_t sy,
                             int32_t stepX, int32_t stepY, uint8_t* out, int32_t count);

}  // namespace quiltora
