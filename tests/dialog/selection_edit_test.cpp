// Editing the selection in the source pane: moving inside the bounds, the
// handles of each shape (the parallelogram's two, with and without CTRL), and
// the feather border fitted to the picture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog/selection_edit.h"
#include "symmetry/outline.h"

namespace quiltora {
namespace {

struct Outline {
  IntPoint v[kOutlineMaxVertices] = {};
  int32_t handles[kOutlineMaxVertices] = {};
  int32_t count = 0;
};

Outline Build(int32_t symmetry, int32_t x, int32_t y, int32_t width, int32_t height, int32_t shear) {
  Outline o;
  BuildSelectionOutline(symmetry, x, y, width, height, shear, o.v, o.handles, &o.count, IntRect{0, 0, 1000, 1000});
  return o;
}

std::string Text(const Outline& o) {
  std::string s;
  for (int32_t i = 0; i < o.count; ++i) s += "(" + std::to_string(o.v[i].x) + "," + std::to_string(o.v[i].y) + ")";
  return s;
}

std::string Text(const std::vector<IntPoint>& corners) {
  Outline o;
  for (const IntPoint& p : corners) o.v[o.count++] = p;
  if (!corners.empty()) o.v[o.count++] = corners.front();
  return Text(o);
}

TEST(MoveSelection, DeltaShortenedToStayInBounds) {
  const IntRect bounds{10, 10, 150, 120};
  struct Case {
    IntPoint delta, moved;
  };
  // A 40 × 30 rectangle at (50, 50): bounding box (50, 50, 90, 80).
  const Case cases[] = {
      {{5, -3}, {5, -3}},
      {{100, 0}, {60, 0}},     // last column stops at bounds.right - 1
      {{-100, 0}, {-40, 0}},   // first column at bounds.left
      {{0, -100}, {0, -40}},
      {{0, 100}, {0, 40}},     // last row at bounds.bottom - 1
      {{200, -200}, {60, -40}},
  };
  for (const Case& c : cases) {
    Outline o = Build(3, 50, 50, 40, 30, 0);
    IntPoint delta = c.delta;
    MoveSelection(&delta, o.v, o.count, bounds);
    EXPECT_EQ(delta.x, c.moved.x) << c.delta.x << ", " << c.delta.y;
    EXPECT_EQ(delta.y, c.moved.y) << c.delta.x << ", " << c.delta.y;
    EXPECT_EQ(Text(o), Text(Build(3, 50 + c.moved.x, 50 + c.moved.y, 40, 30, 0)));
  }
}

// Gold Brick 60 × 40 at (50, 50) with shear 20: TL (50, 50), BL (70, 89),
// BR (109, 89), TR (89, 50); edge 39, shear 20.
TEST(ResizeSelection, GoldBrickTopRightHandleChangesTheEdgeOnly) {
  struct Case {
    const char* what;
    int32_t shear;
    int32_t dx;
    int32_t boundsRight;
    std::vector<IntPoint> corners;
  };
  const Case cases[] = {
      {"longer", 20, 10, 200, {{50, 50}, {70, 89}, {119, 89}, {99, 50}}},
      {"stops at the shear's size", 20, -25, 200, {{50, 50}, {70, 89}, {90, 89}, {70, 50}}},
      {"never below 10, even below the shear", 20, -30, 200, {{50, 50}, {70, 89}, {80, 89}, {60, 50}}},
      {"bottom corner held at the bounds", 20, 20, 120, {{50, 50}, {70, 89}, {120, 89}, {100, 50}}},
      {"top corner held at the bounds", -20, 20, 120, {{70, 50}, {50, 89}, {100, 89}, {120, 50}}},
  };
  for (const Case& c : cases) {
    Outline o = Build(1, 50, 50, 60, 40, c.shear);
    for (bool control : {false, true}) {
      Outline edited = o;
      ResizeSelection(1, IntPoint{c.dx, 7}, edited.v, edited.handles, &edited.count, 3,
                      IntRect{0, 0, c.boundsRight, 200}, control);
      EXPECT_EQ(Text(edited), Text(c.corners)) << c.what << (control ? " with CTRL" : "");
    }
  }
}

TEST(ResizeSelection, GoldBrickBottomLeftHandleShearsAndHeightens) {
  struct Case {
    const char* what;
    IntPoint delta;
    IntRect bounds;
    std::vector<IntPoint> corners;
  };
  const IntRect wide{0, 0, 200, 200};
  const Case cases[] = {
      {"follows the pointer", {10, 10}, wide, {{50, 50}, {80, 99}, {119, 99}, {89, 50}}},
      {"shear never beyond the edge", {30, 0}, wide, {{50, 50}, {89, 89}, {128, 89}, {89, 50}}},
      {"at least 10 high", {0, -35}, wide, {{50, 50}, {70, 60}, {109, 60}, {89, 50}}},
      {"not below the bounds", {0, 200}, wide, {{50, 50}, {70, 200}, {109, 200}, {89, 50}}},
      {"left edge then shear limit", {-100, 0}, wide, {{50, 50}, {11, 89}, {50, 89}, {89, 50}}},
      {"right edge keeps the length", {15, 0}, {0, 0, 120, 200}, {{50, 50}, {81, 89}, {120, 89}, {89, 50}}},
  };
  for (const Case& c : cases) {
    Outline o = Build(1, 50, 50, 60, 40, 20);
    ResizeSelection(1, c.delta, o.v, o.handles, &o.count, 1, c.bounds, false);
    EXPECT_EQ(Text(o), Text(c.corners)) << c.what;
  }
}

TEST(ResizeSelection, GoldBrickBottomLeftWithControlBecomesRectangle) {
  Outline o = Build(1, 50, 50, 60, 40, 20);
  ResizeSelection(1, IntPoint{-10, 5}, o.v, o.handles, &o.count, 1, IntRect{0, 0, 200, 200}, true);
  // The box (50, 50, 110, 90) with its left and bottom moved, rebuilt unsheared.
  EXPECT_EQ(Text(o), Text(std::vector<IntPoint>{{40, 50}, {40, 94}, {109, 94}, {109, 50}}));
}

TEST(ResizeSelection, OneHandleShapesGrowAtRightAndBottom) {
  struct Case {
    const char* what;
    int32_t symmetry;
    IntPoint delta;
    int32_t boundsRight;
    Outline expected;
  };
  const Case cases[] = {
      {"rectangle follows both", 3, {10, 5}, 200, Build(3, 50, 50, 50, 35, 0)},
      {"rectangle clipped by the bounds", 3, {20, 0}, 95, Build(3, 50, 50, 45, 30, 0)},
      {"square follows the width", 8, {10, 40}, 200, Build(8, 50, 50, 50, 50, 0)},
      {"triangle: straight down changes nothing", 14, {0, 10}, 200, Build(14, 50, 50, 40, 30, 0)},
      {"triangle: right grows it both ways", 14, {10, 0}, 200, Build(14, 50, 50, 50, 30, 0)},
  };
  for (const Case& c : cases) {
    Outline o = Build(c.symmetry, 50, 50, 40, 30, 0);
    const int32_t handle = o.handles[0];
    ResizeSelection(c.symmetry, c.delta, o.v, o.handles, &o.count, handle, IntRect{0, 0, c.boundsRight, 200}, false);
    EXPECT_EQ(Text(o), Text(c.expected)) << c.what;
  }
  // Straight down on the triangle: the picture of it, not just equal to a rebuild.
  Outline triangle = Build(14, 50, 50, 40, 30, 0);
  EXPECT_EQ(Text(triangle), Text(std::vector<IntPoint>{{50, 50}, {69, 83}, {89, 50}}));
}

TEST(FitFeatherToImage, LowersToTheRoomLeftAndGivesThePercent) {
  const IntRect image{0, 0, 200, 200};
  struct Case {
    const char* what;
    IntRect box;
    int32_t feather;
    int32_t percent;  // -1: unchanged
    int32_t fitted;
  };
  // A 40 × 30 rectangle's largest feather is 14.
  const Case cases[] = {
      {"fits", {50, 50, 90, 80}, 10, -1, 10},
      {"left", {5, 50, 45, 80}, 10, 35, 5},
      {"right", {155, 50, 195, 80}, 10, 35, 5},
      {"top", {50, 3, 90, 33}, 10, 21, 3},
      {"bottom", {50, 166, 90, 196}, 10, 28, 4},
      {"the tightest side wins", {2, 197 - 30, 42, 197}, 10, 14, 2},
      {"touching the border exactly", {0, 50, 40, 80}, 4, 0, 0},
      {"past the border leaves no room, never less", {50, 50, 201, 80}, 4, 0, 0},
  };
  for (const Case& c : cases) {
    int32_t feather = c.feather;
    EXPECT_EQ(FitFeatherToImage(3, &feather, 0, c.box, image), c.percent) << c.what;
    EXPECT_EQ(feather, c.fitted) << c.what;
  }
}

TEST(FeatherOutline, GrownWithMitredCornersAndClipped) {
  struct Case {
    const char* what;
    int32_t symmetry;
    Outline selection;
    int32_t feather;
    IntRect image;
    int32_t result, pixels, featherAfter;
    std::vector<IntPoint> points;
    IntRect clip;
  };
  Outline rectangle;  // (0, 0), (0, 59), (99, 59), (99, 0)
  BuildSelectionOutline(3, 0, 0, 100, 60, 0, rectangle.v, rectangle.handles, &rectangle.count,
                        IntRect{-50, -50, 500, 500});
  Outline halfSquare;  // (0, 0), (0, 39), (39, 39)
  BuildSelectionOutline(2, 0, 0, 40, 40, 0, halfSquare.v, halfSquare.handles, &halfSquare.count,
                        IntRect{-50, -50, 500, 500});
  const IntRect roomy{-100, -100, 300, 300};
  const Case cases[] = {
      // 18 % of the largest feather 29 is 5 pixels.
      {"rectangle", 3, rectangle, 18, roomy, 1, 5, 18, {{-5, 64}, {104, 64}, {104, -5}, {-5, -5}}, {-5, -5, 105, 65}},
      // Only 3 pixels of room on the left: 3 pixels, 10 %.
      {"lowered", 3, rectangle, 18, {-3, -100, 300, 300}, 1, 3, 10, {{-3, 62}, {102, 62}, {102, -3}, {-3, -3}},
       {-3, -3, 103, 63}},
      // The hypotenuse moves out by 4 along its normal: x - y = 4√2.
      {"slanted edge", 2, halfSquare, 35, roomy, 1, 4, 35, {{-4, 43}, {49, 43}, {-4, -10}}, {-4, -4, 44, 44}},
      {"no feather", 3, rectangle, 0, roomy, 0, 0, 0, {}, {}},
      {"symmetry without feather", 7, rectangle, 50, roomy, 0, 0, 50, {}, {}},
  };
  for (const Case& c : cases) {
    FeatherOutline outline;
    int32_t feather = c.feather;
    int32_t pixels = -7;
    EXPECT_EQ(BuildFeatherOutline(c.symmetry, c.selection.v, c.selection.count, &outline, 0, &feather, &pixels,
                                  c.image),
              c.result)
        << c.what;
    EXPECT_EQ(pixels, c.pixels) << c.what;
    EXPECT_EQ(feather, c.featherAfter) << c.what;
    if (c.result == 0) {
      EXPECT_EQ(outline.count, 0) << c.what;
      continue;
    }
    Outline grown;
    for (int32_t i = 0; i < outline.count; ++i) grown.v[i] = outline.points[i];
    grown.count = outline.count;
    EXPECT_EQ(Text(grown), Text(c.points)) << c.what;
    EXPECT_EQ(outline.clip.left, c.clip.left) << c.what;
    EXPECT_EQ(outline.clip.top, c.clip.top) << c.what;
    EXPECT_EQ(outline.clip.right, c.clip.right) << c.what;
    EXPECT_EQ(outline.clip.bottom, c.clip.bottom) << c.what;
  }
}

TEST(FeatherOutline, ParallelEdgesFallBackToTheSelectionCorner) {
  // A degenerate outline whose first two edges run on one line.
  const IntPoint line[] = {{0, 0}, {0, 20}, {0, 40}, {40, 40}, {0, 0}};
  FeatherOutline outline;
  int32_t feather = 50, pixels = 0;
  ASSERT_EQ(BuildFeatherOutline(3, line, 5, &outline, 0, &feather, &pixels, IntRect{-100, -100, 300, 300}), 1);
  EXPECT_EQ(outline.points[0].x, 0);
  EXPECT_EQ(outline.points[0].y, 20);
  outline.Offset(IntPoint{3, -2});
  EXPECT_EQ(outline.points[0].x, 3);
  EXPECT_EQ(outline.points[4].y, outline.points[0].y);
  EXPECT_EQ(outline.clip.left, -pixels + 3);
}

}  // namespace
}  // namespace quiltora
