// Every tile pixel of every member is written, from inside the source shape,
// whatever the size; and the pixel modes copy the same channels.
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "render/hex_machinery.h"
#include "render/tile_test_support.h"
#include "common/fixed.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora::test {
namespace {

constexpr double kSlant = 0.5773503;  // tan 30°

// Distance (positive inside) of (x, y) from the line through (x0, y0) in
// direction (dx, dy), inside being on the left of the direction.
double Inside(double x, double y, double x0, double y0, double dx, double dy) {
  const double length = std::hypot(dx, dy);
  return ((x - x0) * dy - (y - y0) * dx) / length * -1.0;
}

// Whether source position (x, y) lies in the shape of geometry, to within
// tolerance pixels.
bool InShape(const Geometry& g, double x, double y, double tolerance) {
  const double n = g.size, t = tolerance;
  switch (g.number) {
    case 1: {
      const double vertex = g.shear < 0 ? -g.shear : 0;
      const double start = vertex + (y + 0.5) * g.shear / g.height;
      return y >= 0 && y < g.height && x >= start - 0.5 - t && x <= start + g.size - 0.5 + t;
    }
    case 3: case 4: case 5: case 6: case 7: case 12:
      return x >= 0 && y >= 0 && x < g.size && y < g.height;
    case 8:
      return x >= 0 && y >= 0 && x < n && y < n;
    case 2: case 9: case 10: case 11:
      return x >= 0 && x <= y && y < n;
    case 13:  // rhombus leaning right
      return y >= -t && y <= n - 1 + t && x >= kSlant * y - t / 0.866 &&
             x <= 1.1547005 * n + kSlant * y + t / 0.866;
    case 14:  // triangle, apex down
      return y >= -t && x >= kSlant * y - t / 0.866 && x <= n - kSlant * y + t / 0.866;
    case 15: case 16: {  // kite (0, 0), (0.75n, 0.433n), (0.5n, 0.866n), (0, 0.866n)
      const double e = n - (g.size & 1);
      return x >= -t && y <= 0.8660254 * e + t && Inside(x, y, 0, 0, 0.75, 0.433) >= -t &&
             Inside(x, y, 0.75 * e, 0.433 * e, -0.25, 0.433) >= -t;
    }
    case 17:  // 30-60-90 triangle, right angle bottom left
      return x >= -t && y <= 1.7320508 * n + t && x <= kSlant * y + t / 0.866;
    default:
      return false;
  }
}

struct CoverageCase {
  Geometry geometry;
};

std::vector<Geometry> CoverageGeometries() {
  std::vector<Geometry> cases;
  for (int16_t number = 2; number <= 12; ++number) {
    for (int32_t size : {10, 11, 12, 13, 20, 31, 64, 101}) {
      cases.push_back({number, size, size + 3 - (size % 4), 0});
    }
  }
  for (int32_t size : {10, 11, 16, 33}) {
    for (int32_t shear : {0, 4, -9, 23, -40}) cases.push_back({1, size, size + 5, shear});
  }
  for (int16_t number = 13; number <= 17; ++number) {
    for (int32_t side : {12, 13, 14, 15, 16, 17, 24, 25, 40, 41, 63, 64, 99, 100, 139, 140}) {
      if (number == 17 && (side & 1) != 0) continue;  // its tile size makes the side even
      cases.push_back({number, side, 0, 0});
    }
  }
  return cases;
}

class TileCoverage : public ::testing::Test {
 protected:
  void TearDown() override { DestroySymmetry(); }
};

// The source pixel (row, column) holds (column, row, 255); the tile starts as
// all zero, so a third byte of 0 marks a pixel no builder wrote. Blends of
// the hexagonal members land within 1.5 pixels of the shape (the maps'
// sub-pixel offsets and rounding).
TEST_F(TileCoverage, EveryTilePixelComesFromInsideTheSourceShape) {
  for (const Geometry& g : CoverageGeometries()) {
    int32_t sw = 0, sh = 0;
    SourceSizeFor(g, &sw, &sh);
    ASSERT_LE(std::max(sw, sh), 256);
    const BuiltTile built = BuildWith(g, PositionPicture(sw, sh), 3, 0);
    const std::string label = "member " + std::to_string(g.number) + " size " +
                              std::to_string(g.size) + " shear " + std::to_string(g.shear);
    int unwritten = 0, outside = 0;
    for (int32_t r = 0; r < built.tile.height; ++r) {
      for (int32_t c = 0; c < built.tile.width; ++c) {
        const uint8_t* p = built.tile.At(r, c);
        if (p[2] != 255) {
          ++unwritten;
        } else if (!InShape(g, p[0], p[1], 1.5)) {
          ++outside;
        }
      }
    }
    EXPECT_EQ(unwritten, 0) << label;
    EXPECT_EQ(outside, 0) << label;
  }
}

// Gray from gray, and a mode-10 tile from a mode-3 source, carry the same
// channel values; the first byte of every mode-10 tile pixel keeps its value.
TEST_F(TileCoverage, PixelModesCopyTheSameChannels) {
  for (int16_t number = 1; number <= 17; ++number) {
    const Geometry g{number, 24, 20, number == 1 ? 5 : 0};
    int32_t sw = 0, sh = 0;
    SourceSizeFor(g, &sw, &sh);
    const Picture rgb = NoisePicture(sw, sh, 3, 23);
    Picture gray(sw, sh, 1), rgbx(sw, sh, 10);
    for (int32_t r = 0; r < sh; ++r) {
      for (int32_t c = 0; c < sw; ++c) {
        *gray.At(r, c) = rgb.At(r, c)[0];
        rgbx.At(r, c)[0] = 0x11;
        std::memcpy(rgbx.At(r, c) + 1, rgb.At(r, c), 3);
      }
    }
    const BuiltTile plain = BuildWith(g, rgb, 3, 0);
    const BuiltTile padded = BuildWith(g, rgb, 10, 0xEE);
    const BuiltTile fromPadded = BuildWith(g, rgbx, 3, 0);
    const BuiltTile grayTile = BuildWith(g, gray, 1, 0);
    for (int32_t r = 0; r < plain.tile.height; ++r) {
      for (int32_t c = 0; c < plain.tile.width; ++c) {
        const uint8_t* expected = plain.tile.At(r, c);
        ASSERT_EQ(padded.tile.At(r, c)[0], 0xEE) << number;
        ASSERT_EQ(std::memcmp(padded.tile.At(r, c) + 1, expected, 3), 0) << number;
        ASSERT_EQ(std::memcmp(fromPadded.tile.At(r, c), expected, 3), 0) << number;
        ASSERT_EQ(*grayTile.tile.At(r, c), expected[0]) << number;
      }
    }
  }
}

// The inline product of the blend is the shared FixMul, bit for bit.
TEST(FixedPointBlend, InlineProductMatchesFixMul) {
  uint32_t state = 99;
  for (int k = 0; k < 200000; ++k) {
    state = state * 1664525u + 1013904223u;
    const int32_t a = static_cast<int32_t>(state);
    state = state * 1664525u + 1013904223u;
    const int32_t b = k % 3 == 0 ? static_cast<int32_t>(state) : static_cast<int32_t>(state) >> 12;
    ASSERT_EQ(FixMulInline(a, b), FixMul(a, b)) << a << " " << b;
  }
}

TEST(FixedPointBlend, SpanEndStepsBelowZeroAndWholeNumbers) {
  EXPECT_EQ(SpanEnd(2.7), 2);
  EXPECT_EQ(SpanEnd(0.2), 0);
  EXPECT_EQ(SpanEnd(-0.2), -1);
  EXPECT_EQ(SpanEnd(0.0), -1);
  EXPECT_EQ(SpanEnd(-3.0), -4);
}

}  // namespace
}  // namespace quiltora::test
