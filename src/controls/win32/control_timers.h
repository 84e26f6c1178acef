// Timers of the spin button and the number box. A test installs an observer
// to see which intervals the controls ask for and delivers the ticks itself,
// so that no test has to wait for a timer.
#pragma once

#include <windows.h>

namespace quiltora {

// Receives every request: milliseconds > 0 starts (or restarts) timer id of
// window, 0 stops it. While an observer is installed no system timer runs.
using ControlTimerObserver = void (*)(HWND window, UINT_PTR id, UINT milliseconds);
void SetControlTimerObserver(ControlTimerObserver observer);

void StartControlTimer(HWND window, UINT_PTR id, UINT milliseconds);
void StopControlTimer(HWND window, UINT_PTR id);

}  // namespace quiltora
