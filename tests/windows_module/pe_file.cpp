#include "pe_file.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace petest {
namespace {

struct Reader {
  const std::vector<uint8_t>& bytes;
  bool ok = true;

  uint32_t U(size_t offset, int size) {
    if (offset + size_t(size) > bytes.size()) {
      ok = false;
      return 0;
    }
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[offset + size_t(i)];
    return value;
  }
  uint32_t U16(size_t offset) { return U(offset, 2); }
  uint32_t U32(size_t offset) { return U(offset, 4); }
  std::string CString(size_t offset) {
    std::string text;
    while (offset < bytes.size() && bytes[offset] != 0) text += char(bytes[offset++]);
    if (offset >= bytes.size()) ok = false;
    return text;
  }
};

struct Section {
  uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

size_t FileOffset(const std::vector<Section>& sections, uint32_t rva) {
  for (const Section& s : sections)
    if (rva >= s.virtualAddress && rva < s.virtualAddress + std::max(s.virtualSize, s.rawSize))
      return s.rawOffset + (rva - s.virtualAddress);
  return SIZE_MAX / 2;
}

std::string EntryName(Reader& r, size_t resourceBase, uint32_t nameField) {
  if ((nameField & 0x80000000u) == 0) return std::to_string(nameField);
  size_t at = resourceBase + (nameField & 0x7FFFFFFFu);
  uint32_t length = r.U16(at);
  std::string name;
  for (uint32_t i = 0; i < length; ++i) name += char(r.U16(at + 2 + 2 * i));
  return name;
}

}  // namespace

bool ReadPeFile(const std::string& path, PeFile* pe, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    *error = "cannot open " + path;
    return false;
  }
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  Reader r{bytes};
  if (r.U16(0) != 0x5A4D) {
    *error = "no MZ header";
    return false;
  }
  const size_t peOffset = r.U32(0x3C);
  if (r.U32(peOffset) != 0x4550) {
    *error = "no PE header";
    return false;
  }
  const size_t coff = peOffset + 4;
  const uint32_t sectionCount = r.U16(coff + 2);
  const uint32_t optionalSize = r.U16(coff + 16);
  const size_t optional = coff + 20;
  pe->is64 = r.U16(optional) == 0x20B;
  const size_t directories = optional + (pe->is64 ? 112 : 96);
  std::vector<Section> sections;
  for (uint32_t i = 0; i < sectionCount; ++i) {
    size_t at = optional + optionalSize + 40 * i;
    sections.push_back(Section{r.U32(at + 12), r.U32(at + 8), r.U32(at + 20), r.U32(at + 16)});
  }
  // Exports.
  if (uint32_t rva = r.U32(directories); rva != 0) {
    size_t at = FileOffset(sections, rva);
    uint32_t names = r.U32(at + 24);
    size_t nameTable = FileOffset(sections, r.U32(at + 32));
    for (uint32_t i = 0; i < names && r.ok; ++i)
      pe->exports.push_back(r.CString(FileOffset(sections, r.U32(nameTable + 4 * i))));
  }
  // Imports.
  if (uint32_t rva = r.U32(directories + 8); rva != 0) {
    for (size_t at = FileOffset(sections, rva); r.ok && r.U32(at + 12) != 0; at += 20)
      pe->imports.push_back(r.CString(FileOffset(sections, r.U32(at + 12))));
  }
  // Resources: type / name / language, data of the first language.
  if (uint32_t rva = r.U32(directories + 16); rva != 0) {
    const size_t base = FileOffset(sections, rva);
    auto entries = [&](size_t directory, auto visit) {
      uint32_t count = r.U16(directory + 12) + r.U16(directory + 14);
      for (uint32_t i = 0; i < count && r.ok; ++i)
        visit(r.U32(directory + 16 + 8 * i), r.U32(directory + 20 + 8 * i));
    };
    entries(base, [&](uint32_t typeField, uint32_t typeTarget) {
      std::string type = EntryName(r, base, typeField);
      if ((typeField & 0x80000000u) == 0) type = "#" + type;
      entries(base + (typeTarget & 0x7FFFFFFFu), [&](uint32_t nameField, uint32_t nameTarget) {
        const std::string name = EntryName(r, base, nameField);
        entries(base + (nameTarget & 0x7FFFFFFFu), [&](uint32_t, uint32_t dataEntry) {
          size_t entry = base + dataEntry;
          size_t at = FileOffset(sections, r.U32(entry));
          uint32_t size = r.U32(entry + 4);
          if (at + size <= bytes.size() && pe->resources[type].count(name) == 0)
            pe->resources[type][name] = std::vector<uint8_t>(bytes.begin() + long(at), bytes.begin() + long(at + size));
        });
      });
    });
  }
  if (!r.ok) *error = "truncated or damaged PE file";
  return r.ok;
}

std::map<int, std::string> StringTable(const PeFile& pe) {
  std::map<int, std::string> strings;
  auto type = pe.resources.find("#6");
  if (type == pe.resources.end()) return strings;
  for (const auto& [name, data] : type->second) {
    const int block = std::stoi(name);
    size_t at = 0;
    for (int i = 0; i < 16 && at + 2 <= data.size(); ++i) {
      const uint32_t length = data[at] | data[at + 1] << 8;
      at += 2;
      std::string text;
      for (uint32_t c = 0; c < length && at + 2 <= data.size(); ++c, at += 2) text += char(data[at]);
      if (length != 0) strings[(block - 1) * 16 + i] = text;
    }
  }
  return strings;
}

bool ParseDib(const std::vector<uint8_t>& data, DibHeader* header) {
  Reader r{data};
  if (r.U32(0) != 40) return false;
  header->width = int32_t(r.U32(4));
  header->height = int32_t(r.U32(8));
  header->bitCount = uint16_t(r.U16(14));
  return r.ok;
}

bool GroupCursor(const PeFile& pe, const std::string& name, std::vector<CursorImage>* images) {
  images->clear();
  const auto groups = pe.resources.find("#12");
  const auto cursors = pe.resources.find("#1");
  if (groups == pe.resources.end() || cursors == pe.resources.end()) return false;
  const auto group = groups->second.find(name);
  if (group == groups->second.end()) return false;
  Reader r{group->second};
  const uint32_t count = r.U16(4);
  for (uint32_t i = 0; i < count && r.ok; ++i) {
    const auto cursor = cursors->second.find(std::to_string(r.U16(6 + 14 * i + 12)));
    if (cursor == cursors->second.end()) return false;
    Reader c{cursor->second};
    CursorImage image;
    image.hotspotX = uint16_t(c.U16(0));
    image.hotspotY = uint16_t(c.U16(2));
    if (!c.ok || !ParseDib(std::vector<uint8_t>(cursor->second.begin() + 4, cursor->second.end()), &image.dib))
      return false;
    images->push_back(image);
  }
  return r.ok && !images->empty();
}

namespace {

// A name-or-number field of a dialog template; numbers of the predefined
// classes come back as the class names.
std::string SzOrOrd(Reader& r, size_t* at, bool isClass) {
  static const char* const kClasses[] = {"button", "edit", "static", "listbox", "scrollbar", "combobox"};
  const uint32_t first = r.U16(*at);
  if (first == 0xFFFF) {
    const uint32_t number = r.U16(*at + 2);
    *at += 4;
    if (isClass && number >= 0x80 && number <= 0x85) return kClasses[number - 0x80];
    return "#" + std::to_string(number);
  }
  std::string text;
  for (; r.ok && r.U16(*at) != 0; *at += 2) text += char(r.U16(*at));
  *at += 2;
  return text;
}

}  // namespace

bool ParseDialog(const std::vector<uint8_t>& data, DialogTemplate* dialog) {
  Reader r{data};
  dialog->style = r.U32(0);
  dialog->exStyle = r.U32(4);
  const uint32_t count = r.U16(8);
  dialog->x = int16_t(r.U16(10));
  dialog->y = int16_t(r.U16(12));
  dialog->cx = int16_t(r.U16(14));
  dialog->cy = int16_t(r.U16(16));
  size_t at = 18;
  dialog->menu = SzOrOrd(r, &at, false);
  dialog->className = SzOrOrd(r, &at, false);
  dialog->title = SzOrOrd(r, &at, false);
  if ((dialog->style & 0x40) != 0) {  // DS_SETFONT
    dialog->pointSize = uint16_t(r.U16(at));
    at += 2;
    dialog->face = SzOrOrd(r, &at, false);
  }
  dialog->items.clear();
  for (uint32_t i = 0; i < count && r.ok; ++i) {
    at = (at + 3) & ~size_t(3);
    DialogItem item;
    item.style = r.U32(at);
    item.exStyle = r.U32(at + 4);
    item.x = int16_t(r.U16(at + 8));
    item.y = int16_t(r.U16(at + 10));
    item.cx = int16_t(r.U16(at + 12));
    item.cy = int16_t(r.U16(at + 14));
    item.id = uint16_t(r.U16(at + 16));
    at += 18;
    item.className = SzOrOrd(r, &at, true);
    item.text = SzOrOrd(r, &at, false);
    at += std::max<uint32_t>(2, r.U16(at));  // creation data, its size word included
    dialog->items.push_back(item);
  }
  return r.ok;
}

}  // namespace petest
