#include "cursor_art.h"

#include <algorithm>

namespace artgen {
namespace {

// Alpha of the glyph grown by one pixel in each of the eight directions.
Canvas Grown(const Canvas& glyph, Colour c) {
  Canvas out(glyph.width(), glyph.height());
  for (int32_t y = 0; y < glyph.height(); ++y) {
    for (int32_t x = 0; x < glyph.width(); ++x) {
      int32_t most = 0;
      for (int32_t dy = -1; dy <= 1; ++dy)
        for (int32_t dx = -1; dx <= 1; ++dx)
          if (x + dx >= 0 && y + dy >= 0 && x + dx < glyph.width() && y + dy < glyph.height())
            most = std::max<int32_t>(most, glyph.At(x + dx, y + dy).a);
      out.Set(x, y, WithAlpha(c, uint8_t(most)));
    }
  }
  return out;
}

}  // namespace

Canvas FinishCursor(const Canvas& glyph, Colour ink, Colour rim) {
  const Canvas outline = Grown(glyph, rim);
  Canvas out(glyph.width(), glyph.height());
  out.Draw(outline.Shadow(1, Colour{0, 0, 0, 90}), 1, 1);
  out.Draw(outline, 0, 0);
  Canvas inked(glyph.width(), glyph.height());
  for (int32_t y = 0; y < glyph.height(); ++y)
    for (int32_t x = 0; x < glyph.width(); ++x) inked.Set(x, y, WithAlpha(ink, glyph.At(x, y).a));
  out.Draw(inked, 0, 0);
  return out;
}

ArtPiece CursorPiece(int32_t id, const std::string& file, const std::string& title, const Canvas& glyph) {
  ArtPiece piece;
  piece.id = id;
  piece.kind = ArtKind::kCursor;
  piece.file = file;
  piece.title = title;
  piece.picture = FinishCursor(glyph, Hex(0x101010), Hex(0xFFFFFF));
  piece.hotspotX = kCursorSize / 2 - 1;
  piece.hotspotY = kCursorSize / 2 - 1;
  return piece;
}

}  // namespace artgen
