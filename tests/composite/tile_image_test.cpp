#include "composite/tile_image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "abi/plugin_api.h"

namespace quiltora {
namespace {

void Place(TileImage* tile, int32_t width, int32_t height, int32_t rowShift, int32_t originX, int32_t originY) {
  tile->width = width;
  tile->height = height;
  tile->rowShift = rowShift;
  tile->originX = originX;
  tile->originY = originY;
}

struct MapCase {
  int32_t width, height, rowShift, originX, originY, y;
  int32_t column, row;
};

TEST(TileImageMapToTile, PlacesRowStartsOnThePatternLattice) {
  const MapCase cases[] = {
      {20, 10, 5, 0, 0, 10, 15, 0},  // the band below is shifted right by 5
      {20, 10, 5, 0, 0, -1, 5, 9},   // the band above is shifted left by 5
      {20, 10, 5, 0, 0, 9, 0, 9},
      {20, 10, 5, 0, 0, -10, 5, 0},
      {20, 10, 5, 0, 0, -11, 10, 9},
      {6, 8, 3, 0, 0, 8, 3, 0},
      {6, 8, 3, 0, 0, -1, 3, 7},
      {16, 12, 0, 10, 20, 0, 6, 4},  // -10 mod 16, -20 mod 12
      {16, 12, 0, 10, 20, 20, 6, 0},
      {16, 12, 0, -3, 0, 0, 3, 0},
  };
  for (const MapCase& c : cases) {
    TileImage tile;
    Place(&tile, c.width, c.height, c.rowShift, c.originX, c.originY);
    int32_t column = -1, row = -1;
    tile.MapToTile(c.y, &column, &row);
    EXPECT_EQ(column, c.column) << "width " << c.width << " shift " << c.rowShift << " y " << c.y;
    EXPECT_EQ(row, c.row) << "width " << c.width << " shift " << c.rowShift << " y " << c.y;
  }
}

TEST(TileImageMapToTile, MovesByTheRowShiftFromOneBandToTheNext) {
  // Extreme origins and shifts as a settings record may carry them.
  const MapCase lattices[] = {
      {7, 5, 3, 2, -4, 0, 0, 0},
      {7, 5, -9, 100, 33, 0, 0, 0},
      {13, 1, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min(), 0, 0, 0, 0},
      {3, 11, std::numeric_limits<int32_t>::min(), 0, std::numeric_limits<int32_t>::max(), 0, 0, 0},
  };
  for (const MapCase& c : lattices) {
    TileImage tile;
    Place(&tile, c.width, c.height, c.rowShift, c.originX, c.originY);
    for (int32_t y = -60; y < 60; ++y) {
      int32_t column = 0, row = 0, nextColumn = 0, nextRow = 0, belowRow = 0, belowColumn = 0;
      tile.MapToTile(y, &column, &row);
      tile.MapToTile(y + 1, &nextColumn, &nextRow);
      tile.MapToTile(y + c.height, &belowColumn, &belowRow);
      ASSERT_GE(column, 0);
      ASSERT_LT(column, c.width);
      ASSERT_EQ(nextRow, (row + 1) % c.height) << "y " << y;
      ASSERT_EQ(belowRow, row);
      const int64_t expected = ((column - static_cast<int64_t>(c.rowShift)) % c.width + c.width) % c.width;
      ASSERT_EQ(belowColumn, expected) << "y " << y << " shift " << c.rowShift;
    }
  }
}

TEST(TileImageOffsets, WrapIntoTheTileWithNonNegativeRemainders) {
  TileImage tile;
  Place(&tile, 16, 12, 0, 0, 0);
  const int32_t cases[][4] = {{-1, -1, 15, 11}, {33, 24, 1, 0}, {-32, -13, 0, 11}, {5, 7, 5, 7}};
  for (const auto& c : cases) {
    tile.offsetX = c[0];
    tile.offsetY = c[1];
    tile.WrapOffsets();
    EXPECT_EQ(tile.offsetX, c[2]);
    EXPECT_EQ(tile.offsetY, c[3]);
  }
  TileImage empty;  // a tile not yet built has no size to wrap by
  empty.offsetX = 9;
  empty.WrapOffsets();
  EXPECT_EQ(empty.offsetX, 0);
  int32_t column = -1, row = -1;
  empty.MapToTile(5, &column, &row);
  EXPECT_EQ(column, 0);
  EXPECT_EQ(row, 0);
}

TEST(TileImageOffsets, DragAndOriginFollowTheOffsets) {
  TileImage tile;
  tile.Reset(4, 6);
  EXPECT_EQ(tile.opacity, 100);
  EXPECT_EQ(tile.blendMode, kBlendNormal);
  tile.MoveOffsets(-3, 10);
  tile.MoveOffsets(1, 1);
  tile.SetOrigin(100, 200);
  EXPECT_EQ(tile.originX, 98);
  EXPECT_EQ(tile.originY, 211);
}

class TileImageBlock : public ::testing::Test {
 protected:
  void SetUp() override { std::memset(&block_, 0, sizeof block_); }
  ParameterBlock block_;
};

TEST_F(TileImageBlock, LoadTakesTheLowOpacityByteAndPlacesTheOriginAtSelectionPlusOffset) {
  block_.opacity = 0x132;
  block_.blendMode = kBlendMultiply;
  block_.tileOffsetFracX = 0.25;
  block_.tileOffsetFracY = -0.1;
  block_.selectionX = 7;
  block_.selectionY = 9;
  TileImage tile;
  tile.destWidth = 200;
  tile.destHeight = 100;
  tile.LoadFromBlock(block_);
  EXPECT_EQ(tile.opacity, 0x32);
  EXPECT_EQ(tile.blendMode, kBlendMultiply);
  EXPECT_EQ(tile.offsetX, 50);
  EXPECT_EQ(tile.offsetY, -10);
  EXPECT_EQ(tile.originX, 57);
  EXPECT_EQ(tile.originY, -1);
}

TEST_F(TileImageBlock, StoreThenLoadGivesBackEveryOffset) {
  for (int32_t size : {1, 22, 23, 191, 192, 3000, 29999}) {
    for (int32_t offset = -size; offset <= size; ++offset) {
      TileImage stored;
      stored.destWidth = size;
      stored.destHeight = size + 1;
      stored.SetBlend(37, kBlendScreen);
      stored.offsetX = offset;
      stored.offsetY = -offset;
      stored.StoreToBlock(&block_);
      TileImage loaded;
      loaded.destWidth = size;
      loaded.destHeight = size + 1;
      loaded.LoadFromBlock(block_);
      ASSERT_EQ(loaded.offsetX, offset) << "size " << size;
      ASSERT_EQ(loaded.offsetY, -offset) << "size " << size;
      ASSERT_EQ(loaded.opacity, 37);
      ASSERT_EQ(loaded.blendMode, kBlendScreen);
    }
  }
  EXPECT_EQ(block_.tileOffsetX, 29999);
  EXPECT_EQ(block_.tileOffsetY, -29999);
  EXPECT_EQ(block_.opacity, 37);
  EXPECT_EQ(block_.blendMode, kBlendScreen);
}

TEST_F(TileImageBlock, UnreadableFractionsAndEmptyDestinationsStayFinite) {
  TileImage tile;  // no destination size: the fractions are 0, not NaN
  tile.offsetX = 5;
  tile.offsetY = -5;
  tile.StoreToBlock(&block_);
  EXPECT_EQ(block_.tileOffsetFracX, 0.0);
  EXPECT_EQ(block_.tileOffsetFracY, 0.0);

  tile.destWidth = 1000;
  tile.destHeight = 1000;
  block_.tileOffsetFracX = std::nan("");
  block_.tileOffsetFracY = 1e300;
  block_.selectionY = 10;
  tile.LoadFromBlock(block_);
  EXPECT_EQ(tile.offsetX, 0);
  EXPECT_EQ(tile.offsetY, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(tile.originY, std::numeric_limits<int32_t>::min() + 9);  // wraps at 32 bits
}

class TileImageMemory : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = CurrentMemorySources();
    SetMemorySources(MemorySources{true, nullptr, nullptr});
  }
  void TearDown() override {
    ReleaseRunImages();
    SetMemorySources(saved_);
  }
  MemorySources saved_;
};

TEST_F(TileImageMemory, AllocatesLocksAndReleasesTilePixels) {
  TileImage tile;
  EXPECT_EQ(tile.memory.kind, kMemoryNone);
  EXPECT_EQ(tile.Lock(), nullptr);  // nothing allocated yet
  tile.width = 5;
  tile.height = 3;
  tile.bytesPerPixel = 3;
  tile.rowBytes = 16;
  ASSERT_EQ(tile.Allocate(), 0);
  uint8_t* pixels = tile.Lock();
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(tile.pixels, pixels);
  pixels[16 * 3 - 1] = 7;  // the last padded byte is the tile's
  tile.Unlock();
  EXPECT_EQ(tile.pixels, nullptr);
  {
    ScopedPixelLock lock(&tile);
    ASSERT_TRUE(lock);
    EXPECT_EQ(lock.pixels()[16 * 3 - 1], 7);
  }
  EXPECT_EQ(tile.memory.locked, 0);
  tile.Release();
  EXPECT_EQ(tile.memory.kind, kMemoryNone);
  tile.Release();  // twice is harmless
}

TEST_F(TileImageMemory, WorkImagesTakeBytesPerPixelTimesPixelCount) {
  PixelImage work;
  work.bytesPerPixel = 4;
  work.pixelCount = 50;
  work.rowBytes = 0;  // left unset by a caller that sized only the pixel count
  ASSERT_EQ(work.Allocate(), 0);
  ScopedPixelLock lock(&work);
  ASSERT_TRUE(lock);
  lock.pixels()[199] = 1;
}

TEST_F(TileImageMemory, ReportsFailuresAsNonZero) {
  TileImage tile;
  tile.rowBytes = 1 << 20;
  tile.height = 1 << 12;  // 4 GiB does not fit in 32 bits
  EXPECT_EQ(tile.Allocate(), plugin::kMemFullErr);
  EXPECT_EQ(tile.memory.kind, kMemoryNone);
  tile.rowBytes = -4;
  tile.height = 2;
  EXPECT_EQ(tile.Allocate(), plugin::kMemFullErr);

  SetMemorySources(MemorySources{false, nullptr, nullptr});
  tile.rowBytes = 4;
  EXPECT_NE(tile.Allocate(), 0);
  EXPECT_EQ(tile.Lock(), nullptr);
}

TEST_F(TileImageMemory, RunImagesAreCreatedAfreshAndReleasedToNull) {
  ASSERT_EQ(CreateRunImages(), 0);
  ASSERT_NE(gTile, nullptr);
  ASSERT_NE(gFeatherWork, nullptr);
  ASSERT_NE(gSpareWork, nullptr);
  EXPECT_EQ(gTile->opacity, 100);
  EXPECT_EQ(gTile->blendMode, kBlendNormal);
  EXPECT_EQ(gTile->memory.kind, kMemoryNone);
  gTile->rowBytes = 8;
  gTile->height = 2;
  ASSERT_EQ(gTile->Allocate(), 0);
  gTile->SetBlend(20, kBlendDarken);
  ASSERT_EQ(CreateRunImages(), 0);  // the earlier images go, pixels and all
  EXPECT_EQ(gTile->opacity, 100);
  EXPECT_EQ(gTile->memory.kind, kMemoryNone);
  ReleaseRunImages();
  EXPECT_EQ(gTile, nullptr);
  EXPECT_EQ(gFeatherWork, nullptr);
  EXPECT_EQ(gSpareWork, nullptr);
  ReleaseRunImages();
}

}  // namespace
}  // namespace quiltora
