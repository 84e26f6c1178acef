#include "options.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "catalogue.h"
#include "picture_format.h"
#include "repeat.h"

namespace quiltora_cli {
namespace {

// One option that takes a value: what it stores, given the value.
using Setter = std::string (*)(const std::string& value, Options* options);

struct ValueOption {
  const char* name;
  Setter set;
};

bool ParseInt(const std::string& text, int32_t* out) {
  if (text.empty() || text.size() > 11) return false;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || std::isspace(static_cast<unsigned char>(text[0]))) return false;
  if (value < -2147483647L - 1 || value > 2147483647L) return false;
  *out = int32_t(value);
  return true;
}

// count comma-separated integers.
bool ParseInts(const std::string& text, size_t count, int32_t* out) {
  size_t start = 0;
  for (size_t i = 0; i < count; ++i) {
    const size_t comma = text.find(',', start);
    const bool last = i + 1 == count;
    if (last != (comma == std::string::npos)) return false;
    if (!ParseInt(text.substr(start, last ? std::string::npos : comma - start), &out[i])) return false;
    start = comma + 1;
  }
  return true;
}

std::string ParseBox(const char* name, const std::string& value, std::optional<Box>* out) {
  int32_t v[4];
  if (!ParseInts(value, 4, v)) return std::string(name) + " takes X,Y,W,H, not '" + value + "'";
  if (v[0] < 0 || v[1] < 0 || v[2] < 1 || v[3] < 1)
    return std::string(name) + " needs X,Y >= 0 and W,H >= 1, not '" + value + "'";
  *out = Box{v[0], v[1], v[2], v[3]};
  return {};
}

std::string ParsePercent(const char* name, const std::string& value, int32_t low, std::optional<int32_t>* out) {
  std::string digits = value;
  if (!digits.empty() && digits.back() == '%') digits.pop_back();
  int32_t percent = 0;
  if (!ParseInt(digits, &percent) || percent < low || percent > 100)
    return std::string(name) + " takes a percentage from " + std::to_string(low) + " to 100, not '" + value + "'";
  *out = percent;
  return {};
}

std::string SetSymmetry(const std::string& value, Options* o) {
  o->symmetry = FindSymmetry(value);
  if (o->symmetry == 0) return "unknown symmetry '" + value + "' (see --list)";
  return {};
}
std::string SetSelect(const std::string& value, Options* o) { return ParseBox("--select", value, &o->select); }
std::string SetShear(const std::string& value, Options* o) {
  int32_t shear = 0;
  if (!ParseInt(value, &shear)) return "--shear takes a whole number of pixels, not '" + value + "'";
  o->shear = shear;
  return {};
}
std::string SetFeather(const std::string& value, Options* o) { return ParsePercent("--feather", value, 0, &o->feather); }
std::string SetOpacity(const std::string& value, Options* o) { return ParsePercent("--opacity", value, 1, &o->opacity); }
std::string SetBlend(const std::string& value, Options* o) {
  const int32_t mode = FindBlendMode(value);
  if (mode == 0)
    return "unknown blend mode '" + value +
           "' (normal, darken, lighten, hue, saturation, color, luminosity, multiply, screen)";
  o->blendMode = mode;
  return {};
}
std::string SetOffset(const std::string& value, Options* o) {
  int32_t v[2];
  if (!ParseInts(value, 2, v)) return "--offset takes DX,DY, not '" + value + "'";
  o->offset = Offset{v[0], v[1]};
  return {};
}
std::string SetRegion(const std::string& value, Options* o) { return ParseBox("--region", value, &o->region); }
std::string SetSource(const std::string& value, Options* o) {
  o->sourceFile = value;
  return {};
}
std::string SetSourceArea(const std::string& value, Options* o) {
  return ParseBox("--source-area", value, &o->sourceArea);
}
std::string SetMode(const std::string& value, Options* o) {
  if (value == "gray" || value == "grey") o->mode = ColorMode::kGray;
  else if (value == "rgb") o->mode = ColorMode::kRGB;
  else if (value == "cmyk") o->mode = ColorMode::kCMYK;
  else return "--mode takes gray, rgb or cmyk, not '" + value + "'";
  return {};
}
std::string SetTile(const std::string& value, Options* o) {
  o->tilePath = value;
  return {};
}
std::string SetLattice(const char* name, const std::string& value, std::optional<Fraction>* out) {
  Fraction fraction;
  if (!ParseFraction(value, &fraction))
    return std::string(name) + " takes a fraction of the tile from 0 to 1, such as 1/2, 1/3 or 0.5, not '" + value +
           "'";
  *out = fraction;
  return {};
}
std::string SetDrop(const std::string& value, Options* o) { return SetLattice("--drop", value, &o->drop); }
std::string SetBrick(const std::string& value, Options* o) { return SetLattice("--brick", value, &o->brick); }
std::string SetRepeat(const std::string& value, Options* o) {
  RepeatSize size;
  const std::string error = ParseRepeatSize(value, &size);
  if (error.empty()) o->repeat = size;
  return error;
}
std::string SetDpi(const std::string& value, Options* o) {
  char* end = nullptr;
  const double dpi = std::strtod(value.c_str(), &end);
  if (value.empty() || *end != '\0' || !(dpi >= 1 && dpi <= 100000) ||
      !std::isdigit(static_cast<unsigned char>(value[0])))
    return "--dpi takes a resolution in dots per inch from 1 to 100000, not '" + value + "'";
  o->dpi = dpi;
  return {};
}
std::string SetCompression(const std::string& value, Options* o) {
  int32_t level = 0;
  if (!ParseInt(value, &level) || level < 0 || level > 9)
    return "--compression takes a level from 0 to 9, not '" + value + "'";
  o->compression = level;
  return {};
}
std::string SetQuality(const std::string& value, Options* o) {
  int32_t quality = 0;
  if (!ParseInt(value, &quality) || quality < 1 || quality > 100)
    return "--quality takes a number from 1 to 100, not '" + value + "'";
  o->quality = quality;
  return {};
}
std::string SetSettings(const std::string& value, Options* o) {
  if (value.empty()) return "--settings needs a file";
  o->settingsFile = value;
  return {};
}
std::string SetSaveSettings(const std::string& value, Options* o) {
  if (value.empty()) return "--save-settings needs a file";
  o->saveSettingsFile = value;
  return {};
}
std::string SetPlugin(const std::string& value, Options* o) {
  o->plugin = value;
  return {};
}

constexpr ValueOption kValueOptions[] = {
    {"symmetry", SetSymmetry}, {"select", SetSelect}, {"shear", SetShear},   {"feather", SetFeather},
    {"opacity", SetOpacity},   {"blend", SetBlend},   {"offset", SetOffset}, {"region", SetRegion},
    {"source", SetSource},     {"source-area", SetSourceArea},             {"mode", SetMode},
    {"tile", SetTile},         {"plugin", SetPlugin}, {"compression", SetCompression},
    {"quality", SetQuality},   {"drop", SetDrop},     {"brick", SetBrick},   {"repeat", SetRepeat},
    {"dpi", SetDpi},           {"settings", SetSettings}, {"save-settings", SetSaveSettings},
};

bool SetFlag(const std::string& name, Options* o) {
  if (name == "help") o->help = true;
  else if (name == "version") o->version = true;
  else if (name == "list") o->list = true;
  else if (name == "quiet") o->quiet = true;
  else if (name == "in-memory") o->inMemory = true;
  else if (name == "dialog") o->dialog = true;
  else return false;
  return true;
}

// The long name a short option stands for; empty when there is none.
std::string LongNameOf(char letter) {
  switch (letter) {
    case 'h': return "help";
    case 'V': return "version";
    case 'q': return "quiet";
    case 's': return "symmetry";
    default: return {};
  }
}

std::string Extension(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string extension;
  for (char c : path.substr(dot + 1)) extension += char(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

// The first option given that sets what a stored settings record holds.
std::string PatternOptionGiven(const Options& o) {
  if (o.symmetry != 0) return "--symmetry";
  if (o.select) return "--select";
  if (o.shear) return "--shear";
  if (o.feather) return "--feather";
  if (o.opacity) return "--opacity";
  if (o.blendMode) return "--blend";
  if (o.offset) return "--offset";
  if (!o.sourceFile.empty()) return "--source";
  if (o.sourceArea) return "--source-area";
  if (o.repeat) return "--repeat";
  if (o.drop) return "--drop";
  if (o.brick) return "--brick";
  return {};
}

std::string CheckDialog(const Options& o) {
#ifndef _WIN32
  if (o.dialog) return "--dialog needs the Windows program (quiltora.exe): this build has no dialog";
#endif
  if (o.dialog && (o.drop || o.brick || o.repeat))
    return "--dialog cannot be combined with --drop, --brick or --repeat: the dialog sets the pattern";
  return {};
}

std::string CheckSettingsFiles(const Options& o) {
  if (!o.settingsFile.empty()) {
    const std::string given = PatternOptionGiven(o);
    if (!given.empty()) return "--settings runs with the stored settings: leave out " + given;
  }
  if (o.saveSettingsFile.empty()) return {};
  if (o.drop || o.brick) return "--save-settings keeps the settings of one run; --drop and --brick take two";
  if (o.saveSettingsFile == o.output || o.saveSettingsFile == o.tilePath)
    return "--save-settings must name another file than the output and the tile";
  return {};
}

std::string CheckCombination(const Options& o) {
  if (o.shear && o.symmetry != 1) return "--shear applies to the sheared brick only (--symmetry 1, Gold Brick)";
  if (o.sourceArea && o.sourceFile.empty()) return "--source-area needs --source FILE.bmp";
  if (!o.sourceFile.empty() && Extension(o.sourceFile) != "bmp") return "--source takes a BMP file";
  if (!IsWritableExtension(o.output))
    return "cannot write '" + o.output + "': the output must end in " + WritableExtensionList();
  if (!o.tilePath.empty() && !IsWritableExtension(o.tilePath))
    return "cannot write '" + o.tilePath + "': the tile must end in " + WritableExtensionList();
  if (!o.tilePath.empty() && o.tilePath == o.output) return "--tile must name another file than the output";
  if (o.drop && o.brick) return "--drop and --brick cannot be combined: a repeat shifts its columns or its rows";
  if ((o.drop || o.brick) && o.shear)
    return "--shear cannot be combined with --drop or --brick: the shear already shifts Gold Brick's rows";
  if ((o.drop || o.brick) && o.mode == ColorMode::kCMYK)
    return "--drop and --brick work on gray and RGB images, not --mode cmyk";
  const std::string dialog = CheckDialog(o);
  return dialog.empty() ? CheckSettingsFiles(o) : dialog;
}

// Takes the option at args[*i] and, when it needs one, its value, which is
// either joined to it ("--opacity=40", "-s8") or the next argument. Returns why
// it was refused, or an empty string.
std::string TakeOption(const std::vector<std::string>& args, size_t* i, Options* o) {
  const std::string& arg = args[*i];
  std::string name, value;
  bool hasValue = false;
  if (arg[1] == '-') {
    const size_t equals = arg.find('=');
    name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    hasValue = equals != std::string::npos;
    if (hasValue) value = arg.substr(equals + 1);
  } else {
    name = LongNameOf(arg[1]);
    if (name.empty()) return "unknown option '" + arg + "' (see --help)";
    hasValue = arg.size() > 2;
    if (hasValue) value = arg.substr(2);
  }
  if (SetFlag(name, o)) return hasValue ? "--" + name + " takes no value" : std::string();
  const ValueOption* option = nullptr;
  for (const ValueOption& candidate : kValueOptions)
    if (name == candidate.name) option = &candidate;
  if (option == nullptr) return "unknown option '" + arg + "' (see --help)";
  if (!hasValue) {
    if (*i + 1 >= args.size()) return "--" + name + " needs a value";
    value = args[++*i];
  }
  return option->set(value, o);
}

}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
  ParseResult result;
  Options& o = result.options;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--") {
      positional.insert(positional.end(), args.begin() + long(i) + 1, args.end());
      break;
    }
    if (args[i].size() < 2 || args[i][0] != '-') {
      positional.push_back(args[i]);
      continue;
    }
    result.error = TakeOption(args, &i, &o);
    if (!result.error.empty()) return result;
  }
  if (!(o.help || o.version || o.list)) {
    if (positional.size() != 2) {
      result.error = "expected INPUT and OUTPUT (see --help)";
      return result;
    }
    o.input = positional[0];
    o.output = positional[1];
    result.error = CheckCombination(o);
  }
  result.ok = result.error.empty();
  return result;
}

std::string UsageText() {
  return R"(Usage: quiltora INPUT OUTPUT [options]
Turns part of a picture into a seamless repeating pattern with the Quiltora
filter module, run the way an image editor runs it.

INPUT: PNG, JPEG, TIFF, BMP, PPM/PGM/PAM, TGA or PSD (composite); 8 bits
per channel (16-bit PNG and PNM are cut to 8).
OUTPUT: .png, .jpg, .jpeg, .tif, .tiff, .bmp, .ppm, .pgm, .pnm, .pam or .tga.
An alpha channel passes through where the output has room for it; the
resolution (dpi) and the ICC profile pass through to PNG, JPEG, TIFF and BMP.
A CMYK TIFF or JPEG runs in CMYK and a CMYK run writes a CMYK TIFF.

Large pictures: PNG, JPEG, TIFF (strips or tiles), BMP and PPM/PGM/PAM are
read and written a few rows at a time, so memory stays small whatever the
picture's size (interlaced PNG is read whole). TGA and PSD are read whole and
TGA is written whole. The Windows program reads and writes PNG and JPEG
whole through stb, without dpi or ICC profile, and does not take TIFF.

Pattern:
  -s, --symmetry=S      1..17, a name ("pinwheel", "storm-at-sea") or a plane
                        group ("p4"); see --list. Default: the module's (8).
      --select=X,Y,W,H  source area: the bounding box of the source shape, in
                        source pixels, counted from the region's top-left
                        corner (default: the module's middle square)
      --shear=S         Gold Brick only: the bottom edge lies S pixels right
                        of the top edge (left when negative)
      --feather=P       feather border, 0..100 percent of the largest
      --opacity=P       1..100 percent (default 100)
      --blend=MODE      normal, darken, lighten, hue, saturation, color,
                        luminosity, multiply or screen (or 1..9)
      --offset=DX,DY    shift the pattern by DX,DY pixels
      --region=X,Y,W,H  the area to fill (default: the whole image); with the
                        image as source it is also the source
Source:
      --source=FILE.bmp take the source from an 8-bit gray or 24-bit BMP file
      --source-area=X,Y,W,H  the part of FILE.bmp used (default: a centred
                        area of the region's size); --select is then in the
                        file's pixels
Image:
      --mode=MODE       gray, rgb or cmyk: the image mode the module sees
                        (default: gray for gray input, rgb otherwise). cmyk is
                        a naive conversion (C = 255 - R, ..., black taken out
                        as the least of the three), not colour-managed.
Repeat for print:
      --drop=F          half drop and kin: the finished tile (feather and
                        all) laid in columns, each F of the tile's height
                        lower than the one to its left; F is 1/2, 1/3, 0.5...
                        Example: --drop 1/2
      --brick=F         the same with rows, each F of the tile's width right
                        of the one above. Example: --brick 1/3
      --repeat=SIZE     a tile of exactly SIZE: 64cm, 640mm, 25.2in or 7559px
                        for both sides, WxH (30cmx20cm) for each, Wx or xH for
                        one; quiltora sizes the selection for it (--select
                        then gives only its centre). Where the symmetry ties
                        the height to the width (see --list) one side is set
                        and the other follows. Example: --repeat 64cm --dpi 150
                        gives a tile 3780 px wide (64 / 2.54 x 150, rounded)
      --dpi=N           the resolution for --repeat, recorded in the output
                        (default: the input's, else 72)
Settings for batch work:
      --save-settings=FILE  also save the settings record of this run (688
                        bytes, the same on Linux and Windows)
      --settings=FILE   run with a saved settings record instead of the
                        pattern and source options, as an image editor
                        repeats the filter with its last settings; --region
                        and --mode may still be given
Dialog:
      --dialog          Windows program only: open the filter's own dialog on
                        the input (the options above set where it starts)
                        and write what it applies; Cancel writes nothing
Output:
      --compression=N   PNG: zlib level 0..9 (default 2, fast); TIFF: Deflate
                        level 1..9, 0 for none (default: none)
      --quality=Q       JPEG quality 1..100 (default 92)
      --tile=FILE       also save the finished tile as the module built it;
                        with --drop or --brick, the repeating block of tiles
      --in-memory       read the whole picture before the run and write it
                        after, instead of a few rows at a time
  -q, --quiet           no progress bar, no notes
      --plugin=PATH     the filter module to load (default: the one beside
                        this program)
  -h, --help            this text
  -V, --version         the version
      --list            the 17 symmetries: number, name, plane group, source
                        shape, tile size and whether they take a feather

Exit status: 0 done, 1 failed, 2 bad usage, 130 interrupted (Ctrl-C).
)";
}

}  // namespace quiltora_cli
