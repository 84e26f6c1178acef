// Every tile pixel of every member is written, from inside the source shape,
// whatever the size; and the pixel modes copy the same channels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/fixed.h"
#include "render/hex_lanes.h"
#include "render/hex_machinery.h"
#include "render/tile_test_support.h"
#include "symmetry/frame.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora::test {
namespace {

constexpr double kSlant = 0.5773503;  // tan 30°

// Distance of (x, y) from the line through (x0, y0) in direction (dx, dy),
// positive on the side the direction turns to (rows grow downward).
double Inside(double x, double y, double x0, double y0, double dx, double dy) {
  return ((y - y0) * dx - (x - x0) * dy) / std::hypot(dx, dy);
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

namespace quiltora::test {
namespace {

// Frames of many sizes, odd and even, some sheared, inside a 250-pixel image.
std::vector<SelectionFrame> RunFrames() {
  std::vector<SelectionFrame> frames = {{40, 30, 140, 150, 0.0}, {61, 77, 200, 181, 0.25},
                                        {20, 120, 75, 160, -0.4}};
  uint32_t state = 5;
  for (int k = 0; k < 24; ++k) {
    state = state * 1664525u + 1013904223u;
    const double width = 13 + (state >> 8) % 110, height = 13 + (state >> 20) % 110;
    const double left = 2 + (state >> 4) % 100, top = 2 + (state >> 12) % 100;
    double shear = (static_cast<int>(state % 9) - 4) * 0.15;
    if (width - std::fabs(shear) * height < 12) shear = 0;  // the parallelogram keeps a width
    frames.push_back({top, left, top + height, left + width, shear});
  }
  return frames;
}

// A run as the driver makes it: the object's own geometry from a frame, its
// tile size, and the source pixels its bounds ask for plus one column and
// one row (the host's input area). That area sits in a larger picture whose
// other pixels carry a 0 mark: no tile pixel may come from outside it.
TEST_F(TileCoverage, RunGeometryReadsOnlyTheRequestedSourceArea) {
  const int32_t imageSize = 250;
  for (int16_t number = 1; number <= 17; ++number) {
    for (SelectionFrame frame : RunFrames()) {
      TileSymmetry* symmetry = CreateSymmetry(number);
      ASSERT_NE(symmetry, nullptr);
      symmetry->SetSourceSize(imageSize, imageSize);
      FitFrame(*symmetry, &frame);
      symmetry->SetFromFrame(frame);
      symmetry->SetSourceSize(imageSize, imageSize);
      symmetry->PrepareRun();
      symmetry->ComputeTileSize();
      symmetry->ComputeSourceExtent();
      symmetry->ComputeRowShift();
      symmetry->SetFeatherPercent(0);
      symmetry->ResetEdgeMins();
      symmetry->ComputeEdgeRect();
      symmetry->ComputeFeatherMargins();
      symmetry->ComputeFeatherRect();
      symmetry->destHeight = 100;
      Rect16 bounds{};
      symmetry->GetSourceBounds(&bounds);
      const std::string label = "member " + std::to_string(number) + " frame left " +
                                std::to_string(frame.left);

      Picture image = PositionPicture(imageSize, imageSize);
      for (int32_t r = 0; r < imageSize; ++r) {
        for (int32_t c = 0; c < imageSize; ++c) {
          const bool requested = r >= bounds.top && r <= bounds.bottom && c >= bounds.left &&
                                 c <= bounds.right;
          if (!requested) image.At(r, c)[2] = 0;
        }
      }
      Picture tile(symmetry->tileWidth, symmetry->tileHeight, 3, 0x5A);
      const int16_t result = symmetry->BuildTile(image.At(bounds.top, bounds.left), image.rowBytes, 3, SilentProgress(),
                                                 tile.pixels.data(), tile.rowBytes, 3);
      EXPECT_EQ(result, 0) << label;
      int outside = 0, unwritten = 0;
      for (int32_t r = 0; r < tile.height; ++r) {
        for (int32_t c = 0; c < tile.width; ++c) {
          const uint8_t* p = tile.At(r, c);
          if (p[2] == 0x5A) {
            ++unwritten;
          } else if (p[2] != 255) {
            ++outside;
          }
        }
      }
      EXPECT_EQ(unwritten, 0) << label;
      EXPECT_EQ(outside, 0) << label;
    }
  }
  DestroySymmetry();
}

}  // namespace
}  // namespace quiltora::test

namespace quiltora::test {
namespace {

// The span sampler's fast blend is the documented BilinearSample, bit for
// bit, and its clamping follows the two fraction rules: spans that run over
// the source's edges and spans that stay inside, in one, three and four
// channels.
TEST(FixedPointBlend, SpanSamplesAreTheDocumentedBlendAtEachSteppedPosition) {
  for (int32_t channels : {1, 3, 4}) {
    const Picture source = NoisePicture(40, 30, channels, 31);
    for (FractionRule rule : {FractionRule::kBeforeClamp, FractionRule::kAfterClamp}) {
      const HexSource hex{source.pixels.data(), source.rowBytes, channels, channels, 39, 29, rule};
      const AffineMap maps[] = {{-32768, 56756, 56756, 32768, 0x90000, 0x30000},
                                {45000, -30000, 20000, 50000, -0x20000, 0x8000},
                                {65536, 0, 0, 65536, 0x1234, 0x5678},
                                {-65536, 13, 7, -65536, 0x290000, 0x1F0000},
                                {32768, 3000, -2000, 16384, 0x10000, 0x48000}};
      for (const AffineMap& map : maps) {
        std::vector<uint8_t> row(static_cast<size_t>(60) * channels, 0);
        const BlockRow block{row.data(), channels, 9, false};
        SampleSpan(hex, map, block, 3, 57);
        const auto at = [&](int32_t x) {
          return WrapAdd(WrapAdd(FixMul(map.a, x << 16), FixMul(map.b, 9 << 16)), map.e);
        };
        const auto atY = [&](int32_t x) {
          return WrapAdd(WrapAdd(FixMul(map.c, x << 16), FixMul(map.d, 9 << 16)), map.f);
        };
        const int32_t stepX = (at(57) - at(3)) / 54, stepY = (atY(57) - atY(3)) / 54;
        for (int32_t k = 0; k <= 54; ++k) {
          const int32_t sx = at(3) + k * stepX, sy = atY(3) + k * stepY;
          int32_t ix = sx >> 16, iy = sy >> 16, fx = sx & 0xFFFF, fy = sy & 0xFFFF;
          if (rule == FractionRule::kAfterClamp) {
            ix = std::min(sx < 0 ? 0 : ix, 39);
            iy = std::min(sy < 0 ? 0 : iy, 29);
            fx = std::max(sx - (ix << 16), 0);
            fy = std::max(sy - (iy << 16), 0);
          }
          ix = std::clamp(ix, 0, 39);
          iy = std::clamp(iy, 0, 29);
          uint8_t expected[4] = {};
          if (ix == 39 || iy == 29) {
            std::memcpy(expected, source.At(iy, ix), channels);
          } else {
            BilinearSample(source.At(iy, ix), channels, source.rowBytes, fx, fy, channels,
                           expected);
          }
          ASSERT_EQ(std::memcmp(&row[(3 + k) * channels], expected, channels), 0)
              << "channels " << channels << " pixel " << k;
        }
      }
    }
  }
}

// The vector lanes give BilinearSample's bytes at every position of runs in
// every direction, in 3- and 4-byte pixels, on a source whose last pixel ends
// its allocation: runs that reach the last interior pixel read nothing past
// it (AddressSanitizer builds see every byte).
TEST(FixedPointBlend, LaneSamplesAreTheDocumentedBlendUpToTheSourcesLastByte) {
  if (HexLaneWidth() == 0) GTEST_SKIP() << "no vector lanes here";
  std::mt19937 random(1913);
  for (const auto& [lanes, channels] : {std::pair{8, 3}, {8, 4}, {16, 3}, {16, 4}}) {
    if (lanes > HexLaneWidth()) continue;
    const int32_t width = 37, height = 23, rowBytes = width * channels;
    std::vector<uint8_t> source(static_cast<size_t>(rowBytes) * height);
    for (uint8_t& byte : source) byte = static_cast<uint8_t>(random());
    const int32_t xEnd = (width - 1) << 16, yEnd = (height - 1) << 16;
    const auto inside = [&](int32_t end) { return static_cast<int32_t>(random() % static_cast<uint32_t>(end)); };
    for (int run = 0; run < 400; ++run) {
      const int32_t count = 8 + static_cast<int32_t>(random() % 120);
      int32_t x0 = inside(xEnd), y0 = inside(yEnd), x1 = inside(xEnd), y1 = inside(yEnd);
      // Every fourth run starts or ends within a pixel of the last interior one.
      if (run % 4 == 0) x1 = xEnd - 1 - inside(1 << 16), y1 = yEnd - 1 - inside(1 << 16);
      if (run % 8 == 4) std::swap(x0, x1), std::swap(y0, y1);
      const int32_t stepX = (x1 - x0) / (count - 1), stepY = (y1 - y0) / (count - 1);
      std::vector<uint8_t> out(static_cast<size_t>(count) * channels, 0xA5);
      const int32_t written =
          SampleInteriorLanes(lanes, source.data(), rowBytes, channels, x0, y0, stepX, stepY, out.data(), count);
      ASSERT_EQ(written, count / lanes * lanes);
      for (int32_t k = 0; k < count; ++k) {
        const int32_t sx = x0 + k * stepX, sy = y0 + k * stepY;
        uint8_t expected[4] = {0xA5, 0xA5, 0xA5, 0xA5};
        if (k < written)
          BilinearSample(&source[static_cast<size_t>((sy >> 16) * rowBytes + (sx >> 16) * channels)], channels,
                         rowBytes, sx & 0xFFFF, sy & 0xFFFF, channels, expected);
        ASSERT_EQ(std::memcmp(&out[static_cast<size_t>(k * channels)], expected, channels), 0)
            << lanes << " lanes, channels " << channels << " run " << run << " sample " << k;
      }
    }
  }
}

}  // namespace
}  // namespace quiltora::test
