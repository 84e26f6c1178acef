#include "controls/button_model.h"

#include <algorithm>

namespace quiltora {
namespace {

int32_t Width(const IntRect& r) { return r.right - r.left; }
int32_t Height(const IntRect& r) { return r.bottom - r.top; }

IntRect Inset(const IntRect& r, int32_t by) { return IntRect{r.left + by, r.top + by, r.right - by, r.bottom - by}; }

void AddPixelLine(std::vector<ColourFill>* fills, ButtonColour colour, IntRect line) {
  if (line.right > line.left && line.bottom > line.top) fills->push_back({colour, line});
}

// Top and left lines of r, then bottom and right ones; the far corners belong
// to the bottom and right lines.
void AddBevel(std::vector<ColourFill>* fills, const IntRect& r, ButtonColour topLeft, ButtonColour bottomRight) {
  AddPixelLine(fills, topLeft, {r.left, r.top, r.right - 1, r.top + 1});
  AddPixelLine(fills, topLeft, {r.left, r.top, r.left + 1, r.bottom - 1});
  AddPixelLine(fills, bottomRight, {r.left, r.bottom - 1, r.right, r.bottom});
  AddPixelLine(fills, bottomRight, {r.right - 1, r.top, r.right, r.bottom});
}

void AddOuterFrame(std::vector<ColourFill>* fills, const IntRect& r, bool squareCorners) {
  int32_t cut = squareCorners ? 0 : 1;
  AddPixelLine(fills, ButtonColour::Frame, {r.left + cut, r.top, r.right - cut, r.top + 1});
  AddPixelLine(fills, ButtonColour::Frame, {r.left + cut, r.bottom - 1, r.right - cut, r.bottom});
  AddPixelLine(fills, ButtonColour::Frame, {r.left, r.top + cut, r.left + 1, r.bottom - cut});
  AddPixelLine(fills, ButtonColour::Frame, {r.right - 1, r.top + cut, r.right, r.bottom - cut});
}

bool TakesShadowFace(int32_t flags, bool shadowDiffersFromText) {
  return (flags & kButtonPressed) && !(flags & kButtonKeepFace) && shadowDiffersFromText;
}

// Line k (1-based) of an arrow of size s pointing in `direction`, as a rectangle.
IntRect ArrowLine(const IntRect& a, int32_t direction, int32_t s, int32_t k) {
  if (direction == kGlyphUp || direction == kGlyphDown) {
    int32_t centre = a.left + (Width(a) + 1) / 2;
    int32_t row = direction == kGlyphUp ? a.top + (Height(a) - s) / 2 + k - 1 : a.bottom - (Height(a) - s) / 2 - k;
    return IntRect{centre - (k - 1), row, centre + k, row + 1};
  }
  int32_t centre = a.top + (Height(a) + 1) / 2;
  int32_t column = direction == kGlyphLeft ? a.left + (Width(a) - s) / 2 + k - 1 : a.right - (Width(a) - s) / 2 - k;
  return IntRect{column, centre - (k - 1), column + 1, centre + k};
}

void AddGlyphPass(std::vector<ColourFill>* fills, const std::vector<IntRect>& lines, ButtonColour colour,
                  int32_t shift) {
  for (const IntRect& l : lines)
    AddPixelLine(fills, colour, {l.left + shift, l.top + shift, l.right + shift, l.bottom + shift});
}

std::vector<ColourFill> GlyphPasses(const std::vector<IntRect>& lines, int32_t flags) {
  std::vector<ColourFill> fills;
  if (flags & kButtonDisabled) {
    AddGlyphPass(&fills, lines, ButtonColour::Highlight, 1);
    AddGlyphPass(&fills, lines, ButtonColour::Shadow, 0);
  } else {
    AddGlyphPass(&fills, lines, ButtonColour::Text, 0);
  }
  return fills;
}

}  // namespace

int32_t NormalizeButtonFlags(int32_t flags) {
  if ((flags & kButtonPressed) && (flags & kButtonDisabled)) return (flags & ~kButtonPressed) | kButtonPressedDisabled;
  return flags;
}

bool ButtonLooksPressed(int32_t flags) { return (flags & (kButtonPressed | kButtonPressedDisabled)) != 0; }

ButtonPlan PlanButtonBorder(const IntRect& rect, int32_t flags, bool shadowDiffersFromText) {
  flags = NormalizeButtonFlags(flags);
  bool shadowFace = TakesShadowFace(flags, shadowDiffersFromText);
  ButtonColour face = shadowFace ? ButtonColour::Shadow : ButtonColour::Face;
  ButtonColour dark = shadowFace ? ButtonColour::Frame : ButtonColour::Shadow;
  ButtonPlan plan;
  plan.fills.push_back({face, rect});
  IntRect r = rect;
  if (flags & kButtonOuterFrame) {
    AddOuterFrame(&plan.fills, r, (flags & kButtonSquareCorners) != 0);
    r = Inset(r, 1);
  }
  bool pressed = ButtonLooksPressed(flags);
  if (pressed) {
    AddBevel(&plan.fills, r, ButtonColour::Frame, ButtonColour::Highlight);
    AddBevel(&plan.fills, Inset(r, 1), dark, face);
  } else {
    AddBevel(&plan.fills, r, ButtonColour::Highlight, ButtonColour::Frame);
    AddBevel(&plan.fills, Inset(r, 1), face, dark);
  }
  plan.content = Inset(r, 2);
  if (pressed) {
    plan.content.left += 1, plan.content.right += 1;
    plan.content.top += 1, plan.content.bottom += 1;
  }
  return plan;
}

ButtonPlan PlanButtonFace(const IntRect& rect, int32_t flags, bool shadowDiffersFromText) {
  ButtonPlan plan = PlanButtonBorder(rect, flags, shadowDiffersFromText);
  bool shadowFace = TakesShadowFace(NormalizeButtonFlags(flags), shadowDiffersFromText);
  AddPixelLine(&plan.fills, shadowFace ? ButtonColour::Shadow : ButtonColour::Face, plan.content);
  return plan;
}

std::vector<ColourFill> PlanArrowGlyph(const IntRect& content, int32_t flags, int32_t captionHeight) {
  int32_t direction = GlyphOf(flags);
  if (direction == kGlyphCornerHatch) return PlanCornerHatch(content, flags);
  if (direction != kGlyphUp && direction != kGlyphDown && direction != kGlyphLeft && direction != kGlyphRight)
    return {};
  bool upDown = direction == kGlyphUp || direction == kGlyphDown;
  IntRect a = content;
  int32_t h = captionHeight / 2;
  if (upDown && h <= Width(a)) {
    int32_t cut = (Width(a) - h) / 2 + 1;
    a.left += cut, a.right -= cut;
  } else if (!upDown && h <= Height(a)) {
    int32_t cut = (Height(a) - h) / 2 + 1;
    a.top += cut, a.bottom -= cut;
  }
  int32_t s = upDown ? std::min(Width(a) / 2, Height(a)) : std::min(Height(a) / 2, Width(a));
  std::vector<IntRect> lines;
  for (int32_t k = 1; k <= s; ++k) lines.push_back(ArrowLine(a, direction, s, k));
  return GlyphPasses(lines, flags);
}

std::vector<ColourFill> PlanCornerHatch(const IntRect& content, int32_t flags) {
  int32_t size = std::min(Width(content), Height(content));
  std::vector<IntRect> dark, light;
  for (int32_t d = 1; d < size; ++d) {
    int32_t phase = d % 4;
    if (phase == 0) continue;
    for (int32_t j = 0; j <= d; ++j) {
      IntRect pixel{content.right - 1 - j, content.bottom - 1 - (d - j), content.right - j, content.bottom - (d - j)};
      (phase == 3 ? light : dark).push_back(pixel);
    }
  }
  std::vector<ColourFill> fills;
  if (flags & kButtonDisabled) {
    AddGlyphPass(&fills, dark, ButtonColour::Highlight, 1);
    AddGlyphPass(&fills, dark, ButtonColour::Shadow, 0);
    return fills;
  }
  AddGlyphPass(&fills, light, ButtonColour::Highlight, 0);
  AddGlyphPass(&fills, dark, ButtonColour::Shadow, 0);
  return fills;
}

SpinParts LayoutSpinButton(const IntRect& client) {
  IntRect r = client;
  r.bottom -= 1;
  int32_t b = (r.top + r.bottom) / 2 - 1;
  SpinParts parts{{r.left, r.top, r.right, b}, {}, {r.left, b + 2, r.right, r.bottom}};
  if (Width(r) < Height(parts.upper)) {
    parts.upper.bottom -= 1;
    parts.lower.top += 1;
  }
  if (Height(r) % 2 != 0) parts.lower.top += 1;
  parts.strip = IntRect{r.left, parts.upper.bottom, r.right, parts.lower.top};
  parts.upper.bottom += 1;
  parts.strip.bottom += 1;
  parts.lower.bottom += 1;
  return parts;
}

int32_t NextSpinDelay(int32_t currentDelay) { return currentDelay == 0 ? 500 : 100; }

int32_t SpinDragSteps(int32_t lastY, int32_t y, int32_t stripHeight) {
  int32_t half = std::max(1, stripHeight / 2);
  return lastY / half - y / half;
}

uint32_t DisabledTextColourFor(uint32_t grayText, uint32_t background) {
  uint32_t c = grayText;
  if (c == 0 || c == background) c = 0x808080;
  return c == background ? 0 : c;
}

}  // namespace quiltora
