// The controls library's own pieces.
#include "art.h"
#include "cursor_art.h"
#include "resources/resource_ids.h"

namespace artgen {

ArtPiece PatternBitmap() {
  // The halftone: alternate pixels, rows 0x55 and 0xAA, so that a pattern
  // brush made from it mixes its two colours evenly at any origin.
  ArtPiece piece = BitmapPiece(IDB_PATTERN, "pattern-20560.bmp", "20560 pattern", Canvas(8, 8, Hex(0x000000)));
  piece.bits.resize(64);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      const bool white = (x + y) % 2 == 1;
      piece.bits[size_t(y * 8 + x)] = white;
      piece.picture.Set(x, y, white ? Hex(0xFFFFFF) : Hex(0x000000));
    }
  }
  return piece;
}

ArtPiece SpinDragCursor() {
  // A vertical double arrow with a bar across its middle, symmetric about
  // the hotspot between pixels 15 and 16.
  Canvas glyph(kCursorSize, kCursorSize);
  const Colour ink = Hex(0x000000);
  const double c = 16;
  glyph.Fill(PolygonShape({{c, 3},
                           {c + 6, 10},
                           {c + 1, 10},
                           {c + 1, 22},
                           {c + 6, 22},
                           {c, 29},
                           {c - 6, 22},
                           {c - 1, 22},
                           {c - 1, 10},
                           {c - 6, 10}}),
             ink);
  glyph.Fill(RectShape(c - 8, 15, c + 8, 17), ink);
  return CursorPiece(IDCUR_SPIN_DRAG, "spin-drag-20496.cur", "20496 spin drag", glyph);
}

}  // namespace artgen
