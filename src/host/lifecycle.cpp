#include "host/lifecycle.h"

#include "platform/platform.h"

namespace quiltora {

// The Windows load notification starts the controls library after this
// (win32/dllmain.cpp); the library lives only there.
bool OnModuleLoad(void* instance) {
  platform::SetModuleInstance(instance);
  return true;
}

void OnModuleUnload() { platform::SetModuleInstance(nullptr); }

}  // namespace quiltora
