// Rows of pixels from one kind of samples to another: the file's kind to the
// image mode the module runs in, and back.
#pragma once

#include <cstdint>

#include "options.h"
#include "picture_format.h"

namespace quiltora_cli {

// The samples the host hands the module in a colour mode (gray, RGB, CMYK).
PixelKind KindOfMode(ColorMode mode);
int32_t ChannelsOfMode(ColorMode mode);

// The mode a run uses: the requested one, or the file's own (gray for gray,
// CMYK for CMYK, RGB otherwise).
ColorMode ResolveMode(ColorMode requested, PixelKind fileKind);

// Converts `width` pixels. Gray from colour is (299 R + 587 G + 114 B + 500)
// / 1000. CMYK from RGB is the naive conversion with 0 meaning no ink: C =
// 255 - R, M = 255 - G, Y = 255 - B, then K = min(C, M, Y) taken out of all
// three; RGB from CMYK is R = 255 - min(255, C + K). Alpha is copied when
// both kinds have it and 255 when only the target has it.
void ConvertRow(const uint8_t* from, PixelKind fromKind, uint8_t* to, PixelKind toKind, int32_t width);

// The alpha samples of a row into `alpha` (width bytes), or back into a row.
void TakeAlpha(const uint8_t* row, PixelKind kind, int32_t width, uint8_t* alpha);
void PutAlpha(uint8_t* row, PixelKind kind, int32_t width, const uint8_t* alpha);

}  // namespace quiltora_cli
