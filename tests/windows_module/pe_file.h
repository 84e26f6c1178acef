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

// The header of a device-independent bitmap (a bitmap resource, or the
// picture of a cursor, whose height counts its mask too).
struct DibHeader {
  int32_t width = 0, height = 0;
  uint16_t bitCount = 0;
};
bool ParseDib(const std::vector<uint8_t>& data, DibHeader* header);

// The pictures of a cursor group, with their hotspots.
struct CursorImage {
  uint16_t hotspotX = 0, hotspotY = 0;
  DibHeader dib;
};
// False when the group or one of its cursors is missing or damaged.
bool GroupCursor(const PeFile& pe, const std::string& name, std::vector<CursorImage>* images);

// A dialog template of the classic form. Classes given by number come back
// by name ("button", "static", ...); texts narrowed to bytes.
struct DialogItem {
  uint32_t style = 0, exStyle = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  uint16_t id = 0;
  std::string className, text;
};
struct DialogTemplate {
  uint32_t style = 0, exStyle = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::string menu, className, title;
  uint16_t pointSize = 0;
  std::string face;
  std::vector<DialogItem> items;
};
bool ParseDialog(const std::vector<uint8_t>& data, DialogTemplate* dialog);

}  // namespace petest
