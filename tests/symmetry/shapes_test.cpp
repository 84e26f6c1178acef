// Geometry of the eight source shapes: size from a frame and from scaled
// integers, extents, the largest feather and its fitting, source bounds and
// feather reach.
#include <memory>
#include <typeinfo>

#include <gtest/gtest.h>

#include "symmetry/leaves.h"

namespace quiltora {
namespace {

// Frame (top 10, left 20, bottom 70, right 120): 100 wide, 60 high.
const SelectionFrame kWideFrame{10.0, 20.0, 70.0, 120.0, 0.0};

TEST(ShapeFromFrame, SizeRulePerShape) {
  RectangleSource rectangle;
  rectangle.SetFromFrame(kWideFrame);
  EXPECT_EQ(rectangle.x, 20);
  EXPECT_EQ(rectangle.y, 10);
  EXPECT_EQ(rectangle.width, 100);
  EXPECT_EQ(rectangle.height, 60);

  struct Case {
    TileSymmetry* object;
    int32_t* side;
    int32_t expected;
  };
  HalfSquareSource halfSquare;
  SquareSource square;
  TriangleSource triangle;
  HalfTriangleSource halfTriangle;
  RhombusSource rhombus;
  KiteSource kite;
  const Case cases[] = {
      {&halfSquare, &halfSquare.side, 60},
      {&square, &square.side, 60},
      {&triangle, &triangle.side, 69},          // 60 × 1.1547 = 69.28 < 100
      {&halfTriangle, &halfTriangle.side, 34},  // 60 × 0.5774 = 34.64
      {&rhombus, &rhombus.side, 57},            // 100 × 0.5774 = 57.74 < 60
      {&kite, &kite.side, 69},                  // 60 × 1.1547 = 69.28 < 133.3
  };
  for (const Case& c : cases) {
    c.object->SetFromFrame(kWideFrame);
    EXPECT_EQ(*c.side, c.expected) << typeid(*c.object).name();
    EXPECT_EQ(c.object->x, 20);
    EXPECT_DOUBLE_EQ(c.object->fy, 10.0);
  }
}

// The epsilons let values a rounding step short of a whole number reach it.
TEST(ShapeFromFrame, EpsilonPerShape) {
  const SelectionFrame frame{0.0, 0.0, 40.0 - 0.0005, 40.0 - 0.0005, 0.0};
  SquareSource square;  // 1e-7 does not cover 0.0005
  square.SetFromFrame(frame);
  EXPECT_EQ(square.side, 39);
  TriangleSource triangle;  // side from the width, 0.001 covers it
  triangle.SetFromFrame(SelectionFrame{0.0, 0.0, 100.0, 40.0 - 0.0005, 0.0});
  EXPECT_EQ(triangle.side, 40);
  RhombusSource rhombus;  // 0.01
  rhombus.SetFromFrame(SelectionFrame{0.0, 0.0, 40.0 - 0.009, 200.0, 0.0});
  EXPECT_EQ(rhombus.side, 40);
}

TEST(ShapeFromFrame, ParallelogramKeepsTopLeftVertex) {
  ParallelogramSource right;
  right.SetFromFrame(SelectionFrame{10.0, 20.0, 70.0, 120.0, 0.25});
  EXPECT_EQ(right.height, 60);
  EXPECT_EQ(right.shear, 15);
  EXPECT_EQ(right.width, 85);
  EXPECT_EQ(right.x, 20);

  ParallelogramSource left;
  left.SetFromFrame(SelectionFrame{10.0, 20.0, 70.0, 120.0, -0.25});
  EXPECT_EQ(left.shear, -15);
  EXPECT_EQ(left.width, 85);
  EXPECT_EQ(left.x, 35);  // the top-left vertex lies 15 in from the box
  left.ComputeSourceExtent();
  EXPECT_EQ(left.extentWidth, 100);
  EXPECT_EQ(left.extentHeight, 60);
}

TEST(ShapeScaled, SizeRulePerShape) {
  RectangleSource rectangle;
  rectangle.SetScaled(5, 6, 40, 30, 0, 2.0);
  EXPECT_EQ(rectangle.x, 10);
  EXPECT_EQ(rectangle.y, 12);
  EXPECT_EQ(rectangle.width, 80);
  EXPECT_EQ(rectangle.height, 60);

  SquareSource square;
  square.SetScaled(5, 6, 40, 30, 0, 0.5);
  EXPECT_EQ(square.side, 20);
  RhombusSource rhombus;  // from the height
  rhombus.SetScaled(5, 6, 40, 30, 0, 1.0);
  EXPECT_EQ(rhombus.side, 30);
  KiteSource kite;  // width × 4 / 3
  kite.SetScaled(5, 6, 30, 99, 0, 1.0);
  EXPECT_EQ(kite.side, 40);
}

TEST(ShapeScaled, ParallelogramWidthIsTheBoundingWidth) {
  ParallelogramSource positive;
  positive.SetScaled(10, 10, 50, 20, 10, 1.0);
  EXPECT_EQ(positive.width, 40);
  EXPECT_EQ(positive.shear, 10);
  EXPECT_EQ(positive.x, 10);

  // A negative shear moves x to the top-left vertex and keeps its magnitude.
  ParallelogramSource negative;
  negative.SetScaled(10, 10, 50, 20, -10, 1.0);
  EXPECT_EQ(negative.width, 40);
  EXPECT_EQ(negative.shear, -10);
  EXPECT_EQ(negative.x, 20);
}

TEST(ShapeExtent, PerShape) {
  TriangleSource triangle;
  triangle.side = 40;
  triangle.ComputeSourceExtent();
  EXPECT_EQ(triangle.extentWidth, 40);
  EXPECT_EQ(triangle.extentHeight, 36);  // trunc(34.64) + 2

  HalfTriangleSource halfTriangle;
  halfTriangle.side = 40;
  halfTriangle.ComputeSourceExtent();
  EXPECT_EQ(halfTriangle.extentHeight, 70);  // trunc(69.28) + 1

  RhombusSource rhombus;
  rhombus.side = 40;
  rhombus.ComputeSourceExtent();
  EXPECT_EQ(rhombus.extentWidth, 69);  // trunc(69.28 - 0.5) + 1
  EXPECT_EQ(rhombus.extentHeight, 40);

  KiteSource kite;
  kite.side = 100;
  kite.ComputeSourceExtent();
  EXPECT_EQ(kite.extentWidth, 75);
  EXPECT_EQ(kite.extentHeight, 87);  // trunc(86.60 - 0.5) + 1
}

// Places a shape with its extent in a large image, then sets the feather.
template <class Shape>
void Prepare(Shape* object, int32_t x, int32_t y, int32_t width, int32_t height) {
  object->SetSourceSize(width, height);
  object->x = x;
  object->y = y;
  object->ComputeSourceExtent();
}

TEST(ShapeFeather, LargestFeatherPerShape) {
  RectangleSource rectangle;
  rectangle.width = 100;
  rectangle.height = 60;
  Prepare(&rectangle, 100, 100, 1000, 1000);
  rectangle.SetFeatherPercent(100);
  EXPECT_EQ(rectangle.featherPixels, 29);
  rectangle.SetFeatherPercent(50);
  EXPECT_EQ(rectangle.featherPixels, 14);

  RhombusSource rhombus;  // 19.9999992 is below 20: 19 - 1
  rhombus.side = 40;
  Prepare(&rhombus, 100, 100, 1000, 1000);
  rhombus.SetFeatherPercent(100);
  EXPECT_EQ(rhombus.featherPixels, 18);

  KiteSource kite;  // trunc(86.60254 - 54) - 1
  kite.side = 100;
  Prepare(&kite, 100, 100, 1000, 1000);
  kite.SetFeatherPercent(100);
  EXPECT_EQ(kite.featherPixels, 31);

  HalfSquareSource halfSquare;
  halfSquare.side = 100;
  Prepare(&halfSquare, 100, 100, 1000, 1000);
  halfSquare.SetFeatherPercent(100);
  EXPECT_EQ(halfSquare.featherPixels, 27);
  halfSquare.side = 600;  // trunc(163.7) is capped
  Prepare(&halfSquare, 200, 200, 1000, 1000);
  halfSquare.SetFeatherPercent(100);
  EXPECT_EQ(halfSquare.featherPixels, 127);

  SquareSource square;
  square.side = 41;
  Prepare(&square, 100, 100, 1000, 1000);
  square.SetFeatherPercent(100);
  EXPECT_EQ(square.featherPixels, 19);

  TriangleSource triangle;
  triangle.side = 100;
  triangle.featherPixels = 5;
  triangle.SetFeatherPercent(100);
  EXPECT_EQ(triangle.featherPixels, 0);
}

TEST(ShapeFeather, ParallelogramUsesHalfDistanceBetweenSlants) {
  ParallelogramSource upright;
  upright.width = 40;
  upright.height = 30;
  upright.shear = 0;
  Prepare(&upright, 100, 100, 1000, 1000);
  upright.SetFeatherPercent(100);
  EXPECT_EQ(upright.featherPixels, 15);  // height / 2 is smaller than 20

  // Slope 1: 20 / 1.4140625 (the 16.16 root of 2) = 14.14.
  ParallelogramSource slanted;
  slanted.width = 40;
  slanted.height = 30;
  slanted.shear = -30;
  Prepare(&slanted, 100, 100, 1000, 1000);
  slanted.SetFeatherPercent(100);
  EXPECT_EQ(slanted.featherPixels, 14);
}

TEST(ShapeFeather, FitFeatherAtTheBorders) {
  // 100 × 60 at x = 5: 29 becomes x - 1.
  RectangleSource nearLeft;
  nearLeft.width = 100;
  nearLeft.height = 60;
  Prepare(&nearLeft, 5, 100, 1000, 1000);
  nearLeft.SetFeatherPercent(100);
  EXPECT_EQ(nearLeft.featherPixels, 4);

  // The bottom is compared with the height: a sum equal to it is kept ...
  Wings bottom;
  bottom.extentWidth = 20;
  bottom.extentHeight = 20;
  bottom.SetSourceSize(100, 100);
  bottom.x = 40;
  bottom.y = 74;
  bottom.featherPixels = 6;
  bottom.FitFeather();
  EXPECT_EQ(bottom.featherPixels, 6);
  bottom.y = 75;  // ... one more is lowered to keep off row H - 1.
  bottom.featherPixels = 6;
  bottom.FitFeather();
  EXPECT_EQ(bottom.featherPixels, 4);

  // The right side is compared with width - 1: a sum equal to the width loses one.
  Wings right;
  right.extentWidth = 20;
  right.extentHeight = 20;
  right.SetSourceSize(100, 100);
  right.x = 74;
  right.y = 40;
  right.featherPixels = 6;
  right.FitFeather();
  EXPECT_EQ(right.featherPixels, 5);

  // Top and left keep one pixel clear.
  Wings corner;
  corner.extentWidth = 20;
  corner.extentHeight = 20;
  corner.SetSourceSize(100, 100);
  corner.x = 4;
  corner.y = 3;
  corner.featherPixels = 6;
  corner.FitFeather();
  EXPECT_EQ(corner.featherPixels, 2);
}

// A shape already reaching past the border gets no feather rather than a negative one.
TEST(ShapeFeather, FitFeatherNeverGoesNegative) {
  Wings object;
  object.extentWidth = 20;
  object.extentHeight = 20;
  object.SetSourceSize(100, 100);
  object.x = 85;
  object.y = 40;
  object.featherPixels = 6;
  object.FitFeather();
  EXPECT_EQ(object.featherPixels, 0);
}

TEST(ShapeFeather, ShearedFitComparesBottomWithLastRow) {
  ParallelogramSource object;
  object.width = 20;
  object.height = 20;
  object.shear = 0;
  Prepare(&object, 40, 74, 100, 100);
  object.featherPixels = 6;
  object.FitFeatherSheared();
  EXPECT_EQ(object.featherPixels, 5);

  // A negative shear puts the box's left at x + shear.
  ParallelogramSource leaning;
  leaning.width = 20;
  leaning.height = 20;
  leaning.shear = -8;
  Prepare(&leaning, 12, 40, 100, 100);
  leaning.featherPixels = 6;
  leaning.FitFeatherSheared();
  EXPECT_EQ(leaning.featherPixels, 3);
}

TEST(ShapeBounds, PerShape) {
  Wings rectangle;  // grows by the feather itself
  rectangle.width = 30;
  rectangle.height = 20;
  rectangle.x = 10;
  rectangle.y = 12;
  rectangle.featherPixels = 3;
  rectangle.featherMarginTop = 99;
  Rect16 bounds{};
  rectangle.GetSourceBounds(&bounds);
  EXPECT_EQ(bounds.top, 9);
  EXPECT_EQ(bounds.left, 7);
  EXPECT_EQ(bounds.bottom, 35);
  EXPECT_EQ(bounds.right, 43);

  KiteSource kite;  // the extent grown by the margins
  kite.side = 100;
  kite.x = 10;
  kite.y = 12;
  kite.ComputeSourceExtent();
  kite.featherMarginTop = 1;
  kite.featherMarginLeft = 2;
  kite.featherMarginBottom = 3;
  kite.featherMarginRight = 4;
  kite.GetSourceBounds(&bounds);
  EXPECT_EQ(bounds.top, 11);
  EXPECT_EQ(bounds.left, 8);
  EXPECT_EQ(bounds.bottom, 12 + 87 + 3);
  EXPECT_EQ(bounds.right, 10 + 75 + 4);

  ParallelogramSource parallelogram;  // box from x + shear to x + width
  parallelogram.width = 30;
  parallelogram.height = 20;
  parallelogram.shear = -6;
  parallelogram.x = 16;
  parallelogram.y = 12;
  parallelogram.featherMarginTop = 2;
  parallelogram.featherMarginLeft = 2;
  parallelogram.featherMarginBottom = 2;
  parallelogram.featherMarginRight = 2;
  parallelogram.GetSourceBounds(&bounds);
  EXPECT_EQ(bounds.top, 10);
  EXPECT_EQ(bounds.left, 8);
  EXPECT_EQ(bounds.bottom, 34);
  EXPECT_EQ(bounds.right, 48);
}

TEST(ShapeReach, PerShape) {
  struct Case {
    std::unique_ptr<TileSymmetry> object;
    int32_t reachX, reachY;
  };
  Case cases[] = {
      {std::make_unique<Wings>(), 5, 5},     {std::make_unique<Pinwheel>(), 5, 5},
      {std::make_unique<CrabClaws>(), 7, 7}, {std::make_unique<StormAtSea>(), 9, 9},
      {std::make_unique<Whirlpool>(), 11, 11},
      {std::make_unique<WindingWays>(), -1, -1},  // left unchanged
      {std::make_unique<Turnstile>(), -1, -1},
  };
  for (Case& c : cases) {
    TileSymmetry& object = *c.object;
    object.featherPixels = 5;
    int32_t x = -1;
    int32_t y = -1;
    object.GetFeatherReach(&x, &y);
    EXPECT_EQ(x, c.reachX) << typeid(object).name();
    EXPECT_EQ(y, c.reachY) << typeid(object).name();
  }
}

TEST(ShapeReach, ShearedReachInFixedPoint) {
  GoldBrick upright;  // shear 0, f 3: a = 4, b = 1
  upright.width = 16;
  upright.height = 12;
  upright.shear = 0;
  upright.featherPixels = 3;
  int32_t x = 0;
  int32_t y = 0;
  upright.GetFeatherReach(&x, &y);
  EXPECT_EQ(x, 5);
  EXPECT_EQ(y, 4);

  // Slope 12 / 12 is 65532 / 65536 through the truncated reciprocal, so
  // Q = 3 × 65532 stays below 3.0; P = 3 × 1.4140625 (the 16.16 root).
  GoldBrick slanted;
  slanted.width = 16;
  slanted.height = 12;
  slanted.shear = 12;
  int32_t a = 0;
  int32_t b = 0;
  double fa = 0.0;
  double fb = 0.0;
  slanted.ShearedFeatherReach(3, &a, &b, &fa, &fb);
  EXPECT_DOUBLE_EQ(fa, 4.2421875);
  EXPECT_DOUBLE_EQ(fb, 196596 / 65536.0);
  EXPECT_EQ(a, 5);
  EXPECT_EQ(b, 3);
}

}  // namespace
}  // namespace quiltora
