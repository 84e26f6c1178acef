// The selection outline of the source pane: vertices and handles per shape,
// the limit at the clip's bottom, hit testing and the pane's feather.
#include <vector>

#include <gtest/gtest.h>

#include "symmetry/outline.h"

namespace quiltora {
namespace {

constexpr int32_t kX = 20;
constexpr int32_t kY = 30;
const IntRect kLargeClip{0, 0, 1000, 1000};

struct Outline {
  IntPoint vertices[kOutlineMaxVertices] = {};
  int32_t handles[kOutlineMaxVertices] = {};
  int32_t count = 0;
};

struct OutlineCase {
  int32_t symmetry;
  int32_t shear;
  std::vector<IntPoint> corners;  // relative to (kX, kY), before the closing repeat
  int32_t handle;
};

bool operator==(IntPoint a, IntPoint b) { return a.x == b.x && a.y == b.y; }

// Width 100 and height 60 inside the clip: W' = 99, H' = 59.
TEST(SelectionOutline, VerticesPerShape) {
  const OutlineCase cases[] = {
      {14, 0, {{0, 0}, {49, 85}, {99, 0}}, 2},
      {13, 0, {{0, 0}, {33, 57}, {99, 57}, {66, 0}}, 3},
      {15, 0, {{0, 0}, {0, 114}, {66, 114}, {99, 57}}, 3},
      {16, 0, {{0, 0}, {0, 114}, {66, 114}, {99, 57}}, 3},
      {17, 0, {{0, 0}, {0, 171}, {99, 171}}, 2},
      {3, 0, {{0, 0}, {0, 59}, {99, 59}, {99, 0}}, 2},
      {12, 0, {{0, 0}, {0, 59}, {99, 59}, {99, 0}}, 2},
      // One size: the height follows from the width, not from the rectangle.
      {8, 0, {{0, 0}, {0, 99}, {99, 99}, {99, 0}}, 2},
      {10, 0, {{0, 0}, {0, 99}, {99, 99}}, 2},
      {1, 12, {{0, 0}, {12, 59}, {99, 59}, {87, 0}}, 1},
      {1, -12, {{12, 0}, {0, 59}, {87, 59}, {99, 0}}, 1},
  };
  for (const OutlineCase& c : cases) {
    Outline outline;
    ASSERT_EQ(BuildSelectionOutline(c.symmetry, kX, kY, 100, 60, c.shear, outline.vertices,
                                    outline.handles, &outline.count, kLargeClip),
              1);
    const int32_t corners = static_cast<int32_t>(c.corners.size());
    ASSERT_EQ(outline.count, corners + 1) << "symmetry " << c.symmetry;
    for (int32_t i = 0; i < corners; ++i) {
      const IntPoint expected{kX + c.corners[i].x, kY + c.corners[i].y};
      EXPECT_TRUE(outline.vertices[i] == expected)
          << "symmetry " << c.symmetry << " vertex " << i << ": " << outline.vertices[i].x
          << ", " << outline.vertices[i].y;
    }
    EXPECT_TRUE(outline.vertices[corners] == outline.vertices[0]);
    EXPECT_EQ(outline.handles[0], c.handle);
    if (c.symmetry == 1) {
      EXPECT_EQ(outline.handles[1], 3);
      EXPECT_EQ(outline.handles[2], -1);
    } else {
      EXPECT_EQ(outline.handles[1], -1);
    }
  }
}

TEST(SelectionOutline, LimitedAtClipBottom) {
  const IntRect clip{0, 0, 400, 80};
  Outline halfSquare;  // 99 would reach row 129: both legs become 80 - 30 - 1
  BuildSelectionOutline(2, kX, kY, 100, 40, 0, halfSquare.vertices, halfSquare.handles,
                        &halfSquare.count, clip);
  EXPECT_TRUE(halfSquare.vertices[1] == (IntPoint{kX, kY + 49}));
  EXPECT_TRUE(halfSquare.vertices[2] == (IntPoint{kX + 49, kY + 49}));

  Outline triangle;  // u = 49, v = trunc(49 / 0.8660254) = 56
  BuildSelectionOutline(14, kX, kY, 100, 40, 0, triangle.vertices, triangle.handles,
                        &triangle.count, clip);
  EXPECT_TRUE(triangle.vertices[1] == (IntPoint{kX + 28, kY + 49}));
  EXPECT_TRUE(triangle.vertices[2] == (IntPoint{kX + 56, kY}));

  Outline rhombus;  // u = 49, v = trunc(49 / 0.5773503 + 0.5) = 85, b = 57
  BuildSelectionOutline(13, kX, kY, 100, 40, 0, rhombus.vertices, rhombus.handles, &rhombus.count,
                        clip);
  EXPECT_TRUE(rhombus.vertices[1] == (IntPoint{kX + 28, kY + 49}));
  EXPECT_TRUE(rhombus.vertices[2] == (IntPoint{kX + 85, kY + 49}));
  EXPECT_TRUE(rhombus.vertices[3] == (IntPoint{kX + 57, kY}));

  // A shape ending one row above the clip's bottom is not limited.
  Outline fits;
  BuildSelectionOutline(8, kX, kY, 50, 10, 0, fits.vertices, fits.handles, &fits.count,
                        IntRect{0, 0, 400, kY + 50});
  EXPECT_TRUE(fits.vertices[2] == (IntPoint{kX + 49, kY + 49}));
}

TEST(SelectionOutline, ClipsAndRaisesSmallRectangles) {
  Outline clipped;  // the rectangle is cut to the clip's left and top
  BuildSelectionOutline(3, -10, 5, 60, 40, 0, clipped.vertices, clipped.handles, &clipped.count,
                        IntRect{0, 10, 200, 200});
  EXPECT_TRUE(clipped.vertices[0] == (IntPoint{0, 10}));
  EXPECT_TRUE(clipped.vertices[2] == (IntPoint{49, 44}));

  Outline small;  // 4 × 3 becomes 10 × 10
  BuildSelectionOutline(3, kX, kY, 4, 3, 0, small.vertices, small.handles, &small.count,
                        kLargeClip);
  EXPECT_TRUE(small.vertices[2] == (IntPoint{kX + 9, kY + 9}));
}

TEST(SelectionOutline, UnknownSymmetryWritesNothing) {
  for (int32_t symmetry : {0, 18}) {
    Outline outline;
    outline.vertices[0] = IntPoint{7, 7};
    outline.handles[0] = 4;
    outline.count = 3;
    EXPECT_EQ(BuildSelectionOutline(symmetry, kX, kY, 100, 60, 0, outline.vertices,
                                    outline.handles, &outline.count, kLargeClip),
              0);
    EXPECT_TRUE(outline.vertices[0] == (IntPoint{7, 7}));
    EXPECT_EQ(outline.handles[0], 4);
    EXPECT_EQ(outline.count, 3);
  }
}

TEST(SelectionHitTest, HandleSquareAndInside) {
  Outline outline;
  BuildSelectionOutline(3, kX, kY, 100, 60, 0, outline.vertices, outline.handles, &outline.count,
                        kLargeClip);
  const IntPoint handle = outline.vertices[2];  // bottom-right corner
  struct Case {
    IntPoint point;
    int32_t expected;
  };
  const Case cases[] = {
      {{handle.x - 4, handle.y - 4}, 2},  // the square's first pixel
      {{handle.x + 3, handle.y + 3}, 2},  // its last
      {{handle.x + 4, handle.y}, kHitNothing},
      {{handle.x, handle.y + 4}, kHitNothing},
      {{handle.x - 5, handle.y - 5}, kHitInside},
      {{kX + 50, kY + 30}, kHitInside},
      {{kX - 1, kY + 30}, kHitNothing},
      {{kX + 50, kY + 100}, kHitNothing},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HitTestSelection(c.point, outline.vertices, outline.handles, outline.count),
              c.expected)
        << c.point.x << ", " << c.point.y;
  }
}

TEST(SelectionHitTest, EvenOddInsideTriangle) {
  Outline outline;
  BuildSelectionOutline(14, kX, kY, 100, 60, 0, outline.vertices, outline.handles, &outline.count,
                        kLargeClip);
  EXPECT_EQ(HitTestSelection(IntPoint{kX + 49, kY + 40}, outline.vertices, outline.handles,
                             outline.count),
            kHitInside);
  // Beside the apex, inside the bounding box but outside the triangle.
  EXPECT_EQ(HitTestSelection(IntPoint{kX + 10, kY + 70}, outline.vertices, outline.handles,
                             outline.count),
            kHitNothing);
}

TEST(SelectionBoundsTest, BoundingRectangleIsExclusive) {
  Outline outline;
  BuildSelectionOutline(14, kX, kY, 100, 60, 0, outline.vertices, outline.handles, &outline.count,
                        kLargeClip);
  IntRect bounds{};
  SelectionBounds(outline.vertices, outline.count, &bounds);
  EXPECT_EQ(bounds.left, kX);
  EXPECT_EQ(bounds.top, kY);
  EXPECT_EQ(bounds.right, kX + 100);
  EXPECT_EQ(bounds.bottom, kY + 86);
  SelectionBounds(outline.vertices, 0, &bounds);
  EXPECT_EQ(bounds.left | bounds.top | bounds.right | bounds.bottom, 0);
}

struct PaneFeatherCase {
  int32_t symmetry, percent, width, height, shear;
  int32_t expected;
};

TEST(PaneFeather, PixelsForPercent) {
  const PaneFeatherCase cases[] = {
      {7, 50, 100, 100, 0, -1},     // takes no feather
      {10, 50, 100, 100, 0, -1},
      {14, 50, 100, 100, 0, -1},
      {17, 50, 100, 100, 0, -1},
      {19, 50, 100, 100, 0, -1},
      {3, 50, 100, 60, 0, 14},      // trunc(50 × 29.0 / 100.0)
      {3, 100, 100, 60, 0, 29},
      {2, 100, 100, 100, 0, 29},    // 29.28932
      {8, 100, 100, 70, 0, 49},     // the width alone
      {13, 100, 40, 40, 0, 18},     // 19.9999992 - 1
      {15, 100, 75, 90, 0, 30},     // s = 100: 86.60 - 54.90 - 1
      {1, 100, 40, 30, 0, 15},      // height / 2 below the half distance 20
      {1, 100, 50, 60, 30, 22},     // 25 / 1.118 below height / 2
  };
  for (const PaneFeatherCase& c : cases) {
    EXPECT_EQ(FeatherPixelsFor(c.symmetry, c.percent, c.width, c.height, c.shear), c.expected)
        << "symmetry " << c.symmetry;
  }
  // Small boxes give negative values, taken as their magnitude.
  EXPECT_DOUBLE_EQ(MaxFeather(8, 1, 1, 0), 0.5);
}

}  // namespace
}  // namespace quiltora
