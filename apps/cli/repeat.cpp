#include "repeat.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <numeric>
#include <system_error>
#include <utility>

#include "catalogue.h"
#include "picture.h"
#include "symmetry/catalogue.h"

namespace quiltora_cli {
namespace {

using quiltora::TileRule;

constexpr int32_t kLargestSide = 32767;  // the host's rectangles hold 16-bit coordinates

int64_t FloorDiv(int64_t a, int64_t m) { return a >= 0 ? a / m : -((-a + m - 1) / m); }
int64_t FloorMod(int64_t a, int64_t m) { return a - FloorDiv(a, m) * m; }

std::string Size(int64_t width, int64_t height) { return std::to_string(width) + " x " + std::to_string(height); }

// A positive decimal number: digits with at most one point.
bool ParseDecimal(const std::string& text, double* value) {
  if (text.empty() || text.size() > 12 || text == ".") return false;
  if (std::count(text.begin(), text.end(), '.') > 1) return false;
  for (char c : text)
    if (c != '.' && !std::isdigit(static_cast<unsigned char>(c))) return false;
  *value = std::strtod(text.c_str(), nullptr);
  return true;
}

// ---- The source shapes, as the module sizes them from a bounding box ----

// How the module sizes each source shape from a bounding box.
enum class Shape { kParallelogram, kRectangle, kSquare, kTriangle, kHalfTriangle, kRhombus, kKite };

Shape ShapeOf(quiltora::SourceShape shape) {
  switch (shape) {
    case quiltora::SourceShape::kParallelogram: return Shape::kParallelogram;
    case quiltora::SourceShape::kHalfSquare:
    case quiltora::SourceShape::kSquare: return Shape::kSquare;
    case quiltora::SourceShape::kRhombus: return Shape::kRhombus;
    case quiltora::SourceShape::kTriangle: return Shape::kTriangle;
    case quiltora::SourceShape::kKite: return Shape::kKite;
    case quiltora::SourceShape::kHalfTriangle: return Shape::kHalfTriangle;
    default: return Shape::kRectangle;
  }
}

// The side the module takes from a frame fw × fh: the smaller of the two
// lengths each side of the box allows, plus the shape's rounding allowance,
// truncated.
int32_t SideFromBox(Shape shape, double fw, double fh) {
  switch (shape) {
    case Shape::kTriangle: return int32_t(std::min(fw, fh * 1.1547005383792524) + 0.001);
    case Shape::kHalfTriangle: return int32_t(std::min(fh * 0.5773502691925848, fw) + 1e-7);
    case Shape::kRhombus: return int32_t(std::min(fh, fw * 0.5773502691925848) + 0.01);
    case Shape::kKite: return int32_t(std::min(fh * 1.1547005, fw * 1.33333333) + 0.001);
    default: return int32_t(std::min(fw, fh) + 1e-7);
  }
}

// The bounding box the module measures for a shape of side s (after the tile
// rule lowered it): the box must hold it.
void ExtentOf(Shape shape, int32_t s, int32_t* width, int32_t* height) {
  switch (shape) {
    case Shape::kTriangle:
      *width = s;
      *height = int32_t(s * 0.8660254) + 2;
      return;
    case Shape::kHalfTriangle:
      *width = s;
      *height = int32_t(s * 1.7320508) + 1;
      return;
    case Shape::kRhombus:
      *width = int32_t(s * 1.1547005 * 3.0 / 2.0 - 0.5) + 1;
      *height = s;
      return;
    case Shape::kKite:
      *width = int32_t(s * 0.75);
      *height = int32_t(s * 0.8660254 - 0.5) + 1;
      return;
    default: *width = *height = s;
  }
}

// Far more than the stored fractions lose when the run multiplies them back
// by the source size, far less than the shapes' rounding allowances.
constexpr double kRoundOff = 1e-9;

// The least box, no side below the module's smallest frame, from which the
// module takes side s whatever the round-off of the stored fractions; false
// when there is none.
bool BoxForSide(Shape shape, int32_t s, int32_t kept, int32_t smallest, int32_t* width, int32_t* height) {
  int32_t lowWidth = 0, lowHeight = 0;
  ExtentOf(shape, kept, &lowWidth, &lowHeight);
  lowWidth = std::max(lowWidth, smallest);
  lowHeight = std::max(lowHeight, smallest);
  // The extent lies within a pixel or two of the box that gives the side.
  for (int32_t grow = 0; grow <= 8; ++grow)
    for (int32_t w = lowWidth; w <= lowWidth + grow; ++w) {
      const int32_t h = lowHeight + grow - (w - lowWidth);
      if (SideFromBox(shape, w - kRoundOff, h - kRoundOff) == s &&
          SideFromBox(shape, w + kRoundOff, h + kRoundOff) == s) {
        *width = w;
        *height = h;
        return true;
      }
    }
  return false;
}

// The size (w, h, or s) of the shape that makes a tile side of target pixels,
// and the box it needs. The least size is taken: of an odd kite side and the
// even one below, which the module lowers it to, the even one.
struct Solution {
  int32_t size = 0;
  int32_t boxWidth = 0;
  int32_t boxHeight = 0;
  quiltora::TileSize tile;
};

using Measure = int32_t (*)(const quiltora::TileSize&);
int32_t WidthOf(const quiltora::TileSize& size) { return size.width; }
int32_t HeightOf(const quiltora::TileSize& size) { return size.height; }

// The tile of a shape of side n, or of width and height n.
quiltora::TileSize TileOf(TileRule rule, int32_t n) {
  return quiltora::TileRuleHasOneSize(rule) ? quiltora::TileSizeOf(rule, 0, 0, n) : quiltora::TileSizeOf(rule, n, n, 0);
}

// The tile sides near target that the rule can make: below and above (0: none).
void Neighbours(TileRule rule, Measure measure, int32_t target, int32_t* below, int32_t* above) {
  *below = *above = 0;
  for (int32_t n = 1; n <= kLargestSide; ++n) {
    const int32_t side = measure(TileOf(rule, n));
    if (side < target) *below = std::max(*below, side);
    if (side > target && (*above == 0 || side < *above)) *above = side;
  }
}

}  // namespace

// ---- Drop and brick ----

bool ParseFraction(const std::string& text, Fraction* out) {
  const size_t slash = text.find('/');
  int64_t numerator = 0, denominator = 1;
  if (slash != std::string::npos) {
    const std::string top = text.substr(0, slash), bottom = text.substr(slash + 1);
    if (top.empty() || bottom.empty() || top.size() > 6 || bottom.size() > 6) return false;
    for (char c : top + bottom)
      if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    numerator = std::atoll(top.c_str());
    denominator = std::atoll(bottom.c_str());
  } else {
    double value = 0;
    const size_t point = text.find('.');
    const size_t decimals = point == std::string::npos ? 0 : text.size() - point - 1;
    if (!ParseDecimal(text, &value) || decimals > 6) return false;
    denominator = 1;
    for (size_t i = 0; i < decimals; ++i) denominator *= 10;
    std::string digits = text;
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    numerator = std::atoll(digits.c_str());
  }
  if (denominator <= 0 || numerator >= denominator) return false;
  const int64_t common = std::gcd(numerator, denominator);
  out->numerator = int32_t(numerator / common);
  out->denominator = int32_t(denominator / common);
  return true;
}

std::string FractionText(const Fraction& fraction) {
  if (fraction.numerator == 0) return "0";
  return std::to_string(fraction.numerator) + "/" + std::to_string(fraction.denominator);
}

Lattice LatticeOf(bool drop, const Fraction& fraction, int32_t tileWidth, int32_t tileHeight, bool* exact) {
  const int64_t side = drop ? tileHeight : tileWidth;
  const int64_t scaled = int64_t(fraction.numerator) * side;
  *exact = scaled % fraction.denominator == 0;
  const int64_t shift = (2 * scaled + fraction.denominator) / (2 * int64_t(fraction.denominator));
  return Lattice{drop, int32_t(side > 0 ? shift % side : 0)};
}

void SuperTileSize(const Lattice& lattice, int32_t tileWidth, int32_t tileHeight, int64_t* width, int64_t* height) {
  const int32_t side = lattice.drop ? tileHeight : tileWidth;
  const int64_t count = side / std::gcd(lattice.shift, side);
  *width = lattice.drop ? count * tileWidth : tileWidth;
  *height = lattice.drop ? tileHeight : count * tileHeight;
}

filterhost::Image LayOnLattice(const filterhost::TileCopy& tile, const Lattice& lattice, int64_t x, int64_t y,
                               int32_t width, int32_t height) {
  const int32_t channels = tile.channels;
  filterhost::Image image(width, height, channels);
  const int64_t w = tile.width, h = tile.height;
  for (int32_t j = 0; j < height; ++j) {
    uint8_t* out = image.At(0, j);
    for (int32_t i = 0; i < width; ++i, out += channels) {
      const int64_t px = x + i, py = y + j;
      int64_t tx = 0, ty = 0;
      if (lattice.drop) {
        const int64_t column = FloorDiv(px, w);
        tx = px - column * w;
        ty = FloorMod(py - column * lattice.shift, h);
      } else {
        const int64_t row = FloorDiv(py, h);
        ty = py - row * h;
        tx = FloorMod(px - row * lattice.shift, w);
      }
      std::memcpy(out, tile.pixels.data() + (ty * w + tx) * channels, size_t(channels));
    }
  }
  return image;
}

// ---- Repeat size ----

namespace {

bool ParseLength(std::string text, Length* out) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  static const struct {
    const char* suffix;
    LengthUnit unit;
  } kUnits[] = {{"px", LengthUnit::kPixel},
                {"mm", LengthUnit::kMillimetre},
                {"cm", LengthUnit::kCentimetre},
                {"in", LengthUnit::kInch}};
  LengthUnit unit = LengthUnit::kPixel;
  for (const auto& candidate : kUnits) {
    const size_t length = std::strlen(candidate.suffix);
    if (text.size() > length && text.compare(text.size() - length, length, candidate.suffix) == 0) {
      unit = candidate.unit;
      text.resize(text.size() - length);
      break;
    }
  }
  double value = 0;
  if (!ParseDecimal(text, &value) || !(value > 0)) return false;
  *out = Length{value, unit};
  return true;
}

}  // namespace

std::string ParseRepeatSize(const std::string& text, RepeatSize* out) {
  const std::string usage =
      "--repeat takes a size such as 64cm, 640mm, 25.2in or 7559px, or WxH, Wx or xH, not '" + text + "'";
  std::string squeezed;
  for (char c : text)
    if (c != ' ') squeezed += c;
  // The separator is an x that is not the end of "px".
  size_t separator = std::string::npos;
  for (size_t i = 0; i < squeezed.size(); ++i)
    if ((squeezed[i] == 'x' || squeezed[i] == 'X') && (i == 0 || std::tolower(squeezed[i - 1]) != 'p')) {
      if (separator != std::string::npos) return usage;
      separator = i;
    }
  RepeatSize size;
  if (separator == std::string::npos) {
    Length length;
    if (!ParseLength(squeezed, &length)) return usage;
    size.width = size.height = length;
  } else {
    const std::string first = squeezed.substr(0, separator), second = squeezed.substr(separator + 1);
    if (first.empty() && second.empty()) return usage;
    Length length;
    if (!first.empty()) {
      if (!ParseLength(first, &length)) return usage;
      size.width = length;
    }
    if (!second.empty()) {
      if (!ParseLength(second, &length)) return usage;
      size.height = length;
    }
  }
  size.bothFromOne = separator == std::string::npos;
  *out = size;
  return {};
}

int32_t PixelsOf(const Length& length, double dpi) {
  double pixels = 0;
  switch (length.unit) {
    case LengthUnit::kPixel:
      if (length.value != std::floor(length.value)) return -1;
      pixels = length.value;
      break;
    case LengthUnit::kMillimetre: pixels = length.value * dpi / 25.4; break;
    case LengthUnit::kCentimetre: pixels = length.value * dpi / 2.54; break;
    case LengthUnit::kInch: pixels = length.value * dpi; break;
  }
  const double whole = std::floor(pixels + 0.5);
  if (!(whole >= 1) || whole > kLargestSide) return -1;
  return int32_t(whole);
}

std::string PhysicalSize(int32_t width, int32_t height, double dpi) {
  char text[64];
  std::snprintf(text, sizeof text, "%.1f x %.1f mm", width * 25.4 / dpi, height * 25.4 / dpi);
  return text;
}

bool SolveRepeat(int32_t symmetry, int32_t shear, int32_t targetWidth, int32_t targetHeight, bool bothFromOne,
                 const std::optional<Box>& around, const SourceLimits& limits, RepeatPlan* plan, std::string* error) {
  const TileRule rule = quiltora::TileRuleOf(symmetry);
  const char* name = Symmetry(symmetry).name;
  const bool oneSize = quiltora::TileRuleHasOneSize(rule);
  const Shape shape = ShapeOf(Symmetry(symmetry).shape);
  // The module grows a smaller frame to this size (the hexagonal shapes' to 12).
  const int32_t smallest = quiltora::IsHexagonal(Symmetry(symmetry).shape) ? 12 : 10;
  if (oneSize && targetWidth != 0 && targetHeight != 0 && bothFromOne) targetHeight = 0;
  if (oneSize && targetWidth != 0 && targetHeight != 0) {
    *error = std::string(name) +
             " ties the tile's height to its width: give one side (such as 64cm for the width, x64cm for the height)";
    return false;
  }
  if (!oneSize && targetWidth == 0) targetWidth = targetHeight;
  if (!oneSize && targetHeight == 0) targetHeight = targetWidth;

  // Solves one side: the least size whose tile side is target and whose
  // box the module takes.
  auto solve = [&](int32_t target, Measure measure, bool asWidth, Solution* found) {
    bool any = false;
    for (int32_t n = 1; n <= kLargestSide; ++n) {
      const quiltora::TileSize tile = TileOf(rule, n);
      if (measure(tile) != target) continue;
      any = true;
      int32_t boxWidth = n, boxHeight = n;
      if (oneSize && !BoxForSide(shape, n, tile.side, smallest, &boxWidth, &boxHeight)) continue;
      if (!oneSize && n < smallest) continue;
      *found = Solution{n, boxWidth, boxHeight, tile};
      return true;
    }
    const char* side = asWidth ? "wide" : "high";
    if (any) {
      *error = std::string(name) + " tiles " + std::to_string(target) + " px " + side +
               " need a selection below the module's smallest (" + std::to_string(smallest) + " px)";
      return false;
    }
    int32_t below = 0, above = 0;
    Neighbours(rule, measure, target, &below, &above);
    *error = std::string(name) + " makes no tile " + std::to_string(target) + " px " + side;
    if (below != 0 || above != 0) {
      *error += " (the nearest are ";
      if (below != 0) *error += std::to_string(below) + (above != 0 ? " and " : "");
      if (above != 0) *error += std::to_string(above);
      *error += " px)";
    }
    return false;
  };

  int32_t boxWidth = 0, boxHeight = 0;
  if (oneSize) {
    Solution found;
    const bool byWidth = targetWidth != 0;
    if (!solve(byWidth ? targetWidth : targetHeight, byWidth ? WidthOf : HeightOf, byWidth, &found)) return false;
    plan->tileWidth = found.tile.width;
    plan->tileHeight = found.tile.height;
    plan->heightFollows = byWidth;
    plan->widthFollows = !byWidth;
    boxWidth = found.boxWidth;
    boxHeight = found.boxHeight;
  } else {
    Solution across, down;
    if (!solve(targetWidth, WidthOf, true, &across) || !solve(targetHeight, HeightOf, false, &down)) return false;
    plan->tileWidth = targetWidth;
    plan->tileHeight = targetHeight;
    plan->widthFollows = plan->heightFollows = false;
    boxWidth = across.size + (shape == Shape::kParallelogram ? std::abs(shear) : 0);
    boxHeight = down.size;
  }

  // Inside the source area, and off the source's outer pixel, which the
  // module keeps every selection clear of.
  const Box& area = limits.area;
  const int32_t left = std::max(area.x, 1), top = std::max(area.y, 1);
  const int32_t right = std::min(area.x + area.width, limits.sourceWidth - 1);
  const int32_t bottom = std::min(area.y + area.height, limits.sourceHeight - 1);
  if (boxWidth > right - left || boxHeight > bottom - top) {
    *error = "the " + Size(plan->tileWidth, plan->tileHeight) + " px " + name + " tile needs a " +
             Size(boxWidth, boxHeight) + " px selection, more than the source holds (" +
             Size(std::max(0, right - left), std::max(0, bottom - top)) + " px inside its outer pixel)";
    return false;
  }
  const Box centre = around.value_or(area);
  const int64_t x = int64_t(centre.x) + centre.width / 2 - boxWidth / 2;
  const int64_t y = int64_t(centre.y) + centre.height / 2 - boxHeight / 2;
  plan->selection = Box{int32_t(std::clamp<int64_t>(x, left, right - boxWidth)),
                        int32_t(std::clamp<int64_t>(y, top, bottom - boxHeight)), boxWidth, boxHeight};
  return true;
}

}  // namespace quiltora_cli

namespace quiltora_cli {
namespace {

// A loaded source file for the second run, removed when the run is over.
class TemporarySource {
 public:
  TemporarySource() {
    std::error_code code;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = (std::filesystem::temp_directory_path(code) /
             ("quiltora-repeat-" + std::to_string(stamp % 1000000007) + ".bmp"))
                .string();
  }
  ~TemporarySource() {
    std::error_code code;
    std::filesystem::remove(path_, code);
  }
  TemporarySource(const TemporarySource&) = delete;
  TemporarySource& operator=(const TemporarySource&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A 24-bit picture of the image's samples (gray repeated in all three), which
// the module reads back exactly as gray or RGB.
Picture ColourPicture(const filterhost::Image& image) {
  Picture picture;
  picture.width = image.width;
  picture.height = image.height;
  picture.channels = 3;
  picture.pixels.resize(size_t(image.width) * image.height * 3);
  const uint8_t* in = image.pixels.data();
  uint8_t* out = picture.pixels.data();
  for (size_t i = 0; i < size_t(image.width) * image.height; ++i, in += image.channels, out += 3)
    for (int c = 0; c < 3; ++c) out[c] = in[image.channels == 1 ? 0 : c];
  return picture;
}

std::string LengthText(const Length& length) {
  static const char* const kUnits[] = {"px", "mm", "cm", "in"};
  char text[48];
  std::snprintf(text, sizeof text, "%g%s", length.value, kUnits[int(length.unit)]);
  return text;
}

}  // namespace

bool IsPhysical(const RepeatSize& size) {
  for (const std::optional<Length>& side : {size.width, size.height})
    if (side && side->unit != LengthUnit::kPixel) return true;
  return false;
}

Resolution ResolutionFor(const Options& o, double inputDpi) {
  if (o.dpi) return Resolution{*o.dpi, false};
  if (!(inputDpi > 0)) return Resolution{72, true};
  // PNG and BMP keep pixels per metre, rounded: 150 dpi comes back as
  // 150.0124, which is meant as 150 (and would move a long repeat by a pixel).
  constexpr double kMetresPerInch = 0.0254;
  const double whole = std::round(inputDpi);
  return Resolution{std::fabs(inputDpi - whole) <= 0.5 * kMetresPerInch + 1e-9 ? whole : inputDpi, false};
}

bool ApplyRepeat(Options* o, const RunGeometry& g, const Resolution& resolution, std::string* report,
                 std::string* error) {
  const RepeatSize& size = *o->repeat;
  int32_t width = 0, height = 0;
  for (const auto& [side, out] : {std::pair{size.width, &width}, std::pair{size.height, &height}}) {
    if (!side) continue;
    *out = PixelsOf(*side, resolution.dpi);
    if (*out < 0) {
      char dpi[32];
      std::snprintf(dpi, sizeof dpi, "%g", resolution.dpi);
      *error = "--repeat " + LengthText(*side) + " at " + dpi + " dpi is not a whole number of pixels from 1 to 32767";
      return false;
    }
  }
  SourceLimits limits;
  if (o->sourceFile.empty()) {
    limits.area = Box{0, 0, g.areaWidth, g.areaHeight};
    limits.sourceWidth = g.areaWidth;
    limits.sourceHeight = g.areaHeight;
  } else {
    limits.area = SourceAreaOf(*o, g);
    limits.sourceWidth = g.sourceFileWidth;
    limits.sourceHeight = g.sourceFileHeight;
  }
  const int32_t symmetry = o->symmetry != 0 ? o->symmetry : 8;  // the module's default
  RepeatPlan plan;
  char dpiText[32];
  std::snprintf(dpiText, sizeof dpiText, "%g", resolution.dpi);
  if (!SolveRepeat(symmetry, o->shear.value_or(0), width, height, size.bothFromOne, o->select, limits, &plan,
                   error)) {
    *error = (IsPhysical(size) ? "--repeat at " + std::string(dpiText) + " dpi: " : "--repeat: ") + *error;
    return false;
  }
  o->select = plan.selection;
  const Box& s = plan.selection;
  *report = "repeat " + Size(plan.tileWidth, plan.tileHeight) +
            " px = " + PhysicalSize(plan.tileWidth, plan.tileHeight, resolution.dpi) + " at " + dpiText + " dpi" +
            (plan.heightFollows ? " (the height follows from the width)" : "") +
            (plan.widthFollows ? " (the width follows from the height)" : "") + ", from the " +
            Size(s.width, s.height) + " selection at " + std::to_string(s.x) + "," + std::to_string(s.y);
  return true;
}

bool RenderOnLattice(const Options& o, const RunGeometry& g, const ModuleRun& run, LatticeResult* result,
                     std::string* error) {
  filterhost::TileCopy tile;
  if (!run(o, g, false, &tile)) return false;
  if (tile.rowShift != 0 || tile.width <= 0 || tile.height <= 0) {
    *error = "the module's tile has no plain grid to lay on a drop or brick lattice";
    return false;
  }
  const bool drop = o.drop.has_value();
  const Fraction& fraction = drop ? *o.drop : *o.brick;
  bool exact = true;
  const Lattice lattice = LatticeOf(drop, fraction, tile.width, tile.height, &exact);
  int64_t blockWidth = 0, blockHeight = 0;
  SuperTileSize(lattice, tile.width, tile.height, &blockWidth, &blockHeight);
  const int64_t count = drop ? blockWidth / tile.width : blockHeight / tile.height;
  const std::string tileSize = Size(tile.width, tile.height);
  if (!exact)
    result->note = FractionText(fraction) + " of the " + tileSize + " tile's " + (drop ? "height" : "width") +
                   " is not a whole number of pixels: " + (drop ? "columns drop " : "rows shift ") +
                   std::to_string(lattice.shift) + " px, so the pattern repeats every " + std::to_string(count) +
                   (drop ? " columns" : " rows");
  result->description = std::to_string(count) + (drop ? " columns" : " rows") + " of the " + tileSize + " tile, each " +
                        std::to_string(lattice.shift) + " px " + (drop ? "lower" : "further right");
  result->originX = tile.originX;
  result->originY = tile.originY;
  if (!o.tilePath.empty()) {
    if (blockWidth > kLargestSide || blockHeight > kLargestSide) {
      *error = "--tile: the repeating block of " + result->description + " is " + Size(blockWidth, blockHeight) +
               " px, more than a picture quiltora writes (32767 px a side)";
      return false;
    }
    result->superTile = LayOnLattice(tile, lattice, 0, 0, int32_t(blockWidth), int32_t(blockHeight));
  }

  // The pattern over the filter area, from its top-left pixel: a whole block
  // where the area holds one (the module then repeats it), else the area, with
  // a one-pixel frame that the module keeps every selection clear of.
  const int32_t width = int32_t(std::min<int64_t>(blockWidth, g.areaWidth));
  const int32_t height = int32_t(std::min<int64_t>(blockHeight, g.areaHeight));
  const filterhost::Image pattern =
      LayOnLattice(tile, lattice, -int64_t(tile.originX) - 1, -int64_t(tile.originY) - 1, width + 2, height + 2);
  TemporarySource source;
  std::string temporary;
  if (!WritePictureTemporary(source.path(), ColourPicture(pattern), &temporary, error) ||
      !CommitPicture(temporary, source.path(), error))
    return false;

  // Plain translation of exactly that pattern: the sheared brick without
  // shear or feather, selecting the pattern inside its frame, which places
  // the tile's corner on the area's (no offset).
  Options second = o;
  second.symmetry = 1;
  second.shear.reset();
  second.feather = 0;
  second.offset.reset();
  second.select = Box{1, 1, width, height};
  second.sourceFile = source.path();
  second.sourceArea = Box{1, 1, width, height};
  second.tilePath.clear();
  second.drop.reset();
  second.brick.reset();
  second.repeat.reset();
  RunGeometry secondGeometry = g;
  secondGeometry.sourceFileWidth = width + 2;
  secondGeometry.sourceFileHeight = height + 2;
  secondGeometry.sourceFileBytesPerPixel = 3;
  return run(second, secondGeometry, true, nullptr);
}

}  // namespace quiltora_cli
