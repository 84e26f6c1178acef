#include "controls/win32/uiutil.h"

namespace quiltora {

bool WindowRectInParent(HWND window, RECT* rect) {
  if (window == nullptr || !GetWindowRect(window, rect)) return false;
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(rect), 2);
  return true;
}

bool ControlRectInDialog(HWND dialog, int id, RECT* rect) { return WindowRectInParent(GetDlgItem(dialog, id), rect); }

}  // namespace quiltora
