// What every tile builder shares: its buffers and the row loop with the
// progress report and stop check.
#pragma once

#include <cstdint>

#include "common/progress.h"
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

// Where a build reports its rows, and the height of the area the pattern
// fills: the final run's output rows continue the count after the tile's.
struct BuildRun {
  ProgressSink* progress;
  int32_t destHeight;
};

// The per-row gate of a builder: the constructor starts the count at 0 of
// progressTotal; each StartRow reports, counts one step and asks whether to stop.
class RowGate {
 public:
  RowGate(const BuildRun& run, int32_t progressTotal);
  // 0 to go on with the row; 1 (stopped) to end the build.
  int16_t StartRow() const;
  // What a completed build returns.
  int16_t Finished() const { return 0; }

 private:
  ProgressSink* progress_;
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
