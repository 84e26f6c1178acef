// quiltora-same-pixels A B: exits 0 when the two picture files hold the same
// pixels, whatever their encoding (a PNG written by libspng and one written
// by stb), and says where they first differ otherwise.
#include <cstdio>
#include <string>

#include "picture.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: quiltora-same-pixels A B\n", stderr);
    return 2;
  }
  quiltora_cli::Picture a, b;
  std::string error;
  if (!quiltora_cli::LoadPicture(argv[1], &a, &error) || !quiltora_cli::LoadPicture(argv[2], &b, &error)) {
    std::fprintf(stderr, "quiltora-same-pixels: %s\n", error.c_str());
    return 2;
  }
  if (a.width != b.width || a.height != b.height || a.channels != b.channels || a.cmyk != b.cmyk) {
    std::fprintf(stderr, "quiltora-same-pixels: %d x %d x %d against %d x %d x %d\n", int(a.width), int(a.height),
                 int(a.channels), int(b.width), int(b.height), int(b.channels));
    return 1;
  }
  for (size_t i = 0; i < a.pixels.size(); ++i)
    if (a.pixels[i] != b.pixels[i]) {
      const size_t pixel = i / size_t(a.channels);
      std::fprintf(stderr, "quiltora-same-pixels: first difference at %zu,%zu\n", pixel % size_t(a.width),
                   pixel / size_t(a.width));
      return 1;
    }
  return 0;
}
