#include "controls/win32/button_kit.h"

#include <vector>

#include "controls/button_model.h"

namespace quiltora {
namespace {

struct ButtonKit {
  int startCount = 0;
  HINSTANCE instance = nullptr;
  HBRUSH halftone = nullptr;
};

ButtonKit gKit;

int SystemColourIndex(ButtonColour colour) {
  switch (colour) {
    case ButtonColour::Face: return COLOR_BTNFACE;
    case ButtonColour::Shadow: return COLOR_BTNSHADOW;
    case ButtonColour::Highlight: return COLOR_BTNHIGHLIGHT;
    case ButtonColour::Text: return COLOR_BTNTEXT;
    case ButtonColour::Frame: return COLOR_WINDOWFRAME;
  }
  return COLOR_BTNFACE;
}

// One solid fill without a brush: an opaque empty text run.
void FillSolid(HDC dc, const IntRect& area, COLORREF colour) {
  RECT r{area.left, area.top, area.right, area.bottom};
  SetBkColor(dc, colour);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void Paint(HDC dc, const std::vector<ColourFill>& fills) {
  COLORREF previous = GetBkColor(dc);
  for (const ColourFill& fill : fills) FillSolid(dc, fill.area, GetSysColor(SystemColourIndex(fill.colour)));
  SetBkColor(dc, previous);
}

// Whether the display tells button shadow from button text.
bool ShadowDiffersFromText(HDC dc) {
  return GetNearestColor(dc, GetSysColor(COLOR_BTNSHADOW)) != GetNearestColor(dc, GetSysColor(COLOR_BTNTEXT));
}

IntRect ToIntRect(const RECT& r) { return IntRect{r.left, r.top, r.right, r.bottom}; }
RECT ToRect(const IntRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// A checkerboard of button face (0 bits) and button highlight (1 bits): rows
// alternate 0x55 and 0xAA.
HBRUSH MakeHalftoneBrush() {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
    DWORD rows[8];  // one-bit rows padded to 32 bits
  } pattern{};
  pattern.header.biSize = sizeof pattern.header;
  pattern.header.biWidth = 8;
  pattern.header.biHeight = 8;
  pattern.header.biPlanes = 1;
  pattern.header.biBitCount = 1;
  pattern.header.biCompression = BI_RGB;
  COLORREF colours[2] = {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNHIGHLIGHT)};
  for (int i = 0; i < 2; ++i)
    pattern.colours[i] = RGBQUAD{GetBValue(colours[i]), GetGValue(colours[i]), GetRValue(colours[i]), 0};
  for (int i = 0; i < 8; ++i) pattern.rows[i] = (i % 2 == 0) ? 0x55 : 0xAA;
  return CreateDIBPatternBrushPt(&pattern, DIB_RGB_COLORS);
}

}  // namespace

void ButtonKitStart(HINSTANCE instance) {
  if (gKit.startCount++ > 0) return;
  gKit.instance = instance;
  gKit.halftone = MakeHalftoneBrush();
}

void ButtonKitStop() {
  if (gKit.startCount <= 0 || --gKit.startCount > 0) return;
  if (gKit.halftone != nullptr) DeleteObject(gKit.halftone);
  gKit = ButtonKit{};
}

HBRUSH ButtonKitHalftoneBrush() { return gKit.halftone; }

void DrawButtonBorder(HDC dc, const RECT& rect, RECT* content, int flags) {
  ButtonPlan plan = PlanButtonBorder(ToIntRect(rect), flags, ShadowDiffersFromText(dc));
  Paint(dc, plan.fills);
  if (content != nullptr) *content = ToRect(plan.content);
}

void DrawButtonFace(HDC dc, const RECT& rect, RECT* content, int flags) {
  ButtonPlan plan = PlanButtonFace(ToIntRect(rect), flags, ShadowDiffersFromText(dc));
  Paint(dc, plan.fills);
  if (content != nullptr) *content = ToRect(plan.content);
}

void DrawButtonWithGlyph(HDC dc, const RECT& rect, int flags) {
  RECT content{};
  DrawButtonFace(dc, rect, &content, flags);
  DrawArrowGlyph(dc, content, flags);
}

void DrawArrowGlyph(HDC dc, const RECT& content, int flags) {
  Paint(dc, PlanArrowGlyph(ToIntRect(content), flags, GetSystemMetrics(SM_CYCAPTION)));
}

void DrawCornerHatch(HDC dc, const RECT& content, int flags) { Paint(dc, PlanCornerHatch(ToIntRect(content), flags)); }

}  // namespace quiltora
