// The final run's row loop, through the run's progress sink: the count each
// builder announces, one report and one abort test per row, and a stop that
// leaves the tile as the rows before it made it.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "abi/plugin_api.h"
#include "host/run_state.h"
#include "render/tile_test_support.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora::test {
namespace {

constexpr int32_t kDestHeight = 500;

// The host's side of the record: the test's progress and abort routines.
struct HostCalls {
  std::vector<int32_t> done;
  std::vector<int32_t> total;
  int32_t stopAtRow = -1;      // the abort test answers kStopValue at this call
  int32_t snapshotAtRow = -1;  // the progress report copies the tile at this call
  int32_t abortCalls = 0;
  const Picture* watchedTile = nullptr;
  std::vector<uint8_t> snapshot;  // the tile as row snapshotAtRow began
};

constexpr plugin::Boolean kStopValue = 7;
HostCalls* gCalls = nullptr;

void RecordProgress(int32_t done, int32_t total) {
  gCalls->done.push_back(done);
  gCalls->total.push_back(total);
  if (static_cast<int32_t>(gCalls->done.size()) - 1 == gCalls->snapshotAtRow) {
    gCalls->snapshot = gCalls->watchedTile->pixels;
  }
}

plugin::Boolean AnswerAbort() {
  return gCalls->abortCalls++ == gCalls->stopAtRow ? kStopValue : 0;
}

class BuildProgress : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(&record_, 0, sizeof(record_));
    record_.progressProc = RecordProgress;
    record_.abortProc = AnswerAbort;
    gFilterRecord = &record_;
    gCalls = &calls_;
    gStopped = 0;
    gResult = 0;
  }
  void TearDown() override {
    gFilterRecord = nullptr;
    gCalls = nullptr;
    gStopped = 0;
    gResult = 0;
    DestroySymmetry();
  }

  // Builds with the run's progress into a tile filled with 0x5A.
  BuiltTile Build(const Geometry& g, const Picture& source) {
    TileSymmetry* symmetry = MakeSymmetry(g, source.width, source.height, kDestHeight);
    BuiltTile built;
    built.tile = Picture(symmetry->tileWidth, symmetry->tileHeight, 3, 0x5A);
    calls_.watchedTile = &built.tile;
    built.result = symmetry->BuildTile(source.pixels.data(), source.rowBytes, source.mode, RunProgress(),
                                       built.tile.pixels.data(), built.tile.rowBytes, 3);
    return built;
  }

  plugin::FilterRecord record_;
  HostCalls calls_;
};

struct ProgressCase {
  Geometry geometry;
  int32_t steps;       // rows the builder loops over
  int32_t countRows;   // rows it announces (the total is countRows − 1 + destHeight)
};

// Builder rows of each member at these sizes: W = 14, H = 11, N = 20 (11:
// N = 12, whose count runs to 23 + destHeight in 12 steps; 13:
// 2N; 14: h + 1 with h = trunc(0.8660254 × 20 − 0.5) = 16; 15: d = 17; 16:
// 2d; 17: v + 1 with v = trunc(1.7320508 × 20 − 0.5) = 34).
std::vector<ProgressCase> ProgressCases() {
  return {{{1, 14, 11, 5}, 11, 11},  {{2, 20, 0, 0}, 20, 20},  {{3, 14, 11, 0}, 11, 11},
          {{4, 14, 11, 0}, 11, 11},  {{5, 14, 11, 0}, 11, 11}, {{6, 14, 11, 0}, 11, 11},
          {{7, 14, 11, 0}, 11, 11},  {{8, 20, 0, 0}, 20, 20},  {{9, 20, 0, 0}, 20, 20},
          {{10, 20, 0, 0}, 20, 20},  {{11, 12, 0, 0}, 12, 24}, {{12, 14, 11, 0}, 11, 11},
          {{13, 20, 0, 0}, 40, 40},  {{14, 20, 0, 0}, 17, 17}, {{15, 20, 0, 0}, 17, 17},
          {{16, 20, 0, 0}, 34, 34},  {{17, 20, 0, 0}, 35, 35}};
}

TEST_F(BuildProgress, EachRowReportsOnceAndTheCountRunsOnIntoTheOutputRows) {
  for (const ProgressCase& c : ProgressCases()) {
    int32_t sw = 0, sh = 0;
    SourceSizeFor(c.geometry, &sw, &sh);
    calls_ = HostCalls{};
    const BuiltTile built = Build(c.geometry, NoisePicture(sw, sh, 3, 1));
    const int32_t total = c.countRows - 1 + kDestHeight;
    EXPECT_EQ(built.result, 0) << c.geometry.number;
    EXPECT_EQ(gProgressTotal, total) << c.geometry.number;
    EXPECT_EQ(gProgressDone, c.steps) << c.geometry.number;
    ASSERT_EQ(static_cast<int32_t>(calls_.done.size()), c.steps) << c.geometry.number;
    EXPECT_EQ(calls_.abortCalls, c.steps) << c.geometry.number;
    for (int32_t k = 0; k < c.steps; ++k) {
      EXPECT_EQ(calls_.done[k], k);
      EXPECT_EQ(calls_.total[k], total);
    }
    EXPECT_EQ(gStopped, 0);
  }
}

// A stop at the start of row k returns 1 with the stop flag and status set, and leaves the tile exactly as rows 0..k −
// 1 made it: as a full build's tile looked when row k began, or, for the members that write their turned copies in
// groups of rows (2, 8), the full tile's pixels that came from source rows above k.
TEST_F(BuildProgress, AStopLeavesTheTileAsTheEarlierRowsMadeIt) {
  for (const ProgressCase& c : ProgressCases()) {
    int32_t sw = 0, sh = 0;
    SourceSizeFor(c.geometry, &sw, &sh);
    const Picture source = PositionPicture(sw, sh);
    const bool grouped = c.geometry.number == 2 || c.geometry.number == 8;
    for (int32_t stopRow : {0, 1, c.steps / 2, c.steps - 1}) {
      calls_ = HostCalls{};
      calls_.snapshotAtRow = stopRow;
      const BuiltTile full = Build(c.geometry, source);
      std::vector<uint8_t> expected = calls_.snapshot;
      ASSERT_FALSE(expected.empty());
      if (grouped) {
        expected = full.tile.pixels;
        for (int32_t r = 0; r < full.tile.height; ++r) {
          for (int32_t col = 0; col < full.tile.width; ++col) {
            const size_t at = static_cast<size_t>(r) * full.tile.rowBytes + col * 3;
            if (expected[at + 1] >= stopRow) std::memset(&expected[at], 0x5A, 3);
          }
        }
      }

      calls_ = HostCalls{};
      calls_.stopAtRow = stopRow;
      gStopped = 0;
      gResult = 0;
      const BuiltTile stopped = Build(c.geometry, source);
      EXPECT_EQ(stopped.result, 1) << c.geometry.number << " row " << stopRow;
      EXPECT_EQ(gStopped, 1);
      EXPECT_EQ(gResult, 1);
      EXPECT_EQ(static_cast<int32_t>(calls_.done.size()), stopRow + 1);
      EXPECT_TRUE(stopped.tile.pixels == expected) << c.geometry.number << " row " << stopRow;
      if (stopRow == 0) {
        EXPECT_TRUE(stopped.tile.pixels == std::vector<uint8_t>(expected.size(), 0x5A));
      }
      EXPECT_FALSE(stopped.tile.pixels == full.tile.pixels) << c.geometry.number;
    }
  }
}

// Whirlpool and Monkey Wrench keep a boundary table per row; a side whose
// table cannot be had fails with the memory status before touching anything.
TEST_F(BuildProgress, KiteMembersWithoutTheirBoundaryTableReportOutOfMemory) {
  for (int16_t number : {15, 16}) {
    calls_ = HostCalls{};
    TileSymmetry* symmetry = MakeSymmetry({number, 1000000000, 0, 0}, 16, 16, kDestHeight);
    std::vector<uint8_t> tile(64, 0x5A);
    const uint8_t source[64] = {};
    gResult = 0;
    gProgressTotal = 12345;
    EXPECT_EQ(symmetry->BuildTile(source, 16, 1, RunProgress(), tile.data(), 8, 1), -108) << number;
    EXPECT_EQ(gResult, 0) << number;
    EXPECT_EQ(gProgressTotal, 12345) << number;
    EXPECT_TRUE(calls_.done.empty()) << number;
    EXPECT_TRUE(tile == std::vector<uint8_t>(64, 0x5A)) << number;
  }
}

}  // namespace
}  // namespace quiltora::test
