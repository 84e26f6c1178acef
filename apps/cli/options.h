// The quiltora command line: GNU-style options, parsed into plain settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quiltora_cli {

struct Box {  // a rectangle by its top-left corner and size, in pixels
  int32_t x = 0, y = 0, width = 0, height = 0;
};

struct Offset {
  int32_t dx = 0, dy = 0;
};

enum class ColorMode { kFromInput, kGray, kRGB, kCMYK };

struct Fraction {  // numerator / denominator in [0, 1), in lowest terms
  int32_t numerator = 0;
  int32_t denominator = 1;
};

enum class LengthUnit { kPixel, kMillimetre, kCentimetre, kInch };

struct Length {
  double value = 0;
  LengthUnit unit = LengthUnit::kPixel;
};

struct RepeatSize {  // the sides of a --repeat; a side not given is empty
  std::optional<Length> width;
  std::optional<Length> height;
  bool bothFromOne = false;  // one size stood for both ("64cm")
};

struct Options {
  std::string input;
  std::string output;
  std::string plugin;  // empty: the module beside the program
  int32_t symmetry = 0;  // 0: the module's default
  std::optional<Box> select;
  std::optional<int32_t> shear;
  std::optional<int32_t> feather;
  std::optional<int32_t> opacity;
  std::optional<int32_t> blendMode;
  std::optional<Offset> offset;
  std::optional<Box> region;
  std::string sourceFile;
  std::optional<Box> sourceArea;
  ColorMode mode = ColorMode::kFromInput;
  std::string tilePath;
  std::string settingsFile;      // run with the settings record stored there
  std::string saveSettingsFile;  // write the run's settings record there
  std::optional<Fraction> drop;   // columns shifted down by F of the tile's height
  std::optional<Fraction> brick;  // rows shifted across by F of its width
  std::optional<RepeatSize> repeat;
  std::optional<double> dpi;
  std::optional<int32_t> compression;  // PNG zlib level, TIFF Deflate level (0: none)
  std::optional<int32_t> quality;      // JPEG
  bool dialog = false;    // open the module's dialog on the input (Windows only)
  bool inMemory = false;  // read the whole picture before the run, write it after
  bool quiet = false;
  bool list = false;
  bool help = false;
  bool version = false;
};

struct ParseResult {
  bool ok = false;
  std::string error;  // why the command line was refused, without the program name
  Options options;
};

// args excludes the program name.
ParseResult ParseCommandLine(const std::vector<std::string>& args);

// The --help text.
std::string UsageText();


}  // namespace quiltora_cli
