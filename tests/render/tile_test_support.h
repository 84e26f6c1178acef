// Pictures, symmetry objects and tiles for the tile-builder tests.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "symmetry/tile_symmetry.h"

namespace quiltora::test {

// A picture with rows padded to 4 bytes, top row first.
struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  int16_t mode = 3;
  int32_t bytesPerPixel = 3;
  int32_t rowBytes = 0;
  std::vector<uint8_t> pixels;

  Picture() = default;
  Picture(int32_t w, int32_t h, int16_t pixelMode, uint8_t fill = 0);
  uint8_t* At(int32_t row, int32_t column) {
    return pixels.data() + static_cast<size_t>(row) * rowBytes +
           static_cast<size_t>(column) * bytesPerPixel;
  }
  const uint8_t* At(int32_t row, int32_t column) const {
    return pixels.data() + static_cast<size_t>(row) * rowBytes +
           static_cast<size_t>(column) * bytesPerPixel;
  }
};

// The size of a symmetry's source: side for the one-size shapes, width ×
// height for rectangles and the parallelogram (with its shear).
struct Geometry {
  int16_t number;
  int32_t size;    // side, or width
  int32_t height;  // rectangles and the parallelogram only
  int32_t shear;   // parallelogram only
};

// Tile width and height of a symmetry with that geometry, as its tile-size
// rule gives them (the hexagonal side taken as the builder will use it).
void ExpectedTileSize(const Geometry& geometry, int32_t* width, int32_t* height);

// Width and height of a source picture large enough for the shape, with the
// column and row the hexagonal samplers may read beyond it.
void SourceSizeFor(const Geometry& geometry, int32_t* width, int32_t* height);

// Makes gSymmetry the leaf of geometry.number with that geometry, the source
// origin at (0, 0) of an image of the given size, and destHeight.
TileSymmetry* MakeSymmetry(const Geometry& geometry, int32_t sourceWidth, int32_t sourceHeight,
                           int32_t destHeight = 0);

// Builds the tile into a picture of the expected size filled with fill.
struct BuiltTile {
  Picture tile;
  int16_t result = 0;
};
BuiltTile BuildWith(const Geometry& geometry, const Picture& source, int16_t tileMode, uint8_t fill,
                    int32_t destHeight = 0);

// A source whose pixel (row, column) is (column, row, 255) in mode 3.
Picture PositionPicture(int32_t width, int32_t height);

// A source of repeatable pseudo-random bytes.
Picture NoisePicture(int32_t width, int32_t height, int16_t mode, uint32_t seed);

// A smooth source: value(column, row) for every channel byte.
Picture SmoothPicture(int32_t width, int32_t height,
                      const std::function<double(double, double)>& value);

}  // namespace quiltora::test
