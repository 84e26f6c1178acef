// The main dialog's window plumbing, shared by the dialog procedure and the
// procedures of its three panes. One dialog at a time: the dialog is modal.
#pragma once

#include <windows.h>

#include <cstdint>

#include "abi/parameter_block.h"
#include "abi/plugin_api.h"
#include "dialog/main_dialog_model.h"

namespace quiltora {

// Window messages between the dialog and its panes.
constexpr UINT UM_SYMMETRY_CHANGED = WM_USER + 101;
constexpr UINT UM_FEATHER_CHANGED = WM_USER + 102;
constexpr UINT UM_PANE_REFRESH = WM_USER + 103;
constexpr UINT UM_TOGGLE_OUTLINE = WM_USER + 104;
constexpr UINT UM_SOURCE_CHANGED = WM_USER + 105;

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
