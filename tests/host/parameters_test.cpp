#include "host/parameters.h"

#include <gtest/gtest.h>

#include "host/run.h"
#include "host/run_state.h"

namespace quiltora {
namespace {

TEST(ResetSelection, CentresASquareOfAThirdOfTheSmallerSide) {
  struct Case {
    int32_t kind, width, height;
    IntRect area;
    int32_t side, x, y;
  };
  const Case cases[] = {
      {kSourceImage, 300, 150, {}, 50, 125, 50},
      {kSourceImage, 50, 50, {}, 16, 17, 17},
      {kSourceLoadedFile, 400, 300, {10, 20, 110, 80}, 20, 50, 40},
  };
  for (const Case& c : cases) {
    ParameterBlock block{};
    block.sourceKind = c.kind;
    block.sourceWidth = c.width;
    block.sourceHeight = c.height;
    block.sourceArea = c.area;
    block.selectionInitialised = 1;
    ResetSelection(&block);
    EXPECT_EQ(block.selectionSize, c.side);
    EXPECT_EQ(block.selectionWidth, c.side);
    EXPECT_EQ(block.selectionX, c.x);
    EXPECT_EQ(block.selectionY, c.y);
    EXPECT_EQ(block.selectionRect.right, c.x + c.side);
    EXPECT_EQ(block.selectionInitialised, 0);
  }
  ParameterBlock block{};
  block.sourceKind = kSourceImage;
  block.sourceWidth = 300;
  block.sourceHeight = 150;
  ResetSelection(&block);
  EXPECT_DOUBLE_EQ(block.selectionNormalised.top, 50.0 / 150);
  EXPECT_DOUBLE_EQ(block.selectionNormalised.left, 125.0 / 300);
  EXPECT_DOUBLE_EQ(block.selectionNormalised.bottom, 100.0 / 150);
  EXPECT_DOUBLE_EQ(block.selectionNormalised.right, 175.0 / 300);
  EXPECT_DOUBLE_EQ(block.selectionNormalised.shear, 0.0);
}

TEST(PrepareBudget, AnnouncesTheMemoryTheModuleNeeds) {
  EXPECT_EQ(ComputeBufferSpace(int64_t(1) << 30, true, 1000, 1000, 3), 0x100000);
  // budget 100 MiB, image 3 MB: reserve the image, keep the rest minus one row.
  const int64_t budget = 100 << 20;
  EXPECT_EQ(ComputeBufferSpace(budget, false, 1000, 1000, 3), budget - 3000000 - 3000);
  // A large image reserves an eighth of what is above 1 MiB.
  EXPECT_EQ(ComputeBufferSpace(budget, false, 10000, 10000, 4), budget - (budget - 0x100000) / 8 - 40000);
  EXPECT_EQ(ComputeBufferSpace(0x100000, false, 100, 100, 1), 0x258880);
  EXPECT_EQ(ComputeBufferSpace(int64_t(1) << 40, false, 100, 100, 1), INT32_MAX);
}

}  // namespace
}  // namespace quiltora
