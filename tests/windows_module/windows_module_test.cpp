// Reads the built Windows modules back as a host does when it lists filters.
// The paths come from QUILTORA_WINDOWS_MODULES (separated by ':'), which the
// test script sets after the Windows builds; without it the tests are skipped.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
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
  auto u32 = [&](size_t at) {
    return uint32_t(pipl[at] | pipl[at + 1] << 8 | pipl[at + 2] << 16 | pipl[at + 3] << 24);
  };
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
    properties.emplace_back(name,
                            std::vector<uint8_t>(pipl.begin() + long(at + 16), pipl.begin() + long(at + 16 + length)));
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
    // The entry point hosts look up, undecorated, and the tile and result-preview
    // copies our own hosts use.
    EXPECT_EQ(pe.exports, (std::vector<std::string>{"ENTRYPOINT1", "QuiltoraCopyResultPreview", "QuiltoraCopyTile"}))
        << path;
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

// The art the module must carry: id, size and bits per pixel.
struct BitmapFact {
  int id;
  int32_t width, height;
  uint16_t bitCount;
};
const BitmapFact kBitmaps[] = {
    {200, 72, 63, 24},   {201, 72, 63, 24},  {202, 72, 63, 24},  {203, 72, 63, 24},  // OK, Save Tile
    {204, 72, 63, 24},   {205, 72, 63, 24},                                          // Cancel
    {218, 54, 55, 24},   {219, 54, 55, 24},                                          // button 332
    {220, 515, 363, 24},                                                             // the background
    {2000, 80, 75, 24},  {2001, 80, 75, 24}, {2002, 80, 75, 24}, {2003, 80, 75, 24}, {2004, 80, 75, 24},
    {2005, 80, 75, 24},  {2006, 80, 75, 24}, {2007, 80, 75, 24}, {2008, 80, 75, 24}, {2009, 80, 75, 24},
    {2010, 80, 75, 24},  {2011, 80, 75, 24}, {2012, 80, 75, 24}, {2013, 80, 75, 24}, {2014, 80, 75, 24},
    {2015, 80, 75, 24},  {2016, 80, 75, 24},  // the symmetry icons
    {20560, 8, 8, 1},                         // the controls library's pattern
};
const int kCursors[] = {3000, 20496};  // every cursor is 32 x 32
const int kMissingCursors[] = {3001};  // the result pane's drag hides the pointer instead

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Resource id → file name, from the statements the art generator wrote.
std::map<std::string, std::string> ArtFileNames() {
  std::map<std::string, std::string> names;
  std::ifstream script(std::string(QUILTORA_ART_DIR) + "/art.rc");
  for (std::string line; std::getline(script, line);) {
    std::istringstream words(line);
    std::string id, type, file;
    if (words >> id >> type >> file && (type == "BITMAP" || type == "CURSOR") && file.size() > 6)
      names[id] = file.substr(5, file.size() - 6);  // "art/NAME" without quotes and folder
  }
  return names;
}

TEST(WindowsModule, CarriesEveryPictureAndCursorOfTheArtFolder) {
  const auto paths = ModulePaths();
  if (paths.empty()) GTEST_SKIP() << "QUILTORA_WINDOWS_MODULES not set";
  const auto files = ArtFileNames();
  for (const std::string& path : paths) {
    petest::PeFile pe;
    std::string error;
    ASSERT_TRUE(petest::ReadPeFile(path, &pe, &error)) << error;
    for (const BitmapFact& fact : kBitmaps) {
      const std::string id = std::to_string(fact.id);
      ASSERT_EQ(pe.resources["#2"].count(id), 1u) << path << " lacks bitmap " << id;
      const std::vector<uint8_t>& dib = pe.resources["#2"][id];
      petest::DibHeader header;
      ASSERT_TRUE(petest::ParseDib(dib, &header)) << "bitmap " << id;
      EXPECT_EQ(header.width, fact.width) << "bitmap " << id;
      EXPECT_EQ(header.height, fact.height) << "bitmap " << id << " (bottom row first)";
      EXPECT_EQ(header.bitCount, fact.bitCount) << "bitmap " << id;
      // The resource is the art file less its 14-byte file header.
      const std::vector<uint8_t> file = ReadFile(std::string(QUILTORA_ART_DIR) + "/" + files.at(id));
      ASSERT_GT(file.size(), 14u);
      EXPECT_TRUE(std::equal(dib.begin(), dib.end(), file.begin() + 14, file.end())) << "bitmap " << id;
    }
    EXPECT_EQ(pe.resources["#2"].size(), std::size(kBitmaps)) << path << ": bitmaps nobody listed";
    for (int cursor : kCursors) {
      std::vector<petest::CursorImage> images;
      ASSERT_TRUE(petest::GroupCursor(pe, std::to_string(cursor), &images)) << path << " lacks cursor " << cursor;
      for (const petest::CursorImage& image : images) {
        EXPECT_EQ(image.dib.width, 32) << "cursor " << cursor;
        EXPECT_EQ(image.dib.height, 64) << "cursor " << cursor << ": picture and mask";
        EXPECT_LT(image.hotspotX, 32) << "cursor " << cursor;
        EXPECT_LT(image.hotspotY, 32) << "cursor " << cursor;
      }
    }
    for (int cursor : kMissingCursors) EXPECT_EQ(pe.resources["#12"].count(std::to_string(cursor)), 0u) << cursor;
    EXPECT_EQ(pe.resources["#12"].size(), std::size(kCursors)) << path << ": cursors nobody listed";
  }
}

// Window and control styles, as the system headers give them.
constexpr uint32_t kPopup = 0x80000000, kChild = 0x40000000, kVisible = 0x10000000, kCaption = 0x00C00000,
                   kSysMenu = 0x00080000, kGroup = 0x00020000, kTabStop = 0x00010000;
constexpr uint32_t kSetFont = 0x40, kModalFrame = 0x80, k3dLook = 0x04, kContextHelp = 0x2000;
constexpr uint32_t kCentred = 0x1, kBlackFrame = 0x7, kDefaultButton = 0x1;
constexpr uint32_t kPickerStyle =
    kSetFont | kModalFrame | k3dLook | kContextHelp | kPopup | kVisible | kCaption | kSysMenu;

std::string Lower(std::string text) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

petest::DialogItem Item(uint16_t id, const char* className, uint32_t style, int16_t x, int16_t y, int16_t cx,
                        int16_t cy, const char* text = "") {
  return petest::DialogItem{style, 0, x, y, cx, cy, id, className, text};
}

petest::DialogTemplate Dialog(uint32_t style, int16_t x, int16_t y, int16_t cx, int16_t cy, const char* title,
                              uint16_t points, const char* face, std::vector<petest::DialogItem> items) {
  return petest::DialogTemplate{style, 0, x, y, cx, cy, "", "", title, points, face, std::move(items)};
}

std::map<int, petest::DialogTemplate> ExpectedDialogs() {
  std::vector<petest::DialogItem> pictures;
  for (int n = 1; n <= 17; ++n)
    pictures.push_back(Item(uint16_t(353 + n), "static", kChild | kVisible | kTabStop, int16_t((n - 1) % 6 * 50),
                            int16_t(10 + (n - 1) / 6 * 50), 50, 50));
  pictures.push_back(Item(1, "button", kDefaultButton | kChild | kVisible | kTabStop, 175, 180, 50, 14, "OK"));
  pictures.push_back(Item(2, "button", kChild | kVisible | kTabStop, 235, 180, 50, 14, "Cancel"));
  return {
      {1000, Dialog(kSetFont | kPopup | kVisible | kCaption, 0, 0, 520, 363, "", 7, "Arial", {})},
      {1001, Dialog(kPickerStyle, 0, 0, 300, 210, "Symmetry", 8, "MS Sans Serif", pictures)},
      {1002, Dialog(kPickerStyle, 0, 0, 138, 165, "Select an Area", 8, "MS Sans Serif",
                    {Item(371, "static", kCentred | kGroup | kChild | kVisible, 0, 7, 137, 8,
                          "Select an area to use as your tile source"),
                     Item(372, "static", kBlackFrame | kChild | kVisible, 8, 18, 120, 120),
                     Item(1, "button", kDefaultButton | kChild | kVisible | kTabStop, 15, 145, 50, 14, "OK"),
                     Item(2, "button", kChild | kVisible | kTabStop, 70, 145, 50, 14, "Cancel")})},
      {20528, Dialog(kSetFont | kPopup | kCaption | kSysMenu, 10, 10, 10, 10, "", 8, "MS Sans Serif",
                     {Item(20529, "static", kChild | kVisible, 0, 0, 1, 1)})},
  };
}

TEST(WindowsModule, DialogTemplatesHoldTheirControlsExactly) {
  const auto paths = ModulePaths();
  if (paths.empty()) GTEST_SKIP() << "QUILTORA_WINDOWS_MODULES not set";
  const auto expected = ExpectedDialogs();
  for (const std::string& path : paths) {
    petest::PeFile pe;
    std::string error;
    ASSERT_TRUE(petest::ReadPeFile(path, &pe, &error)) << error;
    EXPECT_EQ(pe.resources["#5"].size(), expected.size()) << path;
    for (const auto& [id, want] : expected) {
      const std::string name = std::to_string(id);
      ASSERT_EQ(pe.resources["#5"].count(name), 1u) << path << " lacks dialog " << id;
      petest::DialogTemplate got;
      ASSERT_TRUE(petest::ParseDialog(pe.resources["#5"][name], &got)) << "dialog " << id;
      EXPECT_EQ(got.style, want.style) << "dialog " << id;
      EXPECT_EQ(got.exStyle, 0u) << "dialog " << id;
      EXPECT_EQ((std::vector<int>{got.x, got.y, got.cx, got.cy}), (std::vector<int>{want.x, want.y, want.cx, want.cy}))
          << "dialog " << id;
      EXPECT_EQ(got.menu, "") << "dialog " << id;
      EXPECT_EQ(got.className, "") << "dialog " << id;
      EXPECT_EQ(got.title, want.title) << "dialog " << id;
      EXPECT_EQ(got.pointSize, want.pointSize) << "dialog " << id;
      EXPECT_EQ(got.face, want.face) << "dialog " << id;
      ASSERT_EQ(got.items.size(), want.items.size()) << "dialog " << id;
      for (size_t i = 0; i < want.items.size(); ++i) {
        const petest::DialogItem& g = got.items[i];
        const petest::DialogItem& w = want.items[i];
        EXPECT_EQ(g.id, w.id) << "dialog " << id << " item " << i;
        EXPECT_EQ(Lower(g.className), w.className) << "control " << w.id << " (class names match in any case)";
        EXPECT_EQ(g.style, w.style) << "control " << w.id;
        EXPECT_EQ(g.exStyle, 0u) << "control " << w.id;
        EXPECT_EQ((std::vector<int>{g.x, g.y, g.cx, g.cy}), (std::vector<int>{w.x, w.y, w.cx, w.cy}))
            << "control " << w.id;
        EXPECT_EQ(g.text, w.text) << "control " << w.id;
      }
    }
  }
}

}  // namespace
