// quiltora-contact-sheet OUTPUT [--columns=N] [--cell=PIXELS] LABEL=PICTURE...
// Lays the pictures out in a grid of equal cells, each scaled to fit and
// labelled below with the built-in bitmap font.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bitmap_font.h"
#include "picture.h"

namespace {

using quiltora_cli::Picture;

constexpr int32_t kMargin = 12;
constexpr int32_t kLabelScale = 2;
constexpr int32_t kLabelHeight = quiltora_cli::kGlyphHeight * kLabelScale + 10;

struct Entry {
  std::string label;
  Picture picture;
};

// The size of a picture scaled to fit a cell x cell box.
void FitInCell(const Picture& picture, int32_t cell, int32_t* width, int32_t* height) {
  const double scale = std::min(double(cell) / picture.width, double(cell) / picture.height);
  *width = std::max(1, int32_t(picture.width * scale));
  *height = std::max(1, int32_t(picture.height * scale));
}

// Copies picture into the sheet, scaled by nearest neighbour to fit a cell x cell box.
void PlaceScaled(const Picture& picture, int32_t cell, int32_t left, int32_t top, Picture* sheet) {
  int32_t width = 0, height = 0;
  FitInCell(picture, cell, &width, &height);
  left += (cell - width) / 2;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const int32_t sx = int32_t(int64_t(x) * picture.width / width);
      const int32_t sy = int32_t(int64_t(y) * picture.height / height);
      const uint8_t* from = picture.pixels.data() + (size_t(sy) * picture.width + sx) * picture.channels;
      uint8_t* to = sheet->pixels.data() + (size_t(top + y) * sheet->width + left + x) * 3;
      const bool gray = picture.channels <= 2;
      for (int c = 0; c < 3; ++c) to[c] = from[gray ? 0 : c];
    }
}

bool ParseArguments(int argc, char** argv, int32_t* columns, int32_t* cell, std::vector<Entry>* entries) {
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--columns=", 0) == 0) {
      *columns = std::atoi(arg.c_str() + 10);
      continue;
    }
    if (arg.rfind("--cell=", 0) == 0) {
      *cell = std::atoi(arg.c_str() + 7);
      continue;
    }
    const size_t equals = arg.find('=');
    if (equals == std::string::npos) {
      std::fprintf(stderr, "quiltora-contact-sheet: expected LABEL=PICTURE, not '%s'\n", arg.c_str());
      return false;
    }
    Entry entry{arg.substr(0, equals), {}};
    std::string error;
    if (!quiltora_cli::LoadPicture(arg.substr(equals + 1), &entry.picture, &error)) {
      std::fprintf(stderr, "quiltora-contact-sheet: %s\n", error.c_str());
      return false;
    }
    entries->push_back(std::move(entry));
  }
  return !entries->empty() && *columns >= 1 && *cell >= 16 && *cell <= 4096;
}

}  // namespace

int main(int argc, char** argv) {
  int32_t columns = 6, cell = 220;
  std::vector<Entry> entries;
  if (argc < 3 || !ParseArguments(argc, argv, &columns, &cell, &entries)) {
    std::fprintf(stderr, "usage: quiltora-contact-sheet OUTPUT [--columns=N] [--cell=PIXELS] LABEL=PICTURE...\n");
    return 2;
  }
  columns = std::min<int32_t>(columns, int32_t(entries.size()));
  const int32_t rows = (int32_t(entries.size()) + columns - 1) / columns;
  // Rows are as tall as the tallest scaled picture, so labels sit just below.
  int32_t cellHeight = 1;
  for (const Entry& entry : entries) {
    int32_t width = 0, height = 0;
    FitInCell(entry.picture, cell, &width, &height);
    cellHeight = std::max(cellHeight, height);
  }
  Picture sheet;
  sheet.width = kMargin + columns * (cell + kMargin);
  sheet.height = kMargin + rows * (cellHeight + kLabelHeight + kMargin);
  sheet.channels = 3;
  sheet.pixels.assign(size_t(sheet.width) * sheet.height * 3, 40);
  const uint8_t labelColour[3] = {235, 235, 225};
  for (size_t i = 0; i < entries.size(); ++i) {
    const int32_t left = kMargin + int32_t(i % columns) * (cell + kMargin);
    const int32_t top = kMargin + int32_t(i / columns) * (cellHeight + kLabelHeight + kMargin);
    PlaceScaled(entries[i].picture, cell, left, top, &sheet);
    const std::string& label = entries[i].label;
    const int32_t labelLeft = left + std::max(0, (cell - quiltora_cli::TextWidth(label, kLabelScale)) / 2);
    quiltora_cli::DrawText(&sheet, labelLeft, top + cellHeight + 6, label, kLabelScale, labelColour);
  }
  std::string temporary, error;
  if (!quiltora_cli::WritePictureTemporary(argv[1], sheet, &temporary, &error) ||
      !quiltora_cli::CommitPicture(temporary, argv[1], &error)) {
    std::fprintf(stderr, "quiltora-contact-sheet: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
