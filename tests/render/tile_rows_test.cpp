// A tile held as rows whose transposed store is made a band at a time as rows
// are read: the same rows as with the transpose held whole, whatever order
// the rows are read in (bands evicted, laid out reversed, two at a time).
#include "render/tile_rows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/pixels.h"
#include "image/memory_block.h"
#include "render/rect_builders.h"

namespace quiltora {
namespace {

class TileRowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = CurrentMemorySources();
    SetMemorySources(MemorySources{true, nullptr, nullptr});
  }
  void TearDown() override { SetMemorySources(saved_); }

  // Symmetry number's square rows (8, 9 or 10) of an n × n square of mode
  // into rows, store 1 held whole or transposed as read.
  static void Build(int16_t number, int32_t n, int16_t mode, bool lazy, TileRows* rows) {
    rows->Begin(2 * n, 2 * n, mode);
    const int32_t bytesPerPixel = BytesPerPixel(mode);
    PixelImage* square = rows->AllocateStore(0, n, n);
    ASSERT_NE(square, nullptr);
    for (int64_t i = 0; i < int64_t(n) * n * bytesPerPixel; ++i) square->pixels[i] = uint8_t(i * 7 + i / 251);
    if (lazy) {
      rows->TransposeStoreLazily(n);
    } else {
      PixelImage* transposed = rows->AllocateStore(1, n, n);
      ASSERT_NE(transposed, nullptr);
      for (int32_t i = 0; i < n; ++i)
        for (int32_t j = 0; j < n; ++j)
          std::memcpy(transposed->pixels + (int64_t(j) * n + i) * bytesPerPixel,
                      square->pixels + (int64_t(i) * n + j) * bytesPerPixel, size_t(bytesPerPixel));
    }
    if (number == 8) {
      rows->Place(RowPlacement{0, StoredColumns::kAll, false, 0, 1, 0, n - 1, 0, n});
      rows->Place(RowPlacement{0, StoredColumns::kAll, true, 2 * n - 1, -1, 0, n - 1, 2 * n - 1, n});
      rows->Place(RowPlacement{1, StoredColumns::kAll, false, 2 * n - 1, -1, 0, n - 1, 0, n});
      rows->Place(RowPlacement{1, StoredColumns::kAll, true, 0, 1, 0, n - 1, 2 * n - 1, n});
    } else {
      RowPlace places[kMaxPlaces];
      const int count = SquarePlaces(number, n, places);
      for (int k = 0; k < count; ++k) {
        const RowPlace& p = places[k];
        rows->Place(
            RowPlacement{0, StoredColumns::kToDiagonal, p.mirrored, p.rowBase, p.rowSign, 0, n - 1, p.firstColumn, n});
        rows->Place(RowPlacement{1, StoredColumns::kPastDiagonal, p.mirrored, p.rowBase, p.rowSign, 0, n - 1,
                                 p.firstColumn, n});
      }
    }
    ASSERT_TRUE(rows->Finish());
  }

  MemorySources saved_;
};

TEST_F(TileRowsTest, ATransposeMadeAsReadGivesTheHeldTransposesRowsInAnyOrder) {
  constexpr int32_t kSide = 403;  // four bands, the last one short
  const int32_t height = 2 * kSide;
  for (const int16_t mode : {kPixelGray, kPixelThree, kPixelFour}) {
    for (const int16_t number : {8, 9, 10}) {
      SCOPED_TRACE(testing::Message() << "mode " << mode << ", symmetry " << number);
      TileRows held, lazy;
      Build(number, kSide, mode, false, &held);
      Build(number, kSide, mode, true, &lazy);
      ASSERT_TRUE(held.Lock());
      ASSERT_TRUE(lazy.Lock());
      const size_t rowBytes = size_t(2 * kSide) * size_t(BytesPerPixel(mode));
      std::vector<uint8_t> expected(rowBytes), row(rowBytes);
      // Upward, downward, and jumping about the tile.
      for (const int32_t stride : {1, height - 1, 97}) {
        for (int32_t k = 0; k < height; ++k) {
          const int32_t y = int32_t(int64_t(k) * stride % height);
          held.CopyRow(y, expected.data());
          lazy.CopyRow(y, row.data());
          ASSERT_EQ(row, expected) << "row " << y << ", stride " << stride;
        }
      }
      held.Unlock();
      lazy.Unlock();
    }
  }
}

}  // namespace
}  // namespace quiltora
