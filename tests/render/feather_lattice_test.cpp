// Bands and corners of the rectangle and square members: the weights, the
// partners across each edge, and what is left alone.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "render/feather_test_support.h"
#include "symmetry/leaves.h"

namespace quiltora::test {
namespace {

struct Term {
  int32_t weight;  // 16.16
  int32_t row;     // source position, relative to the shape's origin
  int32_t column;
};

struct LatticeCase {
  const char* name;
  int16_t number;
  int32_t width, height, f;
  int32_t row, column;  // the pixel
  std::vector<Term> terms;
};

// A rectangle or square leaf of width × height with feather f, set up as the
// run sets it up, and a random source with the run's margins around it.
class LatticeFeather : public ::testing::Test {
 protected:
  void Prepare(int16_t number, int32_t width, int32_t height, int32_t f) {
    TileSymmetry* symmetry = CreateSymmetry(number);
    ASSERT_NE(symmetry, nullptr);
    if (auto* rectangle = dynamic_cast<RectangleSource*>(symmetry)) {
      rectangle->width = width;
      rectangle->height = height;
    } else {
      static_cast<SquareSource*>(symmetry)->side = width;
    }
    symmetry->extentWidth = width;
    symmetry->extentHeight = height;
    symmetry->featherPixels = f;
    symmetry->ResetEdgeMins();
    symmetry->ComputeEdgeRect();
    symmetry->ComputeFeatherMargins();
    symmetry->ComputeFeatherRect();
    f_ = f;
    std::mt19937 random(number * 977 + width * 31 + f);
    source_ = MakeImage(width + 2 * f + 1, height + 2 * f + 1, 3,
                        [&random](int32_t, int32_t, int32_t) { return uint8_t(random()); });
    work_ = FeatherImage(width, height, 3);
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        for (int32_t c = 0; c < 3; ++c) work_.At(x, y)[c] = Source(y, x)[c];
      }
    }
    copy_ = work_;
    symmetry->FeatherSource(source_.pixels.data(), source_.RowBytes(), 3, work_.pixels.data(), work_.RowBytes(), 3);
  }

  const uint8_t* Source(int32_t row, int32_t column) const {
    return source_.At(column + f_, row + f_);
  }

  int32_t f_ = 0;
  FeatherImage source_, work_, copy_;
};

TEST_F(LatticeFeather, PixelsBlendWithTheirPartnersByTheBandAndCornerWeights) {
  const std::vector<LatticeCase> cases = {
      // Wings, f = 1: 2/3 and 1/3 as 43690 and 21845; the corners keep weight 1.
      {"wings top", 3, 8, 6, 1, 0, 3, {{43690, 0, 3}, {21845, 6, 3}}},
      {"wings bottom", 3, 8, 6, 1, 5, 3, {{43690, 5, 3}, {21845, -1, 3}}},
      {"wings left mirror", 3, 8, 6, 1, 2, 0, {{43690, 2, 0}, {21845, 2, -1}}},
      {"wings right mirror", 3, 8, 6, 1, 2, 7, {{43690, 2, 7}, {21845, 2, 8}}},
      {"wings corner", 3, 8, 6, 1, 0, 0, {{65536, 0, 0}}},
      {"wings far corner", 3, 8, 6, 1, 5, 7, {{65536, 5, 7}}},
      // Hither & Yon: the side partners are turned by a half turn.
      {"hither left", 4, 10, 8, 1, 1, 0, {{43690, 1, 0}, {21845, 6, -1}}},
      {"hither right", 4, 10, 8, 1, 1, 9, {{43690, 1, 9}, {21845, 6, 10}}},
      // f = 2: the outermost corner 9/16 own, 3/16 per edge, 1/16 diagonal.
      {"hither corner", 4, 10, 8, 2, 0, 9,
       {{36864, 0, 9}, {12288, 7, 10}, {12288, 8, 9}, {4096, -1, 10}}},
      {"hither band k=0", 4, 10, 8, 2, 0, 4, {{39321, 0, 4}, {26214, 8, 4}}},
      {"hither band k=1", 4, 10, 8, 2, 1, 4, {{52428, 1, 4}, {13107, 9, 4}}},
      // The innermost pixel of a corner square keeps its own value.
      {"hither inner corner", 4, 10, 8, 2, 1, 8, {{65536, 1, 8}}},
      // Card Tricks glides, Honey Bees glides both ways, Lightning turns on the right.
      {"card left", 5, 10, 8, 1, 2, 0, {{43690, 2, 0}, {21845, 5, 10}}},
      {"card right", 5, 10, 8, 1, 2, 9, {{43690, 2, 9}, {21845, 5, -1}}},
      {"bees top", 6, 10, 8, 1, 0, 2, {{43690, 0, 2}, {21845, 8, 7}}},
      {"lightning right", 12, 10, 8, 1, 2, 9, {{43690, 2, 9}, {21845, 5, 10}}},
      {"lightning left", 12, 10, 8, 1, 2, 0, {{43690, 2, 0}, {21845, 2, -1}}},
      // Pinwheel: quarter turns about the square's corners.
      {"pinwheel top", 8, 8, 8, 1, 0, 3, {{43690, 0, 3}, {21845, 3, -1}}},
      {"pinwheel right", 8, 8, 8, 1, 3, 7, {{43690, 3, 7}, {21845, 8, 3}}},
      {"pinwheel bottom", 8, 8, 8, 1, 7, 2, {{43690, 7, 2}, {21845, 2, 8}}},
  };
  for (const LatticeCase& c : cases) {
    SCOPED_TRACE(c.name);
    Prepare(c.number, c.width, c.height, c.f);
    for (int32_t channel = 0; channel < 3; ++channel) {
      int64_t sum = 0;
      for (const Term& term : c.terms) {
        sum += int64_t(term.weight) * Source(term.row, term.column)[channel];
      }
      EXPECT_EQ(work_.At(c.column, c.row)[channel], sum >> 16) << "channel " << channel;
    }
  }
}

// Rows and columns f .. size − f − 1 are the interior: the caller's copy
// stays, and nothing outside the bands and corners changes.
TEST_F(LatticeFeather, OnlyTheBandsChange) {
  for (int16_t number : {3, 4, 5, 6, 8, 12}) {
    for (int32_t f : {1, 4, 9}) {
      const int32_t width = 23, height = number == 8 ? 23 : 19;
      Prepare(number, width, height, f);
      int32_t changed = 0;
      for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
          const bool interior = y >= f && y < height - f && x >= f && x < width - f;
          const bool same = std::equal(work_.At(x, y), work_.At(x, y) + 3, copy_.At(x, y));
          if (interior) {
            EXPECT_TRUE(same) << number << " f " << f << " at " << x << "," << y;
          }
          if (!same) ++changed;
        }
      }
      EXPECT_GT(changed, (width + height) * f) << number << " f " << f;
    }
  }
}

}  // namespace
}  // namespace quiltora::test
