// Reads the built Windows modules back as a host does when it lists filters.
// The paths come from QUILTORA_WINDOWS_MODULES (separated by ':'), which the
// test script sets after the Windows builds; without it the tests are skipped.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "common/strings.h"
#include "pe_file.h"

namespace {

std::vector<std::string> ModulePaths() {
  std::vector<std::string> paths;
  const char* list = std::getenv("QUILTORA_WINDOWS_MODULES");
  if (list == nullptr) return paths;
  std::stringstream stream(list);
  for (std::string path; std::getline(stream, path, ':');)
    if (!path.empty()) paths.push_back(path);
  return paths;
}

std::vector<uint8_t> Bytes(const char* text, size_t length) { return std::vector<uint8_t>(text, text + length); }

std::vector<uint8_t> U32(uint32_t value) {
  return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
}

// The property list a host walks: (key, data) in order, after checking the header.
std::vector<std::pair<std::string, std::vector<uint8_t>>> PiplProperties(const std::vector<uint8_t>& pipl) {
  std::vector<std::pair<std::string, std::vector<uint8_t>>> properties;
  auto u32 = [&](size_t at) { return uint32_t(pipl[at] | pipl[at + 1] << 8 | pipl[at + 2] << 16 | pipl[at + 3] << 24); };
  EXPECT_EQ(pipl[0] | pipl[1] << 8, 1);
  EXPECT_EQ(u32(2), 0u);
  const uint32_t count = u32(6);
  size_t at = 10;
  for (uint32_t i = 0; i < count && at + 16 <= pipl.size(); ++i) {
    EXPECT_EQ(u32(at), 0x3842494Du) << "vendor of property " << i;
    const uint32_t key = u32(at + 4);
    const uint32_t length = u32(at + 12);
    EXPECT_EQ(length % 4, 0u) << "hosts that do not round would misread what follows";
    std::string name{char(key >> 24), char(key >> 16), char(key >> 8), char(key)};
    properties.emplace_back(name, std::vector<uint8_t>(pipl.begin() + long(at + 16), pipl.begin() + long(at + 16 + length)));
    at += 16 + length;
  }
  EXPECT_EQ(at, pipl.size());
  return properties;
}

TEST(WindowsModule, ExportsTheEntryPointAndNeedsSystemDllsOnly) {
  const auto paths = ModulePaths();
  if (paths.empty()) GTEST_SKIP() << "QUILTORA_WINDOWS_MODULES not set";
  for (const std::string& path : paths) {
    petest::PeFile pe;
    std::string error;
    ASSERT_TRUE(petest::ReadPeFile(path, &pe, &error)) << path << ": " << error;
    // A 32-bit host loads only the x86 module, a 64-bit host only the other.
    EXPECT_EQ(pe.is64, path.find("x86") == std::string::npos) << path;
    // The entry point hosts look up, undecorated, and the tile copy our own host uses.
    EXPECT_EQ(pe.exports, (std::vector<std::string>{"ENTRYPOINT1", "QuiltoraCopyTile"})) << path;
    for (std::string dll : pe.imports) {
      for (char& c : dll) c = char(std::toupper(static_cast<unsigned char>(c)));
      EXPECT_TRUE(dll == "KERNEL32.DLL" || dll == "USER32.DLL" || dll == "MSVCRT.DLL" || dll == "GDI32.DLL" ||
                  dll == "COMDLG32.DLL" || dll == "COMCTL32.DLL" || dll == "ADVAPI32.DLL" || dll == "WINMM.DLL")
          << path << " imports " << dll;
    }
  }
}

TEST(WindowsModule, CarriesTheListingResourcesByteForByte) {
  const auto paths = ModulePaths();
  if (paths.empty()) GTEST_SKIP() << "QUILTORA_WINDOWS_MODULES not set";
  const char pimi[] = "\x03\x00Qelvin Lab\x00\x04\x00\x00\x00\x00\x00\x10\x00\x00\x00\x08\x00    ";
  const char menu[] = "\x03\x00Quiltora 2d7...";
  for (const std::string& path : paths) {
    petest::PeFile pe;
    std::string error;
    ASSERT_TRUE(petest::ReadPeFile(path, &pe, &error)) << error;
    EXPECT_EQ(pe.resources["PIMI"]["1"], Bytes(pimi, 29)) << path;
    EXPECT_EQ(pe.resources["_8BFM"]["1"], Bytes(menu, 18)) << path;

    const auto properties = PiplProperties(pe.resources["PIPL"]["16000"]);
    std::map<std::string, std::vector<uint8_t>> byKey(properties.begin(), properties.end());
    EXPECT_EQ(byKey["kind"], U32(0x3842464D));
    EXPECT_EQ(byKey["vers"], U32(0x00040000));
    EXPECT_EQ(byKey["name"], Bytes("\x0FQuiltora 2d7...", 16));
    EXPECT_EQ(byKey["catg"], Bytes("\x0AQelvin Lab\0", 12));
    EXPECT_EQ(byKey["8664"], Bytes("ENTRYPOINT1\0", 12));
    EXPECT_EQ(byKey["wx86"], Bytes("ENTRYPOINT1\0", 12));
    EXPECT_EQ(byKey["mode"], (std::vector<uint8_t>{0x58, 0, 0, 0}));  // gray, RGB, CMYK
    EXPECT_EQ(pe.resources["#16"].size(), 1u) << "version information";
  }
}

TEST(WindowsModule, StringTableMatchesTheTableCompiledIntoEveryBuild) {
  const auto paths = ModulePaths();
  if (paths.empty()) GTEST_SKIP() << "QUILTORA_WINDOWS_MODULES not set";
  for (const std::string& path : paths) {
    petest::PeFile pe;
    std::string error;
    ASSERT_TRUE(petest::ReadPeFile(path, &pe, &error)) << error;
    const auto strings = petest::StringTable(pe);
    int compiled = 0;
    quiltora::ForEachModuleString([&](int id, const char* text) {
      ++compiled;
      auto found = strings.find(id);
      ASSERT_NE(found, strings.end()) << "string " << id << " missing from " << path;
      EXPECT_EQ(found->second, text) << "string " << id;
    });
    EXPECT_EQ(int(strings.size()), compiled);
    EXPECT_EQ(strings.at(327), "Image is too small.  Try loading a different image.");
  }
}

}  // namespace
