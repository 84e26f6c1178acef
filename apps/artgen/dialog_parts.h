// The pieces the main dialog's art is assembled from.
#pragma once

#include <string>

#include "canvas.h"
#include "dialog/main_layout.h"
#include "text.h"

namespace artgen {

struct ArtFonts;

// The height of a closed drop list in the dialog: only its arrow button shows.
constexpr int32_t kComboClosedHeight = 21;

// The linen ground of the dialog, the part [x, x + w) x [y, y + h) of it in
// client coordinates (it goes on beyond the client area, for a button that
// reaches past it).
Canvas Ground(int32_t x, int32_t y, int32_t w, int32_t h);

// A sunken well whose opening is the control's rectangle: a dark line right
// around the control, margin pixels of shaded bevel outside it.
void Well(Canvas* canvas, const quiltora::ControlPlace& control, int32_t margin);
// The narrow well of a slider.
void Groove(Canvas* canvas, const quiltora::ControlPlace& control);
// A raised panel with a quilting stitch along its inside.
void Panel(Canvas* canvas, int32_t left, int32_t top, int32_t right, int32_t bottom);
// Text pressed into the ground: a light line under the ink.
void EngravedText(Canvas* canvas, const Font& font, double x, double baseline, const std::string& text, double size,
                  Colour ink);
// An eight-point star block centred on (cx, cy).
void QuiltStar(Canvas* canvas, double cx, double cy, double radius);
// A fabric pennant hanging from a rod: its label above, and a pocket with a
// down arrow where the drop list's arrow button sits.
void Pennant(Canvas* canvas, const ArtFonts& fonts, const quiltora::ControlPlace& pocket, const std::string& label,
             Colour colour);

// The raised (or pressed) face of a 72 x 63 picture button; returns how far
// its content moves when pressed.
Point ButtonBody(Canvas* canvas, bool pressed);
// Button 332: a round patch with a red cross-stitch.
void CrossStitchBadge(Canvas* canvas, bool pressed);

}  // namespace artgen
