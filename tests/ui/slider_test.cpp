// The slider in a real dialog, driven through the system's input queue.
#include "controls/win32/slider.h"

#include <gtest/gtest.h>

#include <string>

#include "controls/slider_model.h"
#include "controls/win32/controls_library.h"
#include "ui_harness.h"

namespace quiltora {
namespace {

using uitest::Notification;
using uitest::TestDialog;

constexpr int kSliderId = 344;
constexpr RECT kHorizontal{20, 20, 166, 38};  // the main dialog's 146 x 18
constexpr RECT kVertical{200, 20, 222, 190};

std::vector<int32_t> Values(const std::vector<Notification>& notifications) {
  std::vector<int32_t> values;
  for (const Notification& n : notifications) values.push_back(n.sliderValue);
  return values;
}

class SliderUi : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library_.ok());
    ASSERT_TRUE(dialog_.ok());
  }

  HWND AddSlider(uint32_t style, RECT place = kHorizontal) {
    HWND slider = dialog_.Add(kSliderClassName, kSliderId, WS_TABSTOP | style, place);
    EXPECT_NE(slider, nullptr);
    return slider;
  }

  void SetRange(int32_t minimum, int32_t maximum, int32_t step, int32_t value) {
    SliderSetRange(dialog_.hwnd(), kSliderId, minimum, maximum, step, value);
    uitest::Drain();
  }

  int32_t Value() { return SliderGetValue(dialog_.hwnd(), kSliderId); }

  // The slider's layout as the model computes it from the window's size.
  static SliderGeometry Geometry(HWND slider) {
    RECT client{};
    GetClientRect(slider, &client);
    BaseUnits units{};
    EXPECT_TRUE(GetLibraryBaseUnits(&units));
    RECT box{};
    if (HWND valueBox = SliderValueBox(slider)) GetWindowRect(valueBox, &box);
    uint32_t style = static_cast<uint32_t>(GetWindowLongPtrA(slider, GWL_STYLE)) & 0xFFFF;
    return LayoutSlider(IntRect{0, 0, client.right, client.bottom}, style, units, box.right - box.left);
  }

  static SliderValues ValuesOf(int32_t minimum, int32_t maximum, int32_t step, int32_t value) {
    SliderValues values;
    SetSliderRange(&values, minimum, maximum, step, value);
    return values;
  }

  static POINT Centre(const IntRect& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

  static std::string BoxText(HWND slider) {
    char text[32] = {};
    GetWindowTextA(SliderValueBox(slider), text, sizeof text);
    return text;
  }

  uitest::ControlsLibraryScope library_;
  TestDialog dialog_{320, 220};
};

TEST_F(SliderUi, DraggingTheThumbEndToEndNotifiesOnEveryMoveAndEndsAtTheMaximum) {
  struct Case {
    const char* what;
    uint32_t style;
    RECT place;
  };
  for (const Case& c : {Case{"horizontal", kSliderBoxAfter, kHorizontal},
                        Case{"vertical", kSliderVertical | kSliderBoxAfter, kVertical}}) {
    HWND slider = AddSlider(c.style, c.place);
    SetRange(0, 100, 1, 0);
    bool vertical = (c.style & kSliderVertical) != 0;
    SliderGeometry g = Geometry(slider);
    POINT from = Centre(SliderThumbRect(g, vertical, ValuesOf(0, 100, 1, 0), 0));
    // Past the far end: the capture keeps the drag going outside the window.
    POINT to = vertical ? POINT{from.x, g.track.top - 30} : POINT{g.track.right + 40, from.y};
    const int kMoves = 20;
    dialog_.notifications.clear();
    SliderValues values = ValuesOf(0, 100, 1, 0);
    ASSERT_TRUE(uitest::Drag(slider, from, to, kMoves, [&](int step, POINT p) {
      // Every move is told, with the value under the pointer.
      std::vector<int32_t> got = Values(dialog_.From(slider));
      ASSERT_EQ(got.size(), size_t(step)) << c.what;
      EXPECT_EQ(got.back(), SliderValueFromPointer(g, vertical, values, vertical ? p.y : p.x, PressKind::Drag))
          << c.what << " step " << step;
      values.value = got.back();
    })) << c.what;
    // The press hit the thumb, which tells nothing; the release tells once more.
    std::vector<int32_t> got = Values(dialog_.From(slider));
    ASSERT_EQ(got.size(), size_t(kMoves + 1)) << c.what;
    EXPECT_EQ(got.back(), 100) << c.what;
    EXPECT_EQ(Value(), 100) << c.what;
    EXPECT_EQ(BoxText(slider), "100") << c.what;
    DestroyWindow(slider);
  }
}

TEST_F(SliderUi, TheParentHearsEveryMoveEvenWhenTheValueStays) {
  HWND slider = AddSlider(kSliderBoxAfter);
  SetRange(0, 100, 50, 50);  // a coarse step: small moves snap back to 50
  SliderGeometry g = Geometry(slider);
  POINT thumb = Centre(SliderThumbRect(g, false, ValuesOf(0, 100, 50, 50), 50));
  dialog_.notifications.clear();
  ASSERT_TRUE(uitest::Drag(slider, thumb, POINT{thumb.x + 6, thumb.y}, 3));
  for (const Notification& n : dialog_.From(slider)) EXPECT_EQ(n.sliderValue, 50);
  EXPECT_EQ(dialog_.From(slider).size(), 4u);
}

TEST_F(SliderUi, APressInTheChannelMovesTowardTheClickWithoutPassingIt) {
  HWND slider = AddSlider(kSliderBoxAfter);
  SliderGeometry g = Geometry(slider);
  struct Case {
    int32_t step, value;
    int pointer;  // along the track
  };
  const int nearer = g.channel.left + (g.channel.right - g.channel.left) * 3 / 10;
  const int farther = g.channel.left + (g.channel.right - g.channel.left) * 9 / 10;
  const int left = g.channel.left + (g.channel.right - g.channel.left) / 10;
  for (const Case& c :
       {Case{1, 20, nearer}, Case{1, 20, farther}, Case{1, 60, left}, Case{10, 20, farther}, Case{10, 60, left}}) {
    SetRange(0, 100, c.step, c.value);
    SliderValues before = ValuesOf(0, 100, c.step, c.value);
    // The value under the click, as the drag arithmetic (unsnapped) gives it.
    SliderValues unsnapped = ValuesOf(0, 100, 1, c.value);
    int32_t under = SliderValueFromPointer(g, false, unsnapped, c.pointer, PressKind::Drag);
    dialog_.notifications.clear();
    ASSERT_TRUE(uitest::Click(slider, POINT{c.pointer, Centre(g.track).y}));
    int32_t now = Value();
    if (under > c.value) {
      EXPECT_GE(now, c.value + c.step) << "step " << c.step << " from " << c.value;
      EXPECT_LE(now, under) << "step " << c.step << " from " << c.value;
    } else {
      EXPECT_LE(now, c.value - c.step) << "step " << c.step << " from " << c.value;
      EXPECT_GE(now, under) << "step " << c.step << " from " << c.value;
    }
    EXPECT_EQ(now, SliderValueFromPointer(g, false, before, c.pointer, PressKind::Channel));
    // The press tells the parent once, the release once more.
    EXPECT_EQ(Values(dialog_.From(slider)), (std::vector<int32_t>{now, now}));
    EXPECT_EQ(BoxText(slider), std::to_string(now));
  }
}

TEST_F(SliderUi, TypedValuesOutsideTheRange) {
  HWND slider = AddSlider(kSliderBoxAfter);
  SetRange(1, 100, 1, 50);  // the Opacity slider
  struct Case {
    const char* typed;
    int32_t value;
    const char* shown;
  };
  for (const Case& c : {Case{"5", 5, "5"}, Case{"0", 5, "0"}, Case{"150", 100, "100"}}) {
    SetFocus(slider);
    uitest::Drain();
    ASSERT_TRUE(uitest::TypeText(c.typed));
    EXPECT_EQ(Value(), c.value) << c.typed;
    EXPECT_EQ(BoxText(slider), c.shown) << c.typed;
  }
  // Leaving the box puts back the text of the value.
  SetFocus(dialog_.hwnd());
  uitest::Drain();
  EXPECT_EQ(BoxText(slider), "100");
}

TEST_F(SliderUi, KeysMoveTheThumbByTheStep) {
  struct Step {
    WORD key;
    int32_t value;
  };
  // Without a value box every key reaches the slider; each release notifies.
  HWND slider = AddSlider(0);
  SetRange(0, 100, 5, 50);
  SliderGeometry g = Geometry(slider);
  ASSERT_TRUE(uitest::Click(slider, Centre(SliderThumbRect(g, false, ValuesOf(0, 100, 5, 50), 50))));
  ASSERT_EQ(GetFocus(), slider);
  const Step steps[] = {{VK_RIGHT, 55}, {VK_RIGHT, 60}, {VK_LEFT, 55}, {VK_UP, 60},  {VK_DOWN, 55},
                        {VK_PRIOR, 65}, {VK_NEXT, 55},  {VK_END, 100}, {VK_HOME, 0}, {VK_NEXT, 0}};
  for (const Step& s : steps) {
    dialog_.notifications.clear();
    ASSERT_TRUE(uitest::PressKey(s.key));
    EXPECT_EQ(Value(), s.value) << "key " << s.key;
    EXPECT_EQ(Values(dialog_.From(slider)), std::vector<int32_t>{s.value}) << "key " << s.key;
  }
  dialog_.notifications.clear();
  ASSERT_TRUE(uitest::PressKey('A'));  // swallowed, but its release still tells the parent
  EXPECT_EQ(Value(), 0);
  EXPECT_EQ(dialog_.From(slider).size(), 1u);
}

TEST_F(SliderUi, KeysInTheValueBox) {
  struct Step {
    WORD key;
    int32_t value;
  };
  // Up, Down, Page Up, Page Down, Home and End go from the box to the slider;
  // the box text follows.
  HWND slider = AddSlider(kSliderBoxAfter);
  SetRange(0, 100, 1, 98);
  ASSERT_TRUE(uitest::PressKey(VK_TAB));
  ASSERT_EQ(GetFocus(), SliderValueBox(slider));
  for (const Step& s : {Step{VK_PRIOR, 100}, Step{VK_DOWN, 99}, Step{VK_HOME, 0}, Step{VK_UP, 1}, Step{VK_END, 100},
                        Step{VK_NEXT, 98}}) {
    dialog_.notifications.clear();
    ASSERT_TRUE(uitest::PressKey(s.key));
    EXPECT_EQ(Value(), s.value) << "key " << s.key;
    EXPECT_EQ(BoxText(slider), std::to_string(s.value)) << "key " << s.key;
    EXPECT_EQ(Values(dialog_.From(slider)), std::vector<int32_t>{s.value}) << "key " << s.key;
  }
}

TEST_F(SliderUi, ADisabledSliderIgnoresTheMouse) {
  HWND slider = AddSlider(kSliderBoxAfter);
  SetRange(0, 100, 1, 50);
  EnableWindow(slider, FALSE);
  uitest::Drain();
  EXPECT_FALSE(IsWindowEnabled(SliderValueBox(slider)));
  SliderGeometry g = Geometry(slider);
  POINT thumb = Centre(SliderThumbRect(g, false, ValuesOf(0, 100, 1, 50), 50));
  dialog_.notifications.clear();
  ASSERT_TRUE(uitest::Click(slider, POINT{g.channel.left + 4, thumb.y}));
  ASSERT_TRUE(uitest::Drag(slider, thumb, POINT{g.channel.right, thumb.y}, 5));
  EXPECT_EQ(Value(), 50);
  EXPECT_TRUE(dialog_.From(slider).empty());
  EXPECT_NE(GetFocus(), SliderValueBox(slider));
}

TEST_F(SliderUi, RangeCallsShowTheValueWithoutNotifying) {
  HWND slider = AddSlider(kSliderBoxAfter);
  dialog_.notifications.clear();
  SetRange(1, 100, 1, 0);
  EXPECT_EQ(Value(), 1);
  EXPECT_EQ(BoxText(slider), "1");
  SliderSetValue(dialog_.hwnd(), kSliderId, 250);
  EXPECT_EQ(Value(), 100);
  EXPECT_EQ(BoxText(slider), "100");
  EXPECT_TRUE(dialog_.notifications.empty());
  EXPECT_EQ(SliderGetValue(dialog_.hwnd(), 999), 0);  // no such control
  // The box is wide enough for the longest value of a wider range.
  SetRange(-10000, 10000, 1, -10000);
  RECT box{};
  GetClientRect(SliderValueBox(slider), &box);
  HDC dc = GetDC(SliderValueBox(slider));
  HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(SliderValueBox(slider), WM_GETFONT, 0, 0)));
  SIZE text{};
  GetTextExtentPoint32A(dc, "-10000", 6, &text);
  SelectObject(dc, previous);
  ReleaseDC(SliderValueBox(slider), dc);
  EXPECT_GE(box.right, text.cx);
}

TEST_F(SliderUi, PaintsTheThumbWhereTheValueIs) {
  HWND slider = AddSlider(kSliderBoxAfter);
  const uint32_t highlight = uitest::SystemColour(COLOR_BTNHIGHLIGHT);
  const uint32_t face = uitest::SystemColour(COLOR_BTNFACE);
  const uint32_t text = uitest::SystemColour(COLOR_BTNTEXT);
  SliderGeometry g = Geometry(slider);
  for (int32_t value : {0, 37, 100}) {
    SetRange(0, 100, 1, value);
    IntRect t = SliderThumbRect(g, false, ValuesOf(0, 100, 1, value), value);
    uitest::Picture shown = uitest::CaptureClient(slider);
    // The thumb's top edge is the only highlight on its row.
    for (int x = 0; x < g.track.right; ++x) {
      bool inThumb = x >= t.left && x < t.right;
      EXPECT_EQ(shown.At(x, t.top) == highlight, inThumb) << "value " << value << " x " << x;
    }
    // Tick marks of the automatic spacing below the thumb, five of them.
    int marks = 0;
    for (int x = g.channel.left; x <= g.channel.right; ++x) marks += shown.At(x, t.bottom + 3) == text;
    EXPECT_EQ(marks, 5) << "value " << value;
    // Not hatched while enabled and not dragged.
    EXPECT_EQ(shown.At(t.left + 2, t.top + 3), face);
  }
  EnableWindow(slider, FALSE);
  IntRect t = SliderThumbRect(g, false, ValuesOf(0, 100, 1, 100), 100);
  uitest::Picture disabled = uitest::CaptureClient(slider);
  EXPECT_EQ(disabled.At(t.left + 2, t.top + 3), highlight);  // the hatch
  EXPECT_EQ(disabled.At(t.left + 2, t.top + 4), face);
  EXPECT_EQ(disabled.At(t.left + 3, t.top + 2), highlight);
}

}  // namespace
}  // namespace quiltora
