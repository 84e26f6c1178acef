// POSIX side of the platform seam: plain heap blocks, messages on stderr
// answered by a policy the host sets.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "common/strings.h"
#include "platform/platform.h"

namespace platform {

struct SystemBlock {
  void* data;
};

namespace {

void* gInstance = nullptr;

MessageAnswer DefaultPolicy(const char* text, const char* caption, MessageStyle style) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
  switch (style) {
    case MessageStyle::Question: return MessageAnswer::Yes;
    case MessageStyle::Assertion: return MessageAnswer::Ignore;
    default: return MessageAnswer::Ok;
  }
}

MessagePolicy gPolicy = DefaultPolicy;

}  // namespace

SystemBlock* SystemAlloc(size_t bytes, bool zeroed) {
  auto* block = new (std::nothrow) SystemBlock{nullptr};
  if (block == nullptr) return nullptr;
  // malloc(0) may give null; a block always has an address.
  size_t size = bytes == 0 ? 1 : bytes;
  block->data = zeroed ? std::calloc(size, 1) : std::malloc(size);
  if (block->data == nullptr) {
    delete block;
    return nullptr;
  }
  return block;
}

void* SystemLock(SystemBlock* block) { return block != nullptr ? block->data : nullptr; }

void SystemUnlock(SystemBlock*) {}

void SystemFree(SystemBlock* block) {
  if (block == nullptr) return;
  std::free(block->data);
  delete block;
}

void SystemCompact(size_t) {}

void AdviseLargeBlock(void* address, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  // Only whole large pages inside the block; blocks below a few of them gain nothing.
  constexpr uintptr_t kLargePage = uintptr_t{1} << 21;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(address) + kLargePage - 1) & ~(kLargePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(address) + bytes) & ~(kLargePage - 1);
  if (address != nullptr && end > begin && end - begin >= 2 * kLargePage)
    madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)address;
  (void)bytes;
#endif
}

uint64_t LargestFreeBlock() {
  long pages = sysconf(_SC_AVPHYS_PAGES);
  long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return 0;
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
}

MessageAnswer ShowMessage(const char* text, const char* caption, MessageStyle style, bool) {
  return gPolicy(text, caption, style);
}

void DebugOutput(const char* text) { std::fputs(text, stderr); }

void SetMessagePolicy(MessagePolicy policy) { gPolicy = policy != nullptr ? policy : DefaultPolicy; }

void SetModuleInstance(void* instance) { gInstance = instance; }

void* ModuleInstance() { return gInstance; }

int LoadModuleString(int id, char* buffer, int bufferSize) {
  if (buffer == nullptr || bufferSize <= 0) return 0;
  buffer[0] = '\0';
  const char* text = quiltora::FindModuleString(id);
  if (text == nullptr) return 0;
  std::snprintf(buffer, static_cast<size_t>(bufferSize), "%s", text);
  return static_cast<int>(std::strlen(buffer));
}

}  // namespace platform
