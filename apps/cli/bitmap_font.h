// A tiny built-in 5 x 7 bitmap font (capitals, digits and a few signs) for
// labels on generated pictures; lower case prints as capitals.
#pragma once

#include <cstdint>
#include <string>

#include "picture.h"

namespace quiltora_cli {

constexpr int32_t kGlyphWidth = 5;
constexpr int32_t kGlyphHeight = 7;
constexpr int32_t kGlyphAdvance = 6;  // one blank column between letters

// Width in pixels of text drawn at that scale.
int32_t TextWidth(const std::string& text, int32_t scale);

// Draws text with its top-left at (x, y), each font pixel a scale x scale
// square of colour (one sample per channel of the picture); clipped to it.
void DrawText(Picture* picture, int32_t x, int32_t y, const std::string& text, int32_t scale, const uint8_t* colour);

}  // namespace quiltora_cli
