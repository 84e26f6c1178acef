// The tile job the run and the preview share: the source window cut from a
// picture, and how the job ends when memory runs short.
#include "render/tile_job.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "composite/blend.h"
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
  // Symmetry number placed at frame on the 100 × 100 picture, read in pixel
  // mode `mode`, with feather percent.
  TileJob Job(int16_t number, int32_t featherPercent, int16_t mode = kPixelThree,
              SelectionFrame frame = {20, 20, 60, 60, 0}) {
    TileSymmetry* symmetry = CreateSymmetry(number);
    PlaceFrame(symmetry, frame, 100, 100);
    PrepareTileGeometry(symmetry, 100, 100, featherPercent);
    const int32_t rowBytes = 100 * BytesPerPixel(mode);
    EXPECT_EQ(CutSourceWindow(PixelView{picture_.data(), rowBytes, mode}, IntRect{0, 0, 100, 100},
                              WantedSourceRect(*symmetry), &window_),
              0);
    TileJob job;
    job.symmetry = symmetry;
    job.tile = &tile_;
    job.featherWork = &work_;
    job.source = window_.view;
    job.tileMode = mode;
    job.destWidth = job.destHeight = 100;
    job.progress = &SilentProgress();
    return job;
  }
  std::vector<uint8_t> TileBytes() {
    ScopedPixelLock lock(&tile_);
    return std::vector<uint8_t>(lock.pixels(), lock.pixels() + size_t(tile_.rowBytes) * tile_.height);
  }

  MemorySources saved_;
  std::vector<uint8_t> picture_ = std::vector<uint8_t>(400 * 100);
  SourceWindow window_;
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

// A tile held as rows gives every row, and every blended output row, byte
// for byte what the whole tile gives: every symmetry, gray, RGB and CMYK,
// sources of a few sizes and places, with and without a feather, inverted or
// not, entering the row at several columns.
TEST_F(TileJobTest, RowsHoldTheWholeTileByteForByte) {
  struct Shape {
    SelectionFrame frame;  // top, left, bottom, right
    int32_t feather;
  };
  const Shape shapes[] = {{{20, 20, 60, 60, 0}, 0}, {{20, 20, 60, 60, 0}, 30}, {{7, 3, 50, 77, 0}, 0},
                          {{31, 12, 97, 45, 0}, 40}};
  struct Blend {
    int16_t mode;
    uint8_t opacity;
  };
  const Blend blends[] = {{kBlendNormal, 100}, {kBlendMultiply, 50}, {kBlendHue, 100}, {kBlendLuminosity, 30}};
  constexpr int32_t kOutputWidth = 100;
  for (const int16_t mode : {kPixelGray, kPixelThree, kPixelFour}) {
    const size_t outputBytes = size_t(kOutputWidth) * size_t(BytesPerPixel(mode));
    std::vector<uint8_t> input(outputBytes), fromTile(outputBytes), fromRows(outputBytes);
    for (size_t i = 0; i < input.size(); ++i) input[i] = uint8_t(i * 13 + 5);
    for (int16_t number = 1; number <= 17; ++number) {
      for (const Shape& shape : shapes) {
        for (const bool invert : {false, true}) {
          SCOPED_TRACE(testing::Message() << "mode " << mode << ", symmetry " << number << ", frame "
                                          << shape.frame.left << "," << shape.frame.top << ", feather "
                                          << shape.feather << ", invert " << invert);
          TileJob job = Job(number, shape.feather, mode, shape.frame);
          job.invertTile = invert;
          ASSERT_EQ(RunTileJob(job), TileJobResult::kBuilt);
          const std::vector<uint8_t> whole = TileBytes();
          // The whole tile's bytes in a tile image that does not own them.
          TileImage wholeTile;
          wholeTile.width = tile_.width;
          wholeTile.height = tile_.height;
          wholeTile.rowBytes = tile_.rowBytes;
          wholeTile.pixelMode = tile_.pixelMode;
          wholeTile.bytesPerPixel = tile_.bytesPerPixel;
          wholeTile.destWidth = kOutputWidth;
          wholeTile.pixels = const_cast<uint8_t*>(whole.data());
          TileRows rows;
          job = Job(number, shape.feather, mode, shape.frame);
          job.invertTile = invert;
          job.rows = &rows;
          ASSERT_EQ(RunTileJob(job), TileJobResult::kBuilt);
          ASSERT_EQ(rows.held(), TileRows::Holds(number));
          if (!rows.held()) continue;
          ASSERT_EQ(tile_.width, wholeTile.width);
          ASSERT_EQ(tile_.height, wholeTile.height);
          EXPECT_EQ(tile_.memory.kind, kMemoryNone);
          ASSERT_TRUE(rows.Lock());
          std::vector<uint8_t> row(size_t(wholeTile.width) * size_t(BytesPerPixel(mode)));
          TilePiece pieces[kMaxRowPieces];
          for (int32_t y = 0; y < wholeTile.height; ++y) {
            rows.CopyRow(y, row.data());
            ASSERT_EQ(std::memcmp(row.data(), whole.data() + size_t(y) * size_t(wholeTile.rowBytes), row.size()), 0)
                << "row " << y;
            if (y % 7 != 3 && y != wholeTile.height - 1) continue;
            for (const Blend& blend : blends)
              for (const int32_t column : {0, 1, wholeTile.width - 1, wholeTile.width / 2, -3}) {
                wholeTile.SetBlend(blend.opacity, blend.mode);
                BlendRow(&wholeTile, input.data(), fromTile.data(), column, y, mode, mode);
                const int count = rows.ForwardPieces(y, pieces);
                BlendRowPieces(&wholeTile, pieces, count, input.data(), fromRows.data(), column, mode);
                ASSERT_EQ(fromRows, fromTile) << "row " << y << ", blend " << blend.mode << ", column " << column;
              }
          }
          rows.Unlock();
        }
      }
    }
  }
}

// Counts a build's steps and stops at one of them.
class CountingProgress final : public ProgressSink {
 public:
  explicit CountingProgress(int32_t stopAtStep = -1) : stopAtStep_(stopAtStep) {}
  void Begin(int32_t total) override { totals.push_back(total); }
  bool Step() override { return steps++ == stopAtStep_; }
  std::vector<int32_t> totals;
  int32_t steps = 0;

 private:
  int32_t stopAtStep_;
};

// Rows report the build as the whole tile does, the same totals and one step
// per row, and a stop at any row ends the job with no rows held.
TEST_F(TileJobTest, RowsReportAndStopAsTheWholeTileDoes) {
  for (int16_t number = 3; number <= 17; ++number) {
    for (const int32_t feather : {0, 30}) {
      SCOPED_TRACE(testing::Message() << "symmetry " << number << ", feather " << feather);
      CountingProgress whole;
      TileJob job = Job(number, feather);
      job.progress = &whole;
      ASSERT_EQ(RunTileJob(job), TileJobResult::kBuilt);
      TileRows rows;
      CountingProgress asRows;
      job = Job(number, feather);
      job.progress = &asRows;
      job.rows = &rows;
      ASSERT_EQ(RunTileJob(job), TileJobResult::kBuilt);
      EXPECT_EQ(asRows.totals, whole.totals);
      EXPECT_EQ(asRows.steps, whole.steps);
      for (const int32_t stopAt : {0, whole.steps / 2, whole.steps - 1}) {
        CountingProgress stopping(stopAt);
        job = Job(number, feather);
        job.progress = &stopping;
        job.rows = &rows;
        EXPECT_EQ(RunTileJob(job), TileJobResult::kStopped) << "stop at " << stopAt;
        EXPECT_EQ(stopping.steps, stopAt + 1);
        EXPECT_FALSE(rows.held());
        EXPECT_EQ(work_.memory.kind, kMemoryNone);
      }
    }
  }
}

}  // namespace
}  // namespace quiltora
