#include "controls/button_model.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace quiltora {
namespace {

// Paints fills into a character grid, one letter per colour ('.' unpainted):
// F face, S shadow, H highlight, T text, K frame.
std::vector<std::string> Paint(const std::vector<ColourFill>& fills, int32_t width, int32_t height) {
  static const std::map<ButtonColour, char> kLetters = {{ButtonColour::Face, 'F'},
                                                        {ButtonColour::Shadow, 'S'},
                                                        {ButtonColour::Highlight, 'H'},
                                                        {ButtonColour::Text, 'T'},
                                                        {ButtonColour::Frame, 'K'}};
  std::vector<std::string> grid(size_t(height), std::string(size_t(width), '.'));
  for (const ColourFill& f : fills)
    for (int32_t y = std::max(0, f.area.top); y < std::min(height, f.area.bottom); ++y)
      for (int32_t x = std::max(0, f.area.left); x < std::min(width, f.area.right); ++x)
        grid[size_t(y)][size_t(x)] = kLetters.at(f.colour);
  return grid;
}

using Grid = std::vector<std::string>;

TEST(ButtonKit, BordersByFlags) {
  struct Case {
    const char* what;
    int32_t flags;
    Grid expected;
    IntRect content;
  };
  const Case cases[] = {
      {"raised", 0, {"HHHHHK", "HFFFSK", "HFFFSK", "HFFFSK", "HSSSSK", "KKKKKK"}, {2, 2, 4, 4}},
      {"pressed: shadow face, frame as the dark colour",
       kButtonPressed,
       {"KKKKKH", "KKKKSH", "KKSSSH", "KKSSSH", "KSSSSH", "HHHHHH"},
       {3, 3, 5, 5}},
      {"pressed keeping the face",
       kButtonPressed | kButtonKeepFace,
       {"KKKKKH", "KSSSFH", "KSFFFH", "KSFFFH", "KFFFFH", "HHHHHH"},
       {3, 3, 5, 5}},
      {"pressed and disabled draws as 0x02",
       kButtonPressed | kButtonDisabled,
       {"KKKKKH", "KSSSFH", "KSFFFH", "KSFFFH", "KFFFFH", "HHHHHH"},
       {3, 3, 5, 5}},
      {"outer frame, round corners",
       kButtonOuterFrame,
       {"FKKKKKKF", "KHHHHHKK", "KHFFFSKK", "KHFFFSKK", "KHFFFSKK", "KHSSSSKK", "KKKKKKKK", "FKKKKKKF"},
       {3, 3, 5, 5}},
      {"outer frame, square corners",
       kButtonOuterFrame | kButtonSquareCorners,
       {"KKKKKKKK", "KHHHHHKK", "KHFFFSKK", "KHFFFSKK", "KHFFFSKK", "KHSSSSKK", "KKKKKKKK", "KKKKKKKK"},
       {3, 3, 5, 5}},
  };
  for (const Case& c : cases) {
    int32_t size = int32_t(c.expected.size());
    ButtonPlan plan = PlanButtonFace({0, 0, size, size}, c.flags, true);
    EXPECT_EQ(Paint(plan.fills, size, size), c.expected) << c.what;
    EXPECT_EQ(plan.content.left, c.content.left) << c.what;
    EXPECT_EQ(plan.content.top, c.content.top) << c.what;
    EXPECT_EQ(plan.content.right, c.content.right) << c.what;
    EXPECT_EQ(plan.content.bottom, c.content.bottom) << c.what;
  }
  // A display that cannot tell shadow from text keeps the face while pressed.
  ButtonPlan plan = PlanButtonFace({0, 0, 6, 6}, kButtonPressed, false);
  EXPECT_EQ(Paint(plan.fills, 6, 6)[2], "KSFFFH");
  EXPECT_EQ(NormalizeButtonFlags(kButtonPressed | kButtonDisabled), kButtonPressedDisabled | kButtonDisabled);
}

TEST(ButtonKit, ArrowGlyphs) {
  struct Case {
    const char* what;
    int32_t flags;
    IntRect content;
    Grid expected;
  };
  // A 9 x 7 content area; a caption height of 18 narrows up and down arrows
  // by (9 - 9) / 2 + 1 on each side.
  const Case cases[] = {
      {"up",
       GlyphFlags(kGlyphUp),
       {0, 0, 9, 7},
       {".........", ".........", ".....T...", "....TTT..", "...TTTTT.", ".........", "........."}},
      {"down",
       GlyphFlags(kGlyphDown),
       {0, 0, 9, 7},
       {".........", ".........", "...TTTTT.", "....TTT..", ".....T...", ".........", "........."}},
      {"right",
       GlyphFlags(kGlyphRight),
       {0, 0, 7, 9},
       {".......", ".......", ".......", "..T....", "..TT...", "..TTT..", "..TT...", "..T....", "......."}},
      {"disabled up: highlight moved by (1, 1) under a shadow pass",
       GlyphFlags(kGlyphUp) | kButtonDisabled,
       {0, 0, 9, 7},
       {".........", ".........", ".....S...", "....SSS..", "...SSSSS.", "....HHHHH", "........."}},
  };
  for (const Case& c : cases) {
    auto fills = PlanArrowGlyph(c.content, c.flags, 18);
    EXPECT_EQ(Paint(fills, c.content.right, c.content.bottom), c.expected) << c.what;
  }
  EXPECT_TRUE(PlanArrowGlyph({0, 0, 9, 7}, 0, 18).empty());
}

TEST(ButtonKit, CornerHatchStaysInTheCorner) {
  auto fills = PlanCornerHatch({0, 0, 8, 8}, GlyphFlags(kGlyphCornerHatch));
  Grid grid = Paint(fills, 8, 8);
  EXPECT_EQ(grid[7][7], '.');
  EXPECT_EQ(grid[7][6], 'S');
  EXPECT_EQ(grid[0][0], '.');
  for (const ColourFill& f : fills) EXPECT_GE(f.area.left + f.area.top, 7 - 1);
}

TEST(SpinButton, Parts) {
  struct Case {
    IntRect client, upper, strip, lower;
  };
  const Case cases[] = {
      {{0, 0, 16, 20}, {0, 0, 16, 9}, {0, 8, 16, 12}, {0, 11, 16, 20}},   // odd height after the first cut
      {{0, 0, 16, 21}, {0, 0, 16, 10}, {0, 9, 16, 12}, {0, 11, 16, 21}},  // even
      {{0, 0, 6, 20}, {0, 0, 6, 8}, {0, 7, 6, 13}, {0, 12, 6, 20}},       // narrower than the upper part is high
  };
  for (const Case& c : cases) {
    SpinParts parts = LayoutSpinButton(c.client);
    for (auto [got, want] :
         {std::pair{parts.upper, c.upper}, std::pair{parts.strip, c.strip}, std::pair{parts.lower, c.lower}}) {
      EXPECT_EQ(got.left, want.left);
      EXPECT_EQ(got.top, want.top) << c.client.right << "x" << c.client.bottom;
      EXPECT_EQ(got.right, want.right);
      EXPECT_EQ(got.bottom, want.bottom) << c.client.right << "x" << c.client.bottom;
    }
  }
}

TEST(SpinButton, RepeatScheduleAndDragSteps) {
  EXPECT_EQ(NextSpinDelay(0), 500);
  EXPECT_EQ(NextSpinDelay(500), 100);
  EXPECT_EQ(NextSpinDelay(100), 100);

  struct Case {
    int32_t lastY, y, stripHeight, steps;
  };
  for (const Case& c : {Case{10, 6, 4, 2}, Case{6, 7, 4, 0}, Case{6, 8, 4, -1}, Case{5, 2, 1, 3}, Case{5, 2, 0, 3}})
    EXPECT_EQ(SpinDragSteps(c.lastY, c.y, c.stripHeight), c.steps) << c.lastY << "->" << c.y;
}

TEST(ControlsLibrary, DisabledTextColour) {
  struct Case {
    uint32_t grayText, background, expected;
  };
  for (const Case& c : {Case{0x808080, 0x808080, 0}, Case{0, 0xC0C0C0, 0x808080}, Case{0x6D6D6D, 0xF0F0F0, 0x6D6D6D},
                        Case{0xF0F0F0, 0xF0F0F0, 0x808080}, Case{0, 0x808080, 0}})
    EXPECT_EQ(DisabledTextColourFor(c.grayText, c.background), c.expected) << std::hex << c.grayText;
}

}  // namespace
}  // namespace quiltora
