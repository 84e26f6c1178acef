// Loading and unloading of the module.
#pragma once

namespace quiltora {

// Records the instance; false makes loading fail. On Windows the controls
// library is started right after it.
// Hosts load the module just to list it, so this stays small.
bool OnModuleLoad(void* instance);
void OnModuleUnload();

}  // namespace quiltora
