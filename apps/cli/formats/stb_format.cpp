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

// stb's JPEG decoder trusts the Huffman tables it is given: a table of more
// than 256 codes, or codes that do not fit their lengths, writes past its
// arrays, and a scan naming a table never defined decodes with uninitialised
// memory. The markers are walked here first, as stb will read them, and such
// a file is refused. Anything the walk does not understand is refused too.
class JpegTableCheck {
 public:
  explicit JpegTableCheck(std::FILE* file) : file_(file) {}

  // True when stb may decode the file; otherwise *why says what is wrong.
  bool Sound(std::string* why) {
    int byte = Get();
    if (byte != 0xFF) return true;  // not a JPEG: stb's other readers
    while (byte == 0xFF) byte = Get();
    if (byte != 0xD8) return true;
    for (;;) {
      byte = Get();
      if (byte == kEnd) return true;  // a short file is the reader's concern
      if (byte != 0xFF) return Refuse(why, "a JPEG marker is missing");
      while (byte == 0xFF) byte = Get();
      if (byte == kEnd || byte == 0xD9) return true;
      if (byte == 0x01 || (byte >= 0xD0 && byte <= 0xD7)) continue;
      if (byte == 0xD8 || byte == 0x00) return Refuse(why, "a JPEG marker is out of place");
      const int length = Get16();
      if (length == kEnd) return true;
      if (length < 2) return Refuse(why, "a JPEG segment is too short");
      int32_t left = length - 2;
      if (byte == 0xC4) {
        if (!ReadTables(left, why)) return false;
        continue;
      }
      if (byte >= 0xC0 && byte <= 0xCF && byte != 0xC8 && byte != 0xCC) progressive_ = byte == 0xC2;
      if (byte == 0xDA) {
        if (!CheckScan(left, why)) return false;
        if (!SkipEntropyData()) return true;
        continue;
      }
      if (!Skip(left)) return true;
    }
  }

 private:
  static constexpr int kEnd = -1;

  int Get() {
    const int c = std::fgetc(file_);
    return c == EOF ? kEnd : c;
  }
  int Get16() {
    const int high = Get(), low = Get();
    return high == kEnd || low == kEnd ? kEnd : high << 8 | low;
  }
  bool Skip(int32_t bytes) {
    for (; bytes > 0; --bytes)
      if (Get() == kEnd) return false;
    return true;
  }
  static bool Refuse(std::string* why, const char* reason) {
    *why = std::string(reason) + " (damaged JPEG)";
    return false;
  }

  // One DHT segment: each table's codes must fit their lengths as canonical
  // Huffman codes do, and there are at most 256 of them.
  bool ReadTables(int32_t left, std::string* why) {
    while (left > 0) {
      if (left < 17) return Refuse(why, "a Huffman table is cut short");
      const int q = Get();
      if (q == kEnd) return Refuse(why, "a Huffman table is cut short");
      const int kind = q >> 4, slot = q & 15;
      if (kind > 1 || slot > 3) return Refuse(why, "a Huffman table has a bad header");
      uint32_t code = 0, count = 0;
      for (int bits = 1; bits <= 16; ++bits) {
        const int n = Get();
        if (n == kEnd) return Refuse(why, "a Huffman table is cut short");
        code += uint32_t(n);
        count += uint32_t(n);
        if (code > (1u << bits)) return Refuse(why, "a Huffman table's code lengths do not fit");
        code <<= 1;
      }
      if (count > 256) return Refuse(why, "a Huffman table has more than 256 codes");
      left -= 17;
      if (int32_t(count) > left || !Skip(int32_t(count))) return Refuse(why, "a Huffman table is cut short");
      left -= int32_t(count);
      defined_[kind][slot] = true;
    }
    return true;
  }

  // A scan may only use tables defined before it: DC tables where it decodes
  // DC values, AC tables where it decodes AC values.
  bool CheckScan(int32_t left, std::string* why) {
    const int components = Get();
    if (components == kEnd || components < 1 || components > 4 || left != 4 + 2 * components)
      return Refuse(why, "a scan header is damaged");
    int tables[4] = {};
    for (int i = 0; i < components; ++i) {
      Get();
      tables[i] = Get();
    }
    const int start = Get(), end = Get(), approximation = Get();
    if (tables[components - 1] == kEnd || start == kEnd || end == kEnd || approximation == kEnd) return true;
    const bool dc = !progressive_ || (start == 0 && (approximation >> 4) == 0);
    const bool ac = !progressive_ || start != 0;
    for (int i = 0; i < components; ++i) {
      const int dcSlot = tables[i] >> 4, acSlot = tables[i] & 15;
      if (dcSlot > 3 || acSlot > 3) return Refuse(why, "a scan names a Huffman table that cannot exist");
      if ((dc && !defined_[0][dcSlot]) || (ac && !defined_[1][acSlot]))
        return Refuse(why, "a scan uses a Huffman table that was never defined");
    }
    return true;
  }

  // Past the coded data to the next marker; false at the end of the file.
  bool SkipEntropyData() {
    int byte = Get();
    for (;;) {
      if (byte == kEnd) return false;
      if (byte != 0xFF) {
        byte = Get();
        continue;
      }
      int next = Get();
      while (next == 0xFF) next = Get();
      if (next == kEnd) return false;
      if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
        byte = Get();
        continue;
      }
      // A marker: step back so that the walk reads it whole.
      return std::fseek(file_, -2, SEEK_CUR) == 0;
    }
  }

  std::FILE* file_;
  bool progressive_ = false;
  bool defined_[2][4] = {};
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
    // stb takes fill bytes before the start of a JPEG, so the marker may come late.
    const bool jpeg = magic[0] == 0xFF && (magic[1] == 0xD8 || magic[1] == 0xFF);
    if (!png && !jpeg && int64_t(width) * height > kMostPixelsPerByte * file.size() + kSlackPixels) {
      *error = "the file is too short for its " + std::to_string(width) + " x " + std::to_string(height) +
               " pixels (truncated or damaged)";
      return false;
    }
    if (std::fseek(file.stream(), 0, SEEK_SET) != 0) {
      *error = SystemReason();
      return false;
    }
    if (jpeg) {
      if (!JpegTableCheck(file.stream()).Sound(error)) return false;
      if (std::fseek(file.stream(), 0, SEEK_SET) != 0) {
        *error = SystemReason();
        return false;
      }
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
