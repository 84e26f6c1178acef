// Row copies and square transposes on the widest vector lanes, compiled for
// their instruction set alone (pixel_lanes_avx512.cpp) and taken only where
// the processor has it.
#pragma once

#include <cstdint>

namespace quiltora {

// Copies source pixels of bytesPerPixel (1, 3 or 4) bytes, left to right, to
// the tile right to left (tileLast receives the first source pixel), a whole
// register of pixels at a time, where this processor has the lanes for that
// size (AVX-512 for 4-byte pixels, AVX-512 VBMI for 1- and 3-byte ones);
// returns how many pixels it copied, the caller copying the rest. Reads and
// writes no byte outside the count pixels of either side.
int32_t MirrorPixelsWide(const uint8_t* source, uint8_t* tileLast, int32_t count, int32_t bytesPerPixel);

// The kernel behind it, built only for x86.
int32_t MirrorPixelsAvx512(const uint8_t* source, uint8_t* tileLast, int32_t count, int32_t bytesPerPixel,
                           bool vbmi);

// Transposes one kWideSquare × kWideSquare square of pixels: source row k
// becomes target column k, or, mirrored, column kWideSquare − 1 − k. Reads
// and writes exactly the square's bytes.
using SquareTranspose = void (*)(const uint8_t* from, int64_t fromRowBytes, uint8_t* to, int64_t toRowBytes);
constexpr int32_t kWideSquare = 16;
// The square transpose for pixels of bytesPerPixel bytes on this
// processor's AVX-512 lanes (VBMI for 3-byte ones), or null.
SquareTranspose WideSquareTranspose(int32_t bytesPerPixel, bool mirrored);
// The kernels behind it, built only for x86.
SquareTranspose SquareTransposeAvx512(int32_t bytesPerPixel, bool mirrored, bool vbmi);

}  // namespace quiltora
