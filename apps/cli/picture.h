// Picture files in and out (through stb), and the conversion between a file's
// samples and the image a host hands the filter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "filterhost.h"
#include "options.h"

namespace quiltora_cli {

// Interleaved 8-bit samples: 1 gray, 2 gray + alpha, 3 RGB, 4 RGB + alpha.
struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  int32_t channels = 0;
  std::vector<uint8_t> pixels;
};

bool LoadPicture(const std::string& path, Picture* picture, std::string* error);

// The size and channel count of a picture file, without decoding it.
bool ProbePicture(const std::string& path, Picture* header, std::string* error);

// Writes by the extension (.png, .bmp, .tga, .jpg, .jpeg) into a temporary
// file beside path; CommitPicture then renames it into place, DiscardPicture
// removes it. A failed write leaves nothing behind.
bool WritePictureTemporary(const std::string& path, const Picture& picture, std::string* temporary,
                           std::string* error);
bool CommitPicture(const std::string& temporary, const std::string& path, std::string* error);
void DiscardPicture(const std::string& temporary);

// The mode a run uses for this picture: the requested one, or gray for a gray
// file and RGB otherwise.
ColorMode ResolveMode(ColorMode requested, const Picture& picture);

// The picture's colour samples in the host's layout for the mode (alpha dropped).
// Gray from colour is (299 R + 587 G + 114 B + 500) / 1000. CMYK is the naive
// conversion with 0 meaning no ink: C = 255 - R, M = 255 - G, Y = 255 - B, then
// K = min(C, M, Y) taken out of all three.
filterhost::Image ToHostImage(const Picture& picture, ColorMode mode);

// The reverse: a gray mode gives a gray picture, RGB and CMYK an RGB one
// (R = 255 - min(255, C + K)); alpha is copied from alphaFrom when it has one
// and is the same size.
Picture FromHostImage(const filterhost::Image& image, const Picture& alphaFrom);

}  // namespace quiltora_cli
