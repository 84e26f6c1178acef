#include <windows.h>

#include "host/lifecycle.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      DisableThreadLibraryCalls(instance);
      return quiltora::OnModuleLoad(instance) ? TRUE : FALSE;
    case DLL_PROCESS_DETACH: quiltora::OnModuleUnload(); break;
    default: break;
  }
  return TRUE;
}
