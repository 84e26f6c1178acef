// Whole pictures in and out of files, and the conversion between a file's
// samples and the image a host hands the filter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "filterhost.h"
#include "options.h"
#include "picture_format.h"

namespace quiltora_cli {

// Interleaved 8-bit samples: 1 gray, 2 gray + alpha, 3 RGB, 4 RGB + alpha,
// or 4 CMYK when cmyk is set.
struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  int32_t channels = 0;
  bool cmyk = false;
  std::vector<uint8_t> pixels;
  double dpiX = 0, dpiY = 0;
  std::vector<uint8_t> iccProfile;
};

PixelKind KindOfPicture(const Picture& picture);

// Errors read "cannot read 'PATH': reason".
bool LoadPicture(const std::string& path, Picture* picture, std::string* error);

// The size and kind of a picture file, without decoding its pixels.
bool ProbePicture(const std::string& path, Picture* header, std::string* error);

// A hidden file beside path that becomes path when committed.
std::string TemporaryPathFor(const std::string& path);

// Writes by the extension into a temporary file beside path; CommitPicture
// then renames it into place, DiscardPicture removes it. A failed write
// leaves nothing behind.
bool WritePictureTemporary(const std::string& path, const Picture& picture, std::string* temporary,
                           std::string* error, const WriteSettings& settings = WriteSettings{});
bool CommitPicture(const std::string& temporary, const std::string& path, std::string* error);
void DiscardPicture(const std::string& temporary);

// The mode a run uses for this picture: the requested one, or gray for a gray
// file, CMYK for a CMYK one and RGB otherwise.
ColorMode ResolveMode(ColorMode requested, const Picture& picture);

// The picture's colour samples in the host's layout for the mode (alpha
// dropped), converted as ConvertRow says.
filterhost::Image ToHostImage(const Picture& picture, ColorMode mode);

// The reverse: a gray mode gives a gray picture, RGB and CMYK an RGB one;
// alpha is copied from alphaFrom when it has one and is the same size.
Picture FromHostImage(const filterhost::Image& image, const Picture& alphaFrom);

}  // namespace quiltora_cli
