// Spans and images of the masked members: which columns of a row blend with
// which neighbouring copies, the weighted blend, and the failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "render/feather_members.h"
#include "render/feather_test_support.h"
#include "symmetry/leaves.h"

namespace quiltora::test {
namespace {

struct Position {
  int32_t x, y;
  bool operator==(const Position& other) const { return x == other.x && y == other.y; }
};

std::vector<Position> ImagePositions(const WholeImage* images, uint32_t set, int32_t x,
                                     int32_t y) {
  std::vector<Position> positions;
  for (int k = 0; k < 10; ++k) {
    if (set & (1u << k)) {
      const WholeImage& i = images[k];
      positions.push_back({i.xx * x + i.xy * y + i.x0, i.yx * x + i.yy * y + i.y0});
    }
  }
  return positions;
}

struct SpanCase {
  HalfSquareMember member;
  int32_t row;
  std::vector<FeatherSpan> spans;
};

TEST(FeatherSpans, HalfSquareRowsSplitIntoSpansServedByTheirEdgesImages) {
  constexpr uint32_t kCrabAll = 0x3;
  const std::vector<SpanCase> cases = {
      {HalfSquareMember::kCrabClaws, 1, {{0, 1, kCrabAll}}},
      {HalfSquareMember::kCrabClaws, 5, {{0, 2, 0x2}, {3, 5, 0}}},
      {HalfSquareMember::kCrabClaws, 14, {{0, 2, 0x6}, {3, 12, 0x4}, {13, 14, 0xC}}},
      {HalfSquareMember::kSpiderWeb, 3, {{0, 3, 0x1}}},
      {HalfSquareMember::kSpiderWeb, 15, {{0, 11, 0}, {12, 15, 0x1}}},
      {HalfSquareMember::kPrimrosePath, 3, {{0, 3, 0x2}}},
      {HalfSquareMember::kPrimrosePath, 14, {{0, 4, 0x3}, {5, 14, 0x1}}},
      {HalfSquareMember::kPrimrosePath, 10, {{0, 4, 0x2}, {5, 10, 0}}},
  };
  for (const SpanCase& c : cases) {
    FeatherSpan spans[kHalfSquareMaxSpans];
    const int32_t count = HalfSquareRowSpans(c.member, 16, 3, c.row, spans);
    ASSERT_EQ(count, int32_t(c.spans.size())) << "row " << c.row;
    for (int32_t k = 0; k < count; ++k) {
      EXPECT_EQ(spans[k].first, c.spans[k].first) << "row " << c.row << " span " << k;
      EXPECT_EQ(spans[k].last, c.spans[k].last) << "row " << c.row << " span " << k;
      EXPECT_EQ(spans[k].images, c.spans[k].images) << "row " << c.row << " span " << k;
    }
  }
  WholeImage images[kHalfSquareMaxImages];
  HalfSquareImages(HalfSquareMember::kCrabClaws, 16, images);
  EXPECT_EQ(ImagePositions(images, 0xF, 2, 1),
            (std::vector<Position>{{18, 17}, {1, 18}, {-15, 2}, {-14, -15}}));
  HalfSquareImages(HalfSquareMember::kSpiderWeb, 16, images);
  EXPECT_EQ(ImagePositions(images, 0x1, 13, 15), (std::vector<Position>{{2, 0}}));
  HalfSquareImages(HalfSquareMember::kPrimrosePath, 16, images);
  // Row 3 takes the left image (12, x + 16); row 14 also the bottom one (−2, 15 − x).
  EXPECT_EQ(ImagePositions(images, 0x2, 2, 3), (std::vector<Position>{{12, 18}}));
  EXPECT_EQ(ImagePositions(images, 0x1, 7, 14), (std::vector<Position>{{-2, 8}}));
}

// A half square of side 16 with f = 3 and a uniform mask: every blended pixel
// becomes the plain mean of itself and its images.
class UniformMaskFeather : public ::testing::Test {
 protected:
  static constexpr int32_t kSide = 16, kF = 3;

  void Run(HalfSquareMember member) {
    std::mt19937 random(int(member) + 7);
    source_ = MakeImage(kSide + 2 * kF + 1, kSide + 2 * kF + 1, 3,
                        [&random](int32_t, int32_t, int32_t) { return uint8_t(random()); });
    work_ = FeatherImage(kSide, kSide, 3);
    for (int32_t y = 0; y < kSide; ++y) {
      for (int32_t x = 0; x < kSide; ++x) std::copy_n(Source(x, y), 3, work_.At(x, y));
    }
    copy_ = work_;
    const FeatherBuffers buffers = BuffersOver(source_, &work_, kF, kF, 3);
    FeatherHalfSquare(member, kSide, kF, buffers, [] {
      FeatherMask mask;
      mask.width = mask.rowBytes = kSide + 16;
      mask.height = kSide + 16;
      mask.originX = mask.originY = 8;
      mask.values.reset(new uint8_t[size_t(mask.rowBytes) * mask.height]);
      std::fill_n(mask.values.get(), size_t(mask.rowBytes) * mask.height, uint8_t(1));
      return mask;
    });
  }

  const uint8_t* Source(int32_t x, int32_t y) const { return source_.At(x + kF, y + kF); }

  void ExpectMean(int32_t x, int32_t y, std::vector<Position> images) {
    for (int32_t c = 0; c < 3; ++c) {
      int32_t sum = Source(x, y)[c];
      for (const Position& p : images) sum += Source(p.x, p.y)[c];
      EXPECT_EQ(work_.At(x, y)[c], sum / int32_t(images.size() + 1)) << x << "," << y;
    }
  }
  void ExpectUnchanged(int32_t x, int32_t y) {
    EXPECT_TRUE(std::equal(work_.At(x, y), work_.At(x, y) + 3, copy_.At(x, y))) << x << "," << y;
  }

  FeatherImage source_, work_, copy_;
};

TEST_F(UniformMaskFeather, CrabClawsBlendsTheLeftBandAndCopiesTheMiddle) {
  Run(HalfSquareMember::kCrabClaws);
  for (int32_t y = 3; y <= 12; ++y) {
    for (int32_t x = 0; x <= 2; ++x) ExpectMean(x, y, {{y, x + 16}});
    for (int32_t x = 3; x <= y; ++x) ExpectUnchanged(x, y);
  }
  ExpectMean(1, 2, {{17, 18}, {2, 17}});
  ExpectMean(14, 15, {{-1, 14}, {-2, -1}});
  // Right of the diagonal nothing is written.
  for (int32_t y = 0; y < 15; ++y) ExpectUnchanged(y + 1, y);
}

TEST_F(UniformMaskFeather, SpiderWebBlendsNearTheHypotenuseOnly) {
  Run(HalfSquareMember::kSpiderWeb);
  for (int32_t x = 12; x <= 15; ++x) ExpectMean(x, 15, {{15 - x, 0}});
  for (int32_t x = 0; x <= 11; ++x) ExpectUnchanged(x, 15);
  ExpectMean(0, 2, {{15, 13}});
}

TEST_F(UniformMaskFeather, PrimrosePathTakesTheQuarterTurnsAboutTheBottomLeftCorner) {
  Run(HalfSquareMember::kPrimrosePath);
  for (int32_t x = 0; x <= 3; ++x) ExpectMean(x, 3, {{12, x + 16}});
  for (int32_t x = 0; x <= 3; ++x) ExpectMean(x, 14, {{-2, 15 - x}, {1, x + 16}});
  for (int32_t x = 5; x <= 14; ++x) ExpectMean(x, 14, {{-2, 15 - x}});
  for (int32_t x = 0; x <= 3; ++x) ExpectMean(x, 10, {{5, x + 16}});
  for (int32_t x = 5; x <= 10; ++x) ExpectUnchanged(x, 10);
  // The left image of column 4 falls on row 20, past the source's last row
  // (16 + f): it lies more than f from the outline and adds nothing, where
  // clamping it onto row 19 would weigh in a pixel that is not its image.
  ExpectMean(4, 14, {{-2, 11}});
  ExpectUnchanged(4, 10);
}

// A Gold Brick leaf of 16 × 12, shear 0, f = 3 on a random source.
class GoldBrickFeather : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* brick = static_cast<GoldBrick*>(CreateSymmetry(1));
    brick->width = 16;
    brick->height = 12;
    brick->shear = 0;
    brick->extentWidth = 16;
    brick->extentHeight = 12;
    brick->featherPixels = 3;
    brick->ResetEdgeMins();
    brick->ComputeEdgeRect();
    brick->ComputeFeatherMargins();
    brick->ComputeFeatherRect();
    std::mt19937 random(11);
    source_ = MakeImage(16 + 7, 12 + 7, 3, [&random](int32_t, int32_t, int32_t) {
      return uint8_t(random());
    });
    work_ = FeatherImage(16, 12, 3);
    for (int32_t y = 0; y < 12; ++y) {
      for (int32_t x = 0; x < 16; ++x) std::copy_n(Source(x, y), 3, work_.At(x, y));
    }
    copy_ = work_;
  }
  int16_t Feather() {
    return gSymmetry->FeatherSource(source_.pixels.data(), source_.RowBytes(), 3, work_.pixels.data(), work_.RowBytes(),
                                    3);
  }
  const uint8_t* Source(int32_t x, int32_t y) const { return source_.At(x + 3, y + 3); }

  FeatherImage source_, work_, copy_;
};

TEST_F(GoldBrickFeather, ReachSpansAndImagesOfTheUnshearedBrick) {
  ShearedReach reach{};
  ASSERT_TRUE(GoldBrickReach(12, 0, 3, &reach));
  EXPECT_EQ(reach.bandWidth, 3.0);
  EXPECT_EQ(reach.across, 4);
  EXPECT_EQ(reach.along, 1);
  WholeImage images[8];
  GoldBrickImages(16, 12, 0, images);
  std::vector<FeatherSpan> row1, row5;
  ScanFeatherSpans(GoldBrickScan(16, 12, 0, 3, reach.bandWidth), 0, 15,
                   [&](int32_t y, const FeatherSpan& span) {
                     if (y == 1) row1.push_back(span);
                     if (y == 5) row5.push_back(span);
                   });
  ASSERT_EQ(row1.size(), 3u);
  EXPECT_EQ(row1[0].first, 0);
  EXPECT_EQ(row1[0].last, 2);
  EXPECT_EQ(row1[1].first, 3);
  EXPECT_EQ(row1[1].last, 12);
  EXPECT_EQ(row1[2].first, 13);
  EXPECT_EQ(row1[2].last, 15);
  EXPECT_EQ(ImagePositions(images, row1[0].images, 1, 1),
            (std::vector<Position>{{17, 13}, {1, 13}, {17, 1}}));
  EXPECT_EQ(ImagePositions(images, row1[1].images, 5, 1), (std::vector<Position>{{5, 13}}));
  EXPECT_EQ(ImagePositions(images, row1[2].images, 14, 1),
            (std::vector<Position>{{14, 13}, {-2, 13}, {-2, 1}}));
  ASSERT_EQ(row5.size(), 3u);
  EXPECT_EQ(row5[1].images, 0u);
}

TEST_F(GoldBrickFeather, BlendsByTheMaskWeightsAndCopiesTheInside) {
  Feather();
  EXPECT_EQ(gSymmetry->blendMarginLeft, 10);
  EXPECT_EQ(gSymmetry->blendMarginTop, 10);
  EXPECT_EQ(gSymmetry->blendMarginRight, 10);
  EXPECT_EQ(gSymmetry->blendMarginBottom, 10);
  // (1, 1) is one step inside (weight 5); (17, 13) two steps beyond the
  // corner (2); (1, 13) and (17, 1) one step beyond an edge (3 each).
  for (int32_t c = 0; c < 3; ++c) {
    const int32_t sum = 5 * Source(1, 1)[c] + 2 * Source(17, 13)[c] + 3 * Source(1, 13)[c] +
                        3 * Source(17, 1)[c];
    EXPECT_EQ(work_.At(1, 1)[c], sum / 13);
  }
  EXPECT_TRUE(std::equal(work_.At(5, 5), work_.At(5, 5) + 3, copy_.At(5, 5)));
}

TEST_F(GoldBrickFeather, WithoutAMaskNothingIsBlendedAndTheRunGoesOn) {
  SetFeatherAllocationFailure(0);
  const int16_t status = Feather();
  SetFeatherAllocationFailure(-1);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(work_.pixels, copy_.pixels);
}

// Whirlpool's right bounds run a few columns past the kite's extent near its
// right vertex; the spans written are held inside the work image.
TEST(FeatherSpans, WhirlpoolSpansStayInsideTheWorkImage) {
  const int32_t side = 60, f = 8, extentWidth = 45, extentHeight = 52;
  int32_t widest = 0;
  ScanFeatherSpans(KiteScan(true, side, f, extentHeight - 1, 0, extentWidth), INT32_MIN,
                   INT32_MAX, [&](int32_t, const FeatherSpan& span) {
                     widest = std::max(widest, span.last);
                   });
  EXPECT_GE(widest, extentWidth);
  int32_t clipped = 0;
  ScanFeatherSpans(KiteScan(true, side, f, extentHeight - 1, 0, extentWidth), 0, extentWidth - 1,
                   [&](int32_t, const FeatherSpan& span) {
                     clipped = std::max(clipped, span.last);
                   });
  EXPECT_EQ(clipped, extentWidth - 1);
}

// The half-square members' row table first, then their mask: without the
// table the run reports out of memory, without the mask it goes on.
TEST(FeatherFailures, HalfSquareTableFailureReportsOutOfMemoryAndBlendsNothing) {
  for (int16_t number : {2, 9, 11}) {
    for (int32_t allowed : {0, 1}) {
      TileSymmetry* symmetry =
          PrepareSymmetry(number, SelectionFrame{20, 20, 60, 60, 0}, 100, 100, 100);
      ASSERT_GT(symmetry->featherPixels, 0);
      const FeatherImage image = MakeImage(100, 100, 3, [](int32_t x, int32_t y, int32_t c) {
        return uint8_t(x * 7 + y * 13 + c * 50);
      });
      SetFeatherAllocationFailure(allowed);
      const FeatherCall call = RunFeather(image, 3);
      SetFeatherAllocationFailure(-1);
      EXPECT_EQ(call.status, allowed == 0 ? -108 : 0) << number;
      EXPECT_EQ(call.work.pixels, call.copy.pixels) << number;
    }
  }
}

// The feather fitting allows a half square whose bottom margin ends one row
// past the image; Primrose Path's left images reach that row, and what lies
// there must not weigh in.
TEST(FeatherFailures, NothingPastTheImagesLastRowWeighsIn) {
  TileSymmetry* symmetry = PrepareSymmetry(9, SelectionFrame{50, 20, 90, 60, 0}, 100, 100, 100);
  ASSERT_EQ(symmetry->y + symmetry->extentHeight + symmetry->featherPixels, 100);
  std::vector<uint8_t> results[2];
  for (int poison = 0; poison < 2; ++poison) {
    // The picture has 100 rows; row 100 is memory the caller happens to have.
    const FeatherImage image = MakeImage(100, 101, 3, [poison](int32_t x, int32_t y, int32_t c) {
      return y == 100 ? uint8_t(poison * 255) : uint8_t(x * 5 + y * 3 + c * 70);
    });
    results[poison] = RunFeather(image, 3).work.pixels;
  }
  EXPECT_EQ(results[0], results[1]);
}

// Deeper inside than f a pixel weighs 2f + 1 and its images 0: a span with
// images leaves it as it was.
TEST(FeatherFailures, DeepPixelsInSpansWithImagesStayUnchanged) {
  TileSymmetry* symmetry = PrepareSymmetry(9, SelectionFrame{20, 20, 60, 60, 0}, 100, 100, 100);
  symmetry->featherPixels = 3;
  symmetry->ComputeFeatherMargins();
  symmetry->ComputeFeatherRect();
  const FeatherImage image = MakeImage(100, 100, 3, [](int32_t x, int32_t y, int32_t c) {
    return uint8_t(x * 37 + y * 11 + c * 90);
  });
  const FeatherCall call = RunFeather(image, 3);
  ASSERT_EQ(static_cast<HalfSquareSource*>(symmetry)->side, 40);
  // Row 36 lies in the bottom band (its spans take the bottom image); column
  // 10 is 4 rows above the outline and its image 4 columns beyond the left edge.
  EXPECT_TRUE(std::equal(call.work.At(10, 36), call.work.At(10, 36) + 3, call.copy.At(10, 36)));
  EXPECT_FALSE(std::equal(call.work.At(10, 38), call.work.At(10, 38) + 3, call.copy.At(10, 38)));
}

}  // namespace
}  // namespace quiltora::test
