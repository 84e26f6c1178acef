// The test program's tests that run the real Windows module with its dialog
// but do not test the dialog (runs of every kind of host, faults, exports)
// find no one at the screen. The module's main dialog that no modal script
// drives is ended here as the headless dialog answers: OK, with the settings
// as they were. The dialog's own tests drive it with real input instead.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "ui_harness.h"

namespace {

constexpr int kSourcePaneId = 345;  // only the main dialog has it
constexpr int kAreaPaneId = 372;    // only Select an Area has it

HHOOK gHook = nullptr;

HWND gWaiting = nullptr;

void CALLBACK Answer(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND dialog = gWaiting;
  gWaiting = nullptr;
  // The main dialog, and the Select an Area it opens for a reloaded picture
  // whose size changed, take OK with what they hold.
  const bool answered = dialog != nullptr && IsWindow(dialog) &&
                        (GetDlgItem(dialog, kSourcePaneId) != nullptr || GetDlgItem(dialog, kAreaPaneId) != nullptr);
  if (answered && !uitest::ModalScript::Claims(dialog)) EndDialog(dialog, IDOK);
}

LRESULT CALLBACK WatchActivation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    auto window = reinterpret_cast<HWND>(wParam);
    char name[16] = {};
    if (GetClassNameA(window, name, sizeof name) > 0 && std::strcmp(name, "#32770") == 0 &&
        !uitest::ModalScript::Claims(window)) {
      gWaiting = window;
      SetTimer(nullptr, 0, 0, Answer);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class UnattendedDialogs : public ::testing::Environment {
 public:
  void SetUp() override { gHook = SetWindowsHookExA(WH_CBT, WatchActivation, nullptr, GetCurrentThreadId()); }
  void TearDown() override {
    if (gHook != nullptr) UnhookWindowsHookEx(gHook);
    gHook = nullptr;
  }
};

[[maybe_unused]] const auto* const gRegistered = ::testing::AddGlobalTestEnvironment(new UnattendedDialogs);

}  // namespace
