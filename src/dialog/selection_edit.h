// Editing the selection outline in the source pane: moving it inside its
// bounds, resizing it by a handle (the parallelogram by either of its two),
// and the feather border around it. All in pane pixels; outlines are the
// settings record's vertex lists (closed by repeating the first vertex) and
// bounds are rectangles whose right and bottom lie one past the last pixel.
#pragma once

#include <cstdint>

#include "abi/parameter_block.h"

namespace quiltora {

// Shortens delta so that the outline moved by it keeps within bounds (right
// and left tested in that order, then top and bottom), then moves every
// vertex, the closing one included, by the shortened delta.
void MoveSelection(IntPoint* delta, IntPoint* vertices, int32_t count, const IntRect& bounds);

// Applies a drag of handle vertex `handle` by delta. The parallelogram
// (symmetry 1) changes its edge length by the top-right handle (vertex 3),
// never below the shear's size nor below 10; by the bottom-left handle
// (vertex 1) it moves its bottom edge, changing shear and height, the shear
// never exceeding the edge length, or, with `control` held, becomes a
// rectangle whose left and bottom follow the pointer. Every other symmetry
// grows or shrinks its bounding box at the right and bottom and rebuilds its
// outline from it. The closing vertex always keeps the first one's place.
void ResizeSelection(int32_t symmetry, IntPoint delta, IntPoint* vertices, int32_t* handles, int32_t* count,
                     int32_t handle, const IntRect& bounds, bool control);

// Lowers a feather of featherPixels around the outline's bounding box b so
// that it stays inside imageRect, never below 0. Returns -1 when it fits
// unchanged, else the percent of the shape's largest feather the lowered
// width gives (truncated), with *featherPixels lowered.
int32_t FitFeatherToImage(int32_t symmetry, int32_t* featherPixels, int32_t shear, const IntRect& b,
                          const IntRect& imageRect);

// The feather border's outline: the selection grown outward by the feather
// with mitred corners, to be filled with the alternate rule and cut to
// `clip` (the bounding box grown by the feather). count is 0 when there is
// no border.
struct FeatherOutline {
  IntPoint points[5] = {};  // the grown vertices, closed by repeating the first
  int32_t count = 0;
  IntRect clip{};
  void Offset(IntPoint delta);
};

// Recomputes the feather of the outline: *featherPixels from the percent
// *feather and the outline's bounding box, lowered to fit imageRect (and
// *feather with it), and the border's outline. Returns 1 when there is a
// border, 0 when the symmetry takes no feather or the width is 0 (then
// *featherPixels is 0 and the outline empty). Where two grown edges do not
// meet (parallel, or beyond ±32767) the corner of the selection stands in.
int32_t BuildFeatherOutline(int32_t symmetry, const IntPoint* vertices, int32_t count, FeatherOutline* outline,
                            int32_t shear, int32_t* feather, int32_t* featherPixels, const IntRect& imageRect);

}  // namespace quiltora
