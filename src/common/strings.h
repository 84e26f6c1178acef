// The module's string table, compiled in from resources/strings.inc so that
// every build shows the same texts as the Windows resources.
#pragma once

namespace quiltora {

// The text of string id, or nullptr when the table has no such string.
const char* FindModuleString(int id);

struct ModuleString {
  int id;
  const char* text;
};
const ModuleString* ModuleStrings(int* count);

// Calls visit(id, text) for every string in id order; the tests compare the
// table with the one inside the built Windows module.
template <typename Visit>
void ForEachModuleString(Visit visit) {
  int count = 0;
  const ModuleString* strings = ModuleStrings(&count);
  for (int i = 0; i < count; ++i) visit(strings[i].id, strings[i].text);
}

}  // namespace quiltora
