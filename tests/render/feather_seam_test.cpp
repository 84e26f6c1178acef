// The feather at the level of the tile: built the way the run builds it
// (FeatherSource, then BuildTile from the work image), the pattern's seams
// soften, the inside of the source stays, and every member keeps to its
// buffers whatever the feather and pixel mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <random>
#include <vector>

#include "render/feather_test_support.h"
#include "symmetry/leaves.h"

namespace quiltora::test {
namespace {

constexpr int16_t kFeathered[] = {1, 2, 3, 4, 5, 6, 8, 9, 11, 12, 13, 15, 16};
constexpr int32_t kImageSize = 220;

// Gold Brick leans right; number −1 stands for Gold Brick leaning left.
SelectionFrame FrameFor(int16_t number) {
  return SelectionFrame{60, 55, 130, 135, number == 1 ? 0.3 : number == -1 ? -0.3 : 0.0};
}

// Smooth waves with some grain: far-apart source pixels differ, neighbours
// mostly agree, so a seam shows as a jump.
FeatherImage Texture(int32_t bpp) {
  std::mt19937 random(5);
  return MakeImage(kImageSize, kImageSize, bpp, [&random](int32_t x, int32_t y, int32_t c) {
    const double wave = 128 + 55 * std::sin(0.13 * x + 0.07 * y + c) +
                        45 * std::cos(0.11 * y - 0.05 * x + 2.0 * c);
    return uint8_t(std::clamp(wave + int(random() % 17) - 8, 0.0, 255.0));
  });
}

// The run's object at feather 100 %, then lowered to f when f is smaller.
TileSymmetry* PrepareWithFeather(int16_t number, const SelectionFrame& frame, int32_t f) {
  TileSymmetry* symmetry = PrepareSymmetry(number, frame, kImageSize, kImageSize, 100);
  if (symmetry != nullptr && f < symmetry->featherPixels) {
    symmetry->featherPixels = f;
    symmetry->ComputeFeatherMargins();
    symmetry->ComputeFeatherRect();
  }
  return symmetry;
}

// The source polygon in continuous coordinates from the shape's origin.
std::vector<std::pair<double, double>> ShapePolygon(const TileSymmetry& symmetry) {
  if (auto* brick = dynamic_cast<const ParallelogramSource*>(&symmetry)) {
    const double w = brick->width, h = brick->height, s = brick->shear;
    if (s >= 0) return {{0, 0}, {w, 0}, {w + s, h}, {s, h}};
    return {{-s, 0}, {w - s, 0}, {w, h}, {0, h}};
  }
  if (auto* half = dynamic_cast<const HalfSquareSource*>(&symmetry)) {
    const double n = half->side;
    return {{0, 0}, {0, n}, {n, n}};
  }
  if (auto* rhombus = dynamic_cast<const RhombusSource*>(&symmetry)) {
    const double n = rhombus->side, s = 1.1547005 * n;
    return {{0, 0}, {s, 0}, {1.5 * s, n}, {0.5 * s, n}};
  }
  if (auto* kite = dynamic_cast<const KiteSource*>(&symmetry)) {
    const double n = kite->side;
    return {{0, 0}, {0.75 * n, 0.4330127 * n}, {0.5 * n, 0.8660254 * n}, {0, 0.8660254 * n}};
  }
  const double w = symmetry.extentWidth, h = symmetry.extentHeight;
  return {{0, 0}, {w, 0}, {w, h}, {0, h}};
}

// Distance of a point inside the polygon to its boundary; negative outside.
double Depth(const std::vector<std::pair<double, double>>& polygon, double px, double py) {
  double nearest = 1e9;
  bool inside = false;
  for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    const auto [ax, ay] = polygon[i];
    const auto [bx, by] = polygon[j];
    if ((ay > py) != (by > py) && px < (bx - ax) * (py - ay) / (by - ay) + ax) inside = !inside;
    const double dx = bx - ax, dy = by - ay;
    const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    nearest = std::min(nearest, std::hypot(px - ax - t * dx, py - ay - t * dy));
  }
  return inside ? nearest : -nearest;
}

// Mean absolute channel difference over the pattern's neighbouring pixel
// pairs whose source positions lie apart: the seams that are not mirrors.
struct SeamScore {
  double mean = 0;
  int64_t pairs = 0;
};

SeamScore ScoreSeams(const FeatherImage& tile, const FeatherImage& positions, int32_t rowShift) {
  const int32_t width = tile.width, height = tile.height;
  auto wrap = [](int32_t value, int32_t size) { return ((value % size) + size) % size; };
  int64_t total = 0;
  SeamScore score;
  auto visit = [&](int32_t ax, int32_t ay, int32_t bx, int32_t by) {
    const uint8_t* pa = positions.At(ax, ay);
    const uint8_t* pb = positions.At(bx, by);
    if (std::abs(pa[0] - pb[0]) + std::abs(pa[1] - pb[1]) <= 4) return;
    for (int32_t c = 0; c < tile.bytesPerPixel; ++c) {
      total += std::abs(tile.At(ax, ay)[c] - tile.At(bx, by)[c]);
    }
    ++score.pairs;
  };
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      visit(x, y, (x + 1) % width, y);
      if (y + 1 < height) {
        visit(x, y, x, y + 1);
      } else {
        visit(x, y, wrap(x - rowShift, width), 0);
      }
    }
  }
  if (score.pairs > 0) score.mean = double(total) / double(score.pairs * tile.bytesPerPixel);
  return score;
}

TEST(FeatherSeams, FeatheringSoftensEverySeamThatIsNotAMirror) {
  const FeatherImage texture = Texture(3);
  std::vector<int16_t> cases(std::begin(kFeathered), std::end(kFeathered));
  cases.push_back(-1);
  for (int16_t entry : cases) {
    SCOPED_TRACE(entry);
    const int16_t number = entry < 0 ? 1 : entry;
    TileSymmetry* symmetry = PrepareSymmetry(number, FrameFor(entry), kImageSize, kImageSize, 100);
    ASSERT_GT(symmetry->featherPixels, 0);
    if (entry < 0) {
      ASSERT_LT(symmetry->rowShift, 0);
    }
    const FeatherCall call = RunFeather(texture, 3);
    const FeatherImage plain = BuildTileFrom(call.copy, 3);
    const FeatherImage feathered = BuildTileFrom(call.work, 3);
    FeatherImage codes(call.work.width, call.work.height, 3);
    for (int32_t y = 0; y < codes.height; ++y) {
      for (int32_t x = 0; x < codes.width; ++x) {
        codes.At(x, y)[0] = uint8_t(x + 1);
        codes.At(x, y)[1] = uint8_t(y + 1);
        codes.At(x, y)[2] = 255;
      }
    }
    const FeatherImage positions = BuildTileFrom(codes, 3);
    const SeamScore before = ScoreSeams(plain, positions, symmetry->rowShift);
    const SeamScore after = ScoreSeams(feathered, positions, symmetry->rowShift);
    ASSERT_GT(before.pairs, 0);
    // A seam left unfeathered keeps its full jump and lifts the mean past a third.
    EXPECT_LT(after.mean, 0.3 * before.mean)
        << "f " << symmetry->featherPixels << ", " << before.pairs << " seam pairs, mean jump "
        << before.mean << " -> " << after.mean;
  }
}

// Inside the shape, pixels farther than f from every edge keep the source.
TEST(FeatherSeams, TheInsideFartherThanTheFeatherStaysAsItWas) {
  const FeatherImage texture = Texture(3);
  for (int16_t number : kFeathered) {
    for (int32_t percent : {20, 100}) {
      SCOPED_TRACE(std::to_string(number) + " at " + std::to_string(percent) + "%");
      TileSymmetry* symmetry =
          PrepareSymmetry(number, FrameFor(number), kImageSize, kImageSize, percent);
      const int32_t f = symmetry->featherPixels;
      ASSERT_GT(f, 0);
      const FeatherCall call = RunFeather(texture, 3);
      const auto polygon = ShapePolygon(*symmetry);
      double deepestChange = 0;
      int32_t untouchedDeep = 0;
      for (int32_t y = 0; y < call.work.height; ++y) {
        for (int32_t x = 0; x < call.work.width; ++x) {
          const double depth = Depth(polygon, x + 0.5, y + 0.5);
          const bool same = std::equal(call.work.At(x, y), call.work.At(x, y) + 3,
                                       call.copy.At(x, y));
          if (!same) deepestChange = std::max(deepestChange, depth);
          if (same && depth > f + 1) ++untouchedDeep;
        }
      }
      EXPECT_LE(deepestChange, f + 0.5) << "f " << f;
      if (percent < 100) {
        EXPECT_GT(untouchedDeep, 0);
      }
    }
  }
}

// Source buffers cut to exactly what the run requests and work images of
// exactly the edge rectangle: under the address sanitizer any read or write
// beyond them fails the run.
TEST(FeatherSeams, EveryMemberStaysInsideItsBuffers) {
  for (int32_t bpp : {1, 3, 4}) {
    const int16_t mode = int16_t(bpp);
    std::mt19937 random(bpp);
    const FeatherImage noise =
        MakeImage(kImageSize, kImageSize, bpp,
                  [&random](int32_t, int32_t, int32_t) { return uint8_t(random()); });
    for (int16_t number : kFeathered) {
      for (int32_t f : {1, 2, 5, 1000}) {
        SCOPED_TRACE(std::to_string(number) + " mode " + std::to_string(mode) + " f " +
                     std::to_string(f));
        // The shape near the image's top-left corner, so that at the largest
        // feather its margins end on the image's first column and row.
        const SelectionFrame frame{12, 12, 60, 70, number == 1 ? -0.4 : 0.0};
        TileSymmetry* symmetry = PrepareWithFeather(number, frame, f);
        ASSERT_NE(symmetry, nullptr);
        ASSERT_GT(symmetry->featherPixels, 0);
        const FeatherCall call = RunFeather(noise, mode);
        EXPECT_GE(call.bounds.top, 0);
        EXPECT_GE(call.bounds.left, 0);
        EXPECT_NE(call.work.pixels, call.copy.pixels);
      }
    }
  }
}

// Everything that weighs in the result comes from the rectangle the run
// requests: a frame of other values around it changes nothing.
TEST(FeatherSeams, OnlyTheRequestedRectangleWeighsIn) {
  const FeatherImage texture = Texture(3);
  constexpr int32_t kFrame = 6;
  for (int16_t number : kFeathered) {
    for (int32_t f : {1, 2, 1000}) {
      SCOPED_TRACE(std::to_string(number) + " f " + std::to_string(f));
      TileSymmetry* symmetry = PrepareWithFeather(number, FrameFor(number), f);
      const FeatherCall exact = RunFeather(texture, 3);
      for (uint8_t poison : {uint8_t(0), uint8_t(255)}) {
        FeatherImage framed(exact.source.width + 2 * kFrame, exact.source.height + 2 * kFrame, 3,
                            poison);
        for (int32_t y = 0; y < exact.source.height; ++y) {
          std::copy_n(exact.source.At(0, y), exact.source.RowBytes(),
                      framed.At(kFrame, kFrame + y));
        }
        FeatherImage work = exact.copy;
        symmetry->FeatherSource(framed.At(kFrame, kFrame), framed.RowBytes(), 3, work.pixels.data(), work.RowBytes(),
                                3);
        EXPECT_EQ(work.pixels, exact.work.pixels) << "poison " << int(poison);
      }
    }
  }
}

TEST(FeatherSeams, MirrorOnlySymmetriesLeaveTheWorkImageAlone) {
  const FeatherImage texture = Texture(3);
  for (int16_t number : {7, 10, 14, 17}) {
    TileSymmetry* symmetry = PrepareSymmetry(number, FrameFor(number), kImageSize, kImageSize, 100);
    EXPECT_EQ(symmetry->featherPixels, 0) << number;
    symmetry->featherPixels = 3;  // even when a caller forgets to force it to 0
    symmetry->ComputeFeatherMargins();
    symmetry->ComputeFeatherRect();
    const FeatherCall call = RunFeather(texture, 3);
    EXPECT_EQ(call.work.pixels, call.copy.pixels) << number;
  }
}

}  // namespace
}  // namespace quiltora::test
