#include "dialog/symmetry_picker.h"

#include <gtest/gtest.h>

#include "dialog/main_layout.h"

namespace quiltora {
namespace {

// The system font's base units under Wine and most Windows set-ups.
constexpr int32_t kBaseX = 6, kBaseY = 13;

IntPoint Centre(const IntRect& r) { return IntPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

TEST(SymmetryPicker, PicturesLieSixToARowFromTheTop) {
  struct Case {
    int32_t symmetry;
    IntRect units;
    IntRect pixels;
  } cases[] = {
      {1, {0, 10, 50, 60}, {0, 16, 75, 98}},
      {6, {250, 10, 300, 60}, {375, 16, 450, 98}},
      {8, {50, 60, 100, 110}, {75, 98, 150, 179}},
      {13, {0, 110, 50, 160}, {0, 179, 75, 260}},
      {17, {200, 110, 250, 160}, {300, 179, 375, 260}},
  };
  for (const Case& c : cases) {
    const int32_t id = PictureIdOf(c.symmetry);
    EXPECT_EQ(SymmetryOfPicture(id), c.symmetry);
    const IntRect units = PictureUnits(id);
    EXPECT_EQ(units.left, c.units.left) << c.symmetry;
    EXPECT_EQ(units.top, c.units.top) << c.symmetry;
    EXPECT_EQ(units.right, c.units.right) << c.symmetry;
    EXPECT_EQ(units.bottom, c.units.bottom) << c.symmetry;
    const IntRect pixels = UnitsToPixels(units, kBaseX, kBaseY);
    EXPECT_EQ(pixels.left, c.pixels.left) << c.symmetry;
    EXPECT_EQ(pixels.top, c.pixels.top) << c.symmetry;
    EXPECT_EQ(pixels.right, c.pixels.right) << c.symmetry;
    EXPECT_EQ(pixels.bottom, c.pixels.bottom) << c.symmetry;
  }
}

TEST(SymmetryPicker, HitTestFindsEachPictureAndNothingElse) {
  for (int32_t id = kFirstPictureId; id <= kLastPictureId; ++id) {
    const IntRect r = UnitsToPixels(PictureUnits(id), kBaseX, kBaseY);
    EXPECT_EQ(PictureAt(Centre(r), kBaseX, kBaseY), id);
    EXPECT_EQ(PictureAt(IntPoint{r.left, r.top}, kBaseX, kBaseY), id);
    // Right and bottom edges belong to the next picture, or to none.
    EXPECT_NE(PictureAt(IntPoint{r.right, r.top}, kBaseX, kBaseY), id);
    EXPECT_NE(PictureAt(IntPoint{r.left, r.bottom}, kBaseX, kBaseY), id);
  }
  const IntPoint nothing[] = {{10, 5},      // above the grid
                              {400, 200},   // the empty sixth place of the third row
                              {290, 300}};  // beside the buttons
  for (const IntPoint& p : nothing) EXPECT_EQ(PictureAt(p, kBaseX, kBaseY), 0) << p.x << "," << p.y;
}

TEST(SymmetryPicker, IconCopyAndFrameInAPicture) {
  // 50 dialog units square with base units 6 × 13: 75 × 81 pixels.
  PictureDrawing d = LayOutPicture(75, 81, kIconWidth, kIconHeight);
  EXPECT_EQ(d.iconAt.x, 2);
  EXPECT_EQ(d.iconAt.y, 3);
  EXPECT_EQ(d.frame.left, 2);
  EXPECT_EQ(d.frame.top, 4);
  EXPECT_EQ(d.frame.right, 76);
  EXPECT_EQ(d.frame.bottom, 74);
  d = LayOutPicture(80, 75, kIconWidth, kIconHeight);
  EXPECT_EQ(d.iconAt.x, 0);
  EXPECT_EQ(d.frame.right - d.frame.left, kIconShownWidth);
  EXPECT_EQ(d.frame.bottom - d.frame.top, kIconHeight - 5);
}

TEST(SymmetryPicker, ClickChoosesAndOkGivesTheSymmetry) {
  SymmetryPickerModel picker(8);
  EXPECT_EQ(picker.chosen(), 361);
  const Repaint repaint = picker.Press(370, true);
  EXPECT_EQ(repaint.first, 361);
  EXPECT_EQ(repaint.second, 370);
  picker.Release();
  EXPECT_EQ(picker.Accept(), 17);
  // A press that misses the picture's client area chooses nothing.
  EXPECT_EQ(picker.Press(354, false).first, 0);
  EXPECT_EQ(picker.chosen(), 370);
  // A block with no valid symmetry opens on the default.
  EXPECT_EQ(SymmetryPickerModel(0).chosen(), 361);
  EXPECT_EQ(SymmetryPickerModel(18).chosen(), 361);
}

TEST(SymmetryPicker, DraggingWithTheButtonHeldMovesTheChoice) {
  SymmetryPickerModel picker(1);
  picker.Press(354, true);
  Repaint r = picker.Move(355, true, true);
  EXPECT_EQ(r.first, 354);
  EXPECT_EQ(r.second, 355);
  EXPECT_EQ(picker.Move(355, true, true).first, 0);  // no repaint on the chosen one
  picker.Move(361, true, true);
  EXPECT_EQ(picker.chosen(), 361);
  picker.Move(362, false, true);  // outside the client area
  EXPECT_EQ(picker.chosen(), 361);
  picker.Release();
  picker.Move(366, true, false);
  EXPECT_EQ(picker.chosen(), 361);
  EXPECT_EQ(picker.Accept(), 8);
}

// A release outside every picture is never seen by them; the button state of
// the next move ends the press, so passing over the grid chooses nothing.
TEST(SymmetryPicker, ReleaseOutsideThePicturesEndsThePress) {
  SymmetryPickerModel picker(3);
  picker.Press(356, true);
  picker.Move(357, true, true);
  EXPECT_TRUE(picker.pressed());
  picker.Move(368, true, false);
  EXPECT_FALSE(picker.pressed());
  picker.Move(369, true, true);  // the button went down again outside the pictures
  EXPECT_EQ(picker.chosen(), 357);
}

}  // namespace
}  // namespace quiltora
