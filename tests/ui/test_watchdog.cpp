// A test that waits for a window nobody answers would hold the whole run
// until the machine's limit, with nothing said. Each test gets a deadline
// (QUILTORA_TEST_SECONDS, 300 s unless set); past it the program names the
// test and the windows it has open, and ends with a failure.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::atomic<ULONGLONG> gDeadline{0};  // 0: no test running
std::string gTestName;                // written before gDeadline is set

BOOL CALLBACK ListWindow(HWND window, LPARAM) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  char className[64] = {}, title[128] = {};
  GetClassNameA(window, className, sizeof className);
  // InternalGetWindowText sends nothing: the window's thread may be the stuck one.
  wchar_t wide[128] = {};
  InternalGetWindowText(window, wide, 128);
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, title, sizeof title, nullptr, nullptr);
  std::fprintf(stderr, "  %s \"%s\"%s\n", className, title, IsWindowVisible(window) ? "" : " (hidden)");
  return TRUE;
}

DWORD WINAPI Watch(LPVOID) {
  for (;;) {
    Sleep(1000);
    const ULONGLONG deadline = gDeadline;
    if (deadline == 0 || GetTickCount64() < deadline) continue;
    std::fprintf(stderr, "\n%s did not end in time; windows of this program:\n", gTestName.c_str());
    EnumWindows(ListWindow, 0);
    std::fflush(stderr);
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
  }
}

class Watchdog : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo& test) override {
    gTestName = std::string(test.test_suite_name()) + "." + test.name();
    const char* text = std::getenv("QUILTORA_TEST_SECONDS");
    const long seconds = text != nullptr && std::atol(text) > 0 ? std::atol(text) : 300;
    gDeadline = GetTickCount64() + ULONGLONG(seconds) * 1000;
    static const HANDLE thread = CreateThread(nullptr, 0, Watch, nullptr, 0, nullptr);
    (void)thread;
  }
  void OnTestEnd(const ::testing::TestInfo&) override { gDeadline = 0; }
};

[[maybe_unused]] const bool gInstalled = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
  return true;
}();

}  // namespace
