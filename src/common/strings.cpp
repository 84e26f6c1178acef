#include "common/strings.h"

namespace quiltora {
namespace {

const ModuleString kStrings[] = {
#define QUILTORA_STRING(id, text) {id, text},
#include "resources/strings.inc"
#undef QUILTORA_STRING
};

}  // namespace

const ModuleString* ModuleStrings(int* count) {
  *count = static_cast<int>(sizeof kStrings / sizeof kStrings[0]);
  return kStrings;
}

const char* FindModuleString(int id) {
  for (const ModuleString& entry : kStrings)
    if (entry.id == id) return entry.text;
  return nullptr;
}

}  // namespace quiltora
