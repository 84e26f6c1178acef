#include "art.h"

#include <algorithm>

#include "resources/resource_ids.h"

namespace artgen {

ArtPiece BitmapPiece(int32_t id, const std::string& file, const std::string& title, Canvas picture) {
  ArtPiece piece;
  piece.id = id;
  piece.file = file;
  piece.title = title;
  piece.picture = std::move(picture);
  return piece;
}

Bytes FileBytes(const ArtPiece& piece) {
  if (piece.kind == ArtKind::kCursor) return EncodeCursor(piece.picture, piece.hotspotX, piece.hotspotY);
  if (!piece.bits.empty()) return EncodeBmp1(piece.bits, piece.picture.width(), piece.picture.height());
  return EncodeBmp24(piece.picture);
}

std::vector<ArtFile> ArtFiles(const std::vector<ArtPiece>& pieces) {
  std::vector<ArtFile> files;
  std::string script =
      "/* The module's pictures and cursors, drawn by apps/artgen. Written by it\n"
      "   (cmake --build --preset debug --target art); not edited by hand. */\n";
  for (const ArtPiece& piece : pieces) {
    files.push_back(ArtFile{piece.file, FileBytes(piece)});
    script += std::to_string(piece.id) + (piece.kind == ArtKind::kCursor ? " CURSOR" : " BITMAP") + " \"art/" +
              piece.file + "\"\n";
  }
  files.push_back(ArtFile{"art.rc", Bytes(script.begin(), script.end())});
  return files;
}

bool ArtFonts::Load(const std::string& fontDir, std::string* error) {
  return sans.Load(fontDir + "/DejaVuSans.ttf", error) && sansBold.Load(fontDir + "/DejaVuSans-Bold.ttf", error) &&
         condensed.Load(fontDir + "/DejaVuSansCondensed.ttf", error) &&
         condensedBold.Load(fontDir + "/DejaVuSansCondensed-Bold.ttf", error) &&
         serifBold.Load(fontDir + "/DejaVuSerif-Bold.ttf", error);
}

bool MakeArt(const ArtSources& sources, std::vector<ArtPiece>* pieces, std::string* error) {
  ArtFonts fonts;
  if (!fonts.Load(sources.fontDir, error)) return false;
  pieces->clear();
  pieces->push_back(PatternBitmap());
  pieces->push_back(SpinDragCursor());
  DialogArt(fonts, pieces);
  if (!SymmetryIcons(sources.modulePath, fonts, pieces, error)) return false;
  std::sort(pieces->begin(), pieces->end(), [](const ArtPiece& a, const ArtPiece& b) { return a.id < b.id; });
  return true;
}

}  // namespace artgen
