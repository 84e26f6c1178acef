#include "host/lifecycle.h"

#include "platform/platform.h"

namespace quiltora {

// The controls library registers its window classes here once it exists.
bool OnModuleLoad(void* instance) {
  platform::SetModuleInstance(instance);
  return true;
}

void OnModuleUnload() { platform::SetModuleInstance(nullptr); }

}  // namespace quiltora
