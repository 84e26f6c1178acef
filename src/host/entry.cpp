// The module's one export. Nothing thrown inside the module may reach the
// host, and the host's result word is always written.
#include <cstdint>
#include <new>

#include "host/dispatch.h"
#include "host/plugin_api.h"

#ifdef _WIN32
#define QUILTORA_EXPORT extern "C" __declspec(dllexport)
#else
#define QUILTORA_EXPORT extern "C" __attribute__((visibility("default")))
#endif

QUILTORA_EXPORT void ENTRYPOINT1(int16_t selector, void* record, intptr_t* data, int16_t* result);

void ENTRYPOINT1(int16_t selector, void* record, intptr_t* /*data: state lives in the module and the settings record*/,
                 int16_t* result) {
  int16_t answer = plugin::kNoErr;
  try {
    answer = quiltora::Dispatch(selector, record);
  } catch (const std::bad_alloc&) {
    answer = plugin::kMemFullErr;
  } catch (...) {
    answer = plugin::kMemFullErr;
  }
  if (result != nullptr) *result = answer;
}
