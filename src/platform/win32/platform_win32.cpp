// Win32 side of the platform seam: movable global memory, real message
// boxes, the string table from the module's resources.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/strings.h"
#include "platform/platform.h"

namespace platform {

struct SystemBlock;

namespace {

HINSTANCE gInstance = nullptr;

UINT StyleFlags(MessageStyle style) {
  switch (style) {
    case MessageStyle::Question: return MB_YESNO | MB_ICONQUESTION;
    case MessageStyle::Warning: return MB_OK | MB_ICONEXCLAMATION;
    case MessageStyle::Error: return MB_OK | MB_ICONSTOP;
    case MessageStyle::Assertion: return MB_ABORTRETRYIGNORE | MB_ICONERROR | MB_SETFOREGROUND;
  }
  return MB_OK;
}

MessageAnswer AnswerOf(int button) {
  switch (button) {
    case IDYES: return MessageAnswer::Yes;
    case IDNO: return MessageAnswer::No;
    case IDABORT: return MessageAnswer::Abort;
    case IDRETRY: return MessageAnswer::Retry;
    case IDIGNORE: return MessageAnswer::Ignore;
    default: return MessageAnswer::Ok;
  }
}

}  // namespace

SystemBlock* SystemAlloc(size_t bytes, bool zeroed) {
  UINT flags = GMEM_MOVEABLE | (zeroed ? GMEM_ZEROINIT : 0);
  return reinterpret_cast<SystemBlock*>(GlobalAlloc(flags, bytes == 0 ? 1 : bytes));
}

void* SystemLock(SystemBlock* block) {
  return block != nullptr ? GlobalLock(reinterpret_cast<HGLOBAL>(block)) : nullptr;
}

void SystemUnlock(SystemBlock* block) {
  if (block != nullptr) GlobalUnlock(reinterpret_cast<HGLOBAL>(block));
}

void SystemFree(SystemBlock* block) {
  if (block != nullptr) GlobalFree(reinterpret_cast<HGLOBAL>(block));
}

void SystemCompact(size_t) {}

// Large pages on Windows need a privilege that hosts do not hold.
void AdviseLargeBlock(void*, size_t) {}

uint64_t LargestFreeBlock() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return 0;
  // The address space left to this process bounds a single block as well.
  return status.ullAvailPhys < status.ullAvailVirtual ? status.ullAvailPhys : status.ullAvailVirtual;
}

MessageAnswer ShowMessage(const char* text, const char* caption, MessageStyle style, bool beep) {
  if (beep) MessageBeep(0);
  HWND owner = GetActiveWindow();
  if (style == MessageStyle::Assertion && owner != nullptr) owner = GetLastActivePopup(owner);
  return AnswerOf(MessageBoxA(owner, text, caption, StyleFlags(style) | MB_TASKMODAL));
}

void DebugOutput(const char* text) { OutputDebugStringA(text); }

// Windows shows real message boxes; hosts and tests answer them as a user would.
void SetMessagePolicy(MessagePolicy) {}

void SetModuleInstance(void* instance) { gInstance = static_cast<HINSTANCE>(instance); }

void* ModuleInstance() { return gInstance; }

int LoadModuleString(int id, char* buffer, int bufferSize) {
  if (buffer == nullptr || bufferSize <= 0) return 0;
  buffer[0] = '\0';
  // Programs that link the core without the module's resources (the tests)
  // read the same table compiled in.
  if (gInstance == nullptr) {
    const char* text = quiltora::FindModuleString(id);
    if (text == nullptr) return 0;
    std::snprintf(buffer, static_cast<size_t>(bufferSize), "%s", text);
    return static_cast<int>(std::strlen(buffer));
  }
  return LoadStringA(gInstance, static_cast<UINT>(id), buffer, bufferSize);
}

}  // namespace platform
