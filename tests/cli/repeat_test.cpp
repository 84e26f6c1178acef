// Repeats for print without the program: fractions and sizes as typed, the
// drop and brick lattices, the selection solved for a tile size (held against
// the symmetry objects themselves), and the resolution a repeat measures in.
#include <gtest/gtest.h>

#include <optional>

#include "repeat.h"
#include "settings.h"
#include "symmetry/placement.h"
#include "symmetry/catalogue.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora_cli {
namespace {

TEST(CliRepeat, FractionsAsTyped) {
  struct Case {
    const char* text;
    bool ok;
    int32_t numerator, denominator;
  };
  const Case cases[] = {
      {"1/2", true, 1, 2},   {"2/4", true, 1, 2},  {"0.5", true, 1, 2},  {"1/3", true, 1, 3},   {"2/3", true, 2, 3},
      {"0.25", true, 1, 4},  {"0", true, 0, 1},    {"0/5", true, 0, 1},  {".75", true, 3, 4},   {"1", false, 0, 0},
      {"1/1", false, 0, 0},  {"3/2", false, 0, 0}, {"1/0", false, 0, 0}, {"-1/2", false, 0, 0}, {"1/2/3", false, 0, 0},
      {"half", false, 0, 0}, {"", false, 0, 0},    {"0.1234567", false, 0, 0},
  };
  for (const Case& c : cases) {
    Fraction fraction;
    ASSERT_EQ(ParseFraction(c.text, &fraction), c.ok) << c.text;
    if (!c.ok) continue;
    EXPECT_EQ(fraction.numerator, c.numerator) << c.text;
    EXPECT_EQ(fraction.denominator, c.denominator) << c.text;
  }
}

TEST(CliRepeat, SizesAsTypedBecomeWholePixels) {
  struct Case {
    const char* text;
    double dpi;
    int32_t width, height;  // -1: that side not given; 0: refused
    bool bothFromOne;
  };
  const Case cases[] = {
      {"64cm", 150, 3780, 3780, true},  // 64 / 2.54 × 150 = 3779.53
      {"640mm", 150, 3780, 3780, true},  {"25.2in", 300, 7560, 7560, true},   {"7559px", 72, 7559, 7559, true},
      {"7559", 300, 7559, 7559, true},   {"30cmx20cm", 100, 1181, 787, false}, {"30CM X 20CM", 100, 1181, 787, false},
      {"64cmx", 150, 3780, -1, false},   {"x10in", 30, -1, 300, false},        {"1.27mm", 100, 5, 5, true},
      {"129.54cm", 25, 1275, 1275, true},  // 1274.99...: rounds up to the whole pixel
  };
  for (const Case& c : cases) {
    RepeatSize size;
    ASSERT_EQ(ParseRepeatSize(c.text, &size), "") << c.text;
    EXPECT_EQ(size.bothFromOne, c.bothFromOne) << c.text;
    EXPECT_EQ(size.width.has_value(), c.width != -1) << c.text;
    EXPECT_EQ(size.height.has_value(), c.height != -1) << c.text;
    if (size.width) {
      EXPECT_EQ(PixelsOf(*size.width, c.dpi), c.width) << c.text;
    }
    if (size.height) {
      EXPECT_EQ(PixelsOf(*size.height, c.dpi), c.height) << c.text;
    }
  }
  for (const char* bad : {"", "x", "64", "64furlongs", "cm", "-5cm", "0cm", "1x2x3", "64cm x", "1..2cm"}) {
    RepeatSize size;
    const std::string error = ParseRepeatSize(bad, &size);
    if (std::string(bad) == "64" || std::string(bad) == "64cm x") continue;  // pixels; a width alone
    EXPECT_NE(error.find("--repeat takes a size such as 64cm"), std::string::npos) << bad << ": " << error;
  }
  // Fractions of a pixel, nothing, or more than a picture holds: no tile.
  EXPECT_EQ(PixelsOf(Length{10.5, LengthUnit::kPixel}, 72), -1);
  EXPECT_EQ(PixelsOf(Length{0.001, LengthUnit::kMillimetre}, 72), -1);
  EXPECT_EQ(PixelsOf(Length{200, LengthUnit::kInch}, 300), -1);
  EXPECT_EQ(PhysicalSize(3780, 2182, 150), "640.1 x 369.5 mm");
}

TEST(CliRepeat, LatticeShiftsAndTheirRepeatingBlocks) {
  struct Case {
    bool drop;
    Fraction f;
    int32_t w, h;
    int32_t shift;
    bool exact;
    int64_t blockWidth, blockHeight;
  };
  const Case cases[] = {
      {true, {1, 2}, 40, 30, 15, true, 80, 30},   {true, {1, 3}, 40, 30, 10, true, 120, 30},
      {true, {2, 3}, 40, 30, 20, true, 120, 30},  {false, {1, 3}, 42, 30, 14, true, 42, 90},
      {false, {1, 2}, 42, 30, 21, true, 42, 60},  {true, {0, 1}, 40, 30, 0, true, 40, 30},
      // Half of 31 rounds up to 16, which comes round after 31 columns.
      {true, {1, 2}, 40, 31, 16, false, 1240, 31}, {false, {1, 4}, 10, 30, 3, false, 10, 300},
      {true, {1, 4}, 40, 30, 8, false, 600, 30},  // 7.5 → 8; gcd(8, 30) = 2
  };
  for (const Case& c : cases) {
    bool exact = false;
    const Lattice lattice = LatticeOf(c.drop, c.f, c.w, c.h, &exact);
    EXPECT_EQ(lattice.drop, c.drop);
    EXPECT_EQ(lattice.shift, c.shift) << c.f.numerator << "/" << c.f.denominator;
    EXPECT_EQ(exact, c.exact) << c.f.numerator << "/" << c.f.denominator;
    int64_t width = 0, height = 0;
    SuperTileSize(lattice, c.w, c.h, &width, &height);
    EXPECT_EQ(width, c.blockWidth) << c.f.numerator << "/" << c.f.denominator;
    EXPECT_EQ(height, c.blockHeight) << c.f.numerator << "/" << c.f.denominator;
  }
}

// Every pixel of a laid window, wherever it starts (left of and above the
// tile's corner too), is the block's pixel at its place modulo the block, and
// the block is the tile laid column by column (row by row) with the shift.
TEST(CliRepeat, LaidWindowsAreTheBlockRepeated) {
  filterhost::TileCopy tile;
  tile.width = 5;
  tile.height = 4;
  tile.channels = 2;
  for (int32_t i = 0; i < 5 * 4; ++i) {
    tile.pixels.push_back(uint8_t(i));
    tile.pixels.push_back(uint8_t(100 + i));
  }
  for (const Lattice lattice : {Lattice{true, 2}, Lattice{true, 3}, Lattice{false, 2}, Lattice{false, 0}}) {
    int64_t blockWidth = 0, blockHeight = 0;
    SuperTileSize(lattice, tile.width, tile.height, &blockWidth, &blockHeight);
    const filterhost::Image block =
        LayOnLattice(tile, lattice, 0, 0, int32_t(blockWidth), int32_t(blockHeight));
    for (int32_t y = 0; y < block.height; ++y)
      for (int32_t x = 0; x < block.width; ++x) {
        const int32_t k = lattice.drop ? x / 5 : y / 4;
        const int32_t tx = lattice.drop ? x % 5 : ((x - k * lattice.shift) % 5 + 5) % 5;
        const int32_t ty = lattice.drop ? ((y - k * lattice.shift) % 4 + 4) % 4 : y % 4;
        ASSERT_EQ(block.At(x, y)[0], ty * 5 + tx) << x << "," << y;
        ASSERT_EQ(block.At(x, y)[1], 100 + ty * 5 + tx) << x << "," << y;
      }
    const filterhost::Image window = LayOnLattice(tile, lattice, -23, -9, 31, 27);
    for (int32_t j = 0; j < window.height; ++j)
      for (int32_t i = 0; i < window.width; ++i) {
        const int64_t x = ((-23 + i) % blockWidth + blockWidth) % blockWidth;
        const int64_t y = ((-9 + j) % blockHeight + blockHeight) % blockHeight;
        ASSERT_EQ(window.At(i, j)[0], block.At(int32_t(x), int32_t(y))[0]) << i << "," << j;
      }
  }
}

// The selection the solver hands the module, placed and measured by the
// symmetry object exactly as a run does, gives the asked tile side; a
// refusal means no size the object keeps makes that side.
TEST(CliRepeat, SolvedSelectionsGiveTheTileTheObjectsMeasure) {
  const int32_t sourceWidth = 900, sourceHeight = 700;
  const SourceLimits limits{Box{0, 0, sourceWidth, sourceHeight}, sourceWidth, sourceHeight};
  for (int32_t symmetry = 1; symmetry <= 17; ++symmetry) {
    const quiltora::TileRule rule = quiltora::TileRuleOf(symmetry);
    const bool oneSize = quiltora::TileRuleHasOneSize(rule);
    for (int32_t target = 20; target <= 520; target += 11) {
      for (bool byWidth : {true, false}) {
        SCOPED_TRACE(std::to_string(symmetry) + (byWidth ? " width " : " height ") + std::to_string(target));
        RepeatPlan plan;
        std::string error;
        const int32_t otherSide = oneSize ? 0 : 60;
        const bool solved = SolveRepeat(symmetry, symmetry == 1 ? 9 : 0, byWidth ? target : otherSide,
                                        byWidth ? otherSide : target, false, std::nullopt, limits, &plan, &error);
        if (!solved) {
          if (error.find("makes no tile") == std::string::npos) {
            // Too small for the module's least selection, or too big for the source.
            const quiltora::TileSize least = oneSize ? quiltora::TileSizeOf(rule, 0, 0, 20)
                                                     : quiltora::TileSizeOf(rule, 20, 20, 0);
            if (error.find("smallest") != std::string::npos) {
              EXPECT_LT(target, byWidth ? least.width : least.height) << error;
            } else {
              EXPECT_NE(error.find("needs a"), std::string::npos) << error;
            }
            continue;
          }
          for (int32_t n = 1; n <= target + 2; ++n) {  // no rule makes a side much below its size
            const quiltora::TileSize tile =
                oneSize ? quiltora::TileSizeOf(rule, 0, 0, n) : quiltora::TileSizeOf(rule, n, n, 0);
            ASSERT_NE(byWidth ? tile.width : tile.height, target) << error << " but size " << n << " makes it";
          }
          continue;
        }
        Options options;
        options.symmetry = symmetry;
        if (symmetry == 1) options.shear = 9;
        options.select = plan.selection;
        quiltora::ParameterBlock block{};
        RunGeometry geometry;
        geometry.areaWidth = sourceWidth;
        geometry.areaHeight = sourceHeight;
        ASSERT_TRUE(ApplyOptions(options, geometry, &block, &error)) << error;
        quiltora::TileSymmetry* object = quiltora::CreateSymmetry(int16_t(symmetry));
        ASSERT_NE(object, nullptr);
        quiltora::PlaceStoredSelection(object, block, sourceWidth, sourceHeight);
        quiltora::PrepareTileGeometry(object, sourceWidth, sourceHeight, 0);
        EXPECT_EQ(byWidth ? object->tileWidth : object->tileHeight, target);
        EXPECT_EQ(object->tileWidth, plan.tileWidth);
        EXPECT_EQ(object->tileHeight, plan.tileHeight);
        // The selection the object took is the one the plan placed.
        EXPECT_EQ(object->y, plan.selection.y);
        EXPECT_EQ(object->x, plan.selection.x);
        quiltora::DestroySymmetry();
      }
    }
  }
}

TEST(CliRepeat, SolverRefusalsSayWhy) {
  const SourceLimits limits{Box{0, 0, 480, 360}, 480, 360};
  struct Case {
    int32_t symmetry, width, height;
    const char* reason;
  };
  const Case cases[] = {
      {3, 121, 121, "Wings makes no tile 121 px wide (the nearest are 120 and 122 px)"},
      {12, 1814, 100, "Lightning makes no tile 1814 px wide (the nearest are 1812 and 1816 px)"},
      {13, 139, 0, "Storm at Sea makes no tile 139 px wide (the nearest are 138 and 142 px)"},
      {8, 200, 100, "Pinwheel ties the tile's height to its width"},
      {8, 8, 0, "Pinwheel tiles 8 px wide need a selection below the module's smallest (10 px)"},
      {8, 1000, 0, "the 1000 x 1000 px Pinwheel tile needs a 500 x 500 px selection, more than the source holds "
                   "(478 x 358 px inside its outer pixel)"},
      {6, 720, 721, "Honey Bees makes no tile 721 px high (the nearest are 720 and 722 px)"},
  };
  for (const Case& c : cases) {
    RepeatPlan plan;
    std::string error;
    EXPECT_FALSE(SolveRepeat(c.symmetry, 0, c.width, c.height, false, std::nullopt, limits, &plan, &error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
  // One size for a symmetry that ties the sides sets the width.
  RepeatPlan plan;
  std::string error;
  ASSERT_TRUE(SolveRepeat(17, 0, 300, 300, true, Box{10, 10, 20, 20}, limits, &plan, &error)) << error;
  EXPECT_EQ(plan.tileWidth, 300);
  EXPECT_EQ(plan.tileHeight, 174);
  EXPECT_TRUE(plan.heightFollows);
  // Centred where --select was, moved inside the source's outer pixel.
  EXPECT_EQ(plan.selection.x, 1);
  EXPECT_EQ(plan.selection.y, 1);
}

// The resolution a --repeat measures in: --dpi over the input's, and the
// input's pixels per metre read back as the whole dpi they were written from.
TEST(CliRepeat, ResolutionOfARepeat) {
  struct Case {
    std::optional<double> option;
    double input;
    double dpi;
    bool assumed;
  };
  const Case cases[] = {
      {std::nullopt, 0, 72, true},          {std::nullopt, 5906 * 0.0254, 150, false},
      {std::nullopt, 11811 * 0.0254, 300, false}, {std::nullopt, 72.5, 72.5, false},
      {std::nullopt, 299.9, 299.9, false},  {200.0, 5906 * 0.0254, 200, false},
      {96.0, 0, 96, false},
  };
  for (const Case& c : cases) {
    Options options;
    options.dpi = c.option;
    const Resolution resolution = ResolutionFor(options, c.input);
    EXPECT_EQ(resolution.dpi, c.dpi) << c.input;
    EXPECT_EQ(resolution.assumed, c.assumed) << c.input;
  }
}

}  // namespace
}  // namespace quiltora_cli
