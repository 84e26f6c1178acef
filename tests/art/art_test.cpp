// The art the Windows builds compile in is what the generator draws today.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "art.h"
#include "filterhost.h"

namespace {

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

const std::vector<artgen::ArtPiece>& Pieces() {
  static const std::vector<artgen::ArtPiece> pieces = [] {
    artgen::ArtSources sources;
    sources.modulePath = filterhost::ModuleBesideExecutable();
    std::vector<artgen::ArtPiece> made;
    std::string error;
    EXPECT_TRUE(artgen::MakeArt(sources, &made, &error)) << error;
    return made;
  }();
  return pieces;
}

TEST(Art, CommittedFilesAreWhatTheGeneratorDraws) {
  ASSERT_FALSE(Pieces().empty());
  const std::filesystem::path folder = QUILTORA_ART_DIR;
  std::set<std::string> names;
  for (const artgen::ArtFile& file : artgen::ArtFiles(Pieces())) {
    names.insert(file.name);
    EXPECT_TRUE(ReadFile(folder / file.name) == file.bytes)
        << file.name << " is not what the generator draws; `cmake --build --preset debug --target art` rewrites it";
  }
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    EXPECT_EQ(names.count(entry.path().filename().string()), 1u) << entry.path() << " is drawn by nobody";
}

}  // namespace
