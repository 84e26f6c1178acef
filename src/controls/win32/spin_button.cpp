#include "controls/win32/spin_button.h"

#include <cstdlib>
#include <new>

#include "controls/button_model.h"
#include "controls/win32/button_kit.h"
#include "controls/win32/control_timers.h"
#include "controls/win32/controls_library.h"
#include "resources/resource_ids.h"

namespace quiltora {
namespace {

constexpr char kSpinProperty[] = "QuiltoraSpinButton";
enum SpinPart { kNoPart = -1, kUpper = 0, kLower = 1, kStrip = 2 };

struct SpinState {
  WNDPROC previous = nullptr;
  bool standalone = false;
  int pressed = kNoPart;
  bool overPressed = false;  // the pointer is over the held button
  int lastY = 0;             // the pointer in the strip at the last step
  UINT delay = 0;            // 0 before the first step, then 500, then 100
};

SpinState* StateOf(HWND window) { return static_cast<SpinState*>(GetPropA(window, kSpinProperty)); }

SpinParts PartsOf(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return LayoutSpinButton(IntRect{client.left, client.top, client.right, client.bottom});
}

RECT ToRect(const IntRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

bool Contains(const IntRect& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

HCURSOR DragCursor() {
  HCURSOR cursor = LoadCursorA(ControlsInstance(), MAKEINTRESOURCEA(IDCUR_SPIN_DRAG));
  return cursor != nullptr ? cursor : LoadCursor(nullptr, IDC_SIZENS);
}

void Notify(HWND window, int code, int extraSteps) {
  SendMessageA(GetParent(window), WM_VSCROLL, MAKEWPARAM(code, extraSteps), reinterpret_cast<LPARAM>(window));
}

void Paint(HWND window, HDC dc, const SpinState& state) {
  SpinParts parts = PartsOf(window);
  RECT strip = ToRect(parts.strip);
  int upper = GlyphFlags(kGlyphUp), lower = GlyphFlags(kGlyphDown);
  if (IsWindowEnabled(window)) {
    FillRect(dc, &strip, GetFrameBrush());
    InflateRect(&strip, -1, -1);
    FillRect(dc, &strip, GetShadowBrush());
    bool stripHeld = state.pressed == kStrip;
    if (stripHeld || (state.pressed == kUpper && state.overPressed)) upper |= kButtonPressedDisabled;
    if (stripHeld || (state.pressed == kLower && state.overPressed)) lower |= kButtonPressedDisabled;
  } else {
    FillRect(dc, &strip, GetShadowBrush());
    upper |= kButtonDisabled;
    lower |= kButtonDisabled;
  }
  DrawButtonWithGlyph(dc, ToRect(parts.upper), upper);
  DrawButtonWithGlyph(dc, ToRect(parts.lower), lower);
}

void Redraw(HWND window) {
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
}

// One repeat step of a held arrow button.
void Tick(HWND window, SpinState* state) {
  POINT pointer{};
  GetCursorPos(&pointer);
  ScreenToClient(window, &pointer);
  SpinParts parts = PartsOf(window);
  bool over = Contains(state->pressed == kUpper ? parts.upper : parts.lower, pointer);
  if (over != state->overPressed) {
    state->overPressed = over;
    Redraw(window);
  }
  if (over) Notify(window, state->pressed, 0);
  UINT next = static_cast<UINT>(NextSpinDelay(static_cast<int32_t>(state->delay)));
  if (next != state->delay) {
    state->delay = next;
    StartControlTimer(window, kSpinRepeatTimer, next);
  }
}

void Press(HWND window, SpinState* state, POINT p) {
  SpinParts parts = PartsOf(window);
  int part = Contains(parts.upper, p)   ? kUpper
             : Contains(parts.lower, p) ? kLower
             : Contains(parts.strip, p) ? kStrip
                                        : kNoPart;
  if (part == kNoPart) return;
  state->pressed = part;
  SetCapture(window);
  if (part == kStrip) {
    state->lastY = p.y;
    Redraw(window);
    return;
  }
  state->overPressed = false;
  state->delay = 0;
  Tick(window, state);
}

void DragInStrip(HWND window, SpinState* state, POINT p) {
  SetCursor(DragCursor());
  SpinParts parts = PartsOf(window);
  int steps = SpinDragSteps(state->lastY, p.y, parts.strip.bottom - parts.strip.top);
  if (steps == 0) return;
  state->lastY = p.y;
  Notify(window, steps > 0 ? SB_LINEUP : SB_LINEDOWN, std::abs(steps) - 1);
  if (state->standalone) Notify(window, SB_ENDSCROLL, 0);
}

void Release(HWND window, SpinState* state) {
  if (state->pressed == kNoPart) return;
  bool strip = state->pressed == kStrip;
  state->pressed = kNoPart;
  state->overPressed = false;
  StopControlTimer(window, kSpinRepeatTimer);
  state->delay = 0;
  if (GetCapture() == window) ReleaseCapture();
  Notify(window, SB_ENDSCROLL, 0);
  if (strip) Notify(window, SB_ENDSCROLL, 0);
  Redraw(window);
}

LRESULT CALLBACK SpinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SpinState* state = StateOf(window);
  if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      Paint(window, dc, *state);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_NCHITTEST: return HTCLIENT;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: Press(window, state, p); return 0;
    case WM_TIMER:
      if (wParam != kSpinRepeatTimer) break;
      if (state->pressed == kUpper || state->pressed == kLower) Tick(window, state);
      return 0;
    case WM_MOUSEMOVE:
      if (state->pressed == kStrip) {
        DragInStrip(window, state, p);
      } else if (state->pressed == kNoPart) {
        SetCursor(Contains(PartsOf(window).strip, p) ? DragCursor() : LoadCursor(nullptr, IDC_ARROW));
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CANCELMODE: Release(window, state); return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != window) Release(window, state);
      return 0;
    case WM_ENABLE: InvalidateRect(window, nullptr, FALSE); return 0;
    case WM_SETCURSOR: return 1;
    case WM_NCDESTROY: {
      WNDPROC previous = state->previous;
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
      RemovePropA(window, kSpinProperty);
      delete state;
      return CallWindowProcA(previous, window, message, wParam, lParam);
    }
    default: break;
  }
  return CallWindowProcA(state->previous, window, message, wParam, lParam);
}

}  // namespace

bool MakeSpinButton(HWND window, bool grow, bool standalone) {
  if (window == nullptr || StateOf(window) != nullptr) return false;
  auto* state = new (std::nothrow) SpinState;
  if (state == nullptr) return false;
  state->standalone = standalone;
  if (!SetPropA(window, kSpinProperty, state)) {
    delete state;
    return false;
  }
  state->previous =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SpinProc)));
  if (grow) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(window, nullptr, r.left, r.top - 1, r.right - r.left, r.bottom - r.top + 2,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(window, nullptr, TRUE);
  return true;
}

}  // namespace quiltora
