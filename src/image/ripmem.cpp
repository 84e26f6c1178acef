#include "image/ripmem.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace quiltora {
namespace {

// Each block starts with the system block that owns it, so that RipFree can
// find it from the address it handed out. The header keeps the address
// aligned for any pixel type.
struct alignas(16) RipHeader {
  platform::SystemBlock* block;
};

}  // namespace

bool ReportAssertion(const char* module, int line) {
  char text[256];
  std::snprintf(text, sizeof text, "Assertion Failed: File %s, Line %d\n", module, line);
  platform::DebugOutput(text);
  std::snprintf(text, sizeof text, "File %s, Line %d", module, line);
  switch (platform::ShowMessage(text, "Assertion Failed!", platform::MessageStyle::Assertion, false)) {
    case platform::MessageAnswer::Abort: std::exit(1);
    case platform::MessageAnswer::Retry: return true;
    default: return false;
  }
}

void* RipAlloc(size_t bytes) {
  if (bytes == 0) ReportAssertion("ripmem", __LINE__);
  if (bytes > SIZE_MAX - sizeof(RipHeader)) return nullptr;
  platform::SystemBlock* block = platform::SystemAlloc(bytes + sizeof(RipHeader), false);
  if (block == nullptr) {
    ReportAssertion("ripmem", __LINE__);
    return nullptr;
  }
  auto* header = static_cast<RipHeader*>(platform::SystemLock(block));
  if (header == nullptr) {
    ReportAssertion("ripmem", __LINE__);
    platform::SystemFree(block);
    return nullptr;
  }
  header->block = block;
  return header + 1;
}

int RipFree(void* address) {
  if (address == nullptr) {
    ReportAssertion("ripmem", __LINE__);
    return 1;
  }
  platform::SystemBlock* block = (static_cast<RipHeader*>(address) - 1)->block;
  platform::SystemUnlock(block);
  platform::SystemFree(block);
  return 1;
}

}  // namespace quiltora
