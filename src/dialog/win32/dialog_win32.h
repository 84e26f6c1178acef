// The main dialog's window plumbing, shared by the dialog procedure and the
// procedures of its three panes. One dialog at a time: the dialog is modal.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "abi/parameter_block.h"
#include "abi/plugin_api.h"
#include "dialog/main_dialog_model.h"
#include "dialog/source_choice.h"

namespace quiltora {

// Window messages between the dialog and its panes.
constexpr UINT UM_SYMMETRY_CHANGED = WM_USER + 101;
constexpr UINT UM_FEATHER_CHANGED = WM_USER + 102;
constexpr UINT UM_PANE_REFRESH = WM_USER + 103;
constexpr UINT UM_TOGGLE_OUTLINE = WM_USER + 104;
constexpr UINT UM_SOURCE_CHANGED = WM_USER + 105;

// Messages of the two small dialogs: from the picker's pictures to the
// Symmetry dialog, and from the area pane to Select an Area.
constexpr UINT UM_GET_CHOICE = WM_USER + 100;
constexpr UINT UM_SET_CHOICE = WM_USER + 101;  // shares its number with UM_SYMMETRY_CHANGED; other windows
constexpr UINT UM_AREA_CHANGED = WM_USER + 107;

// The module's (or the test program's) instance, whose resources the dialogs use.
HINSTANCE DialogInstance();
// The icon of symmetry 1..17, loaded while the main dialog is open; null otherwise.
HBITMAP SymmetryIcon(int32_t symmetry);
// Where a dialog opens over its owner (see PlaceDialogAt).
void PlaceDialog(HWND dialog, HWND anchor);

// The Symmetry dialog over the main dialog: 1 after OK (symmetry stored, the
// main dialog repainted), 0 after Cancel, -1 when it could not be made.
int16_t RunSymmetryPicker(HWND mainDialog);
// Select an Area on the block's loaded picture: true after OK (sourceArea stored).
bool RunAreaDialog(HWND mainDialog, ParameterBlock* block);

// The common open or save dialog of BMP files, starting in "Tiles" below the
// Windows directory (else the user's Pictures folder); false when cancelled.
bool RunFileDialog(HWND owner, bool save, std::string* path);
// Save Tile: the save dialog, then the tile's pixels written as a BMP file.
bool SaveTileFile(const uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes, int32_t pixelMode,
                  HWND owner);

// The source handling's windows for the main dialog: the file dialog, the
// warnings, the area dialog, the reload question and the Source list.
class WindowSourceSurface : public SourceSurface {
 public:
  explicit WindowSourceSurface(HWND dialog) : dialog_(dialog) {}
  bool ChooseSourceFile(std::string* path) override;
  void ShowFileMessage(const std::string& path, int32_t code) override;
  bool RunAreaDialog(ParameterBlock* block) override;
  bool AskQuestion(const std::string& text) override;
  void SourceListChanged(const SourceList& list) override;

 private:
  HWND dialog_;
};

constexpr int kFeatherSliderId = 343;
constexpr int kOpacitySliderId = 344;
constexpr int kModeListId = 340;
constexpr int kSourceListId = 330;
constexpr int kSourcePaneId = 345;
constexpr int kResultPaneId = 346;
constexpr int kBadgeButtonId = 332;
constexpr int kSaveTileButtonId = 327;
constexpr int kSymmetryButtonId = 328;
constexpr int kTileSizeLabelId = 349;
constexpr int kTilePreviewId = 348;

// What the open dialog holds besides the settings record.
struct DialogWindows {
  HWND dialog = nullptr;
  plugin::FilterRecord* record = nullptr;
  MainDialogModel* model = nullptr;
  bool failed = false;      // a pane could not make its pictures
  HCURSOR hoverCursor = nullptr;  // over the result picture
  HCURSOR dragCursor = nullptr;   // none among the resources: the pointer hides while dragging
  WNDPROC sourcePaneProc = nullptr;  // the procedures the panes replaced
  WNDPROC resultPaneProc = nullptr;
  WNDPROC tilePreviewProc = nullptr;
};
extern DialogWindows gDialog;

LRESULT CALLBACK SourcePaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ResultPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TilePreviewProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);

// The pane's frame: a sunken well three pixels deep inside its client area;
// *inner receives the rectangle inside it.
void DrawSunkenFrame(HDC dc, HWND window, RECT* inner);

// The selection outline, its handles and the feather border drawn in
// inverting mode on the source pane (through dc, or the pane's own when null).
bool XorSelectionOutline(HWND pane, HDC dc, const ParameterBlock& block, const FeatherOutline& feather);

}  // namespace quiltora
