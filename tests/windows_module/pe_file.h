// A small reader of Windows modules (PE files) for the tests: the imports, the
// exports and the resources a host reads when it lists a filter. Works on both
// x86 and x64 modules from any platform.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace petest {

struct PeFile {
  bool is64 = false;
  std::vector<std::string> imports;  // DLL names
  std::vector<std::string> exports;  // exported names, undecorated as stored
  // Resources by type ("PIMI", "#6" for strings, ...) and name ("1", "16000" or a string name).
  std::map<std::string, std::map<std::string, std::vector<uint8_t>>> resources;
};

// Reads path into *pe; false with a reason in *error.
bool ReadPeFile(const std::string& path, PeFile* pe, std::string* error);

// The strings of the string table (ids → UTF-16 text narrowed to bytes).
std::map<int, std::string> StringTable(const PeFile& pe);

}  // namespace petest
