// The module's one export. Nothing thrown inside the module may reach the
// host, and the host's result word is always written.
#include <cstdint>
#include <type_traits>

#include "abi/plugin_api.h"
#include "host/dispatch.h"
#include "dialog/main_dialog_model.h"
#include "host/run_render.h"

#ifdef _WIN32
#define QUILTORA_EXPORT extern "C" __declspec(dllexport)
#else
#define QUILTORA_EXPORT extern "C" __attribute__((visibility("default")))
#endif

QUILTORA_EXPORT void ENTRYPOINT1(int16_t selector, void* record, intptr_t* data, int16_t* result);

// Hosts call it as this type: on 32-bit Windows that is cdecl, under the
// undecorated name the resources give; a stdcall export would differ here.
static_assert(std::is_same_v<decltype(&ENTRYPOINT1), plugin::EntryPoint>);

void ENTRYPOINT1(int16_t selector, void* record, intptr_t* data, int16_t* result) {
  quiltora::EntryPoint(selector, record, data, result);
}

// For hosts of our own (the quiltora command saves the tile with it): copies
// the run's finished tile while it is held, before Finish; see CopyRunTile.
QUILTORA_EXPORT int32_t QuiltoraCopyTile(uint8_t* buffer, int32_t bufferSize, int32_t info[6]);

int32_t QuiltoraCopyTile(uint8_t* buffer, int32_t bufferSize, int32_t info[6]) {
  try {
    return quiltora::CopyRunTile(buffer, bufferSize, info);
  } catch (...) {
    return 0;
  }
}

// For the window tests: the picture the open dialog's result pane draws; see CopyResultPreview.
QUILTORA_EXPORT int32_t QuiltoraCopyResultPreview(uint8_t* buffer, int32_t bufferSize, int32_t info[6]);

int32_t QuiltoraCopyResultPreview(uint8_t* buffer, int32_t bufferSize, int32_t info[6]) {
  try {
    return quiltora::CopyResultPreview(buffer, bufferSize, info);
  } catch (...) {
    return 0;
  }
}
