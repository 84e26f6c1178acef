// Picture routines of the dialog's panes: the nearest-neighbour fit of a
// part of a picture into a pane's buffer, and the row flip that turns a
// top-row-first buffer into the bottom-row-first layout the drawing takes.
#pragma once

#include <cstdint>

#include "image/image_buffer.h"

namespace quiltora {

// Copies the pw × ph part of source at (x0, y0) into the top-left corner of
// destination, shrunk or stretched by nearest neighbour with the part's
// aspect kept: the part fills the destination's width when the destination
// is relatively taller than the part, else its height. Destination row i,
// column j takes source row y0 + i × ph / rows and column x0 + j × pw / cols
// (integer divisions). Pixels outside that block stay as they were. False,
// copying nothing, when the formats differ or are unknown, or the part is
// empty or not inside the source.
bool FitCopy(ImageBuffer* destination, const ImageBuffer* source, int32_t x0, int32_t y0, int32_t partWidth,
             int32_t partHeight);

// Swaps row k with row height - 1 - k for every k below height / 2.
void FlipRows(ImageBuffer* buffer);

// Flips the rows for one scope and back at its end: the panes draw their
// top-row-first pictures through a drawing routine that takes the first row
// as the bottom one.
class ScopedRowFlip {
 public:
  explicit ScopedRowFlip(ImageBuffer* buffer) : buffer_(buffer) { FlipRows(buffer_); }
  ~ScopedRowFlip() { FlipRows(buffer_); }
  ScopedRowFlip(const ScopedRowFlip&) = delete;
  ScopedRowFlip& operator=(const ScopedRowFlip&) = delete;

 private:
  ImageBuffer* buffer_;
};

}  // namespace quiltora
