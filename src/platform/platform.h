// The narrow seam to the operating system. Everything above it is portable;
// win32/ and posix/ implement it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// System memory in the style of movable blocks: allocate, lock to an address,
// unlock, free. Lock of a fresh block gives the same address every time.
struct SystemBlock;
SystemBlock* SystemAlloc(size_t bytes, bool zeroed);
void* SystemLock(SystemBlock* block);
void SystemUnlock(SystemBlock* block);
void SystemFree(SystemBlock* block);
// Asks the system to make room for a block of that size; a hint only.
void SystemCompact(size_t bytes);
// The largest block the system could hand out now, in bytes.
uint64_t LargestFreeBlock();
// A hint, before the first write, that bytes at address will be written
// whole and kept a while: where the system backs such memory with large
// pages, the block is faulted in a few large pages instead of thousands of
// small ones. Changes no contents; a no-op where there is no such hint.
void AdviseLargeBlock(void* address, size_t bytes);

enum class MessageStyle { Question, Warning, Error, Assertion };
enum class MessageAnswer { Ok, Yes, No, Abort, Retry, Ignore };

// Shows a task-modal message box; beep sounds the default beep first.
MessageAnswer ShowMessage(const char* text, const char* caption, MessageStyle style, bool beep);

// Text for a debugger (OutputDebugString on Windows, stderr elsewhere).
void DebugOutput(const char* text);

// How a headless build answers message boxes: hosts and tests set it.
// The default prints the message to stderr and answers Ok/Yes/Ignore.
using MessagePolicy = MessageAnswer (*)(const char* text, const char* caption, MessageStyle style);
void SetMessagePolicy(MessagePolicy policy);

// The module's own instance, recorded when the module is loaded.
void SetModuleInstance(void* instance);
void* ModuleInstance();

// Copies string number id of the module's string table into buffer
// (always terminated); returns the length, 0 when there is no such string.
int LoadModuleString(int id, char* buffer, int bufferSize);

}  // namespace platform
