// Laying the pattern over an image row: the nine blend modes with opacity,
// walking one tile row that repeats along the output row.
#pragma once

#include <cstdint>

#include "composite/tile_image.h"

namespace quiltora {

// (100 - opacity) × 255 / 100, integer division: 0 at 100 %, 127 at 50 %,
// 252 at 1 %. Opacities above 100 count as 100.
int32_t TransparencyOfOpacity(int32_t opacity);

// A compositor lays pixelCount tile pixels, starting at (tileColumn, tileRow)
// and repeating the tile row, over inputRow into outputRow, both read and
// written in the output pixel mode. Per output pixel the tile advances by one
// pixel plus wholeStep bytes (taken in whole tile pixels) plus fractionStep
// hundred-thousandths of a pixel; both steps 0 read consecutive tile pixels.
// Supported layouts: output mode 1, 3, 4 or 10 with a tile of the same
// channels (1 with 1, 4 with 4, 3 or 10 with 3 or 10) whose bytes per pixel
// match its mode; any other call leaves the output row untouched.
// byteOrderFlag 1 takes three-byte pixels as blue, green, red.
using FullStrengthCompositor = void (*)(const uint8_t* tilePixels, int32_t tileWidth, int32_t tileRowBytes,
                                        int32_t tileColumn, int32_t tileRow, int16_t tilePixelMode,
                                        int32_t pixelCount, int16_t outputPixelMode, uint8_t* outputRow,
                                        const uint8_t* inputRow, int32_t fractionStep, int32_t wholeStep,
                                        int16_t tileBytesPerPixel, uint8_t byteOrderFlag);

// The same with opacity: factor is the transparency t for modes 1 to 7 and
// the opacity factor a = 255 - t for Multiply and Screen.
using OpacityCompositor = void (*)(const uint8_t* tilePixels, int32_t tileWidth, int32_t tileRowBytes,
                                   int32_t tileColumn, int32_t tileRow, int16_t tilePixelMode, int32_t pixelCount,
                                   int16_t outputPixelMode, uint8_t* outputRow, const uint8_t* inputRow,
                                   int32_t factor, int32_t fractionStep, int32_t wholeStep,
                                   int16_t tileBytesPerPixel, uint8_t byteOrderFlag);

// The compositors of blend modes 1 to 9; null for any other mode.
FullStrengthCompositor FullStrengthCompositorOf(int32_t blendMode);
OpacityCompositor OpacityCompositorOf(int32_t blendMode);

// How a composited row walks the tile: pixelCount output pixels, and per
// output pixel one tile pixel plus wholeStep bytes (taken in whole tile
// pixels) plus fractionStep hundred-thousandths of a pixel.
struct RowSteps {
  int32_t pixelCount = 0;
  int32_t fractionStep = 0;
  int32_t wholeStep = 0;
};

// Composites the locked tile, starting at tile (tileColumn, tileRow), over
// inputRow into outputRow with the tile's opacity, blend mode and byte
// order. The input row is read in the output pixel mode.
void BlendSteppedRow(const TileImage* tile, const uint8_t* inputRow, uint8_t* outputRow, int32_t tileColumn,
                     int32_t tileRow, int16_t outputPixelMode, const RowSteps& steps);

// BlendSteppedRow of tile->destWidth pixels, both steps 0.
void BlendRow(const TileImage* tile, const uint8_t* inputRow, uint8_t* outputRow, int32_t tileColumn,
              int32_t tileRow, int16_t inputPixelMode, int16_t outputPixelMode);

// A run of count tile pixels in memory, left to right.
struct TilePiece {
  const uint8_t* pixels;
  int32_t count;
};

// BlendRow over one tile row given as pieces side by side, whose counts add
// up to the tile's width: the same bytes as BlendRow over a tile holding that
// row. The tile image gives everything but the pixels.
void BlendRowPieces(const TileImage* tile, const TilePiece* pieces, int pieceCount, const uint8_t* inputRow,
                    uint8_t* outputRow, int32_t tileColumn, int16_t outputPixelMode);

}  // namespace quiltora
