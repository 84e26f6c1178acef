#include "picture_format.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

#include "formats.h"

namespace quiltora_cli {
namespace {

std::string LowerExtension(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

bool IsTiff(const std::string& extension) { return extension == ".tif" || extension == ".tiff"; }
bool IsPnm(const std::string& extension) {
  return extension == ".pgm" || extension == ".ppm" || extension == ".pnm" || extension == ".pam";
}

// A whole PNG ends in its end chunk, so a cut file shows before any
// decoding (allowing for a little trailing data some tools append).
bool EndsWithPngEndChunk(InputFile& file) {
  static const uint8_t kEnd[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  uint8_t tail[4096];
  const size_t length = size_t(std::min<int64_t>(file.size(), int64_t(sizeof tail)));
  if (length < sizeof kEnd || file.ReadSome(file.size() - int64_t(length), tail, length) != length) return false;
  for (size_t at = length - sizeof kEnd;; --at) {
    if (std::memcmp(tail + at, kEnd, sizeof kEnd) == 0) return true;
    if (at == 0) return false;
  }
}

const char kNoTiff[] = "TIFF files need the Linux build of quiltora (this build has no TIFF library)";

}  // namespace

int32_t SamplesOf(PixelKind kind) {
  switch (kind) {
    case PixelKind::kGray: return 1;
    case PixelKind::kGrayAlpha: return 2;
    case PixelKind::kRGB: return 3;
    default: return 4;
  }
}

bool HasAlpha(PixelKind kind) { return kind == PixelKind::kGrayAlpha || kind == PixelKind::kRGBA; }

bool WholePictureReader::ReadRow(int32_t y, uint8_t* samples) {
  const size_t rowBytes = size_t(info_.width) * SamplesOf(info_.kind);
  std::memcpy(samples, pixels_.get() + size_t(y) * rowBytes, rowBytes);
  return true;
}

std::unique_ptr<PictureReader> OpenPictureReader(const std::string& path, std::string* error) {
  auto file = std::make_unique<InputFile>();
  if (!file->Open(path, error)) return nullptr;
  uint8_t magic[8] = {};
  file->ReadSome(0, magic, sizeof magic);
  if (magic[0] == 'P' && magic[1] >= '1' && magic[1] <= '7') return OpenPnmReader(std::move(file), error);
  if (magic[0] == 'B' && magic[1] == 'M') return OpenBmpReader(std::move(file), error);
  const bool png = std::memcmp(magic, "\x89PNG\r\n\x1a\n", 8) == 0;
  const bool jpeg = magic[0] == 0xFF && magic[1] == 0xD8 && magic[2] == 0xFF;
  const bool tiff = (magic[0] == 'I' && magic[1] == 'I' && (magic[2] == 42 || magic[2] == 43) && magic[3] == 0) ||
                    (magic[0] == 'M' && magic[1] == 'M' && magic[2] == 0 && (magic[3] == 42 || magic[3] == 43));
  if (png && !EndsWithPngEndChunk(*file)) {
    *error = "the file ends early (truncated)";
    return nullptr;
  }
  if (HaveFormatLibraries()) {
    if (png) return OpenPngReader(std::move(file), error);
    if (jpeg) return OpenJpegReader(std::move(file), error);
    if (tiff) {
      file.reset();
      return OpenTiffReader(path, error);
    }
  } else if (tiff) {
    *error = kNoTiff;
    return nullptr;
  }
  if (file->size() == 0) {
    *error = "the file is empty";
    return nullptr;
  }
  return OpenStbReader(std::move(file), error);
}

PixelKind WritableKind(const std::string& target, PixelKind wanted) {
  const std::string extension = LowerExtension(target);
  const bool alpha = HasAlpha(wanted);
  const bool gray = wanted == PixelKind::kGray || wanted == PixelKind::kGrayAlpha;
  if (IsTiff(extension)) return wanted;
  if (wanted == PixelKind::kCMYK) return PixelKind::kRGB;
  if (extension == ".pgm") return PixelKind::kGray;
  if (extension == ".ppm") return PixelKind::kRGB;
  if (extension == ".pnm" || extension == ".jpg" || extension == ".jpeg")
    return gray ? PixelKind::kGray : PixelKind::kRGB;
  if (extension == ".bmp" && wanted == PixelKind::kGrayAlpha) return PixelKind::kRGBA;
  (void)alpha;
  return wanted;
}

std::unique_ptr<PictureWriter> CreatePictureWriter(const std::string& path, const std::string& target,
                                                   const PictureInfo& info, const WriteSettings& settings,
                                                   std::string* error) {
  const std::string extension = LowerExtension(target);
  if (IsPnm(extension)) {
    const PnmFlavour flavour = extension == ".pgm"   ? PnmFlavour::kPgm
                               : extension == ".ppm" ? PnmFlavour::kPpm
                               : extension == ".pnm" ? PnmFlavour::kPnm
                                                     : PnmFlavour::kPam;
    return CreatePnmWriter(path, flavour, info, error);
  }
  if (extension == ".bmp") return CreateBmpWriter(path, info, error);
  if (IsTiff(extension)) {
    if (!HaveFormatLibraries()) {
      *error = kNoTiff;
      return nullptr;
    }
    return CreateTiffWriter(path, info, settings, error);
  }
  if (HaveFormatLibraries() && extension == ".png") return CreatePngWriter(path, info, settings, error);
  if (HaveFormatLibraries() && (extension == ".jpg" || extension == ".jpeg"))
    return CreateJpegWriter(path, info, settings, error);
  return CreateStbWriter(path, extension, info, settings, error);
}

const char* WritableExtensionList() { return ".png, .jpg, .jpeg, .tif, .tiff, .bmp, .ppm, .pgm, .pnm, .pam or .tga"; }

bool IsWritableExtension(const std::string& path) {
  const std::string extension = LowerExtension(path);
  return extension == ".png" || extension == ".bmp" || extension == ".tga" || extension == ".jpg" ||
         extension == ".jpeg" || IsTiff(extension) || IsPnm(extension);
}

bool KeepsResolution(const std::string& target) {
  const std::string extension = LowerExtension(target);
  if (extension == ".bmp") return true;
  // stb, which writes them where the libraries are missing, has no place for it.
  return HaveFormatLibraries() &&
         (extension == ".png" || extension == ".jpg" || extension == ".jpeg" || IsTiff(extension));
}

bool FormatAvailable(const std::string& path, std::string* why) {
  if (IsTiff(LowerExtension(path)) && !HaveFormatLibraries()) {
    *why = kNoTiff;
    return false;
  }
  return true;
}

}  // namespace quiltora_cli
