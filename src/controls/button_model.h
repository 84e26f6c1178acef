// Shapes of the button drawing kit and the spin button: which pixels of a
// three-dimensional button take which system colour, the arrow glyphs, the
// spin button's parts, its drag steps and its repeat schedule. Rectangles are
// the system's: right and bottom exclusive.
#pragma once

#include <cstdint>
#include <vector>

#include "abi/parameter_block.h"  // IntRect, IntPoint

namespace quiltora {

enum ButtonFlag : int32_t {
  kButtonPressed = 0x01,
  kButtonPressedDisabled = 0x02,  // the form 0x01 together with 0x04 takes
  kButtonDisabled = 0x04,         // glyphs embossed
  kButtonKeepFace = 0x10,         // keep the face colour while pressed
  kButtonSquareCorners = 0x20,
  kButtonOuterFrame = 0x40,
};

enum GlyphDirection : int32_t {
  kGlyphRight = 1,
  kGlyphDown = 2,
  kGlyphLeft = 4,
  kGlyphUp = 8,
  kGlyphCornerHatch = 16,
};

constexpr int32_t GlyphFlags(int32_t direction) { return direction << 8; }
constexpr int32_t GlyphOf(int32_t flags) { return (flags >> 8) & 0x1F; }

// The system colours the kit paints with.
enum class ButtonColour { Face, Shadow, Highlight, Text, Frame };

struct ColourFill {
  ButtonColour colour;
  IntRect area;
};

// 0x01 with 0x04 becomes 0x02; everything else is kept.
int32_t NormalizeButtonFlags(int32_t flags);
bool ButtonLooksPressed(int32_t flags);

// The fills that draw a button border (face fill, optional outer frame, the
// two bevels), in painting order, and the content rectangle inside it.
// shadowDiffersFromText: the display shows button shadow and button text as
// different colours (a pressed button then takes the shadow as its face).
struct ButtonPlan {
  std::vector<ColourFill> fills;
  IntRect content;
};
ButtonPlan PlanButtonBorder(const IntRect& rect, int32_t flags, bool shadowDiffersFromText);

// The border and then the content filled with the face colour (the shadow
// colour while pressed, as the border's face).
ButtonPlan PlanButtonFace(const IntRect& rect, int32_t flags, bool shadowDiffersFromText);

// The arrow glyph of the flags' direction inside content rectangle A, as
// one-pixel lines: normal glyphs in button text; disabled ones as a highlight
// pass moved by (1, 1) followed by a shadow pass.
std::vector<ColourFill> PlanArrowGlyph(const IntRect& content, int32_t flags, int32_t captionHeight);

// Diagonal hatch lines in the lower right corner of A (a sizing grip).
std::vector<ColourFill> PlanCornerHatch(const IntRect& content, int32_t flags);

// The spin button's parts for a client rectangle.
struct SpinParts {
  IntRect upper;
  IntRect strip;
  IntRect lower;
};
SpinParts LayoutSpinButton(const IntRect& client);

// Delay before the next repeat while a spin arrow is held: the first step is
// at once, the second after 500 ms, then every 100 ms.
int32_t NextSpinDelay(int32_t currentDelay);

// Steps of a drag in the strip from lastY to y (positive: upward).
int32_t SpinDragSteps(int32_t lastY, int32_t y, int32_t stripHeight);

// The colour for disabled text on a background: the system's gray text, or
// mid gray when that is black or the background itself; black when even that
// matches the background. Colours are 0x00BBGGRR.
uint32_t DisabledTextColourFor(uint32_t grayText, uint32_t background);

}  // namespace quiltora
