// The controls library: a reference-counted start and stop, the shared
// brushes and fonts, the dialog base units every control layout derives from,
// and the two window classes.
#pragma once

#include <windows.h>

#include "controls/slider_model.h"

namespace quiltora {

constexpr char kSliderClassName[] = "KPV60_Slider";
constexpr char kUnitNumBoxClassName[] = "KPV60_UnitNumBox";

// The first start creates the shared objects and registers the classes;
// false (and nothing left behind) when a registration fails.
bool ControlsStartup();
// The stop matching the last start releases everything.
void ControlsShutdown();
bool IsControlsStarted();

// The instance whose resources and classes the library uses: the module's,
// or the program's own when the library is linked into a program (the tests).
HINSTANCE ControlsInstance();

// Sends the dialog font (no redraw) to the window and every window below it.
void SetLibraryFont(HWND window);

// Pixel width of 4 and height of 8 dialog units; true when both are at least 1.
bool GetLibraryBaseUnits(BaseUnits* units);
int GetLibraryBaseUnitY();

// Owned by the library: select them, never delete them.
HFONT GetLibraryDialogFont();
HFONT GetLibrarySmallFont();
HFONT GetLibraryThirdFont();
HBRUSH GetFaceBrush();
HBRUSH GetShadowBrush();
HBRUSH GetHighlightBrush();
HBRUSH GetTextBrush();
HBRUSH GetFrameBrush();
HBRUSH GetPatternBrush();

COLORREF GetDisabledTextColor(COLORREF background);

}  // namespace quiltora
