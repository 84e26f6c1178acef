// Small window helpers shared by the controls.
#pragma once

#include <windows.h>

namespace quiltora {

// The window's rectangle in its parent's client coordinates.
bool WindowRectInParent(HWND window, RECT* rect);
// The rectangle of a dialog's control in the dialog's client coordinates.
bool ControlRectInDialog(HWND dialog, int id, RECT* rect);

// The dialog's control of that id when it is of the library's class
// `className` and holds its record (window extra bytes 0); null otherwise.
HWND FindLibraryControl(HWND dialog, int id, const char* className);

}  // namespace quiltora
