#include "dialog/area_pane.h"

#include <gtest/gtest.h>

namespace quiltora {
namespace {

// The pane of the Select-an-Area dialog: 120 dialog units square, 180 × 195
// pixels with base units 6 × 13.
constexpr int32_t kPaneWidth = 180, kPaneHeight = 195;

void ExpectRect(const IntRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom, const char* what) {
  EXPECT_EQ(r.left, left) << what;
  EXPECT_EQ(r.top, top) << what;
  EXPECT_EQ(r.right, right) << what;
  EXPECT_EQ(r.bottom, bottom) << what;
}

TEST(AreaPane, PictureFitsThePaneByItsLongerSide) {
  AreaPaneModel pane;
  ASSERT_TRUE(pane.Open(kPaneWidth, kPaneHeight, 300, 200, IntRect{50, 25, 250, 175}));
  EXPECT_DOUBLE_EQ(pane.scaleX(), 0.6);
  ExpectRect(pane.place(), 0, 37, 180, 157, "wide picture");
  ExpectRect(pane.frame(), 30, 52, 150, 142, "its area");

  ASSERT_TRUE(pane.Open(kPaneWidth, kPaneHeight, 200, 300, IntRect{0, 0, 200, 150}));
  ExpectRect(pane.place(), 25, 0, 155, 195, "tall picture");
  ExpectRect(pane.frame(), 25, 0, 155, 98, "its area");

  // A square picture by its height would be 195 wide in a 180-wide pane: it
  // is fitted by its width instead, and all of it shows.
  ASSERT_TRUE(pane.Open(kPaneWidth, kPaneHeight, 400, 400, IntRect{100, 100, 300, 300}));
  ExpectRect(pane.place(), 0, 7, 180, 187, "square picture");

  EXPECT_FALSE(pane.Open(kPaneWidth, kPaneHeight, 0, 0, IntRect{}));
  EXPECT_FALSE(pane.Press(IntPoint{90, 90}));
}

TEST(AreaPane, TheAreaMovesOnlyInsideThePictureAndKeepsItsSize) {
  AreaPaneModel pane;
  ASSERT_TRUE(pane.Open(kPaneWidth, kPaneHeight, 300, 200, IntRect{50, 25, 250, 175}));
  EXPECT_FALSE(pane.Press(IntPoint{10, 60}));  // outside the frame: no drag
  EXPECT_FALSE(pane.Move(IntPoint{40, 80}));
  IntRect area{};
  EXPECT_FALSE(pane.Release(&area));

  ASSERT_TRUE(pane.Press(IntPoint{90, 90}));
  EXPECT_TRUE(pane.Move(IntPoint{500, -300}));
  ExpectRect(pane.frame(), 60, 37, 180, 127, "pushed to the top right");
  ASSERT_TRUE(pane.Release(&area));
  ExpectRect(area, 100, 0, 300, 150, "top right in picture pixels");

  ASSERT_TRUE(pane.Press(IntPoint{100, 60}));
  pane.Move(IntPoint{-400, 400});
  ASSERT_TRUE(pane.Release(&area));
  ExpectRect(area, 0, 50, 200, 200, "bottom left");
}

// Whatever the scale, an area brought back from pane pixels keeps the size it
// had and stays inside the picture.
TEST(AreaPane, AreasComeBackWholeAndInsideAtAwkwardScales) {
  struct Case {
    int32_t width, height;
    IntRect area;
  } cases[] = {
      {301, 203, {50, 26, 201, 127}},
      {997, 331, {400, 100, 703, 301}},
      {233, 977, {3, 500, 231, 729}},
      {451, 450, {1, 1, 333, 333}},
  };
  const IntPoint moves[] = {{7, 3}, {-13, 29}, {400, 400}, {-3, -1}, {-500, -500}, {1, 1}, {250, -90}};
  for (const Case& c : cases) {
    AreaPaneModel pane;
    ASSERT_TRUE(pane.Open(kPaneWidth, kPaneHeight, c.width, c.height, c.area));
    IntPoint at{(pane.frame().left + pane.frame().right) / 2, (pane.frame().top + pane.frame().bottom) / 2};
    for (const IntPoint& move : moves) {
      ASSERT_TRUE(pane.Press(at)) << c.width;
      at = IntPoint{at.x + move.x, at.y + move.y};
      pane.Move(at);
      IntRect area{};
      ASSERT_TRUE(pane.Release(&area));
      EXPECT_EQ(area.right - area.left, c.area.right - c.area.left) << c.width;
      EXPECT_EQ(area.bottom - area.top, c.area.bottom - c.area.top) << c.width;
      EXPECT_GE(area.left, 0) << c.width;
      EXPECT_GE(area.top, 0) << c.width;
      EXPECT_LE(area.right, c.width) << c.width;
      EXPECT_LE(area.bottom, c.height) << c.width;
      // The next press lands inside the frame where it now is.
      at = IntPoint{(pane.frame().left + pane.frame().right) / 2, (pane.frame().top + pane.frame().bottom) / 2};
    }
  }
}

}  // namespace
}  // namespace quiltora
