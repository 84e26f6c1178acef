// Tiles of the symmetries with whole-pixel copies (1 to 12): the worked
// examples, and the group laws of the repeated tile.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "render/pixel_copy.h"
#include "render/tile_test_support.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora::test {
namespace {

// (column, row) of the source pixel a position-picture tile pixel came from.
struct Position {
  int column;
  int row;
  bool operator==(const Position& other) const {
    return column == other.column && row == other.row;
  }
};

Position At(const Picture& tile, int32_t row, int32_t column) {
  const uint8_t* p = tile.At(row, column);
  return Position{p[0], p[1]};
}

class RectangularTiles : public ::testing::Test {
 protected:
  void TearDown() override { DestroySymmetry(); }
};

TEST_F(RectangularTiles, PricklyPearMirrorsAcrossBothAxes) {
  const Picture source = PositionPicture(4, 3);
  const BuiltTile built = BuildWith({7, 4, 3, 0}, source, 3, 0);
  ASSERT_EQ(built.tile.width, 8);
  ASSERT_EQ(built.tile.height, 6);
  const int columns[8] = {0, 1, 2, 3, 3, 2, 1, 0};
  for (int32_t r = 0; r < 6; ++r) {
    const int sourceRow = r < 3 ? r : 5 - r;
    for (int32_t c = 0; c < 8; ++c) {
      EXPECT_EQ(At(built.tile, r, c), (Position{columns[c], sourceRow})) << r << "," << c;
    }
  }
}

TEST_F(RectangularTiles, CrabClawsReflectsTheLowerHalfAcrossTheDiagonal) {
  Picture source = PositionPicture(12, 12);
  // Pixels right of the diagonal carry a mark that must never reach the tile.
  for (int32_t r = 0; r < 12; ++r) {
    for (int32_t c = r + 1; c < 12; ++c) source.At(r, c)[2] = 7;
  }
  const BuiltTile built = BuildWith({2, 12, 0, 0}, source, 3, 0);
  ASSERT_EQ(built.tile.width, 12);
  EXPECT_EQ(At(built.tile, 2, 9), (Position{2, 9}));
  EXPECT_EQ(At(built.tile, 9, 2), (Position{2, 9}));
  for (int32_t r = 0; r < 12; ++r) {
    for (int32_t c = 0; c < 12; ++c) {
      const Position expected{std::min(r, c), std::max(r, c)};
      EXPECT_EQ(At(built.tile, r, c), expected);
      EXPECT_EQ(built.tile.At(r, c)[2], 255);
    }
  }
}

TEST_F(RectangularTiles, LightningLaysTheSourceItsTurnsAndItsMirror) {
  const Picture source = PositionPicture(8, 12);
  const BuiltTile built = BuildWith({12, 8, 12, 0}, source, 3, 0);
  ASSERT_EQ(built.tile.width, 32);
  ASSERT_EQ(built.tile.height, 12);
  for (int32_t r = 0; r < 12; ++r) {
    for (int32_t c = 0; c < 8; ++c) {
      EXPECT_EQ(At(built.tile, r, c), (Position{c, r}));                  // source
      EXPECT_EQ(At(built.tile, r, 31 - c), (Position{c, r}));             // mirror image
      EXPECT_EQ(At(built.tile, 11 - r, 16 + c), (Position{c, r}));        // upside down
      EXPECT_EQ(At(built.tile, 11 - r, 15 - c), (Position{c, r}));        // turned by 180
    }
  }
}

struct ShearCase {
  int32_t shear;
  std::vector<int> rowOneColumns;  // source columns of tile row 1
};

class GoldBrickExamples : public ::testing::TestWithParam<ShearCase> {
 protected:
  void TearDown() override { DestroySymmetry(); }
};

TEST_P(GoldBrickExamples, RowOneHoldsTheWrappedParallelogramRow) {
  const ShearCase& c = GetParam();
  const Picture source = PositionPicture(6 + std::abs(c.shear), 8);
  const BuiltTile built = BuildWith({1, 6, 8, c.shear}, source, 3, 0);
  ASSERT_EQ(built.tile.width, 6);
  for (int32_t column = 0; column < 6; ++column) {
    EXPECT_EQ(At(built.tile, 1, column), (Position{c.rowOneColumns[column], 1})) << column;
  }
}

INSTANTIATE_TEST_SUITE_P(Shears, GoldBrickExamples,
                         ::testing::Values(ShearCase{3, {6, 1, 2, 3, 4, 5}},
                                           ShearCase{-3, {3, 4, 5, 6, 7, 2}},
                                           ShearCase{0, {0, 1, 2, 3, 4, 5}}));

TEST_F(RectangularTiles, GoldBrickWrapsMoreOfEachRowAsTheShearGrows) {
  const Picture source = PositionPicture(9, 8);
  const BuiltTile built = BuildWith({1, 6, 8, 3}, source, 3, 0);
  const int wrapped[8] = {0, 1, 1, 1, 2, 2, 2, 3};
  for (int32_t r = 0; r < 8; ++r) {
    int count = 0;
    for (int32_t c = 0; c < 6; ++c) count += At(built.tile, r, c).column >= 6 ? 1 : 0;
    EXPECT_EQ(count, wrapped[r]) << "row " << r;
  }
  const BuiltTile straight = BuildWith({1, 6, 8, 0}, PositionPicture(6, 8), 3, 0);
  for (int32_t r = 0; r < 8; ++r) {
    for (int32_t c = 0; c < 6; ++c) EXPECT_EQ(At(straight.tile, r, c), (Position{c, r}));
  }
}

// Each tile row is the parallelogram's row: width consecutive source pixels
// starting near (row + 0.5) × shear / height past the top-left vertex, laid
// at the tile column congruent to their offset, so tiles shifted by the
// shear per row band rebuild the sheared lattice. Shears wider than the
// rows wrap more than once and must stay inside both buffers.
TEST_F(RectangularTiles, GoldBrickRowsAreRotatedParallelogramRows) {
  const struct { int32_t width, height, shear; } cases[] = {
      {10, 10, 7}, {10, 10, -7}, {13, 11, 25}, {12, 10, -31}, {10, 17, 1}, {11, 12, -12}};
  for (const auto& c : cases) {
    const Picture source = PositionPicture(c.width + std::abs(c.shear), c.height);
    const BuiltTile built = BuildWith({1, c.width, c.height, c.shear}, source, 3, 0);
    const int vertex = c.shear < 0 ? -c.shear : 0;
    for (int32_t r = 0; r < c.height; ++r) {
      const double ideal = (r + 0.5) * c.shear / c.height;
      int start = 1 << 20;
      for (int32_t col = 0; col < c.width; ++col) {
        const Position p = At(built.tile, r, col);
        ASSERT_EQ(p.row, r);
        const int offset = p.column - vertex;
        ASSERT_EQ(((offset - col) % c.width + c.width) % c.width, 0) << "row " << r;
        start = std::min(start, offset);
      }
      EXPECT_LE(std::abs(start - ideal), 1.0) << "shear " << c.shear << " row " << r;
    }
  }
}

// A symmetry of the tiled plane as a map of pixel positions:
// (r, c) -> (rr·r + rc·c + r0, cr·r + cc·c + c0).
struct PlaneMap {
  int32_t rr, rc, r0, cr, cc, c0;
};

struct LawCase {
  std::string name;
  Geometry geometry;
  std::vector<PlaneMap> maps;
};

// Every map must carry every pixel of one tile period onto an equal pixel of
// the repeated tile. No member has a mirror line through pixel centres that
// two different source pixels write: the diagonal mirrors of 2, 9 and 10
// read the same source pixel on both sides, and Spider Web's quadrant
// diagonals, written twice, are seams rather than mirrors of its group.
void ExpectInvariant(const LawCase& law) {
  const Picture source = NoisePicture(320, 320, 3, 17);
  const BuiltTile built = BuildWith(law.geometry, source, 3, 0);
  const Picture& tile = built.tile;
  for (size_t m = 0; m < law.maps.size(); ++m) {
    const PlaneMap& g = law.maps[m];
    int failures = 0;
    for (int32_t r = 0; r < tile.height; ++r) {
      for (int32_t c = 0; c < tile.width; ++c) {
        int32_t r2 = g.rr * r + g.rc * c + g.r0, c2 = g.cr * r + g.cc * c + g.c0;
        r2 = ((r2 % tile.height) + tile.height) % tile.height;
        c2 = ((c2 % tile.width) + tile.width) % tile.width;
        if (std::memcmp(tile.At(r, c), tile.At(r2, c2), 3) != 0) ++failures;
      }
    }
    EXPECT_EQ(failures, 0) << law.name << " map " << m;
  }
}

std::vector<LawCase> LawCases(int32_t w, int32_t h, int32_t n) {
  const PlaneMap diagonal{0, 1, 0, 1, 0, 0};  // (r, c) -> (c, r)
  return {
      {"cm", {2, n, 0, 0}, {diagonal}},
      {"pm", {3, w, h, 0}, {{1, 0, 0, 0, -1, 2 * w - 1}}},
      {"p2", {4, w, h, 0}, {{-1, 0, h - 1, 0, -1, 2 * w - 1}}},
      {"pg", {5, w, h, 0}, {{-1, 0, h - 1, 0, 1, w}}},
      {"pgg", {6, w, h, 0},
       {{-1, 0, 2 * h - 1, 0, -1, 2 * w - 1}, {-1, 0, h - 1, 0, 1, w}, {1, 0, h, 0, -1, w - 1}}},
      {"pmm", {7, w, h, 0}, {{1, 0, 0, 0, -1, 2 * w - 1}, {-1, 0, 2 * h - 1, 0, 1, 0}}},
      {"p4", {8, n, 0, 0}, {{0, 1, 0, -1, 0, 2 * n - 1}}},
      {"p4g", {9, n, 0, 0}, {{0, 1, n, -1, 0, n - 1}, diagonal, {-1, 0, n - 1, 0, 1, n}}},
      {"p4m", {10, n, 0, 0},
       {{1, 0, 0, 0, -1, 2 * n - 1}, {-1, 0, 2 * n - 1, 0, 1, 0}, diagonal,
        {0, 1, 0, -1, 0, 2 * n - 1}}},
      {"cmm", {11, n, 0, 0},
       {{1, 0, 0, 0, -1, 2 * n - 1}, {-1, 0, 2 * n - 1, 0, 1, 0}, {1, 0, n, 0, 1, n},
        {-1, 0, n - 1, 0, -1, n - 1}}},
      {"pmg", {12, w, h, 0},
       {{1, 0, 0, 0, -1, 4 * w - 1}, {-1, 0, h - 1, 0, 1, 2 * w},
        {-1, 0, h - 1, 0, -1, 2 * w - 1}}},
  };
}

TEST_F(RectangularTiles, RepeatedTilesKeepTheirGroupsMirrorsTurnsAndGlides) {
  const int32_t sizes[][3] = {
      {10, 10, 10}, {11, 13, 11}, {17, 12, 16}, {23, 31, 29}, {12, 10, 300}};
  for (const auto& size : sizes) {
    for (const LawCase& law : LawCases(size[0], size[1], size[2])) ExpectInvariant(law);
  }
}

// A cmm tile is not invariant under the diagonal mirror: its quadrant
// diagonals are seams. The law check must be able to fail.
TEST_F(RectangularTiles, SpiderWebIsNotMirroredAcrossItsDiagonal) {
  const BuiltTile built = BuildWith({11, 12, 0, 0}, NoisePicture(12, 12, 3, 5), 3, 0);
  int differing = 0;
  for (int32_t r = 0; r < 12; ++r) {
    for (int32_t c = 0; c < 12; ++c) {
      differing += std::memcmp(built.tile.At(r, c), built.tile.At(c, r), 3) != 0 ? 1 : 0;
    }
  }
  EXPECT_GT(differing, 0);
}

// Mirrored rows of gray, RGB and four-channel pixels of every length across
// the widest vector groups (64, 21 and 16 pixels) and their tails, each side
// exactly as long as the row, so that a write or read past either end shows
// (AddressSanitizer builds see every byte).
TEST(PixelCopy, MirroredRowsOfEveryLengthAcrossTheVectorGroups) {
  for (int16_t mode : {1, 3, 4}) {
    const PixelLayout plain = MakePixelLayout(mode, mode);
    const int32_t bytes = plain.channels;
    for (int32_t count = 1; count <= 140; ++count) {
      std::vector<uint8_t> source(static_cast<size_t>(count * bytes)), tile(source.size(), 0);
      for (size_t k = 0; k < source.size(); ++k) source[k] = static_cast<uint8_t>(k * 7 + 1);
      CopyRowMirrored(source.data(), tile.data() + (count - 1) * bytes, count, plain);
      for (int32_t k = 0; k < count; ++k)
        ASSERT_EQ(std::memcmp(&tile[static_cast<size_t>((count - 1 - k) * bytes)],
                              &source[static_cast<size_t>(k * bytes)], static_cast<size_t>(bytes)),
                  0)
            << "mode " << mode << ", " << count << " pixels, pixel " << k;
    }
  }
}

}  // namespace
}  // namespace quiltora::test
