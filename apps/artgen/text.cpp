#include "text.h"

#include <stb_truetype.h>

#include <cmath>
#include <fstream>
#include <iterator>

namespace artgen {
namespace {

// Coverage is area; dark text on a light ground reads thin with it, so the
// middle tones are lifted a little.
uint8_t Weighted(uint8_t coverage) {
  static const std::vector<uint8_t> table = [] {
    std::vector<uint8_t> t(256);
    for (int i = 0; i < 256; ++i) t[size_t(i)] = uint8_t(std::lround(255 * std::pow(i / 255.0, 1 / 1.25)));
    return t;
  }();
  return table[coverage];
}

}  // namespace

Font::Font() : info_(new stbtt_fontinfo{}) {}
Font::~Font() { delete info_; }

bool Font::Load(const std::string& path, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  data_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (!file.good() && !file.eof()) data_.clear();
  if (data_.empty()) {
    *error = "cannot read the font " + path + " (scripts/install-deps installs it)";
    return false;
  }
  if (stbtt_InitFont(info_, data_.data(), stbtt_GetFontOffsetForIndex(data_.data(), 0)) == 0) {
    *error = path + " is not a TrueType font";
    return false;
  }
  // The capital height, taken from the H.
  int x0, y0, x1, y1;
  stbtt_GetCodepointBox(info_, 'H', &x0, &y0, &x1, &y1);
  capHeight_ = y1;
  return true;
}

double Font::Width(const std::string& text, double size, double tracking) const {
  const float scale = stbtt_ScaleForMappingEmToPixels(info_, float(size));
  double width = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    int advance, bearing;
    stbtt_GetCodepointHMetrics(info_, static_cast<unsigned char>(text[i]), &advance, &bearing);
    width += advance * double(scale);
    if (i + 1 < text.size())
      width += stbtt_GetCodepointKernAdvance(info_, static_cast<unsigned char>(text[i]),
                                             static_cast<unsigned char>(text[i + 1])) *
                   double(scale) +
               tracking;
  }
  return width;
}

double Font::CapHeight(double size) const {
  return capHeight_ * double(stbtt_ScaleForMappingEmToPixels(info_, float(size)));
}

void Font::Draw(Canvas* canvas, double x, double baseline, const std::string& text, double size, Colour c,
                double tracking) const {
  const float scale = stbtt_ScaleForMappingEmToPixels(info_, float(size));
  const double base = std::floor(baseline);
  const float shiftY = float(baseline - base);
  double pen = x;
  for (size_t i = 0; i < text.size(); ++i) {
    const int code = static_cast<unsigned char>(text[i]);
    const double left = std::floor(pen);
    const float shiftX = float(pen - left);
    int w = 0, h = 0, xoff = 0, yoff = 0;
    unsigned char* glyph =
        stbtt_GetCodepointBitmapSubpixel(info_, scale, scale, shiftX, shiftY, code, &w, &h, &xoff, &yoff);
    for (int j = 0; j < h; ++j)
      for (int k = 0; k < w; ++k)
        canvas->Blend(int32_t(left) + xoff + k, int32_t(base) + yoff + j, c, Weighted(glyph[j * w + k]));
    stbtt_FreeBitmap(glyph, nullptr);
    int advance, bearing;
    stbtt_GetCodepointHMetrics(info_, code, &advance, &bearing);
    pen += advance * double(scale);
    if (i + 1 < text.size())
      pen += stbtt_GetCodepointKernAdvance(info_, code, static_cast<unsigned char>(text[i + 1])) * double(scale) +
             tracking;
  }
}

}  // namespace artgen
