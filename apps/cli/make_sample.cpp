// quiltora-sample OUTPUT [WIDTH HEIGHT]: draws the sample picture of the
// sample run. Everything in it is computed here: a colour wash, rings, stripes,
// a disc and a large asymmetric "F", so that a missing mirror or a wrong
// rotation in a pattern shows at a glance.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bitmap_font.h"
#include "picture.h"

namespace {

using quiltora_cli::Picture;

uint8_t Byte(double value) { return uint8_t(value < 0 ? 0 : value > 255 ? 255 : value); }

void PaintBackground(Picture* picture) {
  const double w = picture->width, h = picture->height;
  for (int32_t y = 0; y < picture->height; ++y)
    for (int32_t x = 0; x < picture->width; ++x) {
      uint8_t* p = picture->pixels.data() + (size_t(y) * picture->width + x) * 3;
      const double u = x / w, v = y / h;
      // Rings around a point left of centre, over a wash from teal to orange.
      const double ring = 0.5 + 0.5 * std::cos(std::hypot(x - 0.35 * w, y - 0.55 * h) / 9.0);
      const double stripe = (int32_t(x + 2 * y) / 14) % 2 == 0 ? 1.0 : 0.82;
      p[0] = Byte((40 + 200 * u) * stripe + 30 * ring);
      p[1] = Byte((150 - 60 * v + 50 * ring) * stripe);
      p[2] = Byte((170 - 140 * u + 40 * v) * stripe);
    }
}

void PaintDisc(Picture* picture, double cx, double cy, double radius, const uint8_t* colour) {
  for (int32_t y = 0; y < picture->height; ++y)
    for (int32_t x = 0; x < picture->width; ++x)
      if (std::hypot(x - cx, y - cy) <= radius) {
        uint8_t* p = picture->pixels.data() + (size_t(y) * picture->width + x) * 3;
        for (int c = 0; c < 3; ++c) p[c] = colour[c];
      }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4) {
    std::fprintf(stderr, "usage: quiltora-sample OUTPUT.png [WIDTH HEIGHT]\n");
    return 2;
  }
  Picture picture;
  picture.width = argc == 4 ? std::atoi(argv[2]) : 480;
  picture.height = argc == 4 ? std::atoi(argv[3]) : 360;
  if (picture.width < 64 || picture.height < 64 || picture.width > 8192 || picture.height > 8192) {
    std::fprintf(stderr, "quiltora-sample: the size must be 64 to 8192 pixels a side\n");
    return 2;
  }
  picture.channels = 3;
  picture.pixels.resize(size_t(picture.width) * picture.height * 3);
  PaintBackground(&picture);
  const uint8_t yellow[3] = {250, 210, 40}, red[3] = {200, 30, 40}, blue[3] = {30, 50, 180};
  const uint8_t white[3] = {250, 250, 245};
  PaintDisc(&picture, picture.width * 0.72, picture.height * 0.68, picture.height * 0.13, yellow);
  const int32_t scale = picture.height / 16;
  const int32_t left = picture.width * 2 / 5, top = picture.height / 4;
  quiltora_cli::DrawText(&picture, left + scale / 3, top + scale / 3, "F", scale, blue);  // a shadow, down-right
  quiltora_cli::DrawText(&picture, left, top, "F", scale, red);
  quiltora_cli::DrawText(&picture, 8, picture.height - 8 - 7 * 2, "QUILTORA SAMPLE", 2, white);
  std::string temporary, error;
  if (!quiltora_cli::WritePictureTemporary(argv[1], picture, &temporary, &error) ||
      !quiltora_cli::CommitPicture(temporary, argv[1], &error)) {
    std::fprintf(stderr, "quiltora-sample: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
