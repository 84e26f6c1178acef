#include "controls/win32/uiutil.h"

namespace quiltora {

bool WindowRectInParent(HWND window, RECT* rect) {
  if (window == nullptr || !GetWindowRect(window, rect)) return false;
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(rect), 2);
  return true;
}

bool ControlRectInDialog(HWND dialog, int id, RECT* rect) { return WindowRectInParent(GetDlgItem(dialog, id), rect); }

HWND FindLibraryControl(HWND dialog, int id, const char* className) {
  HWND control = GetDlgItem(dialog, id);
  char name[32] = {};
  if (control == nullptr || GetClassNameA(control, name, sizeof name) == 0 || lstrcmpA(name, className) != 0)
    return nullptr;
  return GetWindowLongPtrA(control, 0) != 0 ? control : nullptr;
}

}  // namespace quiltora
