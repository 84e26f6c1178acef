// The drawing kit: three-dimensional button faces and arrow glyphs in the
// system colours. Flags are those of controls/button_model.h.
#pragma once

#include <windows.h>

namespace quiltora {

// Reference-counted; the controls library starts and stops it with itself.
void ButtonKitStart(HINSTANCE instance);
void ButtonKitStop();
// The halftone brush (button face and highlight in a checkerboard).
HBRUSH ButtonKitHalftoneBrush();

// Border and face fill; content (may be null) receives the area inside the border.
void DrawButtonBorder(HDC dc, const RECT& rect, RECT* content, int flags);
void DrawButtonFace(HDC dc, const RECT& rect, RECT* content, int flags);
// The face, then the glyph of the flags' direction in its content.
void DrawButtonWithGlyph(HDC dc, const RECT& rect, int flags);
void DrawArrowGlyph(HDC dc, const RECT& content, int flags);
void DrawCornerHatch(HDC dc, const RECT& content, int flags);

}  // namespace quiltora
