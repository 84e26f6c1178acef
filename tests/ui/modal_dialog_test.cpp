// A modal dialog made from a template, as the module's dialogs are, driven
// from inside its own modal loop.
#include <gtest/gtest.h>

#include <vector>

#include "controls/slider_model.h"
#include "controls/win32/controls_library.h"
#include "controls/win32/slider.h"
#include "ui_harness.h"

namespace quiltora {
namespace {

constexpr int kOpacityId = 344;

// A dialog with one slider and OK, which records what the slider tells it
// and ends with OK or Cancel.
struct OpacityDialog {
  int32_t minimum = 10;
  std::vector<int32_t> notified;
  int32_t atOk = -1;

  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      auto* self = reinterpret_cast<OpacityDialog*>(lParam);
      SliderSetRange(dialog, kOpacityId, self->minimum, 100, 1, 50);
      return TRUE;  // the focus goes to the first tab stop, the slider, which hands it to its box
    }
    auto* self = reinterpret_cast<OpacityDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (message != WM_COMMAND || self == nullptr) return FALSE;
    if (LOWORD(wParam) == kOpacityId) self->notified.push_back(SliderGetValue(dialog, kOpacityId));
    if (LOWORD(wParam) == IDOK) self->atOk = SliderGetValue(dialog, kOpacityId);
    if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
};

INT_PTR RunOpacityDialog(OpacityDialog* state) {
  uitest::DialogTemplate dialog("Opacity", 160, 30);
  dialog.Add(kSliderClassName, "", kOpacityId, WS_TABSTOP | kSliderBoxAfter, 6, 8, 98, 12)
      .Add("Button", "OK", IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 110, 7, 44, 14);
  return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialog.get(), nullptr, OpacityDialog::Procedure,
                                 reinterpret_cast<LPARAM>(state));
}

TEST(ModalDialogUi, TypingANumberThenEnterSetsItAndNotifiesOnce) {
  uitest::ControlsLibraryScope library;
  ASSERT_TRUE(library.ok());
  struct Case {
    int32_t minimum;
    std::vector<int32_t> notified;  // what the dialog was told
  };
  // With a minimum of 10 the "3" is a number still on its way and "37" is
  // taken over once; with 0 the slider follows each digit.
  for (const Case& c : {Case{10, {37}}, Case{0, {3, 37}}}) {
    OpacityDialog opacity;
    opacity.minimum = c.minimum;
    uitest::ModalScript script([&](HWND dialog) {
      EXPECT_TRUE(IsWindowVisible(dialog));
      EXPECT_EQ(GetFocus(), SliderValueBox(GetDlgItem(dialog, kOpacityId)));
      EXPECT_TRUE(uitest::TypeText("37"));
      EXPECT_TRUE(uitest::PressKey(VK_RETURN));  // the default button: OK, which ends the dialog
    });
    EXPECT_EQ(RunOpacityDialog(&opacity), IDOK);
    EXPECT_TRUE(script.ran());
    EXPECT_EQ(opacity.atOk, 37);
    EXPECT_EQ(opacity.notified, c.notified) << "minimum " << c.minimum;
  }
}

TEST(ModalDialogUi, AScriptThatLeavesTheDialogOpenClosesIt) {
  uitest::ControlsLibraryScope library;
  ASSERT_TRUE(library.ok());
  OpacityDialog opacity;
  uitest::ModalScript script([](HWND) {});
  EXPECT_EQ(RunOpacityDialog(&opacity), IDCANCEL);
  EXPECT_TRUE(script.ran());
  EXPECT_EQ(opacity.atOk, -1);
}

}  // namespace
}  // namespace quiltora
