// What every tile builder shares: its buffers and the row loop with the
// progress report and abort check of the final run.
#pragma once

#include <cstdint>

#include "render/pixel_copy.h"

namespace quiltora {

// Source and tile of one build. source addresses the source shape's origin
// pixel; tile the tile's top-left pixel; rows go downward in memory.
struct TileBuffers {
  const uint8_t* source;
  int32_t sourceRowBytes;
  int16_t sourceMode;
  uint8_t* tile;
  int32_t tileRowBytes;
  int16_t tileMode;
};

// progressMode 0: previews, no reports; 1: the final run, whose output rows
// continue the count after destHeight more steps.
struct BuildRun {
  int16_t progressMode;
  int32_t destHeight;
};

// The per-row gate of a builder. With progressMode 1 the constructor sets
// gProgressDone = 0 and gProgressTotal = progressTotal; each StartRow reports
// progress, counts one step and polls the host's abort test.
class RowGate {
 public:
  RowGate(const BuildRun& run, int32_t progressTotal);
  // 0 to go on with the row; otherwise the abort test's value, with gStopped
  // and gResult set to 1.
  int16_t StartRow() const;
  // What a completed build returns.
  int16_t Finished() const { return progressMode_; }

 private:
  int16_t progressMode_;
};

// Address of tile pixel (row, column), before any skip byte.
inline uint8_t* TilePixel(const TileBuffers& buffers, const PixelLayout& layout, int32_t row,
                          int32_t column) {
  return buffers.tile + static_cast<int64_t>(row) * buffers.tileRowBytes +
         static_cast<int64_t>(column) * layout.tileStep;
}

// Address of source pixel (row, column) from the source origin.
inline const uint8_t* SourcePixel(const TileBuffers& buffers, const PixelLayout& layout,
                                  int32_t row, int32_t column) {
  return buffers.source + static_cast<int64_t>(row) * buffers.sourceRowBytes +
         static_cast<int64_t>(column) * layout.sourceStep;
}

}  // namespace quiltora
