#include "render/tile_row_builders.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "abi/plugin_api.h"
#include "render/hex_builders.h"
#include "render/rect_builders.h"
#include "render/row_team.h"

namespace quiltora {
namespace {

RowPlacement Placement(int store, StoredColumns columns, const RowPlace& place, int32_t rows, int32_t rowWidth) {
  return RowPlacement{store, columns, place.mirrored, place.rowBase, place.rowSign, 0, rows - 1, place.firstColumn,
                      rowWidth};
}

// The width × height source rectangle as store 0: the feathered work image
// itself, or a copy made row by row, one progress step per row either way.
int16_t StoreSource(const TileBuffers& buffers, PixelImage* feathered, int32_t width, int32_t height,
                    const RowGate& gate, TileRows* rows) {
  PixelImage* copy = nullptr;
  if (feathered != nullptr) {
    rows->AdoptStore(0, feathered);
  } else {
    copy = rows->AllocateStore(0, width, height);
    if (copy == nullptr) return plugin::kMemFullErr;
  }
  const size_t rowLength = size_t(width) * size_t(rows->bytesPerPixel());
  for (int32_t i = 0; i < height; ++i) {
    const int16_t stop = gate.StartRow();
    if (stop != 0) return stop;
    if (copy != nullptr)
      std::memcpy(copy->pixels + int64_t(i) * copy->rowBytes, buffers.source + int64_t(i) * buffers.sourceRowBytes,
                  rowLength);
  }
  return 0;
}

}  // namespace

int16_t BuildRectangleRows(int16_t number, const TileBuffers& buffers, PixelImage* feathered, int32_t width,
                           int32_t height, const BuildRun& run, TileRows* rows) {
  RowPlace places[kMaxPlaces];
  const int placeCount = RectanglePlaces(number, width, height, places);
  const RowGate gate(run, height - 1 + run.destHeight);
  const int16_t status = StoreSource(buffers, feathered, width, height, gate, rows);
  if (status != 0) return status;
  for (int k = 0; k < placeCount; ++k) rows->Place(Placement(0, StoredColumns::kAll, places[k], height, width));
  return 0;
}

int16_t BuildSquareRows(int16_t number, const TileBuffers& buffers, PixelImage* feathered, int32_t side,
                        const BuildRun& run, TileRows* rows) {
  const int32_t n = side;
  // Spider Web's count runs to 2N − 1 although it makes N steps.
  const RowGate gate(run, (number == 11 ? 2 * n : n) - 1 + run.destHeight);
  PixelImage* transposed = nullptr;
  if (number != 11) {
    transposed = rows->AllocateStore(1, n, n);
    if (transposed == nullptr) return plugin::kMemFullErr;
  }
  const int16_t status = StoreSource(buffers, feathered, n, n, gate, rows);
  if (status != 0) return status;
  if (transposed != nullptr) {
    // Bands of source rows become bands of transposed columns, shared out.
    constexpr int32_t kBandRows = 64;
    const PixelImage& square = rows->store(0);
    const int32_t bytesPerPixel = rows->bytesPerPixel();
    RunRowTeam((n + kBandRows - 1) / kBandRows, nullptr, [&](int32_t band) {
      const int32_t first = band * kBandRows, end = std::min(n, first + kBandRows);
      TransposePixels(square.pixels + int64_t(first) * square.rowBytes, square.rowBytes,
                      transposed->pixels + int64_t(first) * bytesPerPixel, transposed->rowBytes, end - first, n,
                      bytesPerPixel);
    });
  }
  if (number == 8) {
    // The square, turned by 180 degrees, and its transpose turned by 90 and 270.
    rows->Place(RowPlacement{0, StoredColumns::kAll, false, 0, 1, 0, n - 1, 0, n});
    rows->Place(RowPlacement{0, StoredColumns::kAll, true, 2 * n - 1, -1, 0, n - 1, 2 * n - 1, n});
    rows->Place(RowPlacement{1, StoredColumns::kAll, false, 2 * n - 1, -1, 0, n - 1, 0, n});
    rows->Place(RowPlacement{1, StoredColumns::kAll, true, 0, 1, 0, n - 1, 2 * n - 1, n});
    return 0;
  }
  RowPlace places[kMaxPlaces];
  const int placeCount = SquarePlaces(number, n, places);
  for (int k = 0; k < placeCount; ++k) {
    // The square folded across its diagonal: row i to the diagonal, then column i below it.
    rows->Place(Placement(0, StoredColumns::kToDiagonal, places[k], n, n));
    if (number != 11) rows->Place(Placement(1, StoredColumns::kPastDiagonal, places[k], n, n));
  }
  return 0;
}

int16_t BuildHexRows(int16_t number, const TileBuffers& buffers, int32_t side, int32_t maxX, int32_t maxY,
                     const BuildRun& run, TileRows* rows) {
  std::unique_ptr<HexPlan> plan = MakeHexPlan(number, buffers, side, maxX, maxY);
  if (plan == nullptr) return plugin::kMemFullErr;
  const RowGate gate(run, plan->blockRows - 1 + run.destHeight);
  PixelImage* block = rows->AllocateStore(0, plan->blockWidth, plan->blockRows);
  if (block == nullptr) return plugin::kMemFullErr;
  // The boundaries move row after row; the rows are then computed in any order.
  std::unique_ptr<HexRowSpans[]> spans(new (std::nothrow) HexRowSpans[size_t(plan->blockRows)]);
  if (spans == nullptr) return plugin::kMemFullErr;
  for (int32_t r = 0; r < plan->blockRows; ++r) plan->NextRow(r, &spans[r]);
  const PixelLayout layout = MakePixelLayout(buffers.sourceMode, buffers.tileMode);
  const int16_t status = RunRowTeam(plan->blockRows, &gate, [&](int32_t r) {
    RenderHexRow(*plan, spans[r], r, block->pixels + int64_t(r) * block->rowBytes + layout.tileSkip, layout.tileStep);
  });
  if (status != 0) return status;
  const int32_t last = plan->blockRows - 1;
  rows->Place(RowPlacement{0, StoredColumns::kAll, false, 0, 1, 0, last, 0, plan->blockWidth});
  for (int k = 0; k < plan->placeCount; ++k) {
    const HexPlace& p = plan->places[k];
    rows->Place(RowPlacement{0, StoredColumns::kAll, p.mirrored, p.rowBase, p.rowSign, p.firstRow, p.lastRow,
                             p.column, plan->blockWidth});
  }
  return 0;
}

}  // namespace quiltora
