#include <windows.h>

#include "controls/win32/controls_library.h"
#include "host/lifecycle.h"

// Loading starts the controls library, whose window classes the dialogs
// need; a class that cannot be registered fails the load.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      DisableThreadLibraryCalls(instance);
      if (!quiltora::OnModuleLoad(instance)) return FALSE;
      if (!quiltora::ControlsStartup()) {
        quiltora::OnModuleUnload();
        return FALSE;
      }
      return TRUE;
    case DLL_PROCESS_DETACH:
      // At process exit (reserved set) the system takes the classes and GDI
      // objects back itself; calling into it from here then is unsafe.
      if (reserved == nullptr) quiltora::ControlsShutdown();
      quiltora::OnModuleUnload();
      break;
    default: break;
  }
  return TRUE;
}
