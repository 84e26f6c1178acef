// The spin button: an upper and a lower arrow button with a drag strip
// between them. It tells its parent with WM_VSCROLL: low word 0 (up) or 1
// (down) with the number of extra steps in the high word, 8 when scrolling ends.
#pragma once

#include <windows.h>

namespace quiltora {

constexpr UINT_PTR kSpinRepeatTimer = 1;

// Turns an existing window into a spin button by replacing its window
// procedure. grow: move it up one pixel and make it two pixels taller.
// standalone: every drag step is followed by a scroll-ended notification.
bool MakeSpinButton(HWND window, bool grow, bool standalone);

}  // namespace quiltora
