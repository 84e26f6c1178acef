// The drawing kit's pixels and the spin button in a real dialog.
#include "controls/win32/spin_button.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "controls/button_model.h"
#include "controls/win32/button_kit.h"
#include "ui_harness.h"

namespace quiltora {
namespace {

using uitest::Notification;

uint32_t ColourOf(ButtonColour colour) {
  static const std::map<ButtonColour, int> kIndex = {{ButtonColour::Face, COLOR_BTNFACE},
                                                     {ButtonColour::Shadow, COLOR_BTNSHADOW},
                                                     {ButtonColour::Highlight, COLOR_BTNHIGHLIGHT},
                                                     {ButtonColour::Text, COLOR_BTNTEXT},
                                                     {ButtonColour::Frame, COLOR_WINDOWFRAME}};
  return uitest::SystemColour(kIndex.at(colour));
}

// Draws into a 32-bit memory bitmap and returns its pixels as 0xRRGGBB.
uitest::Picture DrawOffscreen(int width, int height, const std::function<void(HDC)>& draw) {
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  std::memset(bits, 0x5A, size_t(width) * size_t(height) * 4);
  draw(dc);
  GdiFlush();
  uitest::Picture picture;
  picture.width = width;
  picture.height = height;
  const auto* words = static_cast<const uint32_t*>(bits);
  for (int i = 0; i < width * height; ++i) picture.pixels.push_back(words[i] & 0xFFFFFF);
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return picture;
}

TEST(ButtonKitPixels, DrawnExactlyAsPlanned) {
  uitest::ControlsLibraryScope library;
  ASSERT_TRUE(library.ok());
  const int kSize = 12;
  for (int flags : {0, int(kButtonPressed), kButtonPressed | kButtonKeepFace, int(kButtonOuterFrame),
                    kButtonOuterFrame | kButtonSquareCorners | kButtonPressed}) {
    uitest::Picture drawn = DrawOffscreen(kSize, kSize, [&](HDC dc) {
      RECT r{0, 0, kSize, kSize};
      DrawButtonFace(dc, r, nullptr, flags);
    });
    ButtonPlan plan =
        PlanButtonFace({0, 0, kSize, kSize}, flags, GetSysColor(COLOR_BTNSHADOW) != GetSysColor(COLOR_BTNTEXT));
    uitest::Picture planned;
    planned.width = planned.height = kSize;
    planned.pixels.assign(kSize * kSize, 0);
    for (const ColourFill& f : plan.fills)
      for (int y = f.area.top; y < f.area.bottom; ++y)
        for (int x = f.area.left; x < f.area.right; ++x) planned.pixels[size_t(y * kSize + x)] = ColourOf(f.colour);
    EXPECT_EQ(drawn.pixels, planned.pixels) << "flags " << flags;
  }
}

TEST(ButtonKitPixels, ADisabledPressedButtonLooksLikeTheSecondPressedForm) {
  uitest::ControlsLibraryScope library;
  ASSERT_TRUE(library.ok());
  auto draw = [](int flags) {
    return DrawOffscreen(16, 14, [flags](HDC dc) { DrawButtonWithGlyph(dc, RECT{0, 0, 16, 14}, flags); });
  };
  int up = GlyphFlags(kGlyphUp);
  uitest::Picture disabledPressed = draw(up | kButtonPressed | kButtonDisabled);
  EXPECT_EQ(disabledPressed.pixels, draw(up | kButtonPressedDisabled | kButtonDisabled).pixels);
  EXPECT_NE(disabledPressed.pixels, draw(up | kButtonPressedDisabled).pixels);  // the glyph is embossed
  // Embossed: highlight shows somewhere inside, which a normal glyph never paints.
  uitest::Picture normal = draw(up);
  uint32_t highlight = uitest::SystemColour(COLOR_BTNHIGHLIGHT);
  auto inside = [&](const uitest::Picture& p) {
    int count = 0;
    for (int y = 3; y < 11; ++y)
      for (int x = 3; x < 13; ++x) count += p.At(x, y) == highlight;
    return count;
  };
  EXPECT_EQ(inside(normal), 0);
  EXPECT_GT(inside(draw(up | kButtonDisabled)), 0);
}

class SpinButtonUi : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library_.ok());
    ASSERT_TRUE(dialog_.ok());
    spin_ = dialog_.Add("Static", 50, 0, RECT{40, 30, 56, 70});
    ASSERT_TRUE(MakeSpinButton(spin_, false, true));
    uitest::Drain();
    RECT client{};
    GetClientRect(spin_, &client);
    parts_ = LayoutSpinButton(IntRect{0, 0, client.right, client.bottom});
  }

  static POINT Centre(const IntRect& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

  std::vector<std::pair<int, int>> Scrolls() {
    std::vector<std::pair<int, int>> out;
    for (const Notification& n : dialog_.From(spin_))
      if (n.message == WM_VSCROLL) out.push_back({n.low, n.high});
    dialog_.notifications.clear();
    return out;
  }

  using Scroll = std::vector<std::pair<int, int>>;

  uitest::ControlsLibraryScope library_;
  uitest::TestDialog dialog_{200, 120};
  uitest::TimerRecorder timers_;
  HWND spin_ = nullptr;
  SpinParts parts_{};
};

TEST_F(SpinButtonUi, HoldingAnArrowStepsAtOnceThenAfter500ThenEvery100) {
  struct Case {
    const char* what;
    IntRect part;
    int code;
  };
  for (const Case& c : {Case{"upper", parts_.upper, SB_LINEUP}, Case{"lower", parts_.lower, SB_LINEDOWN}}) {
    timers_.requests.clear();
    ASSERT_TRUE(uitest::MoveMouse(spin_, Centre(c.part)));
    ASSERT_TRUE(uitest::PressLeft());
    EXPECT_EQ(Scrolls(), (Scroll{{c.code, 0}})) << c.what << ": the first step at once";
    EXPECT_EQ(timers_.Intervals(spin_, kSpinRepeatTimer), std::vector<UINT>{500}) << c.what;
    timers_.Tick(spin_, kSpinRepeatTimer);
    EXPECT_EQ(Scrolls(), (Scroll{{c.code, 0}})) << c.what;
    EXPECT_EQ(timers_.Intervals(spin_, kSpinRepeatTimer), (std::vector<UINT>{500, 100})) << c.what;
    for (int i = 0; i < 3; ++i) timers_.Tick(spin_, kSpinRepeatTimer);
    EXPECT_EQ(Scrolls(), (Scroll{{c.code, 0}, {c.code, 0}, {c.code, 0}})) << c.what;
    EXPECT_TRUE(timers_.Running(spin_, kSpinRepeatTimer));
    ASSERT_TRUE(uitest::ReleaseLeft());
    EXPECT_EQ(Scrolls(), (Scroll{{SB_ENDSCROLL, 0}})) << c.what;
    EXPECT_EQ(timers_.Intervals(spin_, kSpinRepeatTimer), (std::vector<UINT>{500, 100, 0})) << c.what;
  }
}

TEST_F(SpinButtonUi, MovingOffTheHeldButtonStopsTheStepsAndRaisesIt) {
  const uint32_t highlight = uitest::SystemColour(COLOR_BTNHIGHLIGHT);
  const uint32_t frame = uitest::SystemColour(COLOR_WINDOWFRAME);
  ASSERT_TRUE(uitest::MoveMouse(spin_, Centre(parts_.upper)));
  ASSERT_TRUE(uitest::PressLeft());
  EXPECT_EQ(uitest::CaptureClient(spin_).At(0, 0), frame);  // pressed: dark top-left edge
  ASSERT_TRUE(uitest::MoveMouse(spin_, Centre(parts_.lower)));
  Scrolls();
  timers_.Tick(spin_, kSpinRepeatTimer);
  EXPECT_TRUE(Scrolls().empty());
  EXPECT_EQ(uitest::CaptureClient(spin_).At(0, 0), highlight);  // raised again
  ASSERT_TRUE(uitest::MoveMouse(spin_, Centre(parts_.upper)));
  timers_.Tick(spin_, kSpinRepeatTimer);
  EXPECT_EQ(Scrolls(), (Scroll{{SB_LINEUP, 0}}));
  EXPECT_EQ(uitest::CaptureClient(spin_).At(0, 0), frame);
  ASSERT_TRUE(uitest::ReleaseLeft());
  EXPECT_EQ(Scrolls(), (Scroll{{SB_ENDSCROLL, 0}}));
}

TEST_F(SpinButtonUi, DraggingTheStripStepsByHalfStripHeights) {
  int stripHeight = parts_.strip.bottom - parts_.strip.top;
  int half = std::max(1, stripHeight / 2);
  POINT start = Centre(parts_.strip);
  ASSERT_TRUE(uitest::MoveMouse(spin_, start));
  ASSERT_TRUE(uitest::PressLeft());
  EXPECT_TRUE(Scrolls().empty());
  int lastY = start.y;
  struct Move {
    int dy;
  };
  for (Move m : {Move{-3 * half}, Move{-half / 2}, Move{5 * half}, Move{-2 * half}}) {
    POINT p{start.x, lastY + m.dy};
    ASSERT_TRUE(uitest::MoveMouse(spin_, p));
    int steps = SpinDragSteps(lastY, p.y, stripHeight);
    Scroll expected;
    if (steps != 0) {
      expected = {{steps > 0 ? SB_LINEUP : SB_LINEDOWN, std::abs(steps) - 1}, {SB_ENDSCROLL, 0}};
      lastY = p.y;
    }
    EXPECT_EQ(Scrolls(), expected) << "move by " << m.dy;
  }
  ASSERT_TRUE(uitest::ReleaseLeft());
  EXPECT_EQ(Scrolls(), (Scroll{{SB_ENDSCROLL, 0}, {SB_ENDSCROLL, 0}}));
  EXPECT_TRUE(timers_.requests.empty() || !timers_.Running(spin_, kSpinRepeatTimer));
}

TEST_F(SpinButtonUi, DisabledItPaintsEmbossedAndStaysQuiet) {
  EnableWindow(spin_, FALSE);
  uitest::Drain();
  ASSERT_TRUE(uitest::Click(spin_, Centre(parts_.upper)));
  EXPECT_TRUE(Scrolls().empty());
  uitest::Picture shown = uitest::CaptureClient(spin_);
  uint32_t text = uitest::SystemColour(COLOR_BTNTEXT);
  for (uint32_t p : shown.pixels) EXPECT_NE(p, text);  // no glyph in button text
}

}  // namespace
}  // namespace quiltora
