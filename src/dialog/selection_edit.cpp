#include "dialog/selection_edit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "symmetry/outline.h"
#include "symmetry/shape_support.h"

namespace quiltora {
namespace {

// The parallelogram's vertices: top-left, bottom-left, bottom-right, top-right.
enum ParallelogramVertex { kTopLeft = 0, kBottomLeft = 1, kBottomRight = 2, kTopRight = 3 };

constexpr int32_t kSmallestEdge = 10;

// The top-right handle: the edge length follows the pointer.
void StretchParallelogram(IntPoint delta, IntPoint* v, const IntRect& bounds) {
  const int32_t shearSize = std::abs(v[kTopLeft].x - v[kBottomLeft].x);
  v[kTopRight].x += delta.x;
  v[kBottomRight].x += delta.x;
  const int32_t edge = v[kTopRight].x - v[kTopLeft].x;
  if (shearSize > edge) {
    v[kTopRight].x = v[kTopLeft].x + shearSize;
    v[kBottomRight].x = v[kBottomLeft].x + shearSize;
  }
  if (edge < kSmallestEdge) {
    v[kTopRight].x = v[kTopLeft].x + kSmallestEdge;
    v[kBottomRight].x = v[kBottomLeft].x + kSmallestEdge;
  }
  const int32_t lean = v[kTopRight].x - v[kBottomRight].x;
  if (v[kTopRight].x > bounds.right) {
    v[kTopRight].x = bounds.right;
    v[kBottomRight].x = bounds.right - lean;
  } else if (v[kBottomRight].x > bounds.right) {
    v[kBottomRight].x = bounds.right;
    v[kTopRight].x = bounds.right + lean;
  }
}

// The bottom-left handle: the bottom edge follows the pointer, changing shear
// and height.
void ShearParallelogram(IntPoint delta, IntPoint* v, const IntRect& bounds) {
  const int32_t edge = v[kBottomRight].x - v[kBottomLeft].x;
  v[kBottomLeft].x += delta.x;
  v[kBottomLeft].y += delta.y;
  v[kBottomRight].x += delta.x;
  v[kBottomRight].y += delta.y;
  if (v[kBottomLeft].x < bounds.left) {
    v[kBottomLeft].x = bounds.left;
    v[kBottomRight].x = v[kBottomLeft].x + edge;
  } else if (v[kBottomRight].x > bounds.right) {
    v[kBottomRight].x = bounds.right;
    v[kBottomLeft].x = v[kBottomRight].x - edge;
  }
  if (v[kBottomLeft].y - v[kTopLeft].y < kSmallestEdge) {
    v[kBottomLeft].y = v[kTopLeft].y + kSmallestEdge;
    v[kBottomRight].y = v[kBottomLeft].y;
  }
  if (v[kBottomLeft].y > bounds.bottom) v[kBottomLeft].y = v[kBottomRight].y = bounds.bottom;
  const int32_t shear = v[kTopLeft].x - v[kBottomLeft].x;
  if (std::abs(shear) > edge) {
    v[kBottomLeft].x = shear > 0 ? v[kTopLeft].x - edge : v[kTopLeft].x + edge;
    v[kBottomRight].x = v[kBottomLeft].x + edge;
  }
}

// The outline of the symmetry's shape rebuilt from its bounding box with the
// given corner moved.
void RebuildFromBox(int32_t symmetry, const IntRect& box, IntPoint* vertices, int32_t* handles, int32_t* count,
                    const IntRect& bounds) {
  BuildSelectionOutline(symmetry, box.left, box.top, box.right - box.left, box.bottom - box.top, 0, vertices, handles,
                        count, bounds);
}

// Half away from zero, or false beyond ±32767.
bool RoundCoordinate(double value, int32_t* out) {
  const double rounded = std::round(value);
  if (!(std::fabs(rounded) <= 32767.0)) return false;
  *out = int32_t(rounded);
  return true;
}

}  // namespace

void MoveSelection(IntPoint* delta, IntPoint* vertices, int32_t count, const IntRect& bounds) {
  IntRect b{};
  SelectionBounds(vertices, count, &b);
  b = IntRect{b.left + delta->x, b.top + delta->y, b.right + delta->x, b.bottom + delta->y};
  if (b.right > bounds.right) {
    delta->x += bounds.right - b.right;
  } else if (b.left < bounds.left) {
    delta->x += bounds.left - b.left;
  }
  if (b.top < bounds.top) {
    delta->y += bounds.top - b.top;
  } else if (b.bottom > bounds.bottom) {
    delta->y += bounds.bottom - b.bottom;
  }
  for (int32_t i = 0; i < count; ++i) {
    vertices[i].x += delta->x;
    vertices[i].y += delta->y;
  }
}

void ResizeSelection(int32_t symmetry, IntPoint delta, IntPoint* vertices, int32_t* handles, int32_t* count,
                     int32_t handle, const IntRect& bounds, bool control) {
  const bool parallelogram = symmetry == 1 && *count == 5;
  if (parallelogram && handle == kTopRight) {
    StretchParallelogram(delta, vertices, bounds);
  } else if (parallelogram && !control) {
    ShearParallelogram(delta, vertices, bounds);
  } else {
    IntRect box{};
    SelectionBounds(vertices, *count, &box);
    if (parallelogram) {
      box.left += delta.x;
    } else {
      box.right += delta.x;
    }
    box.bottom += delta.y;
    RebuildFromBox(symmetry, box, vertices, handles, count, bounds);
    return;
  }
  vertices[*count - 1] = vertices[0];
}

int32_t FitFeatherToImage(int32_t symmetry, int32_t* featherPixels, int32_t shear, const IntRect& b,
                          const IntRect& imageRect) {
  const int32_t feather = *featherPixels;
  int32_t fitted = feather;
  if (b.right + feather > imageRect.right) fitted = std::min(fitted, imageRect.right - b.right);
  if (b.left - feather < imageRect.left) fitted = std::min(fitted, b.left - imageRect.left);
  if (b.bottom + feather > imageRect.bottom) fitted = std::min(fitted, imageRect.bottom - b.bottom);
  if (b.top - feather < imageRect.top) fitted = std::min(fitted, b.top - imageRect.top);
  // An outline already touching the border leaves no room at all, never less.
  fitted = std::max(fitted, 0);
  if (fitted == feather) return -1;
  *featherPixels = fitted;
  const double largest = MaxFeather(symmetry, b.right - b.left, b.bottom - b.top, shear);
  return largest > 0.0 ? shape::Trunc(fitted * 100.0 / largest) : 0;
}

void FeatherOutline::Offset(IntPoint delta) {
  for (int32_t i = 0; i < count; ++i) {
    points[i].x += delta.x;
    points[i].y += delta.y;
  }
  if (count > 0) clip = IntRect{clip.left + delta.x, clip.top + delta.y, clip.right + delta.x, clip.bottom + delta.y};
}

int32_t BuildFeatherOutline(int32_t symmetry, const IntPoint* vertices, int32_t count, FeatherOutline* outline,
                            int32_t shear, int32_t* feather, int32_t* featherPixels, const IntRect& imageRect) {
  *outline = FeatherOutline{};
  IntRect b{};
  SelectionBounds(vertices, count, &b);
  *featherPixels = FeatherPixelsFor(symmetry, *feather, b.right - b.left, b.bottom - b.top, shear);
  if (*featherPixels <= 0 || count < 4 || count > kOutlineMaxVertices) {
    *featherPixels = 0;
    return 0;
  }
  const int32_t percent = FitFeatherToImage(symmetry, featherPixels, shear, b, imageRect);
  if (percent >= 0) *feather = percent;
  const double grow = *featherPixels;
  // Edge i runs from vertex i to vertex i + 1 on the line dy·x − dx·y = c,
  // moved outward by the feather.
  const int32_t edges = count - 1;
  double dx[kOutlineMaxVertices] = {}, dy[kOutlineMaxVertices] = {}, c[kOutlineMaxVertices] = {};
  for (int32_t i = 0; i < edges; ++i) {
    dx[i] = double(vertices[i + 1].x) - vertices[i].x;
    dy[i] = double(vertices[i + 1].y) - vertices[i].y;
    c[i] = double(vertices[i + 1].y) * vertices[i].x - double(vertices[i].y) * vertices[i + 1].x -
           grow * std::sqrt(dx[i] * dx[i] + dy[i] * dy[i]);
  }
  for (int32_t i = 0; i < edges; ++i) {
    const int32_t j = (i + 1) % edges;
    const double det = dy[j] * dx[i] - dy[i] * dx[j];
    IntPoint& point = outline->points[i];
    point = vertices[i + 1];
    if (std::fabs(det) < 0.00001) continue;
    IntPoint met{};
    if (RoundCoordinate((dx[i] * c[j] - dx[j] * c[i]) / det, &met.x) &&
        RoundCoordinate((dy[i] * c[j] - dy[j] * c[i]) / det, &met.y))
      point = met;
  }
  outline->points[edges] = outline->points[0];
  outline->count = count;
  const int32_t f = *featherPixels;
  outline->clip = IntRect{b.left - f, b.top - f, b.right + f, b.bottom + f};
  return 1;
}

}  // namespace quiltora
