#include "controls/win32/slider.h"

#include <cstdio>
#include <new>
#include <string>

#include "controls/win32/controls_library.h"
#include "controls/win32/slider_internal.h"
#include "controls/win32/uiutil.h"

namespace quiltora {
namespace {

// The value boxes are all "Edit" windows: one previous procedure serves them all.
WNDPROC gValueBoxPrevious = nullptr;

constexpr int kTypedTextLimit = 16;

RECT ToRect(const IntRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

bool Vertical(HWND slider) { return SliderIsVertical(SliderStyleOf(slider)); }

HWND FindSlider(HWND dialog, int id) { return FindLibraryControl(dialog, id, kSliderClassName); }

void NotifyParent(HWND slider) {
  SendMessageA(GetParent(slider), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(slider), 0), reinterpret_cast<LPARAM>(slider));
}

void SetBoxText(HWND box, int32_t value) { SetWindowTextA(box, std::to_string(value).c_str()); }

int TextWidth(HDC dc, const std::string& text) {
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

// The box's window width for the range: the texts with their margin, plus the
// box's borders and inner margins, so that the longer text fits whole.
int32_t MeasureBoxWidth(HWND box, const SliderValues& values) {
  std::string minimum = std::to_string(values.minimum), maximum = std::to_string(values.maximum);
  HDC dc = GetDC(box);
  HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0)));
  int32_t text = ValueBoxWidth(TextWidth(dc, minimum), TextWidth(dc, maximum), static_cast<int32_t>(maximum.size()));
  SelectObject(dc, previous);
  ReleaseDC(box, dc);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(box, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(box, GWL_EXSTYLE)));
  DWORD margins = static_cast<DWORD>(SendMessageA(box, EM_GETMARGINS, 0, 0));
  return text + (frame.right - frame.left) + LOWORD(margins) + HIWORD(margins) + 2;
}

int32_t PresentBoxWidth(HWND box) {
  RECT window{};
  GetWindowRect(box, &window);
  return window.right - window.left;
}

void Layout(HWND slider, SliderData* data, bool measure) {
  RECT client{};
  GetClientRect(slider, &client);
  BaseUnits units{};
  GetLibraryBaseUnits(&units);
  int32_t boxWidth = 0;
  if (data->box != nullptr) boxWidth = measure ? MeasureBoxWidth(data->box, data->values) : PresentBoxWidth(data->box);
  data->geometry = LayoutSlider(IntRect{client.left, client.top, client.right, client.bottom}, SliderStyleOf(slider),
                                units, boxWidth);
  if (data->box != nullptr) {
    const IntRect& e = data->geometry.box;
    MoveWindow(data->box, e.left, e.top, e.right - e.left, e.bottom - e.top, TRUE);
  }
}

void MoveThumb(HWND slider, SliderData* data, int32_t v, bool rewriteText) {
  int32_t target = ClampToRange(v, data->values.minimum, data->values.maximum);
  ThumbMoveAreas areas =
      SliderThumbMoveAreas(data->geometry, Vertical(slider), data->values, data->values.value, target);
  data->values.value = target;
  if (rewriteText && data->box != nullptr) SetBoxText(data->box, target);
  RECT before = ToRect(areas.before), after = ToRect(areas.after);
  InvalidateRect(slider, &before, TRUE);
  InvalidateRect(slider, &after, TRUE);
  UpdateWindow(slider);
}

void InvalidateInParent(HWND slider) {
  RECT r{};
  if (WindowRectInParent(slider, &r)) InvalidateRect(GetParent(slider), &r, TRUE);
}

SliderKey KeyOf(WPARAM key) {
  switch (key) {
    case VK_TAB: return SliderKey::Tab;
    case VK_RETURN: return SliderKey::Enter;
    case VK_ESCAPE: return SliderKey::Escape;
    case VK_PRIOR: return SliderKey::PageUp;
    case VK_NEXT: return SliderKey::PageDown;
    case VK_END: return SliderKey::End;
    case VK_HOME: return SliderKey::Home;
    case VK_LEFT: return SliderKey::Left;
    case VK_RIGHT: return SliderKey::Right;
    case VK_UP: return SliderKey::Up;
    case VK_DOWN: return SliderKey::Down;
    default: return SliderKey::Other;
  }
}

void OnKeyDown(HWND slider, SliderData* data, WPARAM key, LPARAM lParam) {
  auto action = SliderKeyResult(KeyOf(key), data->values);
  if (!action) return;
  if (action->toParent) {
    HWND parent = GetParent(slider);
    SetFocus(parent);
    SendMessageA(parent, WM_KEYDOWN, key, lParam);
  }
  MoveThumb(slider, data, action->value, true);
}

void OnPress(HWND slider, SliderData* data, POINT p) {
  const IntRect& t = data->geometry.track;
  if (p.x < t.left || p.x >= t.right || p.y < t.top || p.y >= t.bottom) return;
  data->tracking = true;
  data->lastPointer = p;
  SetCapture(slider);
  SetFocus(slider);
  bool vertical = Vertical(slider);
  IntRect thumb = SliderThumbRect(data->geometry, vertical, data->values, data->values.value);
  if (p.x >= thumb.left && p.x < thumb.right && p.y >= thumb.top && p.y < thumb.bottom) return;
  int32_t v = SliderValueFromPointer(data->geometry, vertical, data->values, vertical ? p.y : p.x, PressKind::Channel);
  if (v != data->values.value) MoveThumb(slider, data, v, true);
  NotifyParent(slider);
}

// The system also sends WM_MOUSEMOVE when nothing moved (capture taken, a
// window shown); only a pointer that moved is a drag step, or a press in the
// channel would turn into a jump to the pointer.
void OnDrag(HWND slider, SliderData* data, POINT p) {
  if (!data->tracking || (p.x == data->lastPointer.x && p.y == data->lastPointer.y)) return;
  data->lastPointer = p;
  bool vertical = Vertical(slider);
  int32_t v = SliderValueFromPointer(data->geometry, vertical, data->values, vertical ? p.y : p.x, PressKind::Drag);
  if (v != data->values.value) MoveThumb(slider, data, v, true);
  data->focus = true;
  NotifyParent(slider);
}

void OnRelease(HWND slider, SliderData* data) {
  data->tracking = false;
  RECT thumb = ToRect(SliderThumbRect(data->geometry, Vertical(slider), data->values, data->values.value));
  InvalidateRect(slider, &thumb, FALSE);
  UpdateWindow(slider);
  NotifyParent(slider);
  if (GetCapture() == slider) ReleaseCapture();
}

// Takes the typed text over after a key release in the value box.
void TakeOverTyped(HWND slider, SliderData* data) {
  char typed[kTypedTextLimit + 1] = {};
  GetWindowTextA(data->box, typed, sizeof typed);
  auto result = TakeOverTypedText(typed, data->values.minimum, data->values.maximum);
  if (!result) return;
  if (result->replacesText) {
    SetWindowTextA(data->box, result->text.c_str());
    int end = static_cast<int>(result->text.size());
    SendMessageA(data->box, EM_SETSEL, end, end);  // typing goes on after the digits
  }
  if (!result->takesValue) return;
  MoveThumb(slider, data, result->value, false);
  InvalidateRect(slider, nullptr, TRUE);
  UpdateWindow(slider);
  NotifyParent(slider);
}

bool GoesToSlider(WPARAM key) {
  switch (key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_UP:
    case VK_DOWN: return true;
    default: return false;
  }
}

LRESULT CALLBACK ValueBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND slider = GetParent(box);
  SliderData* data = SliderDataOf(slider);
  if (data != nullptr && data->box == box) {
    switch (message) {
      case WM_KILLFOCUS: MoveThumb(slider, data, data->values.value, true); break;
      case WM_KEYDOWN:
        if (GoesToSlider(wParam)) {
          SendMessageA(slider, WM_KEYDOWN, wParam, lParam);
          return 0;
        }
        break;
      case WM_KEYUP:
        if (wParam != VK_TAB) TakeOverTyped(slider, data);
        break;
      default: break;
    }
  }
  if (!IsWindow(box)) return 0;
  return CallWindowProcA(gValueBoxPrevious, box, message, wParam, lParam);
}

bool CreateValueBox(HWND slider, SliderData* data) {
  data->box = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 0,
                              0, slider, nullptr, ControlsInstance(), nullptr);
  if (data->box == nullptr) return false;
  WNDPROC previous =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(data->box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ValueBoxProc)));
  if (gValueBoxPrevious == nullptr) gValueBoxPrevious = previous;
  if (HWND parent = GetParent(slider)) {
    if (LRESULT font = SendMessageA(parent, WM_GETFONT, 0, 0)) SendMessageA(data->box, WM_SETFONT, font, FALSE);
  }
  SetBoxText(data->box, data->values.value);
  if (!IsWindowEnabled(slider)) EnableWindow(data->box, FALSE);  // created disabled: no WM_ENABLE will come
  return true;
}

LRESULT OnCreate(HWND slider) {
  auto* data = new (std::nothrow) SliderData;
  if (data == nullptr) return -1;
  SetWindowLongPtrA(slider, 0, reinterpret_cast<LONG_PTR>(data));
  if (SliderHasValueBox(SliderStyleOf(slider)) && !CreateValueBox(slider, data)) {
    SetWindowLongPtrA(slider, 0, 0);
    delete data;
    return -1;
  }
  Layout(slider, data, true);
  return 0;
}

}  // namespace

SliderData* SliderDataOf(HWND slider) { return reinterpret_cast<SliderData*>(GetWindowLongPtrA(slider, 0)); }

uint32_t SliderStyleOf(HWND slider) { return static_cast<uint32_t>(GetWindowLongPtrA(slider, GWL_STYLE)) & 0xFFFF; }

LRESULT CALLBACK SliderWindowProc(HWND slider, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) return OnCreate(slider);
  SliderData* data = SliderDataOf(slider);
  if (data == nullptr) return DefWindowProcA(slider, message, wParam, lParam);
  POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  switch (message) {
    case WM_DESTROY:
      SetWindowLongPtrA(slider, 0, 0);
      delete data;
      return 0;
    case WM_SETFOCUS:
      data->focus = true;
      if (data->box != nullptr) {
        SetFocus(data->box);
        SendMessageA(data->box, EM_SETSEL, 0, -1);
      }
      InvalidateRect(slider, nullptr, TRUE);
      return 0;
    case WM_KILLFOCUS:
      data->focus = false;
      InvalidateRect(slider, nullptr, TRUE);
      return 0;
    case WM_ENABLE:
      if (data->box != nullptr) EnableWindow(data->box, static_cast<BOOL>(wParam));
      InvalidateRect(slider, nullptr, FALSE);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(slider, &ps);
      PaintSlider(slider, dc, ps.rcPaint, *data);
      EndPaint(slider, &ps);
      return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_WINDOWPOSCHANGED:
      if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_HIDEWINDOW) InvalidateInParent(slider);
      DefWindowProcA(slider, message, wParam, lParam);  // still sends WM_SIZE and WM_MOVE
      return 0;
    case WM_SIZE: Layout(slider, data, data->box == nullptr); return 0;
    case WM_SHOWWINDOW:
      if (!wParam) InvalidateInParent(slider);
      return 0;
    case WM_KEYDOWN: OnKeyDown(slider, data, wParam, lParam); return 0;
    case WM_KEYUP: NotifyParent(slider); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnPress(slider, data, p); return 0;
    case WM_MOUSEMOVE: OnDrag(slider, data, p); return 0;
    case WM_LBUTTONUP: OnRelease(slider, data); return 0;
    case WM_CAPTURECHANGED:
      // Capture taken away mid-drag (a message box, another window): the drag ends.
      if (data->tracking && reinterpret_cast<HWND>(lParam) != slider) data->tracking = false;
      return 0;
    default: return DefWindowProcA(slider, message, wParam, lParam);
  }
}

void SliderSetRange(HWND dialog, int id, int32_t minimum, int32_t maximum, int32_t step, int32_t value) {
  HWND slider = FindSlider(dialog, id);
  if (slider == nullptr) return;
  SliderData* data = SliderDataOf(slider);
  SetSliderRange(&data->values, minimum, maximum, step, value);
  SliderSetTicks(dialog, id, (SliderStyleOf(slider) & kSliderTicksEveryStep) ? data->values.step : -1);
  if (data->box != nullptr && !Vertical(slider) &&
      MeasureBoxWidth(data->box, data->values) != PresentBoxWidth(data->box))
    Layout(slider, data, true);
  InvalidateInParent(slider);
  MoveThumb(slider, data, data->values.value, true);
}

void SliderSetValue(HWND dialog, int id, int32_t value) {
  HWND slider = FindSlider(dialog, id);
  if (slider != nullptr) MoveThumb(slider, SliderDataOf(slider), value, true);
}

int32_t SliderGetValue(HWND dialog, int id) {
  HWND slider = FindSlider(dialog, id);
  if (slider == nullptr) return 0;
  const SliderValues& v = SliderDataOf(slider)->values;
  return ClampToRange(v.value, v.minimum, v.maximum);
}

void SliderSetTicks(HWND dialog, int id, int32_t spacing) {
  HWND slider = FindSlider(dialog, id);
  if (slider == nullptr) return;
  SetSliderTicks(&SliderDataOf(slider)->values, spacing);
  InvalidateInParent(slider);
}

HWND SliderValueBox(HWND slider) {
  SliderData* data = SliderDataOf(slider);
  return data != nullptr ? data->box : nullptr;
}

}  // namespace quiltora
