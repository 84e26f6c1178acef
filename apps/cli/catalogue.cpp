#include "catalogue.h"

#include <cctype>
#include <cstdio>

#include "symmetry/catalogue.h"

namespace quiltora_cli {
namespace {

constexpr const char* kBlendModes[kBlendModeCount] = {"Normal", "Darken",     "Lighten",  "Hue",   "Saturation",
                                                      "Color",  "Luminosity", "Multiply", "Screen"};

std::string Lower(const std::string& text) {
  std::string out;
  for (char c : text) out += char(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Letters and digits only, lower case; "&" reads as "and" when andForAmpersand.
std::string Squeeze(const std::string& text, bool andForAmpersand) {
  std::string out;
  for (char c : text) {
    if (c == '&' && andForAmpersand) out += "and";
    if (std::isalnum(static_cast<unsigned char>(c))) out += char(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

// 1..limit for a plain decimal number, 0 otherwise.
int32_t SmallNumber(const std::string& text, int32_t limit) {
  if (text.empty() || text.size() > 3) return 0;
  int32_t value = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
    value = value * 10 + (c - '0');
  }
  return value >= 1 && value <= limit ? value : 0;
}

// The tile's size from the source shape's: w and h of a rectangle or
// parallelogram, s of the others; "~" marks the hexagonal roundings.
const char* TileText(quiltora::TileRule rule) {
  switch (rule) {
    case quiltora::TileRule::kShape: return "w x h";
    case quiltora::TileRule::kSide: return "s x s";
    case quiltora::TileRule::kTwoWide: return "2w x h";
    case quiltora::TileRule::kFourWide: return "4w x h";
    case quiltora::TileRule::kTwoByTwo: return "2w x 2h";
    case quiltora::TileRule::kTwoSides: return "2s x 2s";
    case quiltora::TileRule::kRhombus: return "~1.73s x 2s";
    case quiltora::TileRule::kTriangle:
    case quiltora::TileRule::kKite: return "3s x ~1.73s";
    case quiltora::TileRule::kHalfTriangle: return "6s x ~3.46s";
  }
  return "";
}

}  // namespace

const SymmetryInfo& Symmetry(int32_t number) { return *quiltora::FindSymmetryInfo(number); }

int32_t FindSymmetry(const std::string& text) {
  if (int32_t number = SmallNumber(text, kSymmetryCount)) return number;
  const std::string lower = Lower(text);
  const std::string squeezed = Squeeze(text, true);
  for (const SymmetryInfo& info : quiltora::kSymmetries)
    if (lower == info.planeGroup) return info.number;
  if (squeezed.empty()) return 0;
  for (const SymmetryInfo& info : quiltora::kSymmetries)
    if (squeezed == Squeeze(info.name, true) || squeezed == Squeeze(info.name, false)) return info.number;
  return 0;
}

const char* BlendModeName(int32_t mode) { return kBlendModes[mode - 1]; }

int32_t FindBlendMode(const std::string& text) {
  if (int32_t number = SmallNumber(text, kBlendModeCount)) return number;
  const std::string lower = Lower(text);
  if (lower == "colour") return 6;
  for (int32_t mode = 1; mode <= kBlendModeCount; ++mode)
    if (lower == Lower(kBlendModes[mode - 1])) return mode;
  return 0;
}

std::string SymmetryListing() {
  std::string out = " No  Name           Group  Source shape              Tile         Feather\n";
  char line[128];
  for (const SymmetryInfo& info : quiltora::kSymmetries) {
    std::snprintf(line, sizeof line, "%3d  %-13s  %-5s  %-24s  %-11s  %s\n", int(info.number), info.name,
                  info.planeGroup, quiltora::ShapeName(info.shape), TileText(quiltora::TileRuleOf(info.number)),
                  info.feather ? "yes" : "no");
    out += line;
  }
  out += R"(
Tile: w and h are the selection's width and height; s is the shape's one size,
which sets both sides of the tile (the hexagonal ones round to whole pixels).
Repeats for print, with any symmetry:
  --drop 1/2               a half drop: each column of tiles half a tile lower
                           than the one to its left (--brick 1/3: each row a
                           third of a tile right of the one above)
  --repeat 64cm --dpi 150  a tile exactly 3780 px (64 cm at 150 dpi) wide; as
                           high where w and h are free, else the height follows
)";
  return out;
}

}  // namespace quiltora_cli
