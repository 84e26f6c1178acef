#include "picture.h"

#include <stb_image.h>
#include <stb_image_write.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "common/checked.h"

namespace quiltora_cli {
namespace {

constexpr int kJpegQuality = 92;
constexpr int32_t kLargestSide = 32767;  // the host's rectangles hold 16-bit coordinates

std::string LowerExtension(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

bool WriteByExtension(const std::string& path, const std::string& extension, const Picture& picture) {
  const int w = picture.width, h = picture.height, c = picture.channels;
  const void* data = picture.pixels.data();
  if (extension == ".png") return stbi_write_png(path.c_str(), w, h, c, data, w * c) != 0;
  if (extension == ".bmp") return stbi_write_bmp(path.c_str(), w, h, c, data) != 0;
  if (extension == ".tga") return stbi_write_tga(path.c_str(), w, h, c, data) != 0;
  if (extension == ".jpg" || extension == ".jpeg") return stbi_write_jpg(path.c_str(), w, h, c, data, kJpegQuality) != 0;
  return false;
}

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

}  // namespace

bool LoadPicture(const std::string& path, Picture* picture, std::string* error) {
  int width = 0, height = 0, channels = 0;
  stbi_uc* data = stbi_load(path.c_str(), &width, &height, &channels, 0);
  if (data == nullptr) {
    std::error_code code;
    if (!std::filesystem::exists(path, code)) *error = "cannot read '" + path + "': no such file";
    else *error = "cannot read '" + path + "': " + stbi_failure_reason();
    return false;
  }
  int32_t bytes = 0;
  const bool sizeOk = width <= kLargestSide && height <= kLargestSide &&
                      quiltora::CheckedMul32(width, height, channels, &bytes);
  if (sizeOk) {
    picture->width = width;
    picture->height = height;
    picture->channels = channels;
    picture->pixels.assign(data, data + bytes);
  }
  stbi_image_free(data);
  if (!sizeOk) *error = "'" + path + "' is too large: at most 32767 pixels a side";
  return sizeOk;
}

bool ProbePicture(const std::string& path, Picture* header, std::string* error) {
  int width = 0, height = 0, channels = 0;
  if (stbi_info(path.c_str(), &width, &height, &channels) == 0) {
    std::error_code code;
    if (!std::filesystem::exists(path, code)) *error = "cannot read '" + path + "': no such file";
    else *error = "cannot read '" + path + "': " + stbi_failure_reason();
    return false;
  }
  header->width = width;
  header->height = height;
  header->channels = channels;
  header->pixels.clear();
  return true;
}

bool WritePictureTemporary(const std::string& path, const Picture& picture, std::string* temporary,
                           std::string* error) {
  const std::filesystem::path target(path);
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::string name = "." + target.filename().string() + ".part" + std::to_string(stamp % 1000000007);
  *temporary = (target.parent_path() / name).string();
  if (!WriteByExtension(*temporary, LowerExtension(path), picture)) {
    DiscardPicture(*temporary);
    *error = "cannot write '" + path + "'";
    return false;
  }
  return true;
}

bool CommitPicture(const std::string& temporary, const std::string& path, std::string* error) {
  std::error_code code;
  std::filesystem::rename(temporary, path, code);
  if (code) {
    DiscardPicture(temporary);
    *error = "cannot write '" + path + "': " + code.message();
    return false;
  }
  return true;
}

void DiscardPicture(const std::string& temporary) {
  std::error_code code;
  std::filesystem::remove(temporary, code);
}

ColorMode ResolveMode(ColorMode requested, const Picture& picture) {
  if (requested != ColorMode::kFromInput) return requested;
  return picture.channels <= 2 ? ColorMode::kGray : ColorMode::kRGB;
}

filterhost::Image ToHostImage(const Picture& picture, ColorMode mode) {
  const int32_t channels = mode == ColorMode::kGray ? 1 : mode == ColorMode::kCMYK ? 4 : 3;
  filterhost::Image image(picture.width, picture.height, channels);
  const bool grayIn = picture.channels <= 2;
  const uint8_t* in = picture.pixels.data();
  uint8_t* out = image.pixels.data();
  for (int32_t i = 0; i < picture.width * picture.height; ++i, in += picture.channels, out += channels) {
    const uint8_t rgb[3] = {in[0], grayIn ? in[0] : in[1], grayIn ? in[0] : in[2]};
    if (channels == 1) *out = grayIn ? in[0] : GrayOf(rgb);
    else if (channels == 3) std::copy(rgb, rgb + 3, out);
    else ToCmyk(rgb, out);
  }
  return image;
}

Picture FromHostImage(const filterhost::Image& image, const Picture& alphaFrom) {
  const bool alpha = (alphaFrom.channels == 2 || alphaFrom.channels == 4) && alphaFrom.width == image.width &&
                     alphaFrom.height == image.height;
  Picture picture;
  picture.width = image.width;
  picture.height = image.height;
  const int32_t colours = image.channels == 1 ? 1 : 3;
  picture.channels = colours + (alpha ? 1 : 0);
  picture.pixels.resize(size_t(image.width) * image.height * picture.channels);
  const uint8_t* in = image.pixels.data();
  uint8_t* out = picture.pixels.data();
  for (int32_t i = 0; i < image.width * image.height; ++i, in += image.channels, out += picture.channels) {
    if (image.channels == 4) FromCmyk(in, out);
    else std::copy(in, in + colours, out);
    if (alpha) out[colours] = alphaFrom.pixels[size_t(i) * alphaFrom.channels + alphaFrom.channels - 1];
  }
  return picture;
}

}  // namespace quiltora_cli
