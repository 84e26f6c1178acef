// The feather driven the way the run drives it: a symmetry object placed on
// an image, the source buffer cut to exactly the rows and columns the run
// requests, the work image sized from the edge rectangle, then FeatherSource
// and BuildTile.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "abi/parameter_block.h"
#include "render/feather_blend.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora::test {

// Unpadded pixels, top row first; vectors sized exactly so that any read or
// write past them trips the address sanitizer.
struct FeatherImage {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bytesPerPixel = 3;
  std::vector<uint8_t> pixels;

  FeatherImage() = default;
  FeatherImage(int32_t w, int32_t h, int32_t bpp, uint8_t fill = 0);
  int32_t RowBytes() const { return width * bytesPerPixel; }
  uint8_t* At(int32_t x, int32_t y) {
    return pixels.data() + (static_cast<size_t>(y) * width + x) * bytesPerPixel;
  }
  const uint8_t* At(int32_t x, int32_t y) const {
    return pixels.data() + (static_cast<size_t>(y) * width + x) * bytesPerPixel;
  }
};

// An image whose channel bytes are value(x, y, channel).
FeatherImage MakeImage(int32_t width, int32_t height, int32_t bpp,
                       const std::function<uint8_t(int32_t, int32_t, int32_t)>& value);

// The run's set-up of gSymmetry for symmetry number on an image, with the
// frame in image pixels and the feather percent.
TileSymmetry* PrepareSymmetry(int16_t number, const SelectionFrame& frame, int32_t imageWidth,
                              int32_t imageHeight, int32_t percent);

// One feather call as the run makes it.
struct FeatherCall {
  Rect16 bounds{};        // GetSourceBounds, in image pixels
  FeatherImage source;    // image rows bounds.top..bounds.bottom, columns bounds.left..bounds.right
  FeatherImage work;      // edge rectangle, filled from the source
  FeatherImage copy;      // the work image before FeatherSource
  int16_t status = 0;     // what FeatherSource returned
};

// Cuts the source from the image, fills the work image and calls
// FeatherSource on gSymmetry (when its feather is not 0).
FeatherCall RunFeather(const FeatherImage& image, int16_t mode);

// BuildTile from a work image; the tile's rows are unpadded.
FeatherImage BuildTileFrom(const FeatherImage& work, int16_t mode);

// Buffers over small test pictures: the shape's origin at (originX,
// originY) of the source and at (0, 0) of the work image, reads allowed from
// the whole source.
FeatherBuffers BuffersOver(const FeatherImage& source, FeatherImage* work, int32_t originX,
                           int32_t originY, int16_t mode);

}  // namespace quiltora::test
