// PNG through libspng, a row at a time. A PNG decodes in order, so a row
// above the last one read starts the decoder over; an interlaced PNG cannot
// be read row by row and is decoded whole.
#include <spng.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "formats.h"

namespace quiltora_cli {
namespace {

constexpr double kMetresPerInch = 0.0254;
constexpr uint32_t kLargestSide = 1000000;
constexpr size_t kLargestChunk = 64u << 20;
constexpr int kDefaultLevel = 2;

struct ContextDeleter {
  void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};
using Context = std::unique_ptr<spng_ctx, ContextDeleter>;

std::string Reason(int code) { return code == SPNG_IO_ERROR ? SystemReason() : spng_strerror(code); }

class PngReader : public WholePictureReader {
 public:
  explicit PngReader(std::unique_ptr<InputFile> file) : file_(std::move(file)) {}

  bool Open(std::string* error) {
    if (!Start(error)) return false;
    spng_ihdr ihdr{};
    int code = spng_get_ihdr(ctx_.get(), &ihdr);
    if (code != 0) return Fail(error, code);
    info_.width = int32_t(ihdr.width);
    info_.height = int32_t(ihdr.height);
    spng_trns trns{};
    const bool transparency = spng_get_trns(ctx_.get(), &trns) == 0;
    ChooseFormat(ihdr, transparency);
    spng_iccp iccp{};
    if (spng_get_iccp(ctx_.get(), &iccp) == 0 && iccp.profile_len > 0)
      info_.iccProfile.assign(reinterpret_cast<const uint8_t*>(iccp.profile),
                              reinterpret_cast<const uint8_t*>(iccp.profile) + iccp.profile_len);
    spng_phys phys{};
    if (spng_get_phys(ctx_.get(), &phys) == 0 && phys.unit_specifier == 1 && phys.ppu_x > 0 && phys.ppu_y > 0) {
      info_.dpiX = phys.ppu_x * kMetresPerInch;
      info_.dpiY = phys.ppu_y * kMetresPerInch;
    }
    code = spng_decoded_image_size(ctx_.get(), format_, &imageBytes_);
    if (code != 0) return Fail(error, code);
    decodedRowBytes_ = imageBytes_ / ihdr.height;
    interlaced_ = ihdr.interlace_method != SPNG_INTERLACE_NONE;
    if (interlaced_) return DecodeWhole(error);
    code = spng_decode_image(ctx_.get(), nullptr, 0, format_, flags_ | SPNG_DECODE_PROGRESSIVE);
    return code == 0 || Fail(error, code);
  }

  bool ReadRow(int32_t y, uint8_t* samples) override {
    if (interlaced_) return WholePictureReader::ReadRow(y, samples);
    if (y < nextRow_ && !Restart()) return false;
    const bool convert = decodedRowBytes_ != size_t(info_.width) * SamplesOf(info_.kind);
    if (convert || y > nextRow_) scratch_.resize(decodedRowBytes_);
    while (nextRow_ <= y) {
      uint8_t* to = nextRow_ == y && !convert ? samples : scratch_.data();
      const int code = spng_decode_row(ctx_.get(), to, decodedRowBytes_);
      if (code != 0 && !(code == SPNG_EOI && nextRow_ == info_.height - 1)) {
        error_ = Reason(code);
        nextRow_ = info_.height;  // the next read starts over
        return false;
      }
      ++nextRow_;
    }
    // The chunks after the pixels, up to the end marker: a file cut short there fails too.
    if (nextRow_ == info_.height) {
      const int code = spng_decode_chunks(ctx_.get());
      if (code != 0) {
        error_ = Reason(code);
        return false;
      }
    }
    if (convert) ToEightBits(scratch_.data(), samples, size_t(info_.width) * SamplesOf(info_.kind));
    return true;
  }

  bool whole() const override { return interlaced_; }

 private:
  bool Fail(std::string* error, int code) {
    *error = Reason(code);
    return false;
  }

  bool Start(std::string* error) {
    // Every chunk's CRC already covers the compressed bytes, so the stream's
    // own Adler-32 on top is skipped: it adds time, not safety.
    ctx_.reset(spng_ctx_new(SPNG_CTX_IGNORE_ADLER32));
    nextRow_ = 0;
    if (!ctx_ || std::fseek(file_->stream(), 0, SEEK_SET) != 0) {
      *error = SystemReason();
      return false;
    }
    spng_set_image_limits(ctx_.get(), kLargestSide, kLargestSide);
    spng_set_chunk_limits(ctx_.get(), kLargestChunk, kLargestChunk);
    const int code = spng_set_png_file(ctx_.get(), file_->stream());
    return code == 0 || Fail(error, code);
  }

  bool Restart() {
    std::string error;
    const int flags = flags_ | SPNG_DECODE_PROGRESSIVE;
    if (Start(&error)) {
      const int code = spng_decode_image(ctx_.get(), nullptr, 0, format_, flags);
      if (code == 0) return true;
      error = Reason(code);
    }
    error_ = error;
    return false;
  }

  // The decoder's output: the file's own layout where it is already 8-bit
  // samples of one of our kinds, else a conversion the decoder or we make.
  void ChooseFormat(const spng_ihdr& ihdr, bool transparency) {
    const bool deep = ihdr.bit_depth == 16;
    switch (ihdr.color_type) {
      case SPNG_COLOR_TYPE_GRAYSCALE:
        info_.kind = transparency ? (deep ? PixelKind::kRGBA : PixelKind::kGrayAlpha) : PixelKind::kGray;
        format_ = transparency ? (deep ? SPNG_FMT_RGBA16 : SPNG_FMT_GA8)
                  : deep       ? SPNG_FMT_GA16
                  : ihdr.bit_depth == 8 ? SPNG_FMT_PNG
                                        : SPNG_FMT_G8;
        break;
      case SPNG_COLOR_TYPE_GRAYSCALE_ALPHA:
        info_.kind = PixelKind::kGrayAlpha;
        format_ = SPNG_FMT_PNG;
        break;
      case SPNG_COLOR_TYPE_TRUECOLOR_ALPHA:
        info_.kind = PixelKind::kRGBA;
        format_ = SPNG_FMT_PNG;
        break;
      default:  // truecolour and indexed
        info_.kind = transparency ? PixelKind::kRGBA : PixelKind::kRGB;
        format_ = transparency ? (deep ? SPNG_FMT_RGBA16 : SPNG_FMT_RGBA8)
                  : ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR && (ihdr.bit_depth == 8 || deep) ? SPNG_FMT_PNG
                                                                                                 : SPNG_FMT_RGB8;
        break;
    }
    flags_ = transparency ? SPNG_DECODE_TRNS : 0;
    sixteen_ = deep && format_ != SPNG_FMT_RGB8 && format_ != SPNG_FMT_RGBA8;
  }

  // 16-bit samples (host order) to their high byte; gray with an alpha the
  // file does not have loses it again.
  void ToEightBits(const uint8_t* from, uint8_t* to, size_t samples) const {
    const auto* wide = reinterpret_cast<const uint16_t*>(from);
    if (format_ == SPNG_FMT_GA16 && info_.kind == PixelKind::kGray) {
      for (size_t i = 0; i < samples; ++i) to[i] = uint8_t(wide[2 * i] >> 8);
      return;
    }
    for (size_t i = 0; i < samples; ++i) to[i] = uint8_t(wide[i] >> 8);
  }

  bool DecodeWhole(std::string* error) {
    std::unique_ptr<uint8_t[], FreeMemory> decoded(static_cast<uint8_t*>(std::malloc(imageBytes_)));
    if (!decoded) return Fail(error, SPNG_EMEM);
    const int code = spng_decode_image(ctx_.get(), decoded.get(), imageBytes_, format_, flags_);
    if (code != 0) return Fail(error, code);
    if (!sixteen_) {
      pixels_ = std::move(decoded);
      return true;
    }
    const size_t rowSamples = size_t(info_.width) * SamplesOf(info_.kind);
    pixels_.reset(static_cast<uint8_t*>(std::malloc(rowSamples * size_t(info_.height))));
    if (!pixels_) return Fail(error, SPNG_EMEM);
    for (int32_t y = 0; y < info_.height; ++y)
      ToEightBits(decoded.get() + size_t(y) * decodedRowBytes_, pixels_.get() + size_t(y) * rowSamples, rowSamples);
    return true;
  }

  std::unique_ptr<InputFile> file_;
  Context ctx_;
  int format_ = SPNG_FMT_PNG;
  int flags_ = 0;
  bool sixteen_ = false;
  bool interlaced_ = false;
  size_t imageBytes_ = 0;
  size_t decodedRowBytes_ = 0;
  int32_t nextRow_ = 0;
  std::vector<uint8_t> scratch_;
};

class PngWriter : public PictureWriter {
 public:
  bool Create(const std::string& path, const PictureInfo& info, const WriteSettings& settings, std::string* error) {
    rowBytes_ = size_t(info.width) * SamplesOf(info.kind);
    if (!file_.Create(path, error)) return false;
    ctx_.reset(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!ctx_) return Fail(error, SPNG_EMEM);
    const uint8_t colour = info.kind == PixelKind::kGray        ? SPNG_COLOR_TYPE_GRAYSCALE
                           : info.kind == PixelKind::kGrayAlpha ? SPNG_COLOR_TYPE_GRAYSCALE_ALPHA
                           : info.kind == PixelKind::kRGBA      ? SPNG_COLOR_TYPE_TRUECOLOR_ALPHA
                                                                : SPNG_COLOR_TYPE_TRUECOLOR;
    spng_ihdr ihdr{uint32_t(info.width), uint32_t(info.height), 8, colour, 0, 0, SPNG_INTERLACE_NONE};
    int code = spng_set_png_file(ctx_.get(), file_.stream());
    if (code == 0) code = spng_set_ihdr(ctx_.get(), &ihdr);
    const int level = settings.compression >= 0 ? settings.compression : kDefaultLevel;
    if (code == 0) code = spng_set_option(ctx_.get(), SPNG_IMG_COMPRESSION_LEVEL, level);
    // Filtering pays at higher levels; at the fast ones one cheap filter keeps the speed.
    const int filters = level == 0 ? SPNG_DISABLE_FILTERING : level <= 3 ? SPNG_FILTER_CHOICE_UP : SPNG_FILTER_CHOICE_ALL;
    if (code == 0) code = spng_set_option(ctx_.get(), SPNG_FILTER_CHOICE, filters);
    if (code == 0 && info.dpiX > 0 && info.dpiY > 0) {
      spng_phys phys{uint32_t(std::lround(info.dpiX / kMetresPerInch)), uint32_t(std::lround(info.dpiY / kMetresPerInch)),
                     1};
      code = spng_set_phys(ctx_.get(), &phys);
    }
    if (code == 0 && !info.iccProfile.empty()) {
      spng_iccp iccp{};
      std::strcpy(iccp.profile_name, "ICC profile");
      iccp.profile_len = info.iccProfile.size();
      profile_ = info.iccProfile;
      iccp.profile = reinterpret_cast<char*>(profile_.data());
      code = spng_set_iccp(ctx_.get(), &iccp);
    }
    if (code == 0)
      code = spng_encode_image(ctx_.get(), nullptr, 0, SPNG_FMT_PNG, SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
    return code == 0 || Fail(error, code);
  }

  bool WriteRow(const uint8_t* samples) override {
    const int code = spng_encode_row(ctx_.get(), samples, rowBytes_);
    if (code == 0 || code == SPNG_EOI) return true;
    error_ = Reason(code);
    return false;
  }

  bool Finish() override {
    ctx_.reset();
    if (file_.Close()) return true;
    error_ = file_.error();
    return false;
  }

 private:
  bool Fail(std::string* error, int code) {
    *error = Reason(code);
    return false;
  }
  OutputFile file_;
  Context ctx_;
  size_t rowBytes_ = 0;
  std::vector<uint8_t> profile_;
};

}  // namespace

std::unique_ptr<PictureReader> OpenPngReader(std::unique_ptr<InputFile> file, std::string* error) {
  auto reader = std::make_unique<PngReader>(std::move(file));
  if (!reader->Open(error)) return nullptr;
  return reader;
}

std::unique_ptr<PictureWriter> CreatePngWriter(const std::string& path, const PictureInfo& info,
                                               const WriteSettings& settings, std::string* error) {
  auto writer = std::make_unique<PngWriter>();
  if (!writer->Create(path, info, settings, error)) return nullptr;
  return writer;
}

}  // namespace quiltora_cli
