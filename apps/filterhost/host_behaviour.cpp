#include "host_behaviour.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace filterhost {
namespace {

// The scripting record of the published interface; this host offers no
// scripting, so its routines are null.
struct DescriptorParameters {
  int16_t descriptorParametersVersion;
  int16_t playInfo;
  int16_t recordInfo;
  plugin::Handle descriptor;
  void* writeDescriptorProcs;
  void* readDescriptorProcs;
};

DescriptorParameters gNoScripting{0, 1, 0, nullptr, nullptr, nullptr};

#ifdef _WIN32
HWND gOtherThreadWindow = nullptr;

DWORD WINAPI WindowThread(LPVOID ready) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "QuiltoraTestHostWindow";
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassA(&windowClass);
  gOtherThreadWindow = CreateWindowExA(0, windowClass.lpszClassName, "Test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                       40, 40, 640, 480, nullptr, nullptr, windowClass.hInstance, nullptr);
  SetEvent(static_cast<HANDLE>(ready));
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
#endif

}  // namespace

std::string Describe(const HostBehaviour& b) {
  std::string text;
  auto add = [&](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
  if (b.handleSizeAnswer >= 0) add("getSizeProc answers " + std::to_string(b.handleSizeAnswer));
  if (b.disposeDoesNothing) add("disposeProc does nothing");
  if (b.setSizeDoesNothing) add("setSizeProc does nothing");
  if (b.parametersEveryRun) add("Parameters before every run");
  if (b.keptBlock == KeptBlock::Dropped) add("parameters dropped between runs");
  if (b.keptBlock == KeptBlock::ByteCopied) add("parameters byte-copied into a new handle");
  if (b.reloadModuleBetweenRuns) add("module reloaded between runs");
  if (b.window == HostWindow::None) add("platformData null");
  if (b.window == HostWindow::OtherThread) add("window of another thread");
  if (b.window == HostWindow::Given) add("a window of the calling thread");
  if (b.alphaPlane) add("planes count an alpha plane");
  if (b.freshBandEveryCall) add("rows copied fresh on every Continue");
  if (b.noBufferSuite) add("no buffer suite");
  if (b.noHandleSuite) add("no handle suite");
  if (b.nullBasicSuiteAndDescriptorProcs) add("null basic suite and descriptor procs");
  if (b.filterRectInside) add("filter area inside the image");
  return text.empty() ? "careful host" : text;
}

HostBehaviour Combine(const HostBehaviour& a, const HostBehaviour& b) {
  HostBehaviour c = a;
  if (b.handleSizeAnswer >= 0) c.handleSizeAnswer = b.handleSizeAnswer;
  c.disposeDoesNothing |= b.disposeDoesNothing;
  c.setSizeDoesNothing |= b.setSizeDoesNothing;
  c.parametersEveryRun |= b.parametersEveryRun;
  if (b.keptBlock != KeptBlock::Kept) c.keptBlock = b.keptBlock;
  c.reloadModuleBetweenRuns |= b.reloadModuleBetweenRuns;
  if (b.window != HostWindow::Zero) {
    c.window = b.window;
    c.givenWindow = b.givenWindow;
  }
  c.alphaPlane |= b.alphaPlane;
  c.freshBandEveryCall |= b.freshBandEveryCall;
  c.noBufferSuite |= b.noBufferSuite;
  c.noHandleSuite |= b.noHandleSuite;
  c.nullBasicSuiteAndDescriptorProcs |= b.nullBasicSuiteAndDescriptorProcs;
  c.filterRectInside |= b.filterRectInside;
  return c;
}

std::vector<NamedBehaviour> EachBehaviourAlone() {
  std::vector<NamedBehaviour> rows;
  auto row = [&](auto set) {
    HostBehaviour b;
    set(b);
    rows.push_back(NamedBehaviour{Describe(b), b});
  };
  row([](HostBehaviour&) {});
  row([](HostBehaviour& b) { b.handleSizeAnswer = 0; });
  row([](HostBehaviour& b) { b.handleSizeAnswer = 16; });
  row([](HostBehaviour& b) { b.handleSizeAnswer = 1 << 20; });
  row([](HostBehaviour& b) { b.disposeDoesNothing = true; });
  row([](HostBehaviour& b) { b.setSizeDoesNothing = true; });
  row([](HostBehaviour& b) { b.parametersEveryRun = true; });
  row([](HostBehaviour& b) { b.keptBlock = KeptBlock::Dropped; });
  row([](HostBehaviour& b) { b.keptBlock = KeptBlock::ByteCopied; });
  row([](HostBehaviour& b) { b.reloadModuleBetweenRuns = true; });
  row([](HostBehaviour& b) { b.window = HostWindow::None; });
  row([](HostBehaviour& b) { b.window = HostWindow::OtherThread; });
  row([](HostBehaviour& b) { b.alphaPlane = true; });
  row([](HostBehaviour& b) { b.freshBandEveryCall = true; });
  row([](HostBehaviour& b) { b.noBufferSuite = true; });
  row([](HostBehaviour& b) { b.noHandleSuite = true; });
  row([](HostBehaviour& b) { b.nullBasicSuiteAndDescriptorProcs = true; });
  row([](HostBehaviour& b) { b.filterRectInside = true; });
  return rows;
}

plugin::Rect InsideFilterRect(int32_t width, int32_t height) {
  return plugin::Rect{2, 3, int16_t(height - 5), int16_t(width - 4)};
}

void ApplyToRecord(const HostBehaviour& behaviour, plugin::PlatformData* platformData, plugin::FilterRecord* record) {
  platformData->hwnd = behaviour.window == HostWindow::OtherThread ? OtherThreadWindow()
                       : behaviour.window == HostWindow::Given     ? behaviour.givenWindow
                                                                   : 0;
  record->platformData = behaviour.window == HostWindow::None ? nullptr : platformData;
  record->sSPBasic = nullptr;
  record->descriptorParameters = behaviour.nullBasicSuiteAndDescriptorProcs ? &gNoScripting : nullptr;
}

intptr_t OtherThreadWindow() {
#ifdef _WIN32
  static const intptr_t window = [] {
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, WindowThread, ready, 0, nullptr);
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
    if (thread != nullptr) CloseHandle(thread);
    return reinterpret_cast<intptr_t>(gOtherThreadWindow);
  }();
  return window;
#else
  return 0x7E57;
#endif
}

}  // namespace filterhost
