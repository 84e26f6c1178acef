// Starting and stopping the controls library, in this program and through
// the module's own load and unload.
#include "controls/win32/controls_library.h"

#include <gtest/gtest.h>

#include "controls/win32/slider.h"
#include "filterhost.h"
#include "resources/resource_ids.h"
#include "ui_harness.h"

namespace quiltora {
namespace {

bool Registered(HINSTANCE instance, const char* name) {
  WNDCLASSA wc{};
  return GetClassInfoA(instance, name, &wc) != 0;
}

TEST(ControlsLibrary, TwoStartsAndOneStopKeepTheClassesRegistered) {
  ASSERT_FALSE(IsControlsStarted());
  HINSTANCE instance = ControlsInstance();
  ASSERT_TRUE(ControlsStartup());
  ASSERT_TRUE(ControlsStartup());
  ControlsShutdown();
  EXPECT_TRUE(IsControlsStarted());
  EXPECT_TRUE(Registered(instance, kSliderClassName));
  EXPECT_TRUE(Registered(instance, kUnitNumBoxClassName));
  HFONT font = GetLibraryDialogFont();
  LOGFONTA description{};
  EXPECT_EQ(GetObjectA(font, sizeof description, &description), int(sizeof description));  // still alive
  EXPECT_EQ(description.lfWeight, FW_NORMAL);
  for (HBRUSH brush : {GetFaceBrush(), GetShadowBrush(), GetHighlightBrush(), GetTextBrush(), GetFrameBrush()})
    EXPECT_EQ(GetObjectType(brush), DWORD(OBJ_BRUSH));
  {
    uitest::TestDialog dialog(200, 60);
    EXPECT_NE(dialog.Add(kSliderClassName, 10, kSliderBoxAfter, RECT{10, 10, 156, 28}), nullptr);
  }
  ControlsShutdown();
  EXPECT_FALSE(IsControlsStarted());
  EXPECT_FALSE(Registered(instance, kSliderClassName));
  EXPECT_FALSE(Registered(instance, kUnitNumBoxClassName));
  EXPECT_EQ(GetLibraryDialogFont(), nullptr);
  BaseUnits units{};
  EXPECT_FALSE(GetLibraryBaseUnits(&units));
}

TEST(ControlsLibrary, AFailedRegistrationFailsTheStartAndLeavesNothingBehind) {
  // Someone else's class of the same name and instance makes the slider's registration fail.
  WNDCLASSA taken{};
  taken.lpfnWndProc = DefWindowProcA;
  taken.hInstance = ControlsInstance();
  taken.lpszClassName = kSliderClassName;
  ASSERT_NE(RegisterClassA(&taken), 0);
  EXPECT_FALSE(ControlsStartup());
  EXPECT_FALSE(IsControlsStarted());
  EXPECT_FALSE(Registered(ControlsInstance(), kUnitNumBoxClassName));
  EXPECT_EQ(GetLibraryDialogFont(), nullptr);
  UnregisterClassA(kSliderClassName, ControlsInstance());
  uitest::ControlsLibraryScope library;  // and once the name is free, the start works again
  EXPECT_TRUE(library.ok());
}

TEST(ControlsLibrary, SharedObjectsAndBaseUnits) {
  uitest::ControlsLibraryScope library;
  ASSERT_TRUE(library.ok());
  BaseUnits units{};
  ASSERT_TRUE(GetLibraryBaseUnits(&units));
  EXPECT_EQ(units.y, GetLibraryBaseUnitY());
  EXPECT_NE(GetLibrarySmallFont(), nullptr);
  EXPECT_EQ(GetLibraryThirdFont(), nullptr);  // nothing fills that slot
  if (FindResourceA(ControlsInstance(), MAKEINTRESOURCEA(IDD_MEASURE), MAKEINTRESOURCEA(5))) {
    // Exactly the pixel size of 4 x 8 dialog units of the measuring dialog.
    HWND measuring = CreateDialogParamA(
        ControlsInstance(), MAKEINTRESOURCEA(IDD_MEASURE), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return 0; }, 0);
    ASSERT_NE(measuring, nullptr);
    RECT r{0, 0, 4, 8};
    MapDialogRect(measuring, &r);
    DestroyWindow(measuring);
    EXPECT_EQ(units.x, r.right);
    EXPECT_EQ(units.y, r.bottom);
    EXPECT_NE(GetPatternBrush(), nullptr);
  } else {
    // Without the dialog: one average character of the dialog font by one line.
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, GetLibraryDialogFont());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(units.y, metrics.tmHeight);
    EXPECT_NEAR(units.x, metrics.tmAveCharWidth, 2);
  }
}

TEST(ControlsLibrary, LibraryFontReachesEveryWindowBelow) {
  uitest::ControlsLibraryScope library;
  ASSERT_TRUE(library.ok());
  uitest::TestDialog dialog(240, 80);
  HWND slider = dialog.Add(kSliderClassName, 10, kSliderBoxAfter, RECT{10, 10, 156, 28});
  HWND label = dialog.Add("Static", 11, 0, RECT{10, 40, 100, 56}, "Opacity");
  SetLibraryFont(dialog.hwnd());
  auto font = reinterpret_cast<LRESULT>(GetLibraryDialogFont());
  EXPECT_EQ(SendMessageA(label, WM_GETFONT, 0, 0), font);
  EXPECT_EQ(SendMessageA(SliderValueBox(slider), WM_GETFONT, 0, 0), font);  // a grandchild
}

TEST(ControlsLibrary, LoadingTheModuleStartsItAndUnloadingStopsIt) {
  HMODULE module = LoadLibraryA(filterhost::ModuleBesideExecutable().c_str());
  ASSERT_NE(module, nullptr);
  auto instance = reinterpret_cast<HINSTANCE>(module);
  WNDCLASSA slider{};
  ASSERT_TRUE(GetClassInfoA(instance, kSliderClassName, &slider));
  EXPECT_EQ(slider.style, UINT(CS_PARENTDC | CS_HREDRAW | CS_VREDRAW));
  EXPECT_EQ(slider.cbWndExtra, int(sizeof(LONG_PTR)));
  EXPECT_EQ(slider.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  EXPECT_EQ(slider.hCursor, LoadCursor(nullptr, IDC_ARROW));
  WNDCLASSA box{};
  ASSERT_TRUE(GetClassInfoA(instance, kUnitNumBoxClassName, &box));
  EXPECT_EQ(box.hCursor, nullptr);
  EXPECT_EQ(box.hbrBackground, nullptr);
  {
    // The module's own slider works in a dialog of this program.
    uitest::TestDialog dialog(200, 60);
    HWND control = CreateWindowExA(0, kSliderClassName, "", WS_CHILD | WS_VISIBLE | kSliderBoxAfter, 10, 10, 146, 18,
                                   dialog.hwnd(), reinterpret_cast<HMENU>(10), instance, nullptr);
    ASSERT_NE(control, nullptr);
    EXPECT_NE(GetWindow(control, GW_CHILD), nullptr);  // its value box
    DestroyWindow(control);
  }
  FreeLibrary(module);
  if (GetModuleHandleA(filterhost::ModuleBesideExecutable().c_str()) == nullptr) {
    EXPECT_FALSE(GetClassInfoA(instance, kSliderClassName, &slider));
    EXPECT_FALSE(GetClassInfoA(instance, kUnitNumBoxClassName, &box));
  }
}

}  // namespace
}  // namespace quiltora
