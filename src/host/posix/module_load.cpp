// Load and unload of the shared library, and the one extra export of the
// Linux build: how the host answers the module's message boxes, which have no
// window to appear in here.
#include <dlfcn.h>

#include "host/lifecycle.h"
#include "platform/platform.h"

namespace {

__attribute__((constructor)) void LoadModule() {
  Dl_info info{};
  void* instance = dladdr(reinterpret_cast<void*>(&LoadModule), &info) != 0 ? info.dli_fbase : nullptr;
  quiltora::OnModuleLoad(instance);
}

__attribute__((destructor)) void UnloadModule() { quiltora::OnModuleUnload(); }

}  // namespace

// policy(text, caption, style) returns the button pressed; styles and answers
// are those of platform::MessageStyle and platform::MessageAnswer. Null restores
// the default (print to stderr, answer OK).
extern "C" __attribute__((visibility("default"))) void QuiltoraSetMessagePolicy(platform::MessagePolicy policy) {
  platform::SetMessagePolicy(policy);
}
