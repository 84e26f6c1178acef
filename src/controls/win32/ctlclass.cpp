// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include "controls/button_model.h"
#include "controls/win32/button_kit.h"
#include "controls/win32/controls_library.h"
#include "controls/win32/slider.h"
#include "controls/win32/unit_num_box.h"
#include "image/ripmem.h"
#include "platform/platform.h"
#include "resources/resource_ids.h"

namespace quiltora {
namespace {

struct LibraryFont {
  HFONT font = nullptr;
  bool owned = false;  // created by the library, deleted at the last stop

  void Release() {
    if (owned && font != nullptr) DeleteObject(font);
    *this = LibraryFont{};
  }
};

struct LibraryState {
  int startCount = 0;
  LibraryFont dialogFont, smallFont, thirdFont;
  BaseUnits baseUnits{0, 0};
  HBRUSH face = nullptr, shadow = nullptr, highlight = nullptr, text = nullptr, frame = nullptr, pattern = nullptr;
};

LibraryState gLibrary;

constexpr UINT kClassStyle = CS_PARENTDC | CS_HREDRAW | CS_VREDRAW;

INT_PTR CALLBACK HandlesNothing(HWND, UINT, WPARAM, LPARAM) { return 0; }

void CreateBrushes(HINSTANCE instance) {
  gLibrary.face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
  gLibrary.shadow = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
  gLibrary.highlight = CreateSolidBrush(GetSysColor(COLOR_BTNHIGHLIGHT));
  gLibrary.text = CreateSolidBrush(GetSysColor(COLOR_BTNTEXT));
  gLibrary.frame = CreateSolidBrush(GetSysColor(COLOR_WINDOWFRAME));
  // Without the pattern bitmap there is no pattern brush; nothing in the
  // library paints with it.
  HBITMAP bitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_PATTERN));
  if (bitmap != nullptr) {
    gLibrary.pattern = CreatePatternBrush(bitmap);
    DeleteObject(bitmap);
  }
}

void DeleteBrushes() {
  for (HBRUSH* brush :
       {&gLibrary.face, &gLibrary.shadow, &gLibrary.highlight, &gLibrary.text, &gLibrary.frame, &gLibrary.pattern}) {
    if (*brush != nullptr) DeleteObject(*brush);
    *brush = nullptr;
  }
}

// The dialog font: the measuring dialog's font at normal weight, else at its
// own weight, else the stock variable-pitch font.
LibraryFont MakeDialogFont(HFONT dialogFont, LOGFONTA* description) {
  LOGFONTA font{};
  if (dialogFont != nullptr && GetObjectA(dialogFont, sizeof font, &font) == sizeof font) {
    LONG weight = font.lfWeight;
    font.lfWeight = FW_NORMAL;
    HFONT created = CreateFontIndirectA(&font);
    if (created == nullptr) {
      font.lfWeight = weight;
      created = CreateFontIndirectA(&font);
    }
    if (created != nullptr) {
      *description = font;
      return LibraryFont{created, true};
    }
  }
  HFONT stock = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
  GetObjectA(stock, sizeof *description, description);
  return LibraryFont{stock, false};
}

LibraryFont MakeSmallFont(const LOGFONTA& dialog, const LibraryFont& dialogFont) {
  LOGFONTA font{};
  font.lfHeight = (dialog.lfHeight * 5) / 6;
  font.lfWeight = FW_NORMAL;
  font.lfQuality = PROOF_QUALITY;
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  for (const char* face : {"Arial", "AvantGarde Md BT"}) {
    lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
    if (HFONT created = CreateFontIndirectA(&font)) return LibraryFont{created, true};
  }
  return LibraryFont{dialogFont.font, false};
}

// Without the measuring dialog: one average character wide and one character
// high in the dialog font, as the system measures dialog base units.
BaseUnits MeasureFont(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SIZE size{};
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  GetTextExtentPoint32A(dc, kAlphabet, 52, &size);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  return BaseUnits{(size.cx / 26 + 1) / 2, metrics.tmHeight};
}

void CreateFontsAndMeasure(HINSTANCE instance) {
  HWND measuring = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MEASURE), nullptr, HandlesNothing, 0);
  HFONT templateFont =
      measuring != nullptr ? reinterpret_cast<HFONT>(SendMessageA(measuring, WM_GETFONT, 0, 0)) : nullptr;
  LOGFONTA description{};
  gLibrary.dialogFont = MakeDialogFont(templateFont, &description);
  gLibrary.smallFont = MakeSmallFont(description, gLibrary.dialogFont);
  if (measuring != nullptr) {
    SendMessageA(measuring, WM_SETFONT, reinterpret_cast<WPARAM>(gLibrary.dialogFont.font), FALSE);
    RECT units{0, 0, 4, 8};
    MapDialogRect(measuring, &units);
    gLibrary.baseUnits = BaseUnits{units.right - units.left, units.bottom - units.top};
    DestroyWindow(measuring);
  } else {
    gLibrary.baseUnits = MeasureFont(gLibrary.dialogFont.font);
  }
}

bool RegisterControlClass(HINSTANCE instance, const char* name, WNDPROC procedure, HCURSOR cursor, HBRUSH background) {
  WNDCLASSA wc{};
  wc.style = kClassStyle;
  wc.lpfnWndProc = procedure;
  wc.cbWndExtra = sizeof(LONG_PTR);  // the control's own record
  wc.hInstance = instance;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  return RegisterClassA(&wc) != 0;
}

BOOL CALLBACK SendFontTo(HWND child, LPARAM font) {
  SendMessageA(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
  return TRUE;
}

void ReleaseShared() {
  ButtonKitStop();
  DeleteBrushes();
  gLibrary.dialogFont.Release();
  gLibrary.smallFont.Release();
  gLibrary.thirdFont.Release();
  gLibrary.baseUnits = BaseUnits{0, 0};
}

}  // namespace

HINSTANCE ControlsInstance() {
  auto instance = static_cast<HINSTANCE>(platform::ModuleInstance());
  return instance != nullptr ? instance : GetModuleHandleA(nullptr);
}

bool ControlsStartup() {
  if (gLibrary.startCount == 0) {
    HINSTANCE instance = ControlsInstance();
    CreateBrushes(instance);
    CreateFontsAndMeasure(instance);
    ButtonKitStart(instance);
    if (!RegisterControlClass(instance, kUnitNumBoxClassName, UnitNumBoxWindowProc, nullptr, nullptr)) {
      ReleaseShared();
      return false;
    }
    if (!RegisterControlClass(instance, kSliderClassName, SliderWindowProc, LoadCursor(nullptr, IDC_ARROW),
                              reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) {
      UnregisterClassA(kUnitNumBoxClassName, instance);
      ReleaseShared();
      return false;
    }
    InitCommonControls();
  }
  ++gLibrary.startCount;
  return true;
}

void ControlsShutdown() {
  if (gLibrary.startCount <= 0) {
    ReportAssertion("ctlclass", __LINE__);
    return;
  }
  if (--gLibrary.startCount > 0) return;
  HINSTANCE instance = ControlsInstance();
  UnregisterClassA(kUnitNumBoxClassName, instance);
  UnregisterClassA(kSliderClassName, instance);
  ReleaseShared();
}

bool IsControlsStarted() { return gLibrary.startCount != 0; }

void SetLibraryFont(HWND window) {
  auto font = reinterpret_cast<WPARAM>(gLibrary.dialogFont.font);
  SendMessageA(window, WM_SETFONT, font, FALSE);
  EnumChildWindows(window, SendFontTo, static_cast<LPARAM>(font));
}

bool GetLibraryBaseUnits(BaseUnits* units) {
  if (units == nullptr) {
    ReportAssertion("ctlclass", __LINE__);
    return false;
  }
  *units = gLibrary.baseUnits;
  return units->x >= 1 && units->y >= 1;
}

int GetLibraryBaseUnitY() { return gLibrary.baseUnits.y; }

HFONT GetLibraryDialogFont() { return gLibrary.dialogFont.font; }
HFONT GetLibrarySmallFont() { return gLibrary.smallFont.font; }
HFONT GetLibraryThirdFont() { return gLibrary.thirdFont.font; }
HBRUSH GetFaceBrush() { return gLibrary.face; }
HBRUSH GetShadowBrush() { return gLibrary.shadow; }
HBRUSH GetHighlightBrush() { return gLibrary.highlight; }
HBRUSH GetTextBrush() { return gLibrary.text; }
HBRUSH GetFrameBrush() { return gLibrary.frame; }
HBRUSH GetPatternBrush() { return gLibrary.pattern; }

COLORREF GetDisabledTextColor(COLORREF background) {
  return DisabledTextColourFor(GetSysColor(COLOR_GRAYTEXT), background);
}

}  // namespace quiltora
