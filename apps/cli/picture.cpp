#include "picture.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "pixel_rows.h"

namespace quiltora_cli {
namespace {

PixelKind KindOfChannels(int32_t channels, bool cmyk) {
  switch (channels) {
    case 1: return PixelKind::kGray;
    case 2: return PixelKind::kGrayAlpha;
    case 3: return PixelKind::kRGB;
    default: return cmyk ? PixelKind::kCMYK : PixelKind::kRGBA;
  }
}

std::unique_ptr<PictureReader> Open(const std::string& path, std::string* error) {
  std::string reason;
  std::unique_ptr<PictureReader> reader = OpenPictureReader(path, &reason);
  if (!reader) *error = "cannot read '" + path + "': " + reason;
  return reader;
}

void TakeInfo(const PictureInfo& info, Picture* picture) {
  picture->width = info.width;
  picture->height = info.height;
  picture->channels = SamplesOf(info.kind);
  picture->cmyk = info.kind == PixelKind::kCMYK;
  picture->dpiX = info.dpiX;
  picture->dpiY = info.dpiY;
  picture->iccProfile = info.iccProfile;
}

}  // namespace

PixelKind KindOfPicture(const Picture& picture) { return KindOfChannels(picture.channels, picture.cmyk); }

bool LoadPicture(const std::string& path, Picture* picture, std::string* error) {
  std::unique_ptr<PictureReader> reader = Open(path, error);
  if (!reader) return false;
  TakeInfo(reader->info(), picture);
  const size_t rowBytes = size_t(picture->width) * picture->channels;
  picture->pixels.resize(rowBytes * size_t(picture->height));
  for (int32_t y = 0; y < picture->height; ++y)
    if (!reader->ReadRow(y, picture->pixels.data() + size_t(y) * rowBytes)) {
      *error = "cannot read '" + path + "': " + reader->error();
      return false;
    }
  return true;
}

bool ProbePicture(const std::string& path, Picture* header, std::string* error) {
  std::unique_ptr<PictureReader> reader = Open(path, error);
  if (!reader) return false;
  TakeInfo(reader->info(), header);
  header->pixels.clear();
  return true;
}

std::string TemporaryPathFor(const std::string& path) {
  const std::filesystem::path target(path);
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::string name = "." + target.filename().string() + ".part" + std::to_string(stamp % 1000000007);
  return (target.parent_path() / name).string();
}

bool WritePictureTemporary(const std::string& path, const Picture& picture, std::string* temporary,
                           std::string* error, const WriteSettings& settings) {
  *temporary = TemporaryPathFor(path);
  const PixelKind kind = KindOfPicture(picture);
  PictureInfo info;
  info.width = picture.width;
  info.height = picture.height;
  info.kind = WritableKind(path, kind);
  info.dpiX = picture.dpiX;
  info.dpiY = picture.dpiY;
  info.iccProfile = picture.iccProfile;
  std::string reason;
  std::unique_ptr<PictureWriter> writer = CreatePictureWriter(*temporary, path, info, settings, &reason);
  bool written = writer != nullptr;
  std::vector<uint8_t> row(size_t(picture.width) * SamplesOf(info.kind));
  const size_t rowBytes = size_t(picture.width) * picture.channels;
  for (int32_t y = 0; written && y < picture.height; ++y) {
    ConvertRow(picture.pixels.data() + size_t(y) * rowBytes, kind, row.data(), info.kind, picture.width);
    written = writer->WriteRow(row.data());
  }
  if (written) written = writer->Finish();
  if (!written) {
    if (writer) reason = writer->error();
    writer.reset();
    DiscardPicture(*temporary);
    *error = "cannot write '" + path + "': " + reason;
  }
  return written;
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
  return ResolveMode(requested, KindOfPicture(picture));
}

filterhost::Image ToHostImage(const Picture& picture, ColorMode mode) {
  const PixelKind from = KindOfPicture(picture), to = KindOfMode(mode);
  filterhost::Image image(picture.width, picture.height, SamplesOf(to));
  const size_t inRow = size_t(picture.width) * picture.channels, outRow = size_t(picture.width) * image.channels;
  for (int32_t y = 0; y < picture.height; ++y)
    ConvertRow(picture.pixels.data() + y * inRow, from, image.pixels.data() + y * outRow, to, picture.width);
  return image;
}

Picture FromHostImage(const filterhost::Image& image, const Picture& alphaFrom) {
  const bool alpha = HasAlpha(KindOfPicture(alphaFrom)) && alphaFrom.width == image.width &&
                     alphaFrom.height == image.height;
  const PixelKind from = image.channels == 1 ? PixelKind::kGray : image.channels == 4 ? PixelKind::kCMYK : PixelKind::kRGB;
  const PixelKind to = image.channels == 1 ? (alpha ? PixelKind::kGrayAlpha : PixelKind::kGray)
                                           : (alpha ? PixelKind::kRGBA : PixelKind::kRGB);
  Picture picture;
  picture.width = image.width;
  picture.height = image.height;
  picture.channels = SamplesOf(to);
  picture.pixels.resize(size_t(image.width) * image.height * picture.channels);
  const size_t inRow = size_t(image.width) * image.channels, outRow = size_t(image.width) * picture.channels;
  std::vector<uint8_t> alphaRow(size_t(image.width));
  for (int32_t y = 0; y < image.height; ++y) {
    uint8_t* out = picture.pixels.data() + y * outRow;
    ConvertRow(image.pixels.data() + y * inRow, from, out, to, image.width);
    if (!alpha) continue;
    TakeAlpha(alphaFrom.pixels.data() + size_t(y) * alphaFrom.width * alphaFrom.channels, KindOfPicture(alphaFrom),
              image.width, alphaRow.data());
    PutAlpha(out, to, image.width, alphaRow.data());
  }
  return picture;
}

}  // namespace quiltora_cli
