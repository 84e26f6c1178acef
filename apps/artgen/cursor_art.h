// What the cursors share: a dark glyph with a light rim and a soft shadow.
#pragma once

#include <string>

#include "art.h"
#include "canvas.h"

namespace artgen {

constexpr int32_t kCursorSize = 32;

// The glyph (drawn in any opaque colour on a clear 32 x 32 canvas) turned
// into a cursor picture: filled with ink, ringed by one pixel of rim and
// laid on a faint shadow one pixel down and right.
Canvas FinishCursor(const Canvas& glyph, Colour ink, Colour rim);

// A cursor piece from a glyph drawn symmetric about (16, 16): near-black ink,
// a white rim, the hotspot on the pixel at the centre.
ArtPiece CursorPiece(int32_t id, const std::string& file, const std::string& title, const Canvas& glyph);

}  // namespace artgen
