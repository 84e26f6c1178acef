#include "ui_harness.h"

#include <algorithm>
#include <cstring>

#include "controls/win32/control_timers.h"
#include "controls/win32/controls_library.h"
#include "controls/win32/slider.h"
#include "picture.h"

namespace uitest {
namespace {

constexpr char kHostClass[] = "QuiltoraTestHost";
constexpr int kDialogX = 60, kDialogY = 60;

// The dialog whose messages go through the dialog manager while pumping.
HWND gDialog = nullptr;

// Tags carried by our mouse input, seen again by a mouse hook when this
// thread takes the message from its queue.
ULONG_PTR gNextTag = 0x51C0000;
ULONG_PTR gLastSeenTag = 0;
HHOOK gMouseHook = nullptr;

LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && lParam != 0) {
    ULONG_PTR tag = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam)->dwExtraInfo;
    if (tag > gLastSeenTag) gLastSeenTag = tag;
  }
  return CallNextHookEx(gMouseHook, code, wParam, lParam);
}

void EnsureMouseHook() {
  if (gMouseHook == nullptr) gMouseHook = SetWindowsHookExA(WH_MOUSE, MouseHook, nullptr, GetCurrentThreadId());
}

bool PumpOnce() {
  MSG msg;
  bool any = false;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    any = true;
    if (gDialog != nullptr && IsDialogMessageA(gDialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return any;
}

bool SendMouse(DWORD flags, LONG dx, LONG dy) {
  EnsureMouseHook();
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = flags;
  input.mi.dwExtraInfo = ++gNextTag;
  ULONG_PTR tag = gNextTag;
  if (SendInput(1, &input, sizeof input) != 1) return false;
  bool seen = PumpUntil([tag] { return gLastSeenTag >= tag; });
  Drain();
  return seen;
}

bool SendKey(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SHORT before = GetKeyState(key);
  if (SendInput(1, &input, sizeof input) != 1) return false;
  // Key state as this thread's messages left it: a press flips the toggle
  // bit and sets the high bit, a release clears the high bit.
  bool seen = PumpUntil([&] {
    SHORT now = GetKeyState(key);
    return up ? (now & 0x8000) == 0 : (now & 1) != (before & 1);
  });
  Drain();
  return seen;
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateHost() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = kHostClass;
    registered = RegisterClassA(&wc) != 0;
  }
  return CreateWindowExA(0, kHostClass, "Quiltora test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 700, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

bool IsSlider(HWND window) {
  char name[32] = {};
  return GetClassNameA(window, name, sizeof name) > 0 && std::strcmp(name, quiltora::kSliderClassName) == 0;
}

TimerRecorder* gRecorder = nullptr;

void RecordTimer(HWND window, UINT_PTR id, UINT milliseconds) {
  if (gRecorder != nullptr) gRecorder->requests.push_back({window, id, milliseconds});
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, DWORD timeout) {
  DWORD start = GetTickCount();
  for (;;) {
    PumpOnce();
    if (done()) return true;
    if (GetTickCount() - start > timeout) return false;
    // Nothing queued yet: wait for the next message rather than spin.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void Drain() {
  for (int round = 0; round < 100 && (PumpOnce() || GetQueueStatus(QS_ALLINPUT) != 0); ++round) {
  }
}

TestDialog::TestDialog(int clientWidth, int clientHeight) {
  host_ = CreateHost();
  DialogTemplate empty("Quiltora test", 100, 100);
  dialog_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), empty.get(), host_, Procedure,
                                       reinterpret_cast<LPARAM>(this));
  if (dialog_ == nullptr) return;
  RECT frame{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(dialog_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(dialog_, GWL_EXSTYLE)));
  SetWindowPos(dialog_, HWND_TOP, kDialogX, kDialogY, frame.right - frame.left, frame.bottom - frame.top,
               SWP_SHOWWINDOW);
  gDialog = dialog_;
  SetForegroundWindow(dialog_);
  PumpUntil([this] { return GetForegroundWindow() == dialog_ && GetActiveWindow() == dialog_; });
  Drain();
}

TestDialog::~TestDialog() {
  if (gDialog == dialog_) gDialog = nullptr;
  if (dialog_ != nullptr) DestroyWindow(dialog_);
  if (host_ != nullptr) DestroyWindow(host_);
  Drain();
}

HWND TestDialog::Add(const char* className, int id, DWORD style, RECT place, const char* text, DWORD exStyle) {
  HWND control = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                                 place.right - place.left, place.bottom - place.top, dialog_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  if (control != nullptr) {
    SendMessageA(control, WM_SETFONT, SendMessageA(dialog_, WM_GETFONT, 0, 0), FALSE);
    UpdateWindow(control);
  }
  Drain();
  return control;
}

std::vector<Notification> TestDialog::From(HWND control) const {
  std::vector<Notification> out;
  for (const Notification& n : notifications)
    if (n.from == control) out.push_back(n);
  return out;
}

INT_PTR CALLBACK TestDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    return TRUE;
  }
  auto* self = reinterpret_cast<TestDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (self == nullptr) return FALSE;
  if (message == WM_COMMAND) {
    auto from = reinterpret_cast<HWND>(lParam);
    if (LOWORD(wParam) == IDCANCEL) ++self->cancelPresses;
    if (LOWORD(wParam) == IDOK) {
      ++self->okPresses;
      return TRUE;
    }
    int32_t value = IsSlider(from) ? quiltora::SliderGetValue(dialog, LOWORD(wParam)) : 0;
    self->notifications.push_back({message, LOWORD(wParam), HIWORD(wParam), from, value});
    return TRUE;
  }
  if (message == WM_DESTROY) {
    if (gDialog == dialog) gDialog = nullptr;
    self->dialog_ = nullptr;
    return FALSE;
  }
  if (message == WM_VSCROLL) {
    self->notifications.push_back({message, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam), 0});
    return TRUE;
  }
  return FALSE;
}

bool MoveMouse(HWND window, POINT point) {
  ClientToScreen(window, &point);
  POINT now{};
  GetCursorPos(&now);
  if (now.x == point.x && now.y == point.y) return true;  // no move, no message
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  LONG dx = static_cast<LONG>((int64_t(point.x) * 65536 + width - 1) / width);
  LONG dy = static_cast<LONG>((int64_t(point.y) * 65536 + height - 1) / height);
  if (!SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, dx, dy)) return false;
  GetCursorPos(&now);
  return now.x == point.x && now.y == point.y;
}

bool PressLeft() { return SendMouse(MOUSEEVENTF_LEFTDOWN, 0, 0); }
bool ReleaseLeft() { return SendMouse(MOUSEEVENTF_LEFTUP, 0, 0); }

bool Click(HWND window, POINT point) { return MoveMouse(window, point) && PressLeft() && ReleaseLeft(); }

bool Drag(HWND window, POINT from, POINT to, int steps, const std::function<void(int step, POINT point)>& afterMove) {
  if (!MoveMouse(window, from) || !PressLeft()) return false;
  for (int i = 1; i <= steps; ++i) {
    POINT p{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
    if (!MoveMouse(window, p)) return false;
    if (afterMove) afterMove(i, p);
  }
  return ReleaseLeft();
}

bool PressKey(WORD key) { return SendKey(key, false) && SendKey(key, true); }

bool TypeText(const char* text) {
  for (const char* c = text; *c != '\0'; ++c) {
    WORD key = static_cast<WORD>(*c >= 'a' && *c <= 'z' ? *c - 'a' + 'A' : *c);
    if (*c == '.') key = VK_OEM_PERIOD;
    if (*c == '-') key = VK_OEM_MINUS;
    if (!PressKey(key)) return false;
  }
  return true;
}

Picture CaptureClient(HWND window) {
  HWND top = GetAncestor(window, GA_ROOT);
  RedrawWindow(top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  Drain();
  RECT client{};
  GetClientRect(window, &client);
  POINT origin{0, 0};
  MapWindowPoints(window, top, &origin, 1);
  Picture picture;
  picture.width = client.right;
  picture.height = client.bottom;
  if (picture.width <= 0 || picture.height <= 0) return picture;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC source = GetDC(top);
  HDC memory = CreateCompatibleDC(source);
  HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, section);
  BitBlt(memory, 0, 0, picture.width, picture.height, source, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  picture.pixels.resize(size_t(picture.width) * size_t(picture.height));
  const auto* words = static_cast<const uint32_t*>(bits);
  for (size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = words[i] & 0xFFFFFF;
  SelectObject(memory, previous);
  DeleteObject(section);
  DeleteDC(memory);
  ReleaseDC(top, source);
  return picture;
}

Picture Crop(const Picture& picture, RECT part) {
  Picture out;
  out.width = std::max(0L, part.right - part.left);
  out.height = std::max(0L, part.bottom - part.top);
  out.pixels.assign(size_t(out.width) * size_t(out.height), 0);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      int sx = part.left + x, sy = part.top + y;
      if (sx >= 0 && sy >= 0 && sx < picture.width && sy < picture.height)
        out.pixels[size_t(y) * size_t(out.width) + size_t(x)] = picture.At(sx, sy);
    }
  return out;
}

Picture Beside(const std::vector<Picture>& pictures, int gap, uint32_t background) {
  Picture out;
  for (const Picture& p : pictures) {
    out.width += p.width + (out.width > 0 ? gap : 0);
    out.height = std::max(out.height, p.height);
  }
  out.pixels.assign(size_t(out.width) * size_t(out.height), background);
  int left = 0;
  for (const Picture& p : pictures) {
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x) out.pixels[size_t(y) * size_t(out.width) + size_t(left + x)] = p.At(x, y);
    left += p.width + gap;
  }
  return out;
}

bool SavePng(const Picture& picture, const std::string& path) {
  quiltora_cli::Picture file;
  file.width = picture.width;
  file.height = picture.height;
  file.channels = 3;
  file.pixels.reserve(picture.pixels.size() * 3);
  for (uint32_t p : picture.pixels) {
    file.pixels.push_back(static_cast<uint8_t>(p >> 16));
    file.pixels.push_back(static_cast<uint8_t>(p >> 8));
    file.pixels.push_back(static_cast<uint8_t>(p));
  }
  std::string temporary, error;
  if (!quiltora_cli::WritePictureTemporary(path, file, &temporary, &error)) return false;
  return quiltora_cli::CommitPicture(temporary, path, &error);
}

uint32_t SystemColour(int index) {
  COLORREF c = GetSysColor(index);
  return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

TimerRecorder::TimerRecorder() {
  gRecorder = this;
  quiltora::SetControlTimerObserver(RecordTimer);
}

TimerRecorder::~TimerRecorder() {
  quiltora::SetControlTimerObserver(nullptr);
  gRecorder = nullptr;
}

std::vector<UINT> TimerRecorder::Intervals(HWND window, UINT_PTR id) const {
  std::vector<UINT> out;
  for (const Request& r : requests)
    if (r.window == window && r.id == id) out.push_back(r.milliseconds);
  return out;
}

bool TimerRecorder::Running(HWND window, UINT_PTR id) const {
  std::vector<UINT> intervals = Intervals(window, id);
  return !intervals.empty() && intervals.back() != 0;
}

void TimerRecorder::Tick(HWND window, UINT_PTR id) const { SendMessageA(window, WM_TIMER, id, 0); }

DialogTemplate::DialogTemplate(const char* caption, short width, short height, DWORD style) {
  words_.assign(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  auto* header = reinterpret_cast<DLGTEMPLATE*>(words_.data());
  header->style = style | DS_SETFONT;
  header->cx = width;
  header->cy = height;
  words_.push_back(0);  // no menu
  words_.push_back(0);  // the system's dialog class
  AddText(caption);
  words_.push_back(8);  // point size
  AddText("MS Shell Dlg");
}

void DialogTemplate::AddText(const char* text) {
  for (const char* c = text;; ++c) {
    words_.push_back(static_cast<WORD>(static_cast<unsigned char>(*c)));
    if (*c == '\0') break;
  }
}

DialogTemplate& DialogTemplate::Add(const char* className, const char* text, int id, DWORD style, short x, short y,
                                    short width, short height) {
  if (words_.size() % 2 != 0) words_.push_back(0);  // every item starts on a 4-byte boundary
  DLGITEMTEMPLATE item{};
  item.style = WS_CHILD | WS_VISIBLE | style;
  item.x = x;
  item.y = y;
  item.cx = width;
  item.cy = height;
  item.id = static_cast<WORD>(id);
  const auto* words = reinterpret_cast<const WORD*>(&item);
  words_.insert(words_.end(), words, words + sizeof item / sizeof(WORD));
  AddText(className);
  AddText(text);
  words_.push_back(0);  // no creation data
  reinterpret_cast<DLGTEMPLATE*>(words_.data())->cdit += 1;
  return *this;
}

// The scripts waiting for dialogs, oldest first, and the dialogs taken but
// not yet shown. One activation hook serves them all.
struct ModalScripts {
  std::vector<ModalScript*> waiting;
  std::vector<std::pair<ModalScript*, HWND>> taken;
  std::vector<HWND> running;  // dialogs whose scripts run now
  HHOOK hook = nullptr;

  static LRESULT CALLBACK WatchActivation(int code, WPARAM wParam, LPARAM lParam);
  static void CALLBACK Run(HWND, UINT, UINT_PTR timer, DWORD);
};
ModalScripts gModalScripts;

bool ModalScript::Wants(HWND window) const {
  if (taken_ && !everyTime_) return false;
  char name[16] = {};
  if (GetClassNameA(window, name, sizeof name) <= 0 || std::strcmp(name, "#32770") != 0) return false;
  if (anyCaption_) return true;
  char title[256] = {};
  GetWindowTextA(window, title, sizeof title);
  return caption_ == title;
}

ModalScript::ModalScript(std::function<void(HWND dialog)> script) : script_(std::move(script)) {
  gModalScripts.waiting.push_back(this);
  if (gModalScripts.hook == nullptr)
    gModalScripts.hook = SetWindowsHookExA(WH_CBT, ModalScripts::WatchActivation, nullptr, GetCurrentThreadId());
}

ModalScript::ModalScript(std::string caption, std::function<void(HWND dialog)> script, bool everyTime)
    : ModalScript(std::move(script)) {
  caption_ = std::move(caption);
  anyCaption_ = false;
  everyTime_ = everyTime;
}

ModalScript::~ModalScript() {
  auto& waiting = gModalScripts.waiting;
  waiting.erase(std::remove(waiting.begin(), waiting.end(), this), waiting.end());
  auto& taken = gModalScripts.taken;
  taken.erase(std::remove_if(taken.begin(), taken.end(), [this](const auto& t) { return t.first == this; }),
              taken.end());
  if (waiting.empty() && gModalScripts.hook != nullptr) {
    UnhookWindowsHookEx(gModalScripts.hook);
    gModalScripts.hook = nullptr;
  }
}

bool ModalScript::Claims(HWND dialog) {
  for (const auto& t : gModalScripts.taken)
    if (t.second == dialog) return true;
  for (HWND running : gModalScripts.running)
    if (running == dialog) return true;
  for (const ModalScript* script : gModalScripts.waiting)
    if (script->Wants(dialog)) return true;
  return false;
}

// A dialog this thread activates goes to the newest script that wants it,
// which gets it from a timer that the dialog's modal loop dispatches.
LRESULT CALLBACK ModalScripts::WatchActivation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    auto window = reinterpret_cast<HWND>(wParam);
    const auto& taken = gModalScripts.taken;
    const bool already = std::any_of(taken.begin(), taken.end(), [&](const auto& t) { return t.second == window; });
    auto& waiting = gModalScripts.waiting;
    for (auto script = waiting.rbegin(); !already && script != waiting.rend(); ++script) {
      if (!(*script)->Wants(window)) continue;
      (*script)->taken_ = true;
      gModalScripts.taken.emplace_back(*script, window);
      SetTimer(nullptr, 0, 0, Run);
      break;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK ModalScripts::Run(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  auto& taken = gModalScripts.taken;
  for (size_t i = 0; i < taken.size(); ++i) {
    ModalScript* self = taken[i].first;
    HWND dialog = taken[i].second;
    if (!IsWindow(dialog)) {
      taken.erase(taken.begin() + long(i));
      --i;
      continue;
    }
    // A dialog that sets its first focus is activated while still hidden; its
    // modal loop shows it once the queue runs empty. Input and WM_CLOSE are for
    // the shown dialog, so wait for that.
    if (!IsWindowVisible(dialog)) {
      SetTimer(nullptr, 0, 10, Run);
      continue;
    }
    taken.erase(taken.begin() + long(i));
    ++self->runs_;
    HWND previous = gDialog;
    gDialog = dialog;
    SetForegroundWindow(dialog);
    PumpUntil([dialog] { return GetForegroundWindow() == dialog; });
    // A copy: the script may end the test's use of this ModalScript.
    const std::function<void(HWND)> script = self->script_;
    gModalScripts.running.push_back(dialog);
    script(dialog);
    auto& running = gModalScripts.running;
    running.erase(std::find(running.begin(), running.end(), dialog));
    gDialog = previous;
    // A script that left its dialog open closes it, so that the test fails
    // instead of waiting forever. An ended dialog is hidden already.
    if (IsWindow(dialog) && IsWindowVisible(dialog)) PostMessageA(dialog, WM_CLOSE, 0, 0);
    return;  // the list may have changed while the script ran; the next timer goes on
  }
}

ControlsLibraryScope::ControlsLibraryScope() : started_(quiltora::ControlsStartup()) {}

ControlsLibraryScope::~ControlsLibraryScope() {
  if (started_) quiltora::ControlsShutdown();
}

}  // namespace uitest
