// The tile build the run and the dialog's preview share: the feathered copy
// of the source in the feather work image, the tile's size and memory,
// BuildTile, and the inversion of a CMYK tile built from a loaded picture.
// Each caller brings its own source, destination size and progress.
#pragma once

#include <cstdint>

#include "abi/parameter_block.h"
#include "common/progress.h"
#include "composite/tile_image.h"
#include "image/image_buffer.h"
#include "render/tile_rows.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora {

// Pixels in memory: the address of one pixel, the row length and the pixel mode.
struct PixelView {
  const uint8_t* pixels = nullptr;
  int32_t rowBytes = 0;
  int16_t pixelMode = 0;
};

// The source pixels a tile build reads: the symmetry object's source bounds
// (GetSourceBounds) with the column right of them and the row below them,
// which the bilinear samplers may touch. Right and bottom are exclusive.
IntRect WantedSourceRect(TileSymmetry& symmetry);

// The wanted rectangle of a picture. picture addresses the pixel at have's
// top-left corner; wanted and have are in the same coordinates. view
// addresses wanted's top-left pixel: inside the picture when wanted lies
// within have, else in copy, where every pixel outside have repeats the
// nearest one inside. Returns 0, or -108 for a picture without pixels or
// area, or when the copy cannot be had.
struct SourceWindow {
  PixelView view;
  ImageBufferPtr copy;
};
int16_t CutSourceWindow(const PixelView& picture, const IntRect& have, const IntRect& wanted, SourceWindow* window);

struct TileJob {
  TileSymmetry* symmetry = nullptr;
  TileImage* tile = nullptr;
  PixelImage* featherWork = nullptr;
  PixelView source;       // at the source bounds' top-left pixel, see WantedSourceRect
  int16_t tileMode = 0;   // pixel mode of the tile and the work image
  int32_t destWidth = 0;  // the area the pattern fills
  int32_t destHeight = 0;
  ProgressSink* progress = nullptr;
  bool invertTile = false;  // a CMYK image built from a loaded picture
  // false: a feather that runs short of memory ends the job; true: the tile
  // is built from the unfeathered copy and the job still succeeds.
  bool buildWithoutFeatherOnFailure = false;
  // When set, a symmetry that TileRows holds gets its tile as rows there
  // instead of tile pixels (see tile_rows.h); the tile image keeps only the
  // geometry.
  TileRows* rows = nullptr;
};

enum class TileJobResult : int16_t {
  kBuilt,
  kStopped,        // the progress sink said stop
  kNoFeatherWork,  // the feather work image could not be had
  kNoTile,         // the tile's pixels could not be had
  kOutOfMemory,    // the feather or the builder ran short of memory
};

// Releases the tile's pixels (and rows) and builds it afresh: when the
// object has a feather (symmetries without one are forced to 0), the source
// is copied into the feather work image and feathered there, and the tile is
// built from the work image; otherwise straight from the source. The tile
// gets the object's size and row shift, the job's destination size and pixel
// mode, rows padded to 4 bytes, and is left unlocked; the work image's pixels
// are released, unless the rows took them over. On every result but kBuilt
// and kStopped the tile holds no pixels; on every result but kBuilt the rows
// hold nothing.
TileJobResult RunTileJob(const TileJob& job);

// 255 − value for count bytes.
void InvertBytes(uint8_t* bytes, int64_t count);

}  // namespace quiltora
