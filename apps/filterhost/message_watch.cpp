// The host's view of the module's message boxes. On Windows they are real
// windows: a watcher thread reads each one and presses its default button, as
// a user at the screen would. The Linux module has no windows; it hands the
// text to a policy the host installs.
#include "filterhost.h"

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#else
#include "platform/platform.h"
#endif

namespace filterhost {
namespace {

std::vector<Message> gMessages;

#ifdef _WIN32
// The thread model of this toolchain has no std::mutex; a slim lock does.
SRWLOCK gLock = SRWLOCK_INIT;
struct Locked {
  Locked() { AcquireSRWLockExclusive(&gLock); }
  ~Locked() { ReleaseSRWLockExclusive(&gLock); }
};
std::atomic<bool> gWatching{false};
HANDLE gThread = nullptr;

std::string WindowText(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// A message box holds buttons, its icon and statics with its text (the
// control ids differ between Windows and Wine); the module's dialogs and the
// file dialogs hold other things too: lists, panes (statics without text),
// pictures.
struct BoxContents {
  std::string text;
  bool notABox = false;
};
std::atomic<bool> gAnswering{true};

BOOL CALLBACK CollectChild(HWND child, LPARAM context) {
  auto* contents = reinterpret_cast<BoxContents*>(context);
  char className[32] = {};
  GetClassNameA(child, className, sizeof className);
  const std::string name = className;
  if (name != "Static" && name != "Button") contents->notABox = true;
  if (name == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
    std::string text = WindowText(child);
    if (text.empty()) contents->notABox = true;
    if (text.size() > contents->text.size()) contents->text = text;
  }
  return TRUE;
}

BOOL CALLBACK AnswerMessageBox(HWND window, LPARAM) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  if (process != GetCurrentProcessId() || std::string(className) != "#32770" || !IsWindowVisible(window)) return TRUE;
  BoxContents contents;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&contents));
  if (contents.notABox || contents.text.empty() || !gAnswering) return TRUE;
  {
    Locked lock;
    gMessages.push_back(Message{WindowText(window), contents.text});
  }
  for (int button : {IDOK, IDYES, IDIGNORE}) {
    HWND control = GetDlgItem(window, button);
    if (control == nullptr) continue;
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    break;
  }
  // Give the box time to close before it is looked at again.
  Sleep(50);
  return TRUE;
}

DWORD WINAPI WatchLoop(LPVOID) {
  while (gWatching) {
    EnumWindows(AnswerMessageBox, 0);
    Sleep(20);
  }
  return 0;
}
#else
platform::MessageAnswer RecordMessage(const char* text, const char* caption, platform::MessageStyle style) {
  gMessages.push_back(Message{caption, text});
  switch (style) {
    case platform::MessageStyle::Question: return platform::MessageAnswer::Yes;
    case platform::MessageStyle::Assertion: return platform::MessageAnswer::Ignore;
    default: return platform::MessageAnswer::Ok;
  }
}
#endif

}  // namespace

void StartMessageWatch(Module& module) {
#ifdef _WIN32
  (void)module;
  if (gWatching.exchange(true)) return;
  gThread = CreateThread(nullptr, 0, WatchLoop, nullptr, 0, nullptr);
#else
  using SetPolicy = void (*)(platform::MessagePolicy);
  auto setPolicy = reinterpret_cast<SetPolicy>(module.Symbol("QuiltoraSetMessagePolicy"));
  if (setPolicy != nullptr) setPolicy(RecordMessage);
#endif
}

void SetMessageBoxAnswering(bool answer) {
#ifdef _WIN32
  gAnswering = answer;
#else
  (void)answer;
#endif
}

void StopMessageWatch() {
#ifdef _WIN32
  if (!gWatching.exchange(false)) return;
  WaitForSingleObject(gThread, INFINITE);
  CloseHandle(gThread);
  gThread = nullptr;
#endif
}

const std::vector<Message>& WatchedMessages() {
#ifdef _WIN32
  // Let a box that is being answered finish closing.
  Sleep(0);
  Locked lock;
#endif
  return gMessages;
}

void ClearWatchedMessages() {
#ifdef _WIN32
  Locked lock;
#endif
  gMessages.clear();
}

}  // namespace filterhost
