// Members 15 and 16 read the kite: their span boundaries cross inside the
// block, so each row's boundaries are kept in a list that is sorted again
// after every row.
#include <algorithm>
#include <memory>
#include <new>

#include "abi/plugin_api.h"
#include "common/checked.h"
#include "common/fixed.h"
#include "render/hex_block.h"
#include "render/hex_builders.h"

namespace quiltora {

namespace {

constexpr int kMaxActive = 6;
constexpr int kStartsPerRow = 3;
constexpr double kCrossing = 0.0000001;

struct Boundary {
  double position;  // at the centre of the current row
  double slope;     // per row
  int32_t lastRow;
  int16_t region;   // of the span that ends at it
};

// The boundaries that start in one row, in the order they are listed.
struct BoundaryStarts {
  int32_t count;
  Boundary items[kStartsPerRow];
};

// One table entry per row; null when the table cannot be allocated.
std::unique_ptr<BoundaryStarts[]> AllocateBoundaryTable(int32_t rows) {
  int32_t bytes = 0;
  if (!CheckedMul32(rows, static_cast<int64_t>(sizeof(BoundaryStarts)), &bytes)) return nullptr;
  std::unique_ptr<BoundaryStarts[]> table(new (std::nothrow) BoundaryStarts[rows]);
  if (table == nullptr) return nullptr;
  for (int32_t r = 0; r < rows; ++r) table[r].count = 0;
  return table;
}

// Lists three boundaries starting at row first and active up to row last,
// each given by its position at the centre of row first.
void AddStarts(BoundaryStarts* table, int32_t rows, int32_t first, int32_t last,
               const Boundary (&items)[kStartsPerRow]) {
  if (first > last || first < 0 || first >= rows) return;
  BoundaryStarts& entry = table[first];
  for (const Boundary& item : items) {
    entry.items[entry.count] = item;
    entry.items[entry.count].lastRow = last;
    ++entry.count;
  }
}

void InsertFront(Boundary* items, int* count, const Boundary& item) {
  for (int k = *count; k > 0; --k) items[k] = items[k - 1];
  items[0] = item;
  ++*count;
}

// Quicksort with the first boundary as pivot: a boundary goes before it only
// when smaller by more than kCrossing, so crossing boundaries keep the pivot
// first. Each side is collected by inserting at its front.
void SortBoundaries(Boundary* items, int count) {
  if (count <= 1) return;
  const Boundary pivot = items[0];
  Boundary before[kMaxActive], after[kMaxActive];
  int beforeCount = 0, afterCount = 0;
  for (int k = 1; k < count; ++k) {
    if (items[k].position < pivot.position - kCrossing) {
      InsertFront(before, &beforeCount, items[k]);
    } else {
      InsertFront(after, &afterCount, items[k]);
    }
  }
  SortBoundaries(before, beforeCount);
  SortBoundaries(after, afterCount);
  int out = 0;
  for (int k = 0; k < beforeCount; ++k) items[out++] = before[k];
  items[out++] = pivot;
  for (int k = 0; k < afterCount; ++k) items[out++] = after[k];
}

// The boundaries of row r: those starting there in listed order, then those
// carried over from the row before, sorted.
int RowBoundaries(const BoundaryStarts& starts, Boundary* active, int activeCount, int32_t row) {
  Boundary list[kMaxActive];
  int count = 0;
  for (int k = 0; k < starts.count && count < kMaxActive; ++k) list[count++] = starts.items[k];
  for (int k = 0; k < activeCount && count < kMaxActive; ++k) {
    if (active[k].lastRow >= row) list[count++] = active[k];
  }
  SortBoundaries(list, count);
  for (int k = 0; k < count; ++k) active[k] = list[k];
  return count;
}

struct KiteGeometry {
  int32_t n, h, d, blockWidth, g, g2;
  double k1, k2, k3, k4;
};

KiteGeometry MakeKiteGeometry(int32_t side) {
  KiteGeometry k{};
  k.n = side - (side & 1);
  k.h = static_cast<int32_t>(0.8660254 * k.n - 0.5);
  k.d = k.h + 1;
  k.blockWidth = static_cast<int32_t>(3LL * k.n / 2);
  k.k1 = 1.5 * k.n / k.d;
  k.k2 = -0.5 * k.n / k.d;
  k.k3 = 0.5 * k.n / k.d;
  k.k4 = -1.5 * k.n / k.d;
  k.g = SpanEnd(0.5 * k.d - 0.5 + kCrossing);
  k.g2 = SpanEnd(1.5 * k.d - 0.5 + kCrossing);
  return k;
}

// The upper half of the block (rows 0..h), shared by both members.
void AddUpperBoundaries(const KiteGeometry& k, BoundaryStarts* table, int32_t rows) {
  const double right = k.blockWidth;
  const double q = k.g + 1.5;  // centre of the first row after g
  AddStarts(table, rows, 0, std::min(k.g, k.h),
            {{k.k1 * 0.5, k.k1, 0, 1}, {k.n + k.k2 * 0.5, k.k2, 0, 2}, {right, 0.0, 0, 3}});
  AddStarts(table, rows, k.g + 1, k.h,
            {{k.n + k.k2 * q, k.k2, 0, 1}, {k.k1 * q, k.k1, 0, 4}, {right, 0.0, 0, 3}});
}

// The lower half of Whirlpool's block (rows d..2d − 1).
void AddLowerBoundaries(const KiteGeometry& k, BoundaryStarts* table, int32_t rows) {
  const double right = k.blockWidth;
  const double q = k.g2 + 1 - k.d + 0.5;
  AddStarts(table, rows, k.d, k.g2,
            {{0.5 * k.n + k.k3 * 0.5, k.k3, 0, 5}, {1.5 * k.n + k.k4 * 0.5, k.k4, 0, 4},
             {right, 0.0, 0, 6}});
  AddStarts(table, rows, k.g2 + 1, 2 * k.d - 1,
            {{1.5 * k.n + k.k4 * q, k.k4, 0, 5}, {0.5 * k.n + k.k3 * q, k.k3, 0, 7},
             {right, 0.0, 0, 6}});
}

// Members 15 and 16: the boundary table, the maps by region and the places.
class KitePlan final : public HexPlan {
 public:
  KitePlan(const TileBuffers& buffers, const KiteGeometry& k, int32_t rows, int32_t maxY,
           std::unique_ptr<BoundaryStarts[]> table)
      : table_(std::move(table)) {
    blockWidth = k.blockWidth;
    blockRows = rows;
    atCentres = true;
    const PixelLayout layout = MakePixelLayout(buffers.sourceMode, buffers.tileMode);
    // The kite's box is trunc(0.75N) columns wide and the callers add one
    // column; samples near its right vertex (at 0.75N) must not blend past it.
    const int32_t lastColumn = std::min(k.blockWidth - 1, static_cast<int32_t>(0.75 * k.n));
    source = MakeHexSource(buffers, layout, lastColumn, maxY, FractionRule::kAfterClamp);
  }

  // maps[region] is null for the direct region 1.
  AffineMap regions[8]{};
  const AffineMap* maps[8] = {};

  void NextRow(int32_t r, HexRowSpans* spans) override {
    activeCount_ = RowBoundaries(table_[r], active_, activeCount_, r);
    spans->count = activeCount_;
    for (int j = 0; j < activeCount_; ++j) {
      spans->ends[j] = SpanEnd(active_[j].position - 0.5 + kCrossing);
      spans->maps[j] = maps[active_[j].region];
    }
    for (int j = 0; j < activeCount_; ++j) active_[j].position += active_[j].slope;
  }

 private:
  std::unique_ptr<BoundaryStarts[]> table_;
  Boundary active_[kMaxActive];
  int activeCount_ = 0;
};

}  // namespace

std::unique_ptr<HexPlan> MakeKitePlan(int16_t number, const TileBuffers& buffers, int32_t side) {
  const KiteGeometry k = MakeKiteGeometry(side);
  const bool whirlpool = number == 16;
  int32_t rows = k.d;
  std::unique_ptr<BoundaryStarts[]> table;
  if (!whirlpool || CheckedMul32(2, k.d, &rows)) table = AllocateBoundaryTable(rows);
  if (table == nullptr) return nullptr;
  AddUpperBoundaries(k, table.get(), rows);
  if (whirlpool) AddLowerBoundaries(k, table.get(), rows);
  std::unique_ptr<KitePlan> plan(
      new (std::nothrow) KitePlan(buffers, k, rows, whirlpool ? k.h - 1 : k.h, std::move(table)));
  if (plan == nullptr) return nullptr;
  const int32_t dd = ToFix(k.d), dd2 = ToFix(2 * k.d), bw = ToFix(k.blockWidth);
  AffineMap* m = plan->regions;
  if (!whirlpool) {
    // Two reflections and a turn by 120 degrees.
    m[2] = {32768, 56756, 56756, -32768, 0, 0};
    m[3] = {32768, -56756, -56756, -32768, WrapSub(WrapNeg(FixMul(-56756, dd)), FixMul(32768, bw)),
            WrapSub(WrapNeg(FixMul(-32768, dd)), FixMul(-56756, bw))};
    m[4] = {-32768, 56756, -56756, -32768, WrapSub(WrapNeg(FixMul(56756, dd)), FixMul(-32768, bw)),
            WrapSub(WrapNeg(FixMul(-32768, dd)), FixMul(-56756, bw))};
    for (int region = 2; region <= 4; ++region) plan->maps[region] = &m[region];
    const int32_t bwidth = k.blockWidth;
    plan->places[0] = {k.d, 1, 0, k.h, bwidth, false};
    plan->places[1] = {k.d, 1, 0, k.h, bwidth - 1, true};
    plan->places[2] = {0, 1, 0, k.h, 3 * k.n - 1, true};
    plan->placeCount = 3;
  } else {
    // Turns by 60, 120 and 180 degrees about corners of the block.
    m[2] = {32768, -56756, 56756, 32768, 0, 0};
    m[3] = {-65536, 0, 0, -65536, bw, dd};
    m[4] = {-32768, 56756, -56756, -32768, WrapSub(WrapNeg(FixMul(-32768, bw)), FixMul(56756, dd)),
            WrapSub(WrapNeg(FixMul(-56756, bw)), FixMul(-32768, dd))};
    m[5] = {-32768, -56756, 56756, -32768, WrapNeg(FixMul(-56756, dd2)), WrapNeg(FixMul(-32768, dd2))};
    m[6] = {32768, 56756, -56756, 32768, WrapSub(WrapNeg(FixMul(32768, bw)), FixMul(56756, dd)),
            WrapSub(WrapNeg(FixMul(-56756, bw)), FixMul(32768, dd))};
    m[7] = {32768, -56756, 56756, 32768, WrapNeg(FixMul(-56756, dd2)), WrapNeg(FixMul(32768, dd2))};
    for (int region = 2; region <= 7; ++region) plan->maps[region] = &m[region];
    // Row r also lands on tile row (r + d) mod 2d, one block to the right.
    plan->places[0] = {k.d, 1, 0, k.d - 1, k.blockWidth, false};
    plan->places[1] = {-k.d, 1, k.d, 2 * k.d - 1, k.blockWidth, false};
    plan->placeCount = 2;
  }
  return plan;
}

}  // namespace quiltora
