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

// The windows read belong to other threads, which may be busy or waiting
// for this one to end: a text that does not come at once is not waited for.
std::string WindowText(HWND window) {
  char text[1024] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                           SMTO_BLOCK | SMTO_ABORTIFHUNG, 200, &copied))
    return {};
  text[sizeof text - 1] = 0;
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
  // The watcher may be asking one of this thread's windows for its text:
  // answer such requests while waiting, or both threads wait for ever.
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &gThread, FALSE, INFINITE, QS_SENDMESSAGE);
    if (woke != WAIT_OBJECT_0 + 1) break;
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
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
