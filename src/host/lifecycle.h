// Loading and unloading of the module.
#pragma once

namespace quiltora {

// Records the instance and starts the controls library; false makes loading fail.
// Hosts load the module just to list it, so this stays small.
bool OnModuleLoad(void* instance);
void OnModuleUnload();

}  // namespace quiltora
