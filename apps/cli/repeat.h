// Repeats for print: the half-drop and brick lattices a finished tile is laid
// on, and the selection that gives a tile of a physical size at a resolution.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "filterhost.h"
#include "options.h"
#include "settings.h"

namespace quiltora_cli {

// ---- Drop and brick ----

// F in [0, 1) as "1/2", "2/3", "0.5" or "0"; false for anything else.
bool ParseFraction(const std::string& text, Fraction* out);
std::string FractionText(const Fraction& fraction);

// How the tile is laid: columns w apart, each shift pixels lower than the one
// to its left (a drop), or rows h apart, each shift pixels right of the one
// above (a brick). A shift of 0 is the plain grid.
struct Lattice {
  bool drop = true;
  int32_t shift = 0;
};

// The shift of F of the tile's height (drop) or width (brick), in whole
// pixels, rounded half up; exact tells whether F of that side is whole.
Lattice LatticeOf(bool drop, const Fraction& fraction, int32_t tileWidth, int32_t tileHeight, bool* exact);

// The smallest rectangle that repeats the lattice by plain translation:
// n × w by h for a drop (n columns until the shift comes round), w by n × h
// for a brick.
void SuperTileSize(const Lattice& lattice, int32_t tileWidth, int32_t tileHeight, int64_t* width, int64_t* height);

// The pattern over a width × height area whose top-left pixel lies at (x, y)
// from the corner of a tile on the lattice: pixel (i, j) shows the tile pixel
// that lands on (x + i, y + j). Samples per pixel as the tile's.
filterhost::Image LayOnLattice(const filterhost::TileCopy& tile, const Lattice& lattice, int64_t x, int64_t y,
                               int32_t width, int32_t height);

// ---- Repeat size ----

// "64cm", "640mm", "25.2in", "7559px" (a bare number is pixels) for both
// sides, "WxH" for each, "Wx" or "xH" for one. Empty when parsed, else why not.
std::string ParseRepeatSize(const std::string& text, RepeatSize* out);

// The length in pixels at dpi, rounded half up; -1 when it is not a positive
// whole number of pixels below 32768 (pixels given as a fraction, too long).
int32_t PixelsOf(const Length& length, double dpi);

// Where the selection must lie: the source area (the filter area, or the part
// of a --source file), inside the whole source.
struct SourceLimits {
  Box area;
  int32_t sourceWidth = 0;
  int32_t sourceHeight = 0;
};

struct RepeatPlan {
  Box selection;  // the bounding box to hand the module (--select)
  int32_t tileWidth = 0;
  int32_t tileHeight = 0;
  bool widthFollows = false;   // the symmetry set the width from the height
  bool heightFollows = false;  // or the height from the width
};

// Solves the symmetry's tile-size rule for a tile of targetWidth × targetHeight
// pixels (0: not given; a side not given follows from the other, or equals it
// where the symmetry leaves both free). bothFromOne: the two came from one
// size, which a symmetry that ties the sides takes as the width. The selection is centred on the
// centre of `around` (the source area's when empty) and moved inside the
// source area. False with one line in error when no selection gives that
// tile or the source cannot hold it.
bool SolveRepeat(int32_t symmetry, int32_t shear, int32_t targetWidth, int32_t targetHeight, bool bothFromOne,
                 const std::optional<Box>& around, const SourceLimits& limits, RepeatPlan* plan, std::string* error);

// "640.1 x 369.5 mm": the achieved size of a tile at dpi, to 0.1 mm.
std::string PhysicalSize(int32_t width, int32_t height, double dpi);

}  // namespace quiltora_cli

namespace quiltora_cli {

// ---- Putting it together for a run ----

// The resolution --repeat measures in: --dpi, else the input file's
// (recorded), else 72.
struct Resolution {
  double dpi = 72;
  bool assumed = false;  // neither --dpi nor the input gave one
};
Resolution ResolutionFor(const Options& options, double inputDpi);

// True when a side is given in mm, cm or in, so that the resolution matters.
bool IsPhysical(const RepeatSize& size);

// Replaces --select by the selection that gives the --repeat tile, and tells
// in *report what was achieved ("repeat 3780 x 3780 px = 640.1 x 640.1 mm at
// 150 dpi ..."). False with error set when it cannot be made.
bool ApplyRepeat(Options* options, const RunGeometry& geometry, const Resolution& resolution, std::string* report,
                 std::string* error);

// One run of the module over the input picture with these options. The
// last run writes the output; the one before it keeps only the tile. False
// when it failed (the caller keeps the reason).
using ModuleRun = std::function<bool(const Options& options, const RunGeometry& geometry, bool last,
                                     filterhost::TileCopy* tile)>;

struct LatticeResult {
  filterhost::Image superTile;  // the repeating block, when --tile asked for it
  int32_t originX = 0;          // where a tile (and the block) starts in the filter area
  int32_t originY = 0;
  std::string note;             // set when F of the tile is not a whole number of pixels
  std::string description;      // "2 columns of the 40 x 30 tile, each 15 px lower"
};

// Lays the finished tile on the --drop or --brick lattice through the
// module: a first run makes the tile; the pattern it lays over the filter
// area (one repeating block, or the area when that is smaller) is handed to
// the last run as a loaded source under plain translation, which blends it
// with the options' opacity and blend mode. False with error set for a
// failure of its own, with error empty when a run failed.
bool RenderOnLattice(const Options& options, const RunGeometry& geometry, const ModuleRun& run,
                     LatticeResult* result, std::string* error);

}  // namespace quiltora_cli
