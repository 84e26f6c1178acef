// Every bitmap and cursor of the module, drawn from code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"
#include "encode.h"
#include "text.h"

namespace artgen {

enum class ArtKind { kBitmap, kCursor };

struct ArtPiece {
  int32_t id = 0;
  ArtKind kind = ArtKind::kBitmap;
  std::string file;   // its name among the module's resource files
  std::string title;  // what it is, for the art sheet
  Canvas picture;
  int32_t hotspotX = 0, hotspotY = 0;  // cursors
  std::vector<bool> bits;              // set for one-bit bitmaps: true is white
};

// A bitmap piece.
ArtPiece BitmapPiece(int32_t id, const std::string& file, const std::string& title, Canvas picture);

// The file the resource compiler reads for the piece.
Bytes FileBytes(const ArtPiece& piece);

// Every file of the art folder: one per piece and art.rc, the resource
// statements that name them.
struct ArtFile {
  std::string name;
  Bytes bytes;
};
std::vector<ArtFile> ArtFiles(const std::vector<ArtPiece>& pieces);

// Where the art comes from: the folder of the DejaVu fonts and the filter
// module whose tile builder draws the symmetry icons.
struct ArtSources {
  std::string fontDir = "/usr/share/fonts/truetype/dejavu";
  std::string modulePath;
};

// The fonts the art is lettered with.
struct ArtFonts {
  Font sans, sansBold, condensed, condensedBold, serifBold;
  bool Load(const std::string& fontDir, std::string* error);
};

// All pieces in id order; false with a reason when a font or the module
// cannot be used.
bool MakeArt(const ArtSources& sources, std::vector<ArtPiece>* pieces, std::string* error);

// The main dialog's background 220, the buttons 200..205, 218 and 219, and
// the result pane's hover cursor 3000.
void DialogArt(const ArtFonts& fonts, std::vector<ArtPiece>* pieces);
// Bitmap 220; without its lettering when lettered is false.
Canvas MainBackground(const ArtFonts& fonts, bool lettered);
ArtPiece ResultHoverCursor();

// The seventeen symmetry icons 2000..2016, drawn through the module at modulePath.
bool SymmetryIcons(const std::string& modulePath, const ArtFonts& fonts, std::vector<ArtPiece>* pieces,
                   std::string* error);

// The controls library's pieces: the 8 x 8 halftone pattern and the spin
// button's drag cursor.
ArtPiece PatternBitmap();
ArtPiece SpinDragCursor();

}  // namespace artgen
