// Small window helpers shared by the controls.
#pragma once

#include <windows.h>

namespace quiltora {

// The window's rectangle in its parent's client coordinates.
bool WindowRectInParent(HWND window, RECT* rect);
// The rectangle of a dialog's control in the dialog's client coordinates.
bool ControlRectInDialog(HWND dialog, int id, RECT* rect);

}  // namespace quiltora
