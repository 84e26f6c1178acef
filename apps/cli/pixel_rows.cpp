#include "pixel_rows.h"

#include <algorithm>
#include <cstring>

namespace quiltora_cli {
namespace {

uint8_t GrayOf(const uint8_t* rgb) { return uint8_t((299 * rgb[0] + 587 * rgb[1] + 114 * rgb[2] + 500) / 1000); }

void ToCmyk(const uint8_t* rgb, uint8_t* cmyk) {
  const uint8_t c = uint8_t(255 - rgb[0]), m = uint8_t(255 - rgb[1]), y = uint8_t(255 - rgb[2]);
  const uint8_t k = std::min({c, m, y});
  cmyk[0] = uint8_t(c - k);
  cmyk[1] = uint8_t(m - k);
  cmyk[2] = uint8_t(y - k);
  cmyk[3] = k;
}

void FromCmyk(const uint8_t* cmyk, uint8_t* rgb) {
  for (int i = 0; i < 3; ++i) rgb[i] = uint8_t(255 - std::min(255, cmyk[i] + cmyk[3]));
}

bool IsGray(PixelKind kind) { return kind == PixelKind::kGray || kind == PixelKind::kGrayAlpha; }

}  // namespace

PixelKind KindOfMode(ColorMode mode) {
  return mode == ColorMode::kGray ? PixelKind::kGray : mode == ColorMode::kCMYK ? PixelKind::kCMYK : PixelKind::kRGB;
}

int32_t ChannelsOfMode(ColorMode mode) { return SamplesOf(KindOfMode(mode)); }

ColorMode ResolveMode(ColorMode requested, PixelKind fileKind) {
  if (requested != ColorMode::kFromInput) return requested;
  if (IsGray(fileKind)) return ColorMode::kGray;
  return fileKind == PixelKind::kCMYK ? ColorMode::kCMYK : ColorMode::kRGB;
}

void ConvertRow(const uint8_t* from, PixelKind fromKind, uint8_t* to, PixelKind toKind, int32_t width) {
  if (fromKind == toKind) {
    std::memcpy(to, from, size_t(width) * SamplesOf(toKind));
    return;
  }
  const int32_t fromStep = SamplesOf(fromKind), toStep = SamplesOf(toKind);
  const bool alphaIn = HasAlpha(fromKind), alphaOut = HasAlpha(toKind);
  for (int32_t x = 0; x < width; ++x, from += fromStep, to += toStep) {
    uint8_t rgb[3];
    if (IsGray(fromKind)) rgb[0] = rgb[1] = rgb[2] = from[0];
    else if (fromKind == PixelKind::kCMYK) FromCmyk(from, rgb);
    else std::memcpy(rgb, from, 3);
    if (IsGray(toKind)) to[0] = IsGray(fromKind) ? from[0] : GrayOf(rgb);
    else if (toKind != PixelKind::kCMYK) std::memcpy(to, rgb, 3);
    else if (fromKind == PixelKind::kCMYK) std::memcpy(to, from, 4);
    else ToCmyk(rgb, to);
    if (alphaOut) to[toStep - 1] = alphaIn ? from[fromStep - 1] : 255;
  }
}

void TakeAlpha(const uint8_t* row, PixelKind kind, int32_t width, uint8_t* alpha) {
  const int32_t step = SamplesOf(kind);
  for (int32_t x = 0; x < width; ++x) alpha[x] = row[size_t(x) * step + step - 1];
}

void PutAlpha(uint8_t* row, PixelKind kind, int32_t width, const uint8_t* alpha) {
  const int32_t step = SamplesOf(kind);
  for (int32_t x = 0; x < width; ++x) row[size_t(x) * step + step - 1] = alpha[x];
}

}  // namespace quiltora_cli
