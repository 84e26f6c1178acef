// The tile job the run and the preview share: the source window cut from a
// picture, and how the job ends when memory runs short.
#include "render/tile_job.h"

#include <gtest/gtest.h>

#include <vector>

#include "image/memory_block.h"
#include "render/feather_mask.h"
#include "symmetry/placement.h"

namespace quiltora {
namespace {

TEST(SourceWindow, PointsIntoThePictureOrCopiesWithRepeatedEdges) {
  // A 6 × 4 gray picture whose pixel (x, y) is 10y + x, standing at (2, 1).
  std::vector<uint8_t> picture(8 * 4, 0xEE);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 6; ++x) picture[size_t(y) * 8 + size_t(x)] = uint8_t(10 * y + x);
  const PixelView view{picture.data(), 8, kPixelGray};
  const IntRect have{2, 1, 8, 5};
  struct Case {
    IntRect wanted;
    bool copied;
  };
  for (const Case& c :
       {Case{{2, 1, 8, 5}, false}, Case{{3, 2, 5, 4}, false}, Case{{0, 0, 4, 3}, true}, Case{{6, 3, 10, 7}, true}}) {
    SourceWindow window;
    ASSERT_EQ(CutSourceWindow(view, have, c.wanted, &window), 0);
    EXPECT_EQ(window.copy != nullptr, c.copied);
    for (int32_t y = c.wanted.top; y < c.wanted.bottom; ++y) {
      for (int32_t x = c.wanted.left; x < c.wanted.right; ++x) {
        const int32_t px = std::clamp(x, have.left, have.right - 1) - have.left;
        const int32_t py = std::clamp(y, have.top, have.bottom - 1) - have.top;
        const uint8_t got = window.view.pixels[int64_t(y - c.wanted.top) * window.view.rowBytes + (x - c.wanted.left)];
        EXPECT_EQ(got, 10 * py + px) << x << ", " << y;
      }
    }
  }
  SourceWindow window;
  EXPECT_EQ(CutSourceWindow(PixelView{nullptr, 8, kPixelGray}, have, have, &window), -108);
  EXPECT_EQ(CutSourceWindow(view, IntRect{2, 1, 2, 5}, have, &window), -108);
}

class TileJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = CurrentMemorySources();
    SetMemorySources(MemorySources{true, nullptr, nullptr});
    for (size_t i = 0; i < picture_.size(); ++i) picture_[i] = uint8_t(i * 7 + i / 300);
  }
  void TearDown() override {
    SetFeatherAllocationFailure(-1);
    DestroySymmetry();
    SetMemorySources(saved_);
  }
  // Symmetry number placed on the 100 × 100 RGB picture with feather percent.
  TileJob Job(int16_t number, int32_t featherPercent) {
    TileSymmetry* symmetry = CreateSymmetry(number);
    PlaceFrame(symmetry, SelectionFrame{20, 20, 60, 60, 0}, 100, 100);
    PrepareTileGeometry(symmetry, 100, 100, featherPercent);
    const IntRect wanted = WantedSourceRect(*symmetry);
    TileJob job;
    job.symmetry = symmetry;
    job.tile = &tile_;
    job.featherWork = &work_;
    job.source = PixelView{picture_.data() + wanted.top * 300 + wanted.left * 3, 300, kPixelThree};
    job.tileMode = kPixelThree;
    job.destWidth = job.destHeight = 100;
    job.progress = &SilentProgress();
    return job;
  }
  std::vector<uint8_t> TileBytes() {
    ScopedPixelLock lock(&tile_);
    return std::vector<uint8_t>(lock.pixels(), lock.pixels() + size_t(tile_.rowBytes) * tile_.height);
  }

  MemorySources saved_;
  std::vector<uint8_t> picture_ = std::vector<uint8_t>(300 * 100);
  TileImage tile_;
  PixelImage work_;
};

// A half-square feather without its row table leaves the work image as the
// source: the run then fails, the preview shows the unfeathered tile.
TEST_F(TileJobTest, AFeatherShortOfMemoryEndsTheRunButNotThePreview) {
  ASSERT_EQ(RunTileJob(Job(9, 0)), TileJobResult::kBuilt);
  const std::vector<uint8_t> unfeathered = TileBytes();
  ASSERT_EQ(RunTileJob(Job(9, 100)), TileJobResult::kBuilt);
  EXPECT_NE(TileBytes(), unfeathered);

  SetFeatherAllocationFailure(0);
  EXPECT_EQ(RunTileJob(Job(9, 100)), TileJobResult::kOutOfMemory);
  EXPECT_EQ(tile_.memory.kind, kMemoryNone);
  EXPECT_EQ(work_.memory.kind, kMemoryNone);
  TileJob preview = Job(9, 100);
  preview.buildWithoutFeatherOnFailure = true;
  SetFeatherAllocationFailure(0);
  EXPECT_EQ(RunTileJob(preview), TileJobResult::kBuilt);
  EXPECT_EQ(TileBytes(), unfeathered);
  EXPECT_EQ(work_.memory.kind, kMemoryNone);
}

// A loaded picture's tile in a CMYK image is stored inverted.
TEST_F(TileJobTest, InvertsTheTileWhenAsked) {
  ASSERT_EQ(RunTileJob(Job(4, 30)), TileJobResult::kBuilt);
  std::vector<uint8_t> inverted = TileBytes();
  for (uint8_t& byte : inverted) byte = uint8_t(255 - byte);
  TileJob job = Job(4, 30);
  job.invertTile = true;
  ASSERT_EQ(RunTileJob(job), TileJobResult::kBuilt);
  EXPECT_EQ(TileBytes(), inverted);
}

}  // namespace
}  // namespace quiltora
