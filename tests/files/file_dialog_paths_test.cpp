#include "files/file_dialog_paths.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace quiltora {
namespace {

TEST(FileDialogPaths, StartInTilesElsePicturesAndCreateNothing) {
  struct Case {
    std::string windows;
    std::set<std::string> existing;
    std::string pictures;
    std::string start;
  } cases[] = {
      {"C:\\windows",
       {"C:\\windows\\Tiles", "C:\\Users\\u\\Pictures"},
       "C:\\Users\\u\\Pictures",
       "C:\\windows\\Tiles\\"},
      {"C:\\", {"C:\\Tiles"}, "", "C:\\Tiles\\"},
      {"C:\\windows", {"C:\\Users\\u\\Pictures"}, "C:\\Users\\u\\Pictures", "C:\\Users\\u\\Pictures\\"},
      {"C:\\windows", {}, "C:\\Users\\u\\Pictures", ""},
      {"", {"D:\\pics\\"}, "D:\\pics\\", "D:\\pics\\"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> asked;
    const std::string start = StartFolder(c.windows, "Tiles", c.pictures, [&](const std::string& folder) {
      asked.push_back(folder);
      return c.existing.count(folder) > 0;
    });
    EXPECT_EQ(start, c.start) << c.windows;
    EXPECT_LE(asked.size(), 2u);
  }
}

TEST(FileDialogPaths, FilterBecomesTwoTerminatedStrings) {
  const std::string filter = DialogFilter("BMP File (*.bmp)|*.bmp|");
  EXPECT_EQ(filter, std::string("BMP File (*.bmp)\0*.bmp\0\0", 24));
  EXPECT_EQ(JoinWindowsPath("C:\\windows\\Tiles\\", "tile.bmp"), "C:\\windows\\Tiles\\tile.bmp");
  EXPECT_EQ(JoinWindowsPath("", "tile.bmp"), "tile.bmp");
}

}  // namespace
}  // namespace quiltora
