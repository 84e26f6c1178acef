// The selection outline drawn in the source pane: the polygon of the current
// symmetry's source shape, its drag handles, and the largest feather a shape
// of a given bounding box allows.
#pragma once

#include <cstdint>

#include "abi/parameter_block.h"

namespace quiltora {

constexpr int32_t kOutlineMaxVertices = 5;
constexpr int32_t kHitInside = -2;
constexpr int32_t kHitNothing = -1;

// Turns the rectangle (x, y, width, height), each size raised to at least 10,
// into the outline of the symmetry's shape inside clip (right and bottom
// exclusive): up to five vertices closed by repeating the first, the handle
// vertex indexes ended by -1, and the vertex count. Returns 1, or 0 for a
// number outside 1..17 with nothing written.
int32_t BuildSelectionOutline(int32_t symmetry, int32_t x, int32_t y, int32_t width,
                              int32_t height, int32_t shear, IntPoint* vertices, int32_t* handles,
                              int32_t* count, const IntRect& clip);

// The index of the first handle vertex whose 8 × 8 square [v - 4, v + 4)
// holds the point; else kHitInside inside the polygon (even-odd rule); else
// kHitNothing.
int32_t HitTestSelection(IntPoint point, const IntPoint* vertices, const int32_t* handles,
                         int32_t count);

// Least x and y, greatest x and y plus one; all zero for count 0.
void SelectionBounds(const IntPoint* vertices, int32_t count, IntRect* out);

// The largest feather of the symmetry's shape with bounding box width ×
// height, in the same pixels (absolute value; 0 when it takes no feather).
double MaxFeather(int32_t symmetry, int32_t width, int32_t height, int32_t shear);

// -1 when the symmetry takes no feather, else trunc(percent × MaxFeather / 100).
int32_t FeatherPixelsFor(int32_t symmetry, int32_t percent, int32_t width, int32_t height,
                         int32_t shear);

}  // namespace quiltora
