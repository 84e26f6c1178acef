#include "controls/win32/control_timers.h"

namespace quiltora {
namespace {

ControlTimerObserver gObserver = nullptr;

}  // namespace

void SetControlTimerObserver(ControlTimerObserver observer) { gObserver = observer; }

void StartControlTimer(HWND window, UINT_PTR id, UINT milliseconds) {
  if (gObserver != nullptr) {
    gObserver(window, id, milliseconds);
    return;
  }
  SetTimer(window, id, milliseconds, nullptr);
}

void StopControlTimer(HWND window, UINT_PTR id) {
  if (gObserver != nullptr) {
    gObserver(window, id, 0);
    return;
  }
  KillTimer(window, id);
}

}  // namespace quiltora
