// The harness for tests of real windows: a host window that owns a real
// dialog, input through the system's input queue (mouse moves, presses,
// drags, keys), waits on conditions instead of time, timers observed instead
// of run, and the pixels a window actually shows.
//
// Every wait pumps this thread's messages (through the dialog manager, as a
// modal dialog's loop would) until its condition holds or kWaitMilliseconds
// pass; a timeout is a test failure, never a pass.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace uitest {

constexpr DWORD kWaitMilliseconds = 5000;

// Pumps until done() holds; false on timeout.
bool PumpUntil(const std::function<bool()>& done, DWORD timeout = kWaitMilliseconds);
// Processes every message queued now, input and paint included.
void Drain();

// A message the dialog received from one of its controls.
struct Notification {
  UINT message;         // WM_COMMAND or WM_VSCROLL
  int low;              // WM_COMMAND: the control id; WM_VSCROLL: the scroll code
  int high;             // the high word of wParam
  HWND from;            // lParam
  int32_t sliderValue;  // for a slider: its value when the notification came
};

// A top-level window standing for the image editor, owning a modeless dialog
// (class #32770, from an in-memory template with the "MS Shell Dlg" 8 font)
// with the given client size at a fixed place on the screen, in the
// foreground. It records what its controls tell it; OK and Cancel (Enter and
// Escape) are counted, not acted on.
class TestDialog {
 public:
  TestDialog(int clientWidth, int clientHeight);
  ~TestDialog();
  TestDialog(const TestDialog&) = delete;
  TestDialog& operator=(const TestDialog&) = delete;

  bool ok() const { return dialog_ != nullptr; }
  HWND hwnd() const { return dialog_; }
  HWND host() const { return host_; }

  // A child control at a pixel rectangle of the client area.
  HWND Add(const char* className, int id, DWORD style, RECT place, const char* text = "", DWORD exStyle = 0);

  std::vector<Notification> notifications;
  int okPresses = 0;
  int cancelPresses = 0;
  // Notifications from one control (WM_COMMAND) or all scroll messages from one window.
  std::vector<Notification> From(HWND control) const;

 private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  HWND host_ = nullptr;
  HWND dialog_ = nullptr;
};

// Input through the system's input queue. Each call returns once this
// thread has taken the input from its queue and dispatched it (false when
// that did not happen in time). Points are in the window's client coordinates.
bool MoveMouse(HWND window, POINT point);
bool PressLeft();
bool ReleaseLeft();
bool Click(HWND window, POINT point);
// Press at `from`, move in `steps` equal steps to `to` (each a separate
// move, after which afterMove sees the step's number from 1 and its point),
// release there.
bool Drag(HWND window, POINT from, POINT to, int steps,
          const std::function<void(int step, POINT point)>& afterMove = {});
bool PressKey(WORD key);          // down and up
bool TypeText(const char* text);  // digits, letters, "." and "-"

// What a window shows, 0xRRGGBB per pixel, top row first.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};
// The window's client area as its top-level window shows it, after every
// pending paint of the top-level window and its children is done.
Picture CaptureClient(HWND window);
// A part of the picture.
Picture Crop(const Picture& picture, RECT part);
// Side by side with a gap of `gap` pixels of `background`.
Picture Beside(const std::vector<Picture>& pictures, int gap, uint32_t background);
bool SavePng(const Picture& picture, const std::string& path);
uint32_t SystemColour(int index);  // GetSysColor as 0xRRGGBB

// Timer requests of the controls recorded instead of started; ticks are
// delivered by the test.
class TimerRecorder {
 public:
  struct Request {
    HWND window;
    UINT_PTR id;
    UINT milliseconds;  // 0: stopped
  };
  TimerRecorder();
  ~TimerRecorder();
  std::vector<Request> requests;
  // The intervals asked for by one timer, stops (0) included, in order.
  std::vector<UINT> Intervals(HWND window, UINT_PTR id) const;
  bool Running(HWND window, UINT_PTR id) const;
  void Tick(HWND window, UINT_PTR id) const;
};

// An in-memory dialog template: "MS Shell Dlg" 8, items in dialog units.
class DialogTemplate {
 public:
  DialogTemplate(const char* caption, short width, short height,
                 DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
  DialogTemplate& Add(const char* className, const char* text, int id, DWORD style, short x, short y, short width,
                      short height);
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void AddText(const char* text);
  std::vector<WORD> words_;
};

// Runs `script` inside the modal loop of the next dialog this thread shows
// (DialogBox, the module's own dialogs, message boxes): once the dialog is
// active and shown, the script gets its window and drives it with the input
// calls above, which pump the modal loop's messages themselves; the keys go
// through that dialog's dialog manager. A dialog the script leaves open gets
// WM_CLOSE. Make it right before the call that shows the dialog: it takes
// the first dialog activated on this thread.
//
// With a caption, the script takes only a dialog of that title, so that
// several can wait at once for the dialogs a click opens one after another
// (a file dialog, then the dialog its choice opens); with everyTime, it takes
// every such dialog while it lives, also one opened from inside its own run.
// The newest waiting script is asked first.
class ModalScript {
 public:
  explicit ModalScript(std::function<void(HWND dialog)> script);
  ModalScript(std::string caption, std::function<void(HWND dialog)> script, bool everyTime = false);
  ~ModalScript();
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;
  bool ran() const { return runs_ > 0; }
  int runs() const { return runs_; }
  // True when a waiting script would take `dialog`, or one has taken it.
  static bool Claims(HWND dialog);

 private:
  friend struct ModalScripts;
  bool Wants(HWND window) const;
  std::function<void(HWND)> script_;
  std::string caption_;
  bool anyCaption_ = true;
  bool everyTime_ = false;
  bool taken_ = false;
  int runs_ = 0;
};

// Starts the controls library for a test and stops it again.
class ControlsLibraryScope {
 public:
  ControlsLibraryScope();
  ~ControlsLibraryScope();
  bool ok() const { return started_; }

 private:
  bool started_ = false;
};

}  // namespace uitest
