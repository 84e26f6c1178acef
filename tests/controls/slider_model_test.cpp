#include "controls/slider_model.h"

#include <gtest/gtest.h>

namespace quiltora {
namespace {

constexpr BaseUnits kUnits{6, 13};

void ExpectRect(const IntRect& r, IntRect expected, const char* what) {
  EXPECT_EQ(r.left, expected.left) << what;
  EXPECT_EQ(r.top, expected.top) << what;
  EXPECT_EQ(r.right, expected.right) << what;
  EXPECT_EQ(r.bottom, expected.bottom) << what;
}

TEST(SliderModel, MulDivRoundsHalvesAwayFromZero) {
  struct Case {
    int32_t a, b, c, expected;
  };
  for (const Case& c : {Case{18, 4, 23, 3}, Case{18, 6, 23, 5}, Case{5, 1, 2, 3}, Case{-5, 1, 2, -3},
                        Case{5, 1, -2, -3}, Case{7, 3, 0, -1}})
    EXPECT_EQ(MulDivRound(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(SliderModel, ValueBoxFitsTheWiderTextPlusAMargin) {
  EXPECT_EQ(ValueBoxWidth(6, 18, 3), 21);   // "0" and "100": half an average character
  EXPECT_EQ(ValueBoxWidth(6, 6, 1), 12);    // "9": a whole character
  EXPECT_EQ(ValueBoxWidth(24, 18, 3), 27);  // "-100" is wider than the maximum
}

TEST(SliderModel, HorizontalLayoutWithTheBoxOnTheRight) {
  // The main dialog's sliders: 146 x 18 pixels, value box after the track.
  SliderGeometry g = LayoutSlider({0, 0, 146, 18}, kSliderBoxAfter, kUnits, 25);
  ExpectRect(g.box, {121, 2, 146, 18}, "box");
  ExpectRect(g.track, {0, 0, 112, 18}, "track");  // gap (6 * 6) / 4 = 9
  ExpectRect(g.channel, {3, 5, 109, 12}, "channel");
  EXPECT_EQ(g.halfLength, 3);  // MulDiv(18, 4, 23)
  EXPECT_EQ(g.halfDepth, 5);   // MulDiv(18, 6, 23)

  SliderValues values;  // 0..100
  ExpectRect(SliderThumbRect(g, false, values, 50), {53, 2, 59, 13}, "thumb at 50");
  ExpectRect(SliderThumbRect(g, false, values, 0), {0, 2, 6, 13}, "thumb at 0");
  values.minimum = values.maximum = 7;  // an empty range puts the thumb at the right end
  ExpectRect(SliderThumbRect(g, false, values, 7), {106, 2, 112, 13}, "thumb of an empty range");
}

TEST(SliderModel, BoxPlacementByStyle) {
  struct Case {
    uint32_t style;
    IntRect client, box, track;
  };
  const Case cases[] = {
      {kSliderBoxBefore, {0, 0, 146, 18}, {0, 2, 25, 18}, {34, 0, 146, 18}},
      {kSliderBoxBefore | kSliderBoxAfter, {0, 0, 146, 18}, {121, 2, 146, 18}, {0, 0, 112, 18}},
      {kSliderNoLayout | kSliderBoxAfter, {0, 0, 146, 18}, {0, 0, 146, 18}, {0, 0, 146, 18}},
      {0, {0, 0, 146, 18}, {0, 0, 146, 18}, {0, 0, 146, 18}},  // no box: the track takes everything
      // Vertical: box height (13 * 12) / 8 = 19, gap (13 * 6) / 8 = 9.
      {kSliderVertical | kSliderBoxAfter, {0, 0, 20, 150}, {0, 131, 20, 150}, {0, 0, 20, 122}},
      {kSliderVertical | kSliderBoxBefore | kSliderBoxAfter, {0, 0, 20, 150}, {0, 0, 20, 19}, {0, 28, 20, 150}},
  };
  for (const Case& c : cases) {
    SliderGeometry g = LayoutSlider(c.client, c.style, kUnits, 25);
    ExpectRect(g.box, c.box, "box");
    ExpectRect(g.track, c.track, "track");
  }
}

TEST(SliderModel, VerticalLayoutAndThumb) {
  SliderGeometry g = LayoutSlider({0, 0, 20, 150}, kSliderVertical | kSliderBoxAfter, kUnits, 0);
  EXPECT_EQ(g.halfLength, 4);  // MulDiv(19, 4, 20)
  EXPECT_EQ(g.halfDepth, 6);   // MulDiv(19, 6, 20)
  // Channel base ((13 * 12) / 7) / 3 = 7; inset (20 - 7) / 2 + 1 = 7, left edge one further.
  ExpectRect(g.channel, {6, 5, 13, 117}, "channel");
  SliderValues values;
  ExpectRect(SliderThumbRect(g, true, values, 50), {2, 57, 16, 65}, "thumb at 50");
  ExpectRect(SliderThumbRect(g, true, values, 100), {2, 1, 16, 9}, "maximum at the top");
  values.minimum = values.maximum = 3;
  ExpectRect(SliderThumbRect(g, true, values, 3), {2, 113, 16, 121}, "empty range at the bottom");
}

// A track of 106 pixels with half-length 3 leaves a span of 100 pixels, so
// the pointer's value is easy to read: f = minimum + range / 100 * (p - 3).
SliderGeometry HundredPixelSpan(bool vertical) {
  SliderGeometry g{};
  g.track = vertical ? IntRect{0, 0, 18, 106} : IntRect{0, 0, 106, 18};
  g.halfLength = 3;
  return g;
}

TEST(SliderModel, ValueFromPointer) {
  struct Case {
    const char* what;
    bool vertical;
    PressKind kind;
    int32_t minimum, maximum, value, step, pointer, expected;
  };
  const Case cases[] = {
      {"drag to 37.5 rounds up", false, PressKind::Drag, 0, 50, 0, 1, 78, 38},
      {"drag to 37.0", false, PressKind::Drag, 0, 50, 0, 1, 77, 37},
      {"drag far left clamps", false, PressKind::Drag, 0, 50, 25, 1, -500, 0},
      {"drag far right clamps", false, PressKind::Drag, 0, 50, 25, 1, 500, 50},
      {"drag snaps to the step", false, PressKind::Drag, 0, 100, 0, 10, 40, 40},
      {"steps count from 0, not from the minimum", false, PressKind::Drag, 5, 105, 5, 10, 33, 40},
      {"click right of the thumb at 37.4 gives 37", false, PressKind::Channel, 0, 187, 20, 1, 23, 37},
      {"click left of the thumb at 37.4 gives 38", false, PressKind::Channel, 0, 187, 60, 1, 23, 38},
      {"click within one unit still moves one", false, PressKind::Channel, 0, 50, 20, 1, 44, 21},
      {"click on an exact value stops short of it", false, PressKind::Channel, 0, 100, 20, 1, 40, 36},
      {"click with a coarse step moves one step", false, PressKind::Channel, 0, 100, 20, 10, 37, 30},
      {"coarse step, click just past the thumb", false, PressKind::Channel, 0, 100, 20, 10, 28, 30},
      {"coarse step, click to the left", false, PressKind::Channel, 0, 100, 60, 10, 29, 40},
      {"vertical drag: top is the maximum", true, PressKind::Drag, 0, 100, 0, 1, 33, 70},
      {"vertical drag past the bottom", true, PressKind::Drag, 0, 100, 50, 1, 400, 0},
      {"vertical click above the thumb", true, PressKind::Channel, 0, 187, 20, 1, 23, 149},
      {"vertical click below the thumb", true, PressKind::Channel, 0, 187, 180, 1, 23, 150},
  };
  for (const Case& c : cases) {
    SliderValues values;
    values.minimum = c.minimum;
    values.maximum = c.maximum;
    values.value = c.value;
    values.step = c.step;
    EXPECT_EQ(SliderValueFromPointer(HundredPixelSpan(c.vertical), c.vertical, values, c.pointer, c.kind), c.expected)
        << c.what;
  }
}

TEST(SliderModel, ChannelPressMovesTowardTheClickWithoutPassingIt) {
  // Every click position against every starting value of a small range.
  SliderGeometry g = HundredPixelSpan(false);
  SliderValues values;
  values.minimum = 0;
  values.maximum = 20;
  values.step = 1;
  for (int32_t value = 0; value <= 20; ++value) {
    for (int32_t pointer = 3; pointer <= 103; ++pointer) {
      values.value = value;
      double f = static_cast<float>(20.0 / 100.0 * (pointer - 3));
      int32_t v = SliderValueFromPointer(g, false, values, pointer, PressKind::Channel);
      if (f > value + 1) {
        EXPECT_GT(v, value) << value << " " << pointer;
        EXPECT_LE(v, f) << value << " " << pointer;
      } else if (f > value) {
        EXPECT_EQ(v, value + 1);
      } else if (f < value - 1) {
        EXPECT_LT(v, value) << value << " " << pointer;
        EXPECT_GE(v, f) << value << " " << pointer;
      } else if (f < value) {
        EXPECT_EQ(v, value - 1);
      }
    }
  }
}

TEST(SliderModel, ThumbMoveAreasCoverBothPositions) {
  SliderGeometry g = LayoutSlider({0, 0, 146, 18}, kSliderBoxAfter, kUnits, 25);
  SliderValues values;
  ThumbMoveAreas areas = SliderThumbMoveAreas(g, false, values, 0, 50);
  ExpectRect(areas.before, {-2, 1, 8, 14}, "before: 2 along, 1 across");
  ExpectRect(areas.after, {52, 1, 60, 14}, "after: 1 on every side");
}

TEST(SliderModel, Keys) {
  struct Case {
    SliderKey key;
    int32_t value, step, expected;
  };
  const Case cases[] = {
      {SliderKey::PageUp, 98, 1, 100}, {SliderKey::End, 40, 1, 100},    {SliderKey::Home, 40, 1, 0},
      {SliderKey::PageDown, 1, 1, 0},  {SliderKey::PageUp, 50, 10, 70}, {SliderKey::Left, 50, 10, 40},
      {SliderKey::Down, 50, 1, 49},    {SliderKey::Up, 50, 1, 51},      {SliderKey::Right, 95, 10, 100},
  };
  for (const Case& c : cases) {
    SliderValues values;
    values.value = c.value;
    values.step = c.step;
    auto action = SliderKeyResult(c.key, values);
    ASSERT_TRUE(action.has_value());
    EXPECT_FALSE(action->toParent);
    EXPECT_EQ(action->value, c.expected) << int(c.key) << " from " << c.value;
  }
  SliderValues values;
  for (SliderKey key : {SliderKey::Tab, SliderKey::Enter, SliderKey::Escape}) {
    auto action = SliderKeyResult(key, values);
    ASSERT_TRUE(action.has_value());
    EXPECT_TRUE(action->toParent);
    EXPECT_EQ(action->value, 50);
  }
  EXPECT_FALSE(SliderKeyResult(SliderKey::Other, values).has_value());
}

TEST(SliderModel, RangeAndTicks) {
  SliderValues values;
  SetSliderRange(&values, 1, 100, 0, 0);
  EXPECT_EQ(values.step, 1);
  EXPECT_EQ(values.value, 1);
  SetSliderTicks(&values, -1);
  EXPECT_EQ(values.tickSpacing, 24);  // Opacity: 5 marks
  EXPECT_TRUE(values.automaticTicks);
  EXPECT_EQ(SliderTickCount(0, values), 5);

  SetSliderRange(&values, 0, 100, 1, 50);
  SetSliderTicks(&values, -1);
  EXPECT_EQ(values.tickSpacing, 25);  // Feather
  EXPECT_EQ(SliderTickCount(0, values), 5);
  EXPECT_EQ(SliderTickCount(kSliderNoTicks, values), 5);  // the style only stops the painting

  SetSliderRange(&values, 0, 100, 20, 50);
  SetSliderTicks(&values, 20);
  EXPECT_EQ(SliderTickCount(kSliderTicksEveryStep, values), 6);

  SetSliderRange(&values, 0, 3, 1, 1);
  SetSliderTicks(&values, -1);  // too small a range for automatic ticks
  EXPECT_EQ(SliderTickCount(0, values), 0);
  SetSliderRange(&values, 0, 100, 1, 1);
  SetSliderTicks(&values, 0);
  EXPECT_EQ(SliderTickCount(0, values), 0);
  SetSliderTicks(&values, -7);  // neither a spacing nor a request: nothing changes
  EXPECT_EQ(values.tickSpacing, 0);

  SetSliderRange(&values, 10, 5, 1, 7);  // a reversed range collapses to its minimum
  EXPECT_EQ(values.maximum, 10);
  EXPECT_EQ(values.value, 10);
}

TEST(SliderModel, TickMarkPositions) {
  std::vector<TickMark> marks = SliderTickMarks(3, 109, 5);
  ASSERT_EQ(marks.size(), 5u);
  const int32_t positions[] = {3, 29, 56, 82, 109};
  for (size_t i = 0; i < marks.size(); ++i) {
    EXPECT_EQ(marks[i].position, positions[i]);
    EXPECT_EQ(marks[i].length, i == 0 || i == 4 ? 4 : 3);
  }
  // Twenty marks on ten pixels: thinned to one every 2 pixels.
  marks = SliderTickMarks(0, 10, 20);
  ASSERT_EQ(marks.size(), 6u);
  for (size_t i = 0; i < marks.size(); ++i) EXPECT_EQ(marks[i].position, int32_t(2 * i));
  EXPECT_TRUE(SliderTickMarks(0, 10, 0).empty());
}

TEST(SliderModel, TakingOverTypedText) {
  struct Case {
    int32_t minimum, maximum;
    const char* typed;
    bool takesValue;
    int32_t value;
    bool replacesText;
    const char* text;
  };
  const Case cases[] = {
      {1, 100, "5", true, 5, false, "5"},
      {1, 100, "0", false, 0, false, "0"},  // still typing toward the minimum: the "0" stays
      {1, 100, "150", true, 100, true, "100"},
      {10, 100, "3", false, 0, false, "3"},
      {10, 100, "37", true, 37, false, "37"},
      {1, 100, "007", true, 7, true, "7"},
      {0, 100, "-5", true, 0, true, "0"},
      {-50, 50, "-", true, 0, false, "0"},  // a minus sign on its own stays while typing
      {-50, 50, "-70", true, -50, true, "-50"},
      {1, 100, "abc", false, 0, true, "0"},
      {0, 100, "12abc", true, 12, true, "12"},
  };
  for (const Case& c : cases) {
    auto result = TakeOverTypedText(c.typed, c.minimum, c.maximum);
    ASSERT_TRUE(result.has_value()) << c.typed;
    EXPECT_EQ(result->takesValue, c.takesValue) << c.typed;
    if (c.takesValue) {
      EXPECT_EQ(result->value, c.value) << c.typed;
    }
    EXPECT_EQ(result->replacesText, c.replacesText) << c.typed;
    if (c.replacesText) {
      EXPECT_EQ(result->text, c.text) << c.typed;
    }
  }
  EXPECT_FALSE(TakeOverTypedText("", 0, 100).has_value());
  EXPECT_EQ(LeadingDecimalValue("99999999999999999999999"), int64_t(1) << 40);
}

}  // namespace
}  // namespace quiltora
