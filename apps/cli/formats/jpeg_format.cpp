// JPEG through libjpeg-turbo, a scanline at a time. The library reports
// errors by a long jump, so every call into it sits alone in a small
// function with nothing to unwind between the jump and its target.
#include <csetjmp>
#include <cmath>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include "formats.h"

namespace quiltora_cli {
namespace {

constexpr double kCentimetresPerInch = 2.54;

struct ErrorTrap {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
  auto* trap = reinterpret_cast<ErrorTrap*>(info->err);
  (*info->err->format_message)(info, trap->message);
  std::longjmp(trap->jump, 1);
}

// Warnings stay quiet, but for a file that ends early, which the library
// would otherwise fill with gray.
void OnMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) OnError(info);
}

void SetUpTrap(ErrorTrap* trap) {
  jpeg_std_error(&trap->manager);
  trap->manager.error_exit = OnError;
  trap->manager.emit_message = OnMessage;
  trap->message[0] = '\0';
}

// Calls into the decoder; each returns false with trap->message set when the library gave up.
bool BeginDecoding(jpeg_decompress_struct* info, ErrorTrap* trap, FILE* file) {
  if (setjmp(trap->jump)) return false;
  jpeg_create_decompress(info);
  jpeg_stdio_src(info, file);
  jpeg_save_markers(info, JPEG_APP0 + 2, 0xFFFF);
  jpeg_read_header(info, TRUE);
  if (info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK) info->out_color_space = JCS_CMYK;
  else if (info->num_components == 1) info->out_color_space = JCS_GRAYSCALE;
  else info->out_color_space = JCS_RGB;
  jpeg_start_decompress(info);
  return true;
}

bool ReadProfile(jpeg_decompress_struct* info, ErrorTrap* trap, JOCTET** profile, unsigned int* size) {
  if (setjmp(trap->jump)) return false;
  return jpeg_read_icc_profile(info, profile, size) != 0;
}

bool ReadScanline(jpeg_decompress_struct* info, ErrorTrap* trap, uint8_t* row) {
  if (setjmp(trap->jump)) return false;
  JSAMPROW rows[1] = {row};
  return jpeg_read_scanlines(info, rows, 1) == 1;
}

class JpegReader : public PictureReader {
 public:
  explicit JpegReader(std::unique_ptr<InputFile> file) : file_(std::move(file)) {}
  ~JpegReader() override { Stop(); }

  bool Open(std::string* error) {
    if (!Start()) {
      *error = error_;
      return false;
    }
    info_.width = int32_t(decoder_.output_width);
    info_.height = int32_t(decoder_.output_height);
    info_.kind = decoder_.out_color_space == JCS_GRAYSCALE ? PixelKind::kGray
                 : decoder_.out_color_space == JCS_CMYK    ? PixelKind::kCMYK
                                                           : PixelKind::kRGB;
    if (decoder_.saw_JFIF_marker && decoder_.X_density > 0 && decoder_.Y_density > 0 &&
        (decoder_.density_unit == 1 || decoder_.density_unit == 2)) {
      const double scale = decoder_.density_unit == 2 ? kCentimetresPerInch : 1.0;
      info_.dpiX = decoder_.X_density * scale;
      info_.dpiY = decoder_.Y_density * scale;
    }
    JOCTET* profile = nullptr;
    unsigned int size = 0;
    if (ReadProfile(&decoder_, &trap_, &profile, &size) && profile != nullptr) {
      info_.iccProfile.assign(profile, profile + size);
    }
    std::free(profile);
    return true;
  }

  bool ReadRow(int32_t y, uint8_t* samples) override {
    if (y < nextRow_) {
      Stop();
      if (!Start()) return false;
    }
    if (y > nextRow_) scratch_.resize(size_t(info_.width) * SamplesOf(info_.kind));
    for (; nextRow_ <= y; ++nextRow_) {
      if (!ReadScanline(&decoder_, &trap_, nextRow_ == y ? samples : scratch_.data())) {
        error_ = trap_.message[0] != '\0' ? trap_.message : "the file ends early";
        nextRow_ = info_.height;
        return false;
      }
    }
    // Adobe's CMYK JPEGs hold 255 for no ink; ours hold 0.
    if (info_.kind == PixelKind::kCMYK && decoder_.saw_Adobe_marker)
      for (size_t i = 0; i < size_t(info_.width) * 4; ++i) samples[i] = uint8_t(255 - samples[i]);
    return true;
  }

 private:
  bool Start() {
    nextRow_ = 0;
    SetUpTrap(&trap_);
    decoder_ = jpeg_decompress_struct{};
    decoder_.err = &trap_.manager;
    started_ = true;
    if (std::fseek(file_->stream(), 0, SEEK_SET) == 0 && BeginDecoding(&decoder_, &trap_, file_->stream()))
      return true;
    error_ = trap_.message[0] != '\0' ? trap_.message : SystemReason();
    return false;
  }
  void Stop() {
    if (started_) jpeg_destroy_decompress(&decoder_);
    started_ = false;
  }

  std::unique_ptr<InputFile> file_;
  jpeg_decompress_struct decoder_{};
  ErrorTrap trap_{};
  bool started_ = false;
  int32_t nextRow_ = 0;
  std::vector<uint8_t> scratch_;
};

bool BeginEncoding(jpeg_compress_struct* info, ErrorTrap* trap, FILE* file, const PictureInfo& picture,
                   int quality) {
  if (setjmp(trap->jump)) return false;
  jpeg_create_compress(info);
  jpeg_stdio_dest(info, file);
  info->image_width = JDIMENSION(picture.width);
  info->image_height = JDIMENSION(picture.height);
  info->input_components = picture.kind == PixelKind::kGray ? 1 : 3;
  info->in_color_space = picture.kind == PixelKind::kGray ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(info);
  jpeg_set_quality(info, quality, TRUE);
  if (picture.dpiX > 0 && picture.dpiY > 0 && picture.dpiX < 65536 && picture.dpiY < 65536) {
    info->write_JFIF_header = TRUE;
    info->density_unit = 1;
    info->X_density = UINT16(std::lround(picture.dpiX));
    info->Y_density = UINT16(std::lround(picture.dpiY));
  }
  jpeg_start_compress(info, TRUE);
  if (!picture.iccProfile.empty())
    jpeg_write_icc_profile(info, picture.iccProfile.data(), unsigned(picture.iccProfile.size()));
  return true;
}

bool WriteScanline(jpeg_compress_struct* info, ErrorTrap* trap, const uint8_t* row) {
  if (setjmp(trap->jump)) return false;
  JSAMPROW rows[1] = {const_cast<uint8_t*>(row)};
  return jpeg_write_scanlines(info, rows, 1) == 1;
}

bool EndEncoding(jpeg_compress_struct* info, ErrorTrap* trap) {
  if (setjmp(trap->jump)) return false;
  jpeg_finish_compress(info);
  return true;
}

class JpegWriter : public PictureWriter {
 public:
  ~JpegWriter() override {
    if (started_) jpeg_destroy_compress(&encoder_);
  }

  bool Create(const std::string& path, const PictureInfo& info, const WriteSettings& settings, std::string* error) {
    if (!file_.Create(path, error)) return false;
    SetUpTrap(&trap_);
    encoder_.err = &trap_.manager;
    started_ = true;
    if (BeginEncoding(&encoder_, &trap_, file_.stream(), info, settings.quality)) return true;
    *error = Reason();
    return false;
  }

  bool WriteRow(const uint8_t* samples) override {
    if (WriteScanline(&encoder_, &trap_, samples)) return true;
    error_ = Reason();
    return false;
  }

  bool Finish() override {
    const bool ended = EndEncoding(&encoder_, &trap_);
    if (!ended) error_ = Reason();
    if (!file_.Close() && error_.empty()) error_ = file_.error();
    return ended && error_.empty();
  }

 private:
  std::string Reason() const {
    if (!file_.error().empty()) return file_.error();
    return trap_.message[0] != '\0' ? std::string(trap_.message) : SystemReason();
  }
  OutputFile file_;
  jpeg_compress_struct encoder_{};
  ErrorTrap trap_{};
  bool started_ = false;
};

}  // namespace

std::unique_ptr<PictureReader> OpenJpegReader(std::unique_ptr<InputFile> file, std::string* error) {
  auto reader = std::make_unique<JpegReader>(std::move(file));
  if (!reader->Open(error)) return nullptr;
  return reader;
}

std::unique_ptr<PictureWriter> CreateJpegWriter(const std::string& path, const PictureInfo& info,
                                                const WriteSettings& settings, std::string* error) {
  auto writer = std::make_unique<JpegWriter>();
  if (!writer->Create(path, info, settings, error)) return nullptr;
  return writer;
}

}  // namespace quiltora_cli
