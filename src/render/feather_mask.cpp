#include "render/feather_mask.h"

#include <algorithm>
#include <cstdlib>

#include "common/checked.h"

namespace quiltora {

namespace {

int32_t gAllocationsBeforeFailure = -1;

// Row extremes of the outline: a row's inside lies strictly between them.
struct RowExtent {
  int32_t first;
  int32_t last;
};

class OutlineCanvas {
 public:
  OutlineCanvas(FeatherMask* mask, RowExtent* rows) : mask_(mask), rows_(rows) {}

  // Every pixel of the line from (x0, y0) to (x1, y1), both ends included,
  // eight-connected as Bresenham steps it.
  void Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    const int64_t dx = std::llabs(static_cast<int64_t>(x1) - x0);
    const int64_t dy = -std::llabs(static_cast<int64_t>(y1) - y0);
    const int32_t stepX = x0 < x1 ? 1 : -1;
    const int32_t stepY = y0 < y1 ? 1 : -1;
    int64_t error = dx + dy;
    for (;;) {
      Plot(x0, y0);
      if (x0 == x1 && y0 == y1) break;
      const int64_t twice = 2 * error;
      if (twice >= dy) {
        error += dy;
        x0 += stepX;
      }
      if (twice <= dx) {
        error += dx;
        y0 += stepY;
      }
    }
  }

 private:
  void Plot(int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= mask_->width || y >= mask_->height) return;
    mask_->values[static_cast<size_t>(y) * static_cast<size_t>(mask_->rowBytes) +
                  static_cast<size_t>(x)] = 1;
    rows_[y].first = std::min(rows_[y].first, x);
    rows_[y].last = std::max(rows_[y].last, x);
  }

  FeatherMask* mask_;
  RowExtent* rows_;
};

// Turns the outline marks (1) into 4-neighbour distances to the outline,
// held at cap: one pass down and right, one pass up and left.
void DistanceToOutline(FeatherMask* mask, uint8_t cap) {
  const int32_t width = mask->width, height = mask->height, rowBytes = mask->rowBytes;
  uint8_t* values = mask->values.get();
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = values + static_cast<size_t>(y) * static_cast<size_t>(rowBytes);
    for (int32_t x = 0; x < width; ++x) row[x] = row[x] == 1 ? 0 : cap;
  }
  auto relax = [cap](uint8_t* value, uint8_t neighbour) {
    const int next = std::min<int>(neighbour + 1, cap);
    if (next < *value) *value = static_cast<uint8_t>(next);
  };
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = values + static_cast<size_t>(y) * static_cast<size_t>(rowBytes);
    for (int32_t x = 0; x < width; ++x) {
      if (x > 0) relax(&row[x], row[x - 1]);
      if (y > 0) relax(&row[x], row[x - rowBytes]);
    }
  }
  for (int32_t y = height - 1; y >= 0; --y) {
    uint8_t* row = values + static_cast<size_t>(y) * static_cast<size_t>(rowBytes);
    for (int32_t x = width - 1; x >= 0; --x) {
      if (x + 1 < width) relax(&row[x], row[x + 1]);
      if (y + 1 < height) relax(&row[x], row[x + rowBytes]);
    }
  }
}

// Distances become ring values: the outline f + 1, the inside rising to
// 2f + 1, the outside falling to 0.
void DistanceToRings(FeatherMask* mask, const RowExtent* rows, int32_t f) {
  for (int32_t y = 0; y < mask->height; ++y) {
    uint8_t* row =
        mask->values.get() + static_cast<size_t>(y) * static_cast<size_t>(mask->rowBytes);
    for (int32_t x = 0; x < mask->width; ++x) {
      const int32_t distance = row[x];
      const bool inside = x > rows[y].first && x < rows[y].last;
      int32_t value = 0;
      if (distance == 0) {
        value = f + 1;
      } else if (inside) {
        value = std::min(f + 1 + distance, 2 * f + 1);
      } else {
        value = std::max(f + 1 - distance, 0);
      }
      row[x] = static_cast<uint8_t>(value);
    }
  }
}

}  // namespace

void SetFeatherAllocationFailure(int32_t allowed) { gAllocationsBeforeFailure = allowed; }

bool FeatherAllocationAllowed() {
  if (gAllocationsBeforeFailure < 0) return true;
  if (gAllocationsBeforeFailure == 0) {
    gAllocationsBeforeFailure = -1;
    return false;
  }
  --gAllocationsBeforeFailure;
  return true;
}

FeatherMask BuildFeatherMask(int32_t width, int32_t height, int32_t marginLeft, int32_t marginTop,
                             const PolygonVertex* polygon, int32_t vertexCount, int32_t f) {
  FeatherMask mask;
  f = std::clamp(f, 1, 127);
  int32_t rowBytes = 0, bytes = 0;
  if (width <= 0 || height <= 0 || width > INT32_MAX - 3) return mask;
  rowBytes = (width + 3) / 4 * 4;
  if (!CheckedMul32(rowBytes, height, &bytes)) return mask;
  std::unique_ptr<RowExtent[]> rows = AllocateFeatherArray<RowExtent>(height);
  if (rows == nullptr) return mask;
  mask.values = AllocateFeatherArray<uint8_t>(bytes);
  if (mask.values == nullptr) return mask;
  mask.width = width;
  mask.height = height;
  mask.rowBytes = rowBytes;
  mask.originX = marginLeft;
  mask.originY = marginTop;
  for (int32_t y = 0; y < height; ++y) rows[y] = RowExtent{INT32_MAX, -1};

  OutlineCanvas canvas(&mask, rows.get());
  const int32_t count = std::clamp(vertexCount, 0, 8);
  for (int32_t k = 0; k < count; ++k) {
    const PolygonVertex& from = polygon[k];
    const PolygonVertex& to = polygon[(k + 1) % count];
    canvas.Line(from.x + marginLeft, from.y + marginTop, to.x + marginLeft, to.y + marginTop);
  }
  DistanceToOutline(&mask, static_cast<uint8_t>(f + 1));
  DistanceToRings(&mask, rows.get(), f);
  return mask;
}

}  // namespace quiltora
