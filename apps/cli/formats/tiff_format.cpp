// TIFF through libtiff: 8-bit gray, RGB and CMYK (separated, ink set CMYK),
// each with an optional alpha sample, in strips (a scanline at a time) or
// tiles (a band of tiles at a time).
#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "formats.h"

namespace quiltora_cli {
namespace {

constexpr double kCentimetresPerInch = 2.54;

// Keeps the first error of a call for the one line quiltora prints.
int OnMessage(TIFF*, void* user, const char*, const char* format, va_list arguments) {
  auto* message = static_cast<std::string*>(user);
  char text[512];
  std::vsnprintf(text, sizeof text, format, arguments);
  if (message->empty()) *message = text;
  return 1;
}

int Quiet(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// Opens with errors collected in *message instead of printed.
TIFF* OpenTiff(const std::string& path, const char* mode, std::string* message) {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  TIFFOpenOptionsSetErrorHandlerExtR(options, OnMessage, message);
  TIFFOpenOptionsSetWarningHandlerExtR(options, Quiet, nullptr);
  TIFF* tiff = TIFFOpenExt(path.c_str(), mode, options);
  TIFFOpenOptionsFree(options);
  return tiff;
}

struct TiffCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffFile = std::unique_ptr<TIFF, TiffCloser>;

class TiffReader : public PictureReader {
 public:
  bool Open(const std::string& path, std::string* error) {
    // "m": read, not mapped, so that a huge file takes a strip of memory, not its size.
    tiff_.reset(OpenTiff(path, "rm", &message_));
    if (!tiff_) return Refuse(error, message_.empty() ? SystemReason() : message_);
    TIFF* t = tiff_.get();
    uint32_t width = 0, height = 0;
    uint16_t bits = 8, samples = 1, photometric = PHOTOMETRIC_MINISBLACK, planar = PLANARCONFIG_CONTIG;
    uint16_t inkSet = INKSET_CMYK, compression = COMPRESSION_NONE;
    TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(t, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(t, TIFFTAG_COMPRESSION, &compression);
    if (!TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &photometric))
      return Refuse(error, "the TIFF file does not say how its samples are coloured");
    TIFFGetFieldDefaulted(t, TIFFTAG_INKSET, &inkSet);
    if (width < 1 || height < 1 || width > 1000000 || height > 1000000)
      return Refuse(error, "impossible size " + std::to_string(width) + " x " + std::to_string(height));
    if (bits != 8) return Refuse(error, std::to_string(bits) + "-bit TIFF files are not supported (8 bits only)");
    if (photometric == PHOTOMETRIC_YCBCR && compression == COMPRESSION_JPEG) {
      TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
      photometric = PHOTOMETRIC_RGB;
    }
    int32_t colours = 0;
    switch (photometric) {
      case PHOTOMETRIC_MINISBLACK:
      case PHOTOMETRIC_MINISWHITE: colours = 1; break;
      case PHOTOMETRIC_RGB: colours = 3; break;
      case PHOTOMETRIC_SEPARATED:
        if (inkSet != INKSET_CMYK) return Refuse(error, "separated TIFF files other than CMYK are not supported");
        colours = 4;
        break;
      default: return Refuse(error, "TIFF photometric " + std::to_string(photometric) + " is not supported");
    }
    if (samples < colours) return Refuse(error, "damaged TIFF header");
    const bool alpha = samples > colours && colours != 4;
    info_.kind = colours == 1 ? (alpha ? PixelKind::kGrayAlpha : PixelKind::kGray)
                 : colours == 3 ? (alpha ? PixelKind::kRGBA : PixelKind::kRGB)
                                : PixelKind::kCMYK;
    info_.width = int32_t(width);
    info_.height = int32_t(height);
    invert_ = photometric == PHOTOMETRIC_MINISWHITE;
    fileSamples_ = samples;
    separate_ = planar == PLANARCONFIG_SEPARATE;
    tiled_ = TIFFIsTiled(t) != 0;
    if (tiled_ && separate_) return Refuse(error, "tiled TIFF files with separate planes are not supported");
    if (tiled_) {
      TIFFGetField(t, TIFFTAG_TILEWIDTH, &tileWidth_);
      TIFFGetField(t, TIFFTAG_TILELENGTH, &tileHeight_);
      if (tileWidth_ < 1 || tileHeight_ < 1 || tileWidth_ > 65536 || tileHeight_ > 65536)
        return Refuse(error, "damaged TIFF tiles");
    }
    ReadResolution(t);
    uint32_t profileSize = 0;
    void* profile = nullptr;
    if (TIFFGetField(t, TIFFTAG_ICCPROFILE, &profileSize, &profile) && profile != nullptr && profileSize > 0)
      info_.iccProfile.assign(static_cast<uint8_t*>(profile), static_cast<uint8_t*>(profile) + profileSize);
    return true;
  }

  bool ReadRow(int32_t y, uint8_t* samples) override {
    message_.clear();
    const int32_t out = SamplesOf(info_.kind);
    const size_t width = size_t(info_.width);
    uint8_t* row = nullptr;
    if (tiled_) {
      if (!LoadBand(y / int32_t(tileHeight_))) return false;
      row = band_.data() + size_t(y % int32_t(tileHeight_)) * width * fileSamples_;
    } else if (separate_) {
      raw_.resize(width * fileSamples_);
      plane_.resize(TIFFScanlineSize64(tiff_.get()));
      for (int32_t s = 0; s < out; ++s) {
        if (TIFFReadScanline(tiff_.get(), plane_.data(), uint32_t(y), uint16_t(s)) < 0) return Failed();
        for (size_t x = 0; x < width; ++x) raw_[x * fileSamples_ + s] = plane_[x];
      }
      row = raw_.data();
    } else if (fileSamples_ == out) {
      if (TIFFReadScanline(tiff_.get(), samples, uint32_t(y), 0) < 0) return Failed();
      row = samples;
    } else {
      raw_.resize(size_t(TIFFScanlineSize64(tiff_.get())));
      if (TIFFReadScanline(tiff_.get(), raw_.data(), uint32_t(y), 0) < 0) return Failed();
      row = raw_.data();
    }
    if (row != samples) {
      for (size_t x = 0; x < width; ++x) std::memcpy(samples + x * out, row + x * fileSamples_, size_t(out));
    }
    if (invert_)
      for (size_t x = 0; x < width; ++x) samples[x * out] = uint8_t(255 - samples[x * out]);
    return true;
  }

 private:
  static bool Refuse(std::string* error, const std::string& reason) {
    *error = reason;
    return false;
  }
  bool Failed() {
    error_ = message_.empty() ? "damaged TIFF data" : message_;
    return false;
  }

  void ReadResolution(TIFF* t) {
    float x = 0, y = 0;
    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(t, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (unit == RESUNIT_NONE || !TIFFGetField(t, TIFFTAG_XRESOLUTION, &x) || !TIFFGetField(t, TIFFTAG_YRESOLUTION, &y) ||
        !(x > 0) || !(y > 0))
      return;
    const double scale = unit == RESUNIT_CENTIMETER ? kCentimetresPerInch : 1.0;
    info_.dpiX = x * scale;
    info_.dpiY = y * scale;
  }

  // The tiles across the picture that hold band `index`, as rows of the whole width.
  bool LoadBand(int32_t index) {
    if (index == bandIndex_) return true;
    bandIndex_ = -1;
    const size_t width = size_t(info_.width);
    const size_t tileBytes = size_t(tileWidth_) * tileHeight_ * fileSamples_;
    band_.resize(width * tileHeight_ * fileSamples_);
    tile_.resize(tileBytes);
    const uint32_t top = uint32_t(index) * tileHeight_;
    for (uint32_t left = 0; left < uint32_t(info_.width); left += tileWidth_) {
      const ttile_t number = TIFFComputeTile(tiff_.get(), left, top, 0, 0);
      if (TIFFReadEncodedTile(tiff_.get(), number, tile_.data(), tmsize_t(tileBytes)) < 0) return Failed();
      const size_t columns = std::min<size_t>(tileWidth_, width - left);
      for (uint32_t r = 0; r < tileHeight_ && top + r < uint32_t(info_.height); ++r)
        std::memcpy(band_.data() + (size_t(r) * width + left) * fileSamples_,
                    tile_.data() + size_t(r) * tileWidth_ * fileSamples_, columns * fileSamples_);
    }
    bandIndex_ = index;
    return true;
  }

  TiffFile tiff_;
  std::string message_;
  int32_t fileSamples_ = 1;
  bool invert_ = false;
  bool separate_ = false;
  bool tiled_ = false;
  uint32_t tileWidth_ = 0, tileHeight_ = 0;
  int32_t bandIndex_ = -1;
  std::vector<uint8_t> band_, tile_, raw_, plane_;
};

class TiffWriter : public PictureWriter {
 public:
  bool Create(const std::string& path, const PictureInfo& info, const WriteSettings& settings, std::string* error) {
    const uint64_t bytes = uint64_t(info.width) * uint64_t(info.height) * uint64_t(SamplesOf(info.kind));
    tiff_.reset(OpenTiff(path, bytes > 0xF0000000ull ? "w8" : "w", &message_));
    if (!tiff_) {
      *error = message_.empty() ? SystemReason() : message_;
      return false;
    }
    TIFF* t = tiff_.get();
    const uint16_t samples = uint16_t(SamplesOf(info.kind));
    const bool gray = info.kind == PixelKind::kGray || info.kind == PixelKind::kGrayAlpha;
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, uint32_t(info.width));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, uint32_t(info.height));
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    if (info.kind == PixelKind::kCMYK) {
      TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_SEPARATED);
      TIFFSetField(t, TIFFTAG_INKSET, INKSET_CMYK);
    } else {
      TIFFSetField(t, TIFFTAG_PHOTOMETRIC, gray ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
    }
    if (HasAlpha(info.kind)) {
      const uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
      TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    const int32_t level = settings.compression;
    if (level > 0) {
      TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
      TIFFSetField(t, TIFFTAG_ZIPQUALITY, std::min(level, 9));
      TIFFSetField(t, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    } else {
      TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    }
    // Strips of about 256 KiB: few enough to index, small enough to stream.
    const uint32_t rowBytes = uint32_t(info.width) * samples;
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, std::max<uint32_t>(1, (256u << 10) / std::max<uint32_t>(rowBytes, 1)));
    if (info.dpiX > 0 && info.dpiY > 0) {
      TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
      TIFFSetField(t, TIFFTAG_XRESOLUTION, float(info.dpiX));
      TIFFSetField(t, TIFFTAG_YRESOLUTION, float(info.dpiY));
    }
    if (!info.iccProfile.empty())
      TIFFSetField(t, TIFFTAG_ICCPROFILE, uint32_t(info.iccProfile.size()), info.iccProfile.data());
    return true;
  }

  bool WriteRow(const uint8_t* samples) override {
    if (TIFFWriteScanline(tiff_.get(), const_cast<uint8_t*>(samples), uint32_t(y_++), 0) >= 0) return true;
    return Failed();
  }

  bool Finish() override {
    const bool flushed = TIFFFlush(tiff_.get()) != 0;
    tiff_.reset();
    return (flushed && message_.empty()) || Failed();
  }

 private:
  bool Failed() {
    error_ = message_.empty() ? SystemReason() : message_;
    return false;
  }
  TiffFile tiff_;
  std::string message_;
  int32_t y_ = 0;
};

}  // namespace

std::unique_ptr<PictureReader> OpenTiffReader(const std::string& path, std::string* error) {
  auto reader = std::make_unique<TiffReader>();
  if (!reader->Open(path, error)) return nullptr;
  return reader;
}

std::unique_ptr<PictureWriter> CreateTiffWriter(const std::string& path, const PictureInfo& info,
                                                const WriteSettings& settings, std::string* error) {
  auto writer = std::make_unique<TiffWriter>();
  if (!writer->Create(path, info, settings, error)) return nullptr;
  return writer;
}

}  // namespace quiltora_cli
