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

}  // namespace petest
