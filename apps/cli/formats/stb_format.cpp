// The formats stb reads and writes, decoded and encoded whole: TGA and PSD
// everywhere, and PNG and JPEG where their libraries are not at hand.
#include <stb_image.h>
#include <stb_image_write.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "formats.h"

namespace quiltora_cli {
namespace {

constexpr int64_t kMostPixelsPerByte = 64;
constexpr int64_t kSlackPixels = 4096;

PixelKind KindOfChannels(int channels) {
  switch (channels) {
    case 1: return PixelKind::kGray;
    case 2: return PixelKind::kGrayAlpha;
    case 4: return PixelKind::kRGBA;
    default: return PixelKind::kRGB;
  }
}

// stb reads a file that ends early as if zeros followed; its reads through
// these callbacks tell when it asked for bytes the file does not have.
struct StbInput {
  std::FILE* file = nullptr;
  bool ranOut = false;

  static int Read(void* user, char* data, int size) {
    auto* input = static_cast<StbInput*>(user);
    const size_t got = std::fread(data, 1, size_t(size), input->file);
    if (got == 0 && size > 0) input->ranOut = true;
    return int(got);
  }
  static void Skip(void* user, int bytes) {
    auto* input = static_cast<StbInput*>(user);
    std::fseek(input->file, bytes, SEEK_CUR);
  }
  // Once a read came back empty the end stays reached: a skip after it
  // clears the stream's end flag, and stb, which reads no more by then,
  // would wait for the end for ever.
  static int Eof(void* user) {
    auto* input = static_cast<StbInput*>(user);
    return input->ranOut || std::feof(input->file) || std::ferror(input->file);
  }
};

class StbReader : public WholePictureReader {
 public:
  bool Open(InputFile& file, std::string* error) {
    uint8_t magic[3] = {};
    file.ReadSome(0, magic, sizeof magic);
    if (std::fseek(file.stream(), 0, SEEK_SET) != 0) {
      *error = SystemReason();
      return false;
    }
    StbInput input{file.stream()};
    const stbi_io_callbacks callbacks{StbInput::Read, StbInput::Skip, StbInput::Eof};
    int width = 0, height = 0, channels = 0;
    // A few bytes of TGA or PSD header can ask for gigabytes of pixels that
    // stb would then decode from nothing: their run-length codes hold at most
    // 64 pixels a byte, so a file too short for its size is refused first.
    if (!stbi_info_from_callbacks(&callbacks, &input, &width, &height, &channels)) {
      *error = stbi_failure_reason();
      return false;
    }
    const bool png = magic[0] == 0x89 && magic[1] == 'P';
    const bool jpeg = magic[0] == 0xFF && magic[1] == 0xD8;
    if (!png && !jpeg && int64_t(width) * height > kMostPixelsPerByte * file.size() + kSlackPixels) {
      *error = "the file is too short for its " + std::to_string(width) + " x " + std::to_string(height) +
               " pixels (truncated or damaged)";
      return false;
    }
    if (std::fseek(file.stream(), 0, SEEK_SET) != 0) {
      *error = SystemReason();
      return false;
    }
    input = StbInput{file.stream()};
    pixels_.reset(stbi_load_from_callbacks(&callbacks, &input, &width, &height, &channels, 0));
    if (!pixels_) {
      *error = stbi_failure_reason();
      return false;
    }
    if (input.ranOut || std::ferror(file.stream())) {
      pixels_.reset();
      *error = input.ranOut ? "the file ends early (truncated)" : SystemReason();
      return false;
    }
    // stb hands back a PSD of no rows or columns as a picture.
    if (width <= 0 || height <= 0) {
      pixels_.reset();
      *error = "the picture has no pixels";
      return false;
    }
    info_.width = width;
    info_.height = height;
    info_.kind = KindOfChannels(channels);
    return true;
  }
};

class StbWriter : public PictureWriter {
 public:
  StbWriter(const std::string& path, const std::string& extension, const PictureInfo& info,
            const WriteSettings& settings)
      : path_(path), extension_(extension), info_(info), settings_(settings) {
    rowBytes_ = size_t(info.width) * SamplesOf(info.kind);
    pixels_.reset(new uint8_t[rowBytes_ * size_t(info.height)]);
  }
  bool whole() const override { return true; }
  bool WriteRow(const uint8_t* samples) override {
    std::memcpy(pixels_.get() + size_t(rows_++) * rowBytes_, samples, rowBytes_);
    return true;
  }
  bool Finish() override {
    const int w = info_.width, h = info_.height, c = SamplesOf(info_.kind);
    const char* path = path_.c_str();
    int done = 0;
    if (extension_ == ".png") {
      stbi_write_png_compression_level = settings_.compression >= 0 ? settings_.compression : 8;
      done = stbi_write_png(path, w, h, c, pixels_.get(), int(rowBytes_));
    } else if (extension_ == ".jpg" || extension_ == ".jpeg") {
      done = stbi_write_jpg(path, w, h, c, pixels_.get(), settings_.quality);
    } else {
      done = stbi_write_tga(path, w, h, c, pixels_.get());
    }
    if (done == 0) error_ = SystemReason();
    return done != 0;
  }

 private:
  std::string path_, extension_;
  PictureInfo info_;
  WriteSettings settings_;
  size_t rowBytes_ = 0;
  int32_t rows_ = 0;
  std::unique_ptr<uint8_t[]> pixels_;
};

}  // namespace

std::unique_ptr<PictureReader> OpenStbReader(std::unique_ptr<InputFile> file, std::string* error) {
  auto reader = std::make_unique<StbReader>();
  if (!reader->Open(*file, error)) return nullptr;
  return reader;
}

std::unique_ptr<PictureWriter> CreateStbWriter(const std::string& path, const std::string& extension,
                                               const PictureInfo& info, const WriteSettings& settings,
                                               std::string* error) {
  (void)error;
  return std::make_unique<StbWriter>(path, extension, info, settings);
}

}  // namespace quiltora_cli
