// Text drawn with a TrueType font from a Debian package, rasterised by stb.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"

struct stbtt_fontinfo;

namespace artgen {

class Font {
 public:
  Font();
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // False with a reason when the file cannot be read or is no font.
  bool Load(const std::string& path, std::string* error);

  // Sizes are pixels per em; tracking is added to every advance but the
  // last. The advance of text, kerning included.
  double Width(const std::string& text, double size, double tracking = 0) const;
  // Height of the capitals above the baseline.
  double CapHeight(double size) const;
  // Draws text with its baseline starting at (x, baseline).
  void Draw(Canvas* canvas, double x, double baseline, const std::string& text, double size, Colour c,
            double tracking = 0) const;
  // The same, centred on x.
  void DrawCentred(Canvas* canvas, double x, double baseline, const std::string& text, double size, Colour c,
                   double tracking = 0) const {
    Draw(canvas, x - Width(text, size, tracking) / 2, baseline, text, size, c, tracking);
  }

 private:
  std::vector<unsigned char> data_;
  stbtt_fontinfo* info_;
  int capHeight_ = 0;  // font units
};

}  // namespace artgen
