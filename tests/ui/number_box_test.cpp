// The number box in a real dialog: registered, typed into, stepped by its spin part.
#include <gtest/gtest.h>

#include <string>

#include "controls/win32/control_timers.h"
#include "controls/win32/controls_library.h"
#include "controls/win32/spin_button.h"
#include "controls/win32/unit_num_box.h"
#include "ui_harness.h"

namespace quiltora {
namespace {

using uitest::Notification;

constexpr int kBoxId = 500;

class NumberBoxUi : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library_.ok());
    ASSERT_TRUE(dialog_.ok());
    box_ = dialog_.Add(kUnitNumBoxClassName, kBoxId, WS_TABSTOP, RECT{20, 20, 110, 42});
    ASSERT_NE(box_, nullptr);
    edit_ = GetDlgItem(box_, kNumBoxEditId);
    ASSERT_NE(edit_, nullptr);
    for (HWND child = GetWindow(box_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
      if (child != edit_) spin_ = child;
    ASSERT_NE(spin_, nullptr);
  }

  std::string Text() {
    char text[64] = {};
    GetWindowTextA(edit_, text, sizeof text);
    return text;
  }

  // The high words of the box's notifications since the last call.
  std::vector<int> Codes() {
    std::vector<int> codes;
    for (const Notification& n : dialog_.From(box_)) codes.push_back(n.high);
    dialog_.notifications.clear();
    return codes;
  }

  POINT UpperArrow() {
    RECT spin{};
    GetClientRect(spin_, &spin);
    return POINT{spin.right / 2, spin.bottom / 4};
  }

  uitest::ControlsLibraryScope library_;
  uitest::TestDialog dialog_{240, 100};
  uitest::TimerRecorder timers_;
  HWND box_ = nullptr, edit_ = nullptr, spin_ = nullptr;
};

TEST_F(NumberBoxUi, SetUpShowsTheValueAndClampsToTheRange) {
  UnitNumBoxSetup(dialog_.hwnd(), kBoxId, 0, 100, 5, 0, 0, 0, 1.0);
  EXPECT_EQ(Text(), "5");
  EXPECT_EQ(UnitNumBoxGetIntValue(dialog_.hwnd(), kBoxId), 5);
  UnitNumBoxSetValue(dialog_.hwnd(), kBoxId, 150);
  EXPECT_EQ(Text(), "100");  // above the maximum: shown as the maximum
  EXPECT_EQ(UnitNumBoxGetIntValue(dialog_.hwnd(), kBoxId), 100);
  EXPECT_TRUE(Codes().empty());  // its own writes raise no change notification
  // The spin part sits at the right, 2 base units wide, reaching a pixel beyond the box.
  RECT spin{}, box{};
  GetWindowRect(spin_, &spin);
  GetWindowRect(box_, &box);
  BaseUnits units{};
  ASSERT_TRUE(GetLibraryBaseUnits(&units));
  EXPECT_EQ(spin.right, box.right);
  EXPECT_EQ(spin.right - spin.left, 2 * units.x);
  EXPECT_EQ(spin.top, box.top - 1);
  EXPECT_EQ(spin.bottom, box.bottom + 1);
}

TEST_F(NumberBoxUi, APlainBoxRefusesPointAndMinusAndTellsItsParent) {
  UnitNumBoxSetup(dialog_.hwnd(), kBoxId, 0, 100, 5, 0, 0, 0, 1.0);
  ASSERT_TRUE(uitest::Click(edit_, POINT{4, 4}));
  SendMessageA(edit_, EM_SETSEL, 0, -1);
  EXPECT_EQ(Codes(), std::vector<int>{kNumBoxFocusGained});
  ASSERT_TRUE(uitest::TypeText("4.-2"));
  EXPECT_EQ(Text(), "42");
  EXPECT_EQ(Codes(), (std::vector<int>{kNumBoxChanged, kNumBoxChanged}));  // one per accepted character
  HWND next = dialog_.Add("Edit", 61, WS_TABSTOP | WS_BORDER, RECT{20, 60, 110, 80});
  ASSERT_TRUE(uitest::PressKey(VK_TAB));  // leaving the field takes the text over
  EXPECT_EQ(GetFocus(), next);
  EXPECT_EQ(Codes(), std::vector<int>{kNumBoxFocusLost});
  EXPECT_EQ(UnitNumBoxGetIntValue(dialog_.hwnd(), kBoxId), 42);
}

TEST_F(NumberBoxUi, HoldingTheUpArrowStepsByOneAndTellsTheChangeWhenTheStepsPause) {
  UnitNumBoxSetup(dialog_.hwnd(), kBoxId, 0, 100, 5, 0, 0, 0, 1.0);
  UnitNumBoxSetStepMode(dialog_.hwnd(), kBoxId, 1);
  ASSERT_TRUE(uitest::MoveMouse(spin_, UpperArrow()));
  ASSERT_TRUE(uitest::PressLeft());
  EXPECT_EQ(Text(), "6");
  timers_.Tick(spin_, kSpinRepeatTimer);
  timers_.Tick(spin_, kSpinRepeatTimer);
  EXPECT_EQ(Text(), "8");
  EXPECT_TRUE(Codes().empty());  // steps alone tell nothing yet
  EXPECT_EQ(timers_.Intervals(box_, kNumBoxChangeTimer), (std::vector<UINT>{500, 500, 500}));
  timers_.Tick(box_, kNumBoxChangeTimer);  // 500 ms after the last step
  EXPECT_EQ(Codes(), std::vector<int>{kNumBoxChanged});
  ASSERT_TRUE(uitest::ReleaseLeft());
  EXPECT_EQ(Codes(), std::vector<int>{kNumBoxChanged});  // the end of scrolling
  EXPECT_FALSE(timers_.Running(box_, kNumBoxChangeTimer));
  EXPECT_EQ(UnitNumBoxGetIntValue(dialog_.hwnd(), kBoxId), 8);

  // Every step tells at once when asked to.
  UnitNumBoxSetNotifyEveryStep(dialog_.hwnd(), kBoxId, 1);
  ASSERT_TRUE(uitest::PressLeft());
  EXPECT_EQ(Codes(), std::vector<int>{kNumBoxChanged});
  ASSERT_TRUE(uitest::ReleaseLeft());
}

TEST_F(NumberBoxUi, ValuesInADisplayUnit) {
  // Display unit 2 shows internal units / 254000 x 10; a scale of 25400 makes
  // the given values the displayed ones.
  UnitNumBoxSetup(dialog_.hwnd(), kBoxId, 0, 10, 1.5, 1, 0, 2, 25400.0);
  EXPECT_EQ(Text(), "1");  // no decimals yet: cut, not rounded
  UnitNumBoxSetPrecision(dialog_.hwnd(), kBoxId, 2);
  EXPECT_EQ(Text(), "1.50");
  ASSERT_TRUE(uitest::MoveMouse(spin_, UpperArrow()));
  ASSERT_TRUE(uitest::PressLeft());  // step index 0 of unit 2: 0.1
  ASSERT_TRUE(uitest::ReleaseLeft());
  EXPECT_EQ(Text(), "1.60");
  EXPECT_NEAR(UnitNumBoxGetValue(dialog_.hwnd(), kBoxId), 1.6, 1e-9);
  ASSERT_TRUE(uitest::Click(edit_, POINT{4, 4}));
  SendMessageA(edit_, EM_SETSEL, 0, -1);
  ASSERT_TRUE(uitest::TypeText("2.25"));  // a unit box takes the decimal point
  EXPECT_NEAR(UnitNumBoxGetValue(dialog_.hwnd(), kBoxId), 2.25, 1e-9);
}

TEST_F(NumberBoxUi, UnitPickers) {
  HWND combo = dialog_.Add("ComboBox", 60, CBS_DROPDOWNLIST, RECT{20, 50, 120, 150});
  const int32_t units[] = {0, 1, 7, -1};
  FillUnitPicker(combo, units, kUnitPickerCombo);
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
  PickUnit(combo, kUnitPickerCombo, 7);
  EXPECT_EQ(PickedUnit(combo, kUnitPickerCombo), 7);
  PickUnit(combo, kUnitPickerCombo, 1);
  EXPECT_EQ(PickedUnit(combo, kUnitPickerCombo), 1);
}

}  // namespace
}  // namespace quiltora
