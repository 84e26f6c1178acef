// The colours every piece of the dialog's art is drawn from: a warm linen
// ground, indigo ink, and three fabric accents.
#pragma once

#include "canvas.h"

namespace artgen::palette {

constexpr Colour kGroundTop = Hex(0xEAE6DE);
constexpr Colour kGroundBottom = Hex(0xDCD6CB);
constexpr Colour kPanel = Hex(0xF3F0EA);
constexpr Colour kPanelEdge = Hex(0xB8AF9F);
constexpr Colour kStitch = Hex(0xC2B6A2);
constexpr Colour kWell = Hex(0xE9E5DD);
constexpr Colour kWellEdge = Hex(0x7A7264);
constexpr Colour kHighlight = Hex(0xFFFFFF);
constexpr Colour kShadow = Hex(0x4A4236);

constexpr Colour kInk = Hex(0x2C3756);  // labels and the title
constexpr Colour kIndigo = Hex(0x34466F);
constexpr Colour kBrick = Hex(0xB4473A);
constexpr Colour kMustard = Hex(0xDDA63A);
constexpr Colour kTeal = Hex(0x3B7A72);
constexpr Colour kCream = Hex(0xF8F3E6);

// The picker fills its cells with the system's light gray; the icons' hidden
// margins take the same colour.
constexpr Colour kPickerGray = Hex(0xC0C0C0);

}  // namespace artgen::palette
