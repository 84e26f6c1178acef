// The art the Windows builds compile in is what the generator draws today.
#include "art.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "dialog/main_layout.h"
#include "dialog_parts.h"
#include "filterhost.h"
#include "palette.h"

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

const artgen::ArtFonts& Fonts() {
  static const artgen::ArtFonts* fonts = [] {
    auto* loaded = new artgen::ArtFonts;
    std::string error;
    EXPECT_TRUE(loaded->Load(artgen::ArtSources{}.fontDir, &error)) << error;
    return loaded;
  }();
  return *fonts;
}

bool Inside(const quiltora::ControlPlace& c, int32_t x, int32_t y) {
  return x >= c.left && y >= c.top && x < c.left + c.width && y < c.top + c.height;
}

bool SameColour(artgen::Colour a, artgen::Colour b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// A dark line runs right around every control that sits in a well, so the
// well neither leaves a gap of ground nor slips under the control.
TEST(Art, WellsOpenExactlyOnTheirControls) {
  using namespace quiltora;
  const artgen::Canvas background = artgen::MainBackground(Fonts(), true);
  const ControlPlace tileBlock{0, kTileSizeLabel.left, kTileSizeLabel.top, kTilePreview.width,
                               kTilePreview.top + kTilePreview.height - kTileSizeLabel.top};
  for (const ControlPlace& c : {kSourcePane, kResultPane, kSymmetryButton, kOpacitySlider, kFeatherSlider, tileBlock}) {
    const int32_t left = c.left - 1, top = c.top - 1, right = c.left + c.width, bottom = c.top + c.height;
    int32_t wrong = 0;
    for (int32_t x = left; x <= right; ++x)
      wrong += !SameColour(background.At(x, top), artgen::palette::kWellEdge) +
               !SameColour(background.At(x, bottom), artgen::palette::kWellEdge);
    for (int32_t y = top; y <= bottom; ++y)
      wrong += !SameColour(background.At(left, y), artgen::palette::kWellEdge) +
               !SameColour(background.At(right, y), artgen::palette::kWellEdge);
    EXPECT_EQ(wrong, 0) << "well around control " << c.id << " at " << c.left << "," << c.top;
    // Just outside the line the bevel is lighter than the line.
    EXPECT_FALSE(SameColour(background.At(left - 1, top + c.height / 2), artgen::palette::kWellEdge)) << c.id;
  }
}

// The labels and the title are drawn where no control covers them.
TEST(Art, NoLetteringLiesUnderAControl) {
  const artgen::Canvas lettered = artgen::MainBackground(Fonts(), true);
  const artgen::Canvas plain = artgen::MainBackground(Fonts(), false);
  int32_t letterPixels = 0;
  for (int32_t y = 0; y < lettered.height(); ++y) {
    for (int32_t x = 0; x < lettered.width(); ++x) {
      if (SameColour(lettered.At(x, y), plain.At(x, y))) continue;
      ++letterPixels;
      for (quiltora::ControlPlace c : quiltora::kMainControls) {
        if (c.id == quiltora::kSourceList.id || c.id == quiltora::kModeList.id) c.height = artgen::kComboClosedHeight;
        EXPECT_FALSE(Inside(c, x, y)) << "lettering at " << x << "," << y << " lies under control " << c.id;
      }
    }
  }
  EXPECT_GT(letterPixels, 500) << "the background carries its labels";
}

}  // namespace
