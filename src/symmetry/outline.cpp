#include "symmetry/outline.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "common/fixed.h"
#include "symmetry/catalogue.h"
#include "symmetry/shape_support.h"

namespace quiltora {

namespace {

// The clipped rectangle: its top-left and its last column and row offsets.
struct Placement {
  int32_t left, top, lastColumn, lastRow, clipBottom;
};

// Writes the vertices, closes the outline and ends the handle list.
void Emit(std::initializer_list<IntPoint> points, std::initializer_list<int32_t> handleIndexes,
          IntPoint* vertices, int32_t* handles, int32_t* count) {
  int32_t n = 0;
  for (const IntPoint& point : points) vertices[n++] = point;
  vertices[n++] = *points.begin();
  int32_t h = 0;
  for (int32_t index : handleIndexes) handles[h++] = index;
  handles[h] = -1;
  *count = n;
}

// The height u the shape takes from the width reaches clip's bottom.
bool ReachesBottom(const Placement& p, int32_t height) { return p.top + height >= p.clipBottom; }

void BuildShape(SourceShape shape, const Placement& p, int32_t shear, IntPoint* vertices, int32_t* handles,
                int32_t* count) {
  const int32_t X = p.left;
  const int32_t Y = p.top;
  const int32_t W = p.lastColumn;
  const int32_t H = p.lastRow;
  const int32_t limit = p.clipBottom - Y - 1;
  using shape::Trunc;
  switch (shape) {
    case SourceShape::kParallelogram:
      if (shear >= 0) {
        Emit({{X, Y}, {X + shear, Y + H}, {X + W, Y + H}, {X + W - shear, Y}}, {1, 3}, vertices,
             handles, count);
      } else {
        Emit({{X - shear, Y}, {X, Y + H}, {X + W + shear, Y + H}, {X + W, Y}}, {1, 3}, vertices,
             handles, count);
      }
      return;
    case SourceShape::kRectangle:
      Emit({{X, Y}, {X, Y + H}, {X + W, Y + H}, {X + W, Y}}, {2}, vertices, handles, count);
      return;
    case SourceShape::kHalfSquare:
    case SourceShape::kSquare: {
      const int32_t u = ReachesBottom(p, W) ? limit : W;
      if (shape == SourceShape::kHalfSquare) {
        Emit({{X, Y}, {X, Y + u}, {X + u, Y + u}}, {2}, vertices, handles, count);
      } else {
        Emit({{X, Y}, {X, Y + u}, {X + u, Y + u}, {X + u, Y}}, {2}, vertices, handles, count);
      }
      return;
    }
    case SourceShape::kRhombus: {
      int32_t u = Trunc(W * 0.5773503 + 0.5);
      int32_t v = W;
      if (ReachesBottom(p, u)) {
        u = limit;
        v = Trunc(u / 0.5773503 + 0.5);
      }
      const int32_t b = Trunc(v * 2.0 / 3.0 + 0.5);
      Emit({{X, Y}, {X + b / 2, Y + u}, {X + v, Y + u}, {X + b, Y}}, {3}, vertices, handles, count);
      return;
    }
    case SourceShape::kTriangle: {
      int32_t u = Trunc(W * 0.8660254);
      int32_t v = W;
      if (ReachesBottom(p, u)) {
        u = limit;
        v = Trunc(u / 0.8660254);
      }
      Emit({{X, Y}, {X + v / 2, Y + u}, {X + v, Y}}, {2}, vertices, handles, count);
      return;
    }
    case SourceShape::kKite: {
      int32_t v = W;
      int32_t u = Trunc(v * 4.0 / 3.0 * 0.8660254);
      if (ReachesBottom(p, u)) {
        u = limit;
        v = Trunc(u / 0.8660254 * 0.75);
      }
      Emit({{X, Y}, {X, Y + u}, {X + (4 * v) / 6, Y + u}, {X + v, Y + u / 2}}, {3}, vertices,
           handles, count);
      return;
    }
    case SourceShape::kHalfTriangle: {
      int32_t u = Trunc(W * 1.7320508);
      int32_t v = W;
      if (ReachesBottom(p, u)) {
        u = limit;
        v = Trunc(u / 1.7320508);
      }
      Emit({{X, Y}, {X, Y + u}, {X + v, Y + u}}, {2}, vertices, handles, count);
      return;
    }
  }
}

// Even-odd rule: a horizontal ray to the right crosses the edges an odd number of times.
bool InsidePolygon(IntPoint point, const IntPoint* vertices, int32_t count) {
  bool inside = false;
  for (int32_t i = 0; i + 1 < count; ++i) {
    const IntPoint a = vertices[i];
    const IntPoint b = vertices[i + 1];
    if ((a.y > point.y) == (b.y > point.y)) continue;
    const double crossX =
        a.x + static_cast<double>(b.x - a.x) * (point.y - a.y) / static_cast<double>(b.y - a.y);
    if (point.x < crossX) inside = !inside;
  }
  return inside;
}

// Half the distance between the parallelogram's slanted edges, in 16.16 with
// the root taken in f64.
double ShearedHalfDistance(int32_t width, int32_t height, int32_t shear) {
  const int32_t slope = FixDiv(IntToFix(std::abs(shear)), IntToFix(height));
  const int32_t squared = WrapAdd(FixMul(slope, slope), 65536);
  const int32_t root = DoubleToFix(std::sqrt(squared / 65536.0));
  if (root < 65536) return 0.0;
  return FixToInt(FixMul(IntToFix(width / 2), FixDiv(65536, root)));
}

}  // namespace

int32_t BuildSelectionOutline(int32_t symmetry, int32_t x, int32_t y, int32_t width,
                              int32_t height, int32_t shear, IntPoint* vertices, int32_t* handles,
                              int32_t* count, const IntRect& clip) {
  const SymmetryInfo* info = FindSymmetryInfo(symmetry);
  if (info == nullptr) return 0;
  width = std::max(width, 10);
  height = std::max(height, 10);
  const int32_t left = std::max(x, clip.left);
  const int32_t top = std::max(y, clip.top);
  const int32_t right = std::min(x + width, clip.right);
  const int32_t bottom = std::min(y + height, clip.bottom);
  // A rectangle wholly outside the clip collapses to a point at its corner.
  const Placement placement{left, top, std::max(right - left - 1, 0),
                            std::max(bottom - top - 1, 0), clip.bottom};
  BuildShape(info->shape, placement, shear, vertices, handles, count);
  return 1;
}

int32_t HitTestSelection(IntPoint point, const IntPoint* vertices, const int32_t* handles,
                         int32_t count) {
  for (int32_t i = 0; i < kOutlineMaxVertices && handles[i] != -1; ++i) {
    const int32_t index = handles[i];
    if (index < 0 || index >= count) continue;
    const IntPoint v = vertices[index];
    if (point.x >= v.x - 4 && point.x < v.x + 4 && point.y >= v.y - 4 && point.y < v.y + 4) {
      return index;
    }
  }
  return InsidePolygon(point, vertices, count) ? kHitInside : kHitNothing;
}

void SelectionBounds(const IntPoint* vertices, int32_t count, IntRect* out) {
  if (count <= 0) {
    *out = IntRect{0, 0, 0, 0};
    return;
  }
  IntRect bounds{vertices[0].x, vertices[0].y, vertices[0].x, vertices[0].y};
  for (int32_t i = 1; i < count; ++i) {
    bounds.left = std::min(bounds.left, vertices[i].x);
    bounds.top = std::min(bounds.top, vertices[i].y);
    bounds.right = std::max(bounds.right, vertices[i].x);
    bounds.bottom = std::max(bounds.bottom, vertices[i].y);
  }
  bounds.right += 1;
  bounds.bottom += 1;
  *out = bounds;
}

double MaxFeather(int32_t symmetry, int32_t width, int32_t height, int32_t shear) {
  if (!TakesFeather(symmetry)) return 0.0;
  double value = 0.0;
  switch (FindSymmetryInfo(symmetry)->shape) {
    case SourceShape::kParallelogram:
      if (height > 0) value = std::min(height / 2.0, ShearedHalfDistance(width, height, shear));
      break;
    case SourceShape::kHalfSquare: value = width * 0.2928932; break;
    case SourceShape::kRectangle: value = std::min(width, height) / 2.0 - 1.0; break;
    case SourceShape::kSquare: value = width / 2.0 - 1.0; break;
    case SourceShape::kRhombus: value = std::min(height / 2.0, height * 0.57735025 * 0.8660254) - 1.0; break;
    case SourceShape::kKite: {
      const int32_t side = (4 * width) / 3;
      if (side == 0) break;
      const double t = side * 0.8660254;
      const double r = side * t / (2 * t + side);
      const double q = 2 * r * t / side;
      value = t - q - 1.0;
      break;
    }
    case SourceShape::kTriangle:
    case SourceShape::kHalfTriangle: break;
  }
  return std::fabs(value);
}

int32_t FeatherPixelsFor(int32_t symmetry, int32_t percent, int32_t width, int32_t height,
                         int32_t shear) {
  const double largest = MaxFeather(symmetry, width, height, shear);
  if (largest < 0.00001) return -1;
  return shape::Trunc(percent * largest / 100.0);
}

}  // namespace quiltora
