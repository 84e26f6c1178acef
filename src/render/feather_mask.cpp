#include "render/feather_mask.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

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

// A row of marks (1) and blanks (0) becomes each pixel's distance to the
// nearest mark of the row, held at cap: one pass right, one pass left. Far
// from any mark the passes step eight pixels at a time.
void RowDistances(uint8_t* row, int32_t width, uint8_t cap) {
  constexpr uint64_t kOnes = 0x0101010101010101u;
  int32_t run = cap;
  int32_t x = 0;
  while (x < width) {
    if (run == cap && x + 8 <= width) {
      uint64_t word;
      std::memcpy(&word, row + x, 8);
      if (word == 0) {
        std::memset(row + x, cap, 8);
        x += 8;
        continue;
      }
    }
    run = row[x] == 1 ? 0 : std::min(run + 1, static_cast<int32_t>(cap));
    row[x] = static_cast<uint8_t>(run);
    ++x;
  }
  run = cap;
  x = width - 1;
  while (x >= 0) {
    if (run == cap && x >= 7) {
      uint64_t word;
      std::memcpy(&word, row + x - 7, 8);
      if (word == kOnes * cap) {
        x -= 8;
        continue;
      }
    }
    run = std::min(static_cast<int32_t>(row[x]), run + 1);
    row[x] = static_cast<uint8_t>(run);
    --x;
  }
}

// nearer = min(nearer, min(farther + 1, cap)) across a row: the step from
// the row above (or below) that the column part of the distance adds.
void RelaxFromRow(uint8_t* row, const uint8_t* neighbour, int32_t width, uint8_t cap) {
  for (int32_t x = 0; x < width; ++x) {
    const uint8_t stepped = std::min(static_cast<uint8_t>(neighbour[x] + 1), cap);
    row[x] = std::min(row[x], stepped);
  }
}

// Turns the outline marks (1) into 4-neighbour (city-block) distances to the
// outline, held at cap. The distance splits into a part along the row and a
// part across rows: each row first gets the distance to its nearest mark,
// then one pass down and one pass up the rows add the rows above and below,
// a whole row at a time.
void DistanceToOutline(FeatherMask* mask, uint8_t cap) {
  const int32_t width = mask->width, height = mask->height, rowBytes = mask->rowBytes;
  uint8_t* values = mask->values.get();
  for (int32_t y = 0; y < height; ++y)
    RowDistances(values + static_cast<size_t>(y) * static_cast<size_t>(rowBytes), width, cap);
  for (int32_t y = 1; y < height; ++y) {
    uint8_t* row = values + static_cast<size_t>(y) * static_cast<size_t>(rowBytes);
    RelaxFromRow(row, row - rowBytes, width, cap);
  }
  for (int32_t y = height - 2; y >= 0; --y) {
    uint8_t* row = values + static_cast<size_t>(y) * static_cast<size_t>(rowBytes);
    RelaxFromRow(row, row + rowBytes, width, cap);
  }
}

// Distances become ring values: the outline f + 1, the inside rising to
// 2f + 1, the outside falling to 0. Distances are at most f + 1, so outside
// a pixel takes f + 1 − d and inside min(f + 1 + d, 2f + 1), the outline
// (d = 0) f + 1 by either.
void DistanceToRings(FeatherMask* mask, const RowExtent* rows, int32_t f) {
  const uint8_t outline = static_cast<uint8_t>(f + 1);
  const uint8_t deepest = static_cast<uint8_t>(2 * f + 1);
  for (int32_t y = 0; y < mask->height; ++y) {
    uint8_t* row =
        mask->values.get() + static_cast<size_t>(y) * static_cast<size_t>(mask->rowBytes);
    const int32_t width = mask->width;
    // Inside: strictly between the row's outline extremes.
    const int32_t insideFirst =
        static_cast<int32_t>(std::clamp<int64_t>(int64_t{rows[y].first} + 1, 0, width));
    const int32_t insideEnd = std::clamp(rows[y].last, insideFirst, width);
    for (int32_t x = 0; x < insideFirst; ++x) row[x] = static_cast<uint8_t>(outline - row[x]);
    for (int32_t x = insideFirst; x < insideEnd; ++x)
      row[x] = static_cast<uint8_t>(std::min<int32_t>(outline + row[x], deepest));
    for (int32_t x = insideEnd; x < width; ++x) row[x] = static_cast<uint8_t>(outline - row[x]);
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
