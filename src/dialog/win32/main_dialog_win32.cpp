// The main dialog on Windows: dialog 1000 over the host's window, its
// controls made at run time over the background picture, the commands of
// the sliders, lists and picture buttons. What the commands do to the
// settings record is MainDialogModel's; this file only routes.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "controls/win32/controls_library.h"
#include "controls/win32/slider.h"
#include "dialog/main_layout.h"
#include "dialog/pane_layout.h"
#include "composite/tile_image.h"
#include "dialog/win32/dialog_win32.h"
#include "host/run_state.h"
#include "host/main_dialog.h"
#include "host/messages.h"
#include "host/parameters.h"
#include "platform/platform.h"
#include "resources/resource_ids.h"
#include "symmetry/catalogue.h"

namespace quiltora {

DialogWindows gDialog;

namespace {

constexpr DWORD kSliderValueBoxAfter = 0x0100;
constexpr int kDroppedListWidth = 100;
constexpr int kListTextLength = 80;
constexpr int kIgnoredCommandId = 354;  // handled, with nothing to do

struct DialogPictures {
  HBITMAP icons[kSymmetryCount] = {};  // by symmetry number - 1
  HBITMAP background = nullptr;
  HBITMAP ok = nullptr, okPressed = nullptr;
  HBITMAP badge = nullptr, badgePressed = nullptr;
  HBITMAP cancel = nullptr, cancelPressed = nullptr;
  HBITMAP saveTile = nullptr, saveTilePressed = nullptr;
  HFONT labelFont = nullptr;
};
DialogPictures gPictures;

HINSTANCE Instance() { return DialogInstance(); }

HBITMAP LoadPicture(int id) { return LoadBitmapA(Instance(), MAKEINTRESOURCEA(id)); }

void DeletePicture(HBITMAP* picture) {
  if (*picture != nullptr) DeleteObject(*picture);
  *picture = nullptr;
}

// What the model asks of the windows.
class WindowSurface : public DialogSurface {
 public:
  void XorSelection() override {
    const ParameterBlock* block = gDialog.model != nullptr ? gDialog.model->block() : nullptr;
    if (block != nullptr)
      XorSelectionOutline(GetDlgItem(gDialog.dialog, kSourcePaneId), nullptr, *block, gDialog.model->featherOutline());
  }
  void EnableFeatherSlider(bool enable) override {
    EnableWindow(GetDlgItem(gDialog.dialog, kFeatherSliderId), enable ? TRUE : FALSE);
  }
  // A slider that shows the value already is left alone: rewriting its box
  // while the user types a number there would put the caret back before the
  // digits typed so far.
  void SetFeatherSlider(int32_t value) override {
    if (SliderGetValue(gDialog.dialog, kFeatherSliderId) != value) SliderSetValue(gDialog.dialog, kFeatherSliderId, value);
  }
  void ShowTileSize(int32_t width, int32_t height) override {
    char text[32];
    std::snprintf(text, sizeof text, "%d x %d", int(width), int(height));
    // The same text again would only repaint the label on every pointer move.
    char shown[32] = {};
    GetDlgItemTextA(gDialog.dialog, kTileSizeLabelId, shown, sizeof shown);
    if (std::strcmp(shown, text) != 0) SetDlgItemTextA(gDialog.dialog, kTileSizeLabelId, text);
  }
  void RedrawTilePreview() override { SendDlgItemMessageA(gDialog.dialog, kTilePreviewId, UM_PANE_REFRESH, 0, 0); }
  void RedrawResultPane() override { SendDlgItemMessageA(gDialog.dialog, kResultPaneId, UM_PANE_REFRESH, 0, 0); }
  void WarnFeatherLowered() override { ShowModuleMessage(IDS_FEATHER_OUTSIDE, MessageForm::Warning); }
};
WindowSurface gSurface;
std::unique_ptr<WindowSourceSurface> gSourceSurface;

// The controls in creation order, with their classes and styles.
struct ControlKind {
  const ControlPlace* place;
  const char* className;
  DWORD style;
  const char* text;
};
constexpr DWORD kPictureButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;
constexpr DWORD kDropList = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
const ControlKind kControlKinds[] = {
    {&kFeatherSlider, kSliderClassName, WS_CHILD | WS_VISIBLE | WS_TABSTOP | kSliderValueBoxAfter, ""},
    {&kOpacitySlider, kSliderClassName, WS_CHILD | WS_VISIBLE | WS_TABSTOP | kSliderValueBoxAfter, ""},
    {&kModeList, "combobox", kDropList, ""},
    {&kSourceList, "combobox", kDropList, ""},
    {&kSourcePane, "Static", WS_CHILD | WS_VISIBLE, ""},
    {&kResultPane, "Static", WS_CHILD | WS_VISIBLE, ""},
    {&kBadgeButton, "button", kPictureButton, ""},
    {&kOkButton, "button", kPictureButton, ""},
    {&kCancelButton, "button", kPictureButton, ""},
    {&kSaveTileButton, "button", kPictureButton, ""},
    {&kSymmetryButton, "button", kPictureButton, ""},
    {&kTileSizeLabel, "Static", WS_CHILD | WS_VISIBLE | SS_CENTER, " x "},
    {&kTilePreview, "button", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, ""},
};

// Every string from first to last that is not empty, then the item that
// begins with string `selected`, searched from item 1 round to item 0.
void FillComboFromStrings(HWND dialog, int id, int first, int last, int selected) {
  char text[kListTextLength + 1];
  for (int string = first; string <= last; ++string)
    if (platform::LoadModuleString(string, text, sizeof text) > 0)
      SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  if (platform::LoadModuleString(selected, text, sizeof text) <= 0) return;
  LRESULT found = SendDlgItemMessageA(dialog, id, CB_FINDSTRING, 0, reinterpret_cast<LPARAM>(text));
  if (found != CB_ERR) SendDlgItemMessageA(dialog, id, CB_SETCURSEL, WPARAM(found), 0);
}

void PlaceDialogOver(HWND dialog, HWND anchor) {
  DialogPlacementInput in;
  RECT window{};
  GetWindowRect(dialog, &window);
  in.dialog = IntRect{window.left, window.top, window.right, window.bottom};
  HWND owner = GetWindow(dialog, GW_OWNER);
  in.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  in.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  if (owner != nullptr) {
    RECT r{};
    GetWindowRect(owner, &r);
    in.hasOwner = true;
    in.owner = IntRect{r.left, r.top, r.right, r.bottom};
  } else {
    in.owner = IntRect{0, 0, in.screenWidth - 1, in.screenHeight - 1};
  }
  in.anchorIsOwner = anchor == owner;
  in.captionHeight = GetSystemMetrics(SM_CYCAPTION);
  RECT units{0, 0, 16, 16};
  MapDialogRect(dialog, &units);
  in.sixteenUnitsX = units.right;
  in.sixteenUnitsY = units.bottom;
  RECT eight{0, 0, 0, 8};
  MapDialogRect(dialog, &eight);
  in.eightUnitsY = eight.bottom;
  const IntPoint at = PlaceDialogAt(in);
  SetWindowPos(dialog, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The client area is the background picture's size whatever frame the
// system draws: the window is sized by the frame it actually has.
void SizeClientArea(HWND dialog) {
  RECT window{}, client{};
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  const int frameWidth = (window.right - window.left) - client.right;
  const int frameHeight = (window.bottom - window.top) - client.bottom;
  SetWindowPos(dialog, nullptr, 0, 0, kMainClientWidth + frameWidth, kMainClientHeight + frameHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

void LoadPictures() {
  for (int32_t n = 1; n <= kSymmetryCount; ++n) gPictures.icons[n - 1] = LoadPicture(FindSymmetryInfo(n)->iconBitmap);
  gPictures.background = LoadPicture(IDB_BACKGROUND);
  gPictures.ok = LoadPicture(IDB_OK);
  gPictures.okPressed = LoadPicture(IDB_OK_PRESSED);
  gPictures.badge = LoadPicture(IDB_BADGE);
  gPictures.badgePressed = LoadPicture(IDB_BADGE_PRESSED);
  gPictures.cancel = LoadPicture(IDB_CANCEL);
  gPictures.cancelPressed = LoadPicture(IDB_CANCEL_PRESSED);
  gPictures.saveTile = LoadPicture(IDB_SAVE_TILE);
  gPictures.saveTilePressed = LoadPicture(IDB_SAVE_TILE_PRESSED);
}

void ReleasePictures() {
  for (HBITMAP& icon : gPictures.icons) DeletePicture(&icon);
  for (HBITMAP* picture : {&gPictures.background, &gPictures.ok, &gPictures.okPressed, &gPictures.badge,
                           &gPictures.badgePressed, &gPictures.cancel, &gPictures.cancelPressed, &gPictures.saveTile,
                           &gPictures.saveTilePressed})
    DeletePicture(picture);
  if (gPictures.labelFont != nullptr) DeleteObject(gPictures.labelFont);
  gPictures.labelFont = nullptr;
}

// False when a control could not be made.
bool CreateControls(HWND dialog) {
  for (const ControlKind& kind : kControlKinds) {
    const ControlPlace& p = *kind.place;
    HWND control = CreateWindowExA(0, kind.className, kind.text, kind.style, p.left, p.top, p.width, p.height, dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(p.id)), Instance(), nullptr);
    if (control == nullptr) return false;
    if (p.id == kModeListId || p.id == kSourceListId) SendMessageA(control, CB_SETDROPPEDWIDTH, kDroppedListWidth, 0);
    if (p.id == kTileSizeLabelId) {
      gPictures.labelFont = CreateFontA(-10, 0, 0, 0, 100, FALSE, FALSE, FALSE, 1, 6, 0, 2, 0x30, "arial");
      if (gPictures.labelFont != nullptr) SendMessageA(control, WM_SETFONT, WPARAM(gPictures.labelFont), FALSE);
    }
  }
  return true;
}

WNDPROC ReplaceProcedure(HWND dialog, int id, WNDPROC procedure) {
  return reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(GetDlgItem(dialog, id), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

void EndWith(HWND dialog, INT_PTR code) { EndDialog(dialog, code); }

BOOL Open(HWND dialog, plugin::FilterRecord* record) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(record));
  gDialog.dialog = dialog;
  gDialog.record = record;
  gDialog.failed = false;
  PlaceDialogOver(dialog, GetWindow(dialog, GW_OWNER));
  SetLibraryFont(dialog);
  SizeClientArea(dialog);
  LoadPictures();
  if (!CreateControls(dialog)) {
    EndWith(dialog, plugin::kMemFullErr);
    return TRUE;
  }
  gDialog.hoverCursor = LoadCursorA(Instance(), MAKEINTRESOURCEA(IDCUR_RESULT_HOVER));
  gDialog.dragCursor = LoadCursorA(Instance(), MAKEINTRESOURCEA(IDCUR_RESULT_DRAG));
  const ParameterBlock* block = gDialog.model->block();
  SliderSetRange(dialog, kFeatherSliderId, 0, 100, 1, block->feather);
  SliderSetRange(dialog, kOpacitySliderId, 1, 100, 1, block->opacity & 0xFF);
  FillComboFromStrings(dialog, kSourceListId, IDS_ORIGINAL_IMAGE, IDS_NEW_IMAGE, IDS_ORIGINAL_IMAGE);
  FillComboFromStrings(dialog, kModeListId, IDS_BLEND_FIRST, IDS_BLEND_LAST, IDS_BLEND_FIRST - 1 + block->blendMode);
  gDialog.sourcePaneProc = ReplaceProcedure(dialog, kSourcePaneId, SourcePaneProc);
  gDialog.resultPaneProc = ReplaceProcedure(dialog, kResultPaneId, ResultPaneProc);
  gDialog.tilePreviewProc = ReplaceProcedure(dialog, kTilePreviewId, TilePreviewProc);
  gSourceSurface = std::make_unique<WindowSourceSurface>(dialog);
  gDialog.model->SetSourceSurface(gSourceSurface.get());
  const int16_t opened = gDialog.model->Open();
  if (opened != 0) {
    EndWith(dialog, opened);
    return TRUE;
  }
  const LPARAM recordParam = reinterpret_cast<LPARAM>(record);
  SendDlgItemMessageA(dialog, kTilePreviewId, WM_INITDIALOG, 0, recordParam);
  SendDlgItemMessageA(dialog, kResultPaneId, WM_INITDIALOG, 0, recordParam);
  SendDlgItemMessageA(dialog, kSourcePaneId, WM_INITDIALOG, 0, recordParam);
  if (gDialog.failed) {
    EndWith(dialog, plugin::kMemFullErr);
    return TRUE;
  }
  if (record->imageMode == plugin::kModeCMYK) EnableWindow(GetDlgItem(dialog, kSaveTileButtonId), FALSE);
  // The focus goes to the first tab stop, the Feather slider, which hands it to its value box.
  return TRUE;
}


// Save Tile: the tile the preview shows, as a BMP file the user names.
void SaveTile(HWND dialog) {
  if (gTile != nullptr) {
    const uint8_t* pixels = gTile->Lock();
    if (pixels != nullptr) {
      SaveTileFile(pixels, gTile->width, gTile->height, gTile->rowBytes, gTile->pixelMode, dialog);
      gTile->Unlock();
    }
  }
  gDialog.model->RefreshPreviews(true, false);
}

BOOL Command(HWND dialog, int id, int notification) {
  MainDialogModel& model = *gDialog.model;
  switch (id) {
    case IDOK:
      model.Accept();
      EndWith(dialog, 1);
      return TRUE;
    case IDCANCEL: EndWith(dialog, 0); return TRUE;
    case kSaveTileButtonId: SaveTile(dialog); return TRUE;
    case kSymmetryButtonId:
      // OK, or a picker that could not be made (-1): the pane rebuilds its outline.
      if (RunSymmetryPicker(dialog) != 0) SendDlgItemMessageA(dialog, kSourcePaneId, UM_SYMMETRY_CHANGED, 0, 0);
      return TRUE;
    case kSourceListId:
      if (notification == CBN_SELCHANGE) {
        const LRESULT item = SendDlgItemMessageA(dialog, kSourceListId, CB_GETCURSEL, 0, 0);
        if (item != CB_ERR) {
          model.SourceChosen(IDS_ORIGINAL_IMAGE + int(item));
          SendDlgItemMessageA(dialog, kSourcePaneId, UM_SOURCE_CHANGED, 0, 0);
          InvalidateRect(GetDlgItem(dialog, kSourcePaneId), nullptr, FALSE);
        }
      }
      return TRUE;
    case kModeListId:
      if (notification == CBN_SELCHANGE)
        model.ModeChosen(int(SendDlgItemMessageA(dialog, kModeListId, CB_GETCURSEL, 0, 0)));
      return TRUE;
    case kFeatherSliderId: model.FeatherMoved(SliderGetValue(dialog, kFeatherSliderId)); return TRUE;
    case kOpacitySliderId: model.OpacityMoved(SliderGetValue(dialog, kOpacitySliderId)); return TRUE;
    case kIgnoredCommandId: return TRUE;
    default: return FALSE;  // button 332 among them: a click does nothing
  }
}

BOOL DrawItem(const DRAWITEMSTRUCT& item) {
  const ParameterBlock* block = gDialog.model->block();
  const int width = item.rcItem.right - item.rcItem.left;
  const int height = item.rcItem.bottom - item.rcItem.top;
  HDC memory = CreateCompatibleDC(item.hDC);
  if (memory == nullptr) return TRUE;
  HBITMAP picture = nullptr;
  int x = 0, y = 0;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  switch (item.CtlID) {
    case kSymmetryButtonId: {
      const int32_t n = block != nullptr ? block->symmetry : 0;
      picture = n >= 1 && n <= kSymmetryCount ? gPictures.icons[n - 1] : nullptr;
      BITMAP size{};
      if (picture != nullptr && GetObjectA(picture, sizeof size, &size) != 0) {
        x = std::abs(int(size.bmWidth) - width) / 2;
        y = std::abs(int(size.bmHeight) - height) / 2;
      }
      break;
    }
    case IDOK: picture = pressed ? gPictures.okPressed : gPictures.ok; break;
    case IDCANCEL: picture = pressed ? gPictures.cancelPressed : gPictures.cancel; break;
    case kSaveTileButtonId: picture = pressed ? gPictures.saveTilePressed : gPictures.saveTile; break;
    case kBadgeButtonId: picture = pressed ? gPictures.badgePressed : gPictures.badge; break;
    default: break;
  }
  if (picture != nullptr) {
    HGDIOBJ previous = SelectObject(memory, picture);
    BitBlt(item.hDC, x, y, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    if (item.CtlID == kSymmetryButtonId) RealizePalette(item.hDC);
  }
  DeleteDC(memory);
  return TRUE;
}

void PaintBackground(HWND dialog) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  BITMAP size{};
  if (gPictures.background != nullptr && GetObjectA(gPictures.background, sizeof size, &size) != 0) {
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, gPictures.background);
    BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
  }
  EndPaint(dialog, &paint);
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return Open(dialog, reinterpret_cast<plugin::FilterRecord*>(lParam));
    case WM_COMMAND: return gDialog.model != nullptr ? Command(dialog, LOWORD(wParam), HIWORD(wParam)) : FALSE;
    case WM_DRAWITEM: return DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_PAINT: PaintBackground(dialog); return TRUE;
    case WM_CLOSE: EndWith(dialog, 0); return TRUE;
    case WM_DESTROY:
      ReleasePictures();
      // The cursors come from resources: the system keeps them.
      gDialog.hoverCursor = gDialog.dragCursor = nullptr;
      gDialog.model->Close();
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

HINSTANCE DialogInstance() { return static_cast<HINSTANCE>(platform::ModuleInstance()); }

HBITMAP SymmetryIcon(int32_t symmetry) {
  return symmetry >= 1 && symmetry <= kSymmetryCount ? gPictures.icons[symmetry - 1] : nullptr;
}

void PlaceDialog(HWND dialog, HWND anchor) { PlaceDialogOver(dialog, anchor); }

int16_t LinkedMainDialog(plugin::FilterRecord* record) {
  HWND owner = nullptr;
  if (record->platformData != nullptr) {
    owner = reinterpret_cast<HWND>(static_cast<plugin::PlatformData*>(record->platformData)->hwnd);
    // A window that is gone cannot own the dialog; it opens on its own.
    if (owner != nullptr && !IsWindow(owner)) owner = nullptr;
  }
  MainDialogModel model(record, &gSurface);
  gDialog = DialogWindows{};
  gDialog.model = &model;
  const INT_PTR ended = DialogBoxParamA(Instance(), MAKEINTRESOURCEA(IDD_MAIN), owner, MainDialogProc,
                                        reinterpret_cast<LPARAM>(record));
  // The panes are destroyed after the dialog: the model goes last.
  model.Close();
  gSourceSurface.reset();
  gDialog = DialogWindows{};
  if (ended == 1) {
    if (owner != nullptr) {
      InvalidateRect(owner, nullptr, TRUE);
      // A window of another thread repaints when that thread next looks at its messages.
      if (GetWindowThreadProcessId(owner, nullptr) == GetCurrentThreadId()) UpdateWindow(owner);
    }
    return 0;
  }
  if (ended == 0) return plugin::kStopped;
  // The dialog could not be made, or could not make what it shows.
  return ended < 0 && ended != -1 ? int16_t(ended) : int16_t(plugin::kMemFullErr);
}

}  // namespace quiltora
