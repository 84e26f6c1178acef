// Uncompressed BMP: 1, 4 and 8 bits through a palette, 16 and 32 bits
// through bit masks, 24 bits blue-green-red; rows bottom-up or top-down.
// Each row lies at a known offset, so rows are read and written in any order.
#include <cmath>
#include <cstring>

#include "formats.h"

namespace quiltora_cli {
namespace {

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiAlphaBitfields = 6;
constexpr uint32_t kEmbeddedProfile = 0x4D424544;  // 'MBED'
constexpr double kMetresPerInch = 0.0254;

uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
void Put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

// One colour field of a 16- or 32-bit pixel: where it lies and how wide it is.
struct Field {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  explicit Field(uint32_t m = 0) : mask(m) {
    if (mask == 0) return;
    while (((mask >> shift) & 1) == 0) ++shift;
    while (shift + bits < 32 && ((mask >> (shift + bits)) & 1) != 0) ++bits;
  }
  // The field scaled to 8 bits by repeating its bits.
  uint8_t Of(uint32_t pixel) const {
    if (bits == 0) return 255;
    const uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8) return uint8_t(value >> (bits - 8));
    uint32_t out = 0;
    for (int filled = 0; filled < 8; filled += bits) out = out << bits | value;
    int total = ((8 + bits - 1) / bits) * bits;
    return uint8_t(out >> (total - 8));
  }
};

class BmpReader : public PictureReader {
 public:
  explicit BmpReader(std::unique_ptr<InputFile> file) : file_(std::move(file)) {}

  bool Open(std::string* error) {
    uint8_t head[14 + 124 + 16] = {};
    const size_t got = file_->ReadSome(0, head, sizeof head);
    if (got < 26) return Refuse(error, "the file ends early (truncated)");
    const uint32_t dataOffset = U32(head + 10), headerSize = U32(head + 14);
    const uint8_t* h = head + 14;
    int64_t width = 0, height = 0;
    uint32_t compression = kBiRgb, colours = 0;
    if (headerSize == 12) {
      width = U16(h + 4);
      height = U16(h + 6);
      bpp_ = U16(h + 10);
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
      if (got < 14 + headerSize) return Refuse(error, "the file ends early (truncated)");
      width = int32_t(U32(h + 4));
      height = int32_t(U32(h + 8));
      bpp_ = U16(h + 14);
      compression = U32(h + 16);
      colours = U32(h + 32);
      const double ppmX = U32(h + 24), ppmY = U32(h + 28);
      if (ppmX > 0 && ppmY > 0) {
        info_.dpiX = ppmX * kMetresPerInch;
        info_.dpiY = ppmY * kMetresPerInch;
      }
    } else {
      return Refuse(error, "unknown BMP header of " + std::to_string(headerSize) + " bytes");
    }
    if (compression == kBiRle8 || compression == kBiRle4)
      return Refuse(error, "run-length compressed BMP files are not supported");
    if (compression != kBiRgb && compression != kBiBitfields && compression != kBiAlphaBitfields)
      return Refuse(error, "BMP compression " + std::to_string(compression) + " is not supported");
    topDown_ = height < 0;
    height = topDown_ ? -height : height;
    if (width < 1 || height < 1 || width > 1000000 || height > 1000000)
      return Refuse(error, "impossible size " + std::to_string(width) + " x " + std::to_string(height));
    info_.width = int32_t(width);
    info_.height = int32_t(height);
    stride_ = (size_t(width) * bpp_ + 31) / 32 * 4;
    dataOffset_ = dataOffset;
    if (!SetLayout(h, headerSize, compression, colours, error)) return false;
    if (headerSize == 124 && U32(h + 56) == kEmbeddedProfile) ReadProfile(U32(h + 112), U32(h + 116));
    if (int64_t(stride_) * height > file_->size() - int64_t(dataOffset_) || dataOffset_ < 14 + headerSize)
      return Refuse(error, "the file ends early (truncated)");
    raw_.resize(stride_);
    return true;
  }

  bool ReadRow(int32_t y, uint8_t* samples) override {
    const int64_t row = topDown_ ? y : info_.height - 1 - y;
    if (!file_->ReadAt(int64_t(dataOffset_) + row * int64_t(stride_), raw_.data(), stride_)) {
      error_ = file_->error();
      return false;
    }
    const uint8_t* in = raw_.data();
    const int32_t width = info_.width;
    if (bpp_ == 24) {
      for (int32_t x = 0; x < width; ++x, in += 3, samples += 3) {
        samples[0] = in[2];
        samples[1] = in[1];
        samples[2] = in[0];
      }
    } else if (bpp_ <= 8) {
      const int32_t samplesOut = SamplesOf(info_.kind);
      for (int32_t x = 0; x < width; ++x, samples += samplesOut) {
        const size_t bit = size_t(x) * bpp_;
        const uint32_t index = (in[bit / 8] >> (8 - bpp_ - bit % 8)) & ((1u << bpp_) - 1);
        const uint8_t* colour = palette_[index];
        for (int32_t c = 0; c < samplesOut; ++c) samples[c] = colour[c];
      }
    } else {
      const bool alpha = HasAlpha(info_.kind);
      for (int32_t x = 0; x < width; ++x) {
        const uint32_t pixel = bpp_ == 16 ? U16(in + 2 * x) : U32(in + 4 * x);
        *samples++ = red_.Of(pixel);
        *samples++ = green_.Of(pixel);
        *samples++ = blue_.Of(pixel);
        if (alpha) *samples++ = alpha_.Of(pixel);
      }
    }
    return true;
  }

 private:
  static bool Refuse(std::string* error, const std::string& reason) {
    *error = reason;
    return false;
  }

  bool SetLayout(const uint8_t* h, uint32_t headerSize, uint32_t compression, uint32_t colours, std::string* error) {
    if (bpp_ == 1 || bpp_ == 4 || bpp_ == 8) {
      if (compression != kBiRgb) return Refuse(error, "damaged BMP header");
      return ReadPalette(headerSize, colours, error);
    }
    if (bpp_ == 24) {
      info_.kind = PixelKind::kRGB;
      return compression == kBiRgb || Refuse(error, "damaged BMP header");
    }
    if (bpp_ != 16 && bpp_ != 32) return Refuse(error, std::to_string(bpp_) + "-bit BMP files are not supported");
    uint32_t masks[4] = {bpp_ == 16 ? 0x7C00u : 0xFF0000u, bpp_ == 16 ? 0x03E0u : 0xFF00u, bpp_ == 16 ? 0x1Fu : 0xFFu, 0};
    if (compression != kBiRgb) {
      uint8_t extra[16] = {};
      const size_t count = compression == kBiAlphaBitfields || headerSize >= 56 ? 4 : 3;
      if (headerSize >= 52) {
        std::memcpy(extra, h + 40, count * 4);
      } else if (!file_->ReadAt(14 + headerSize, extra, count * 4)) {
        return Refuse(error, "the file ends early (truncated)");
      }
      for (size_t i = 0; i < count; ++i) masks[i] = U32(extra + 4 * i);
    }
    red_ = Field(masks[0]);
    green_ = Field(masks[1]);
    blue_ = Field(masks[2]);
    alpha_ = Field(masks[3]);
    info_.kind = masks[3] != 0 ? PixelKind::kRGBA : PixelKind::kRGB;
    return true;
  }

  // Palette entries are blue, green, red (and a spare byte but in the oldest header).
  bool ReadPalette(uint32_t headerSize, uint32_t colours, std::string* error) {
    const uint32_t most = 1u << bpp_;
    if (colours == 0 || colours > most) colours = most;
    const size_t entry = headerSize == 12 ? 3 : 4;
    uint8_t table[256 * 4] = {};
    const size_t read = file_->ReadSome(14 + headerSize, table, colours * entry);
    if (read < colours * entry) return Refuse(error, "the file ends early (truncated)");
    bool gray = true;
    for (uint32_t i = 0; i < 256; ++i) {
      const uint8_t* e = table + (i < colours ? i : 0) * entry;
      palette_[i][0] = e[2];
      palette_[i][1] = e[1];
      palette_[i][2] = e[0];
      gray = gray && e[0] == e[1] && e[1] == e[2];
    }
    info_.kind = gray ? PixelKind::kGray : PixelKind::kRGB;
    return true;
  }

  void ReadProfile(uint32_t offset, uint32_t size) {
    if (size == 0 || size > (16u << 20)) return;
    std::vector<uint8_t> profile(size);
    if (file_->ReadAt(14 + int64_t(offset), profile.data(), size)) info_.iccProfile = std::move(profile);
  }

  std::unique_ptr<InputFile> file_;
  uint32_t dataOffset_ = 0;
  uint16_t bpp_ = 0;
  bool topDown_ = false;
  size_t stride_ = 0;
  uint8_t palette_[256][3] = {};
  Field red_, green_, blue_, alpha_;
  std::vector<uint8_t> raw_;
};

// Gray as 8 bits with a gray palette, RGB as 24 bits, alpha as 32 bits with
// a version 5 header, which also carries an ICC profile.
class BmpWriter : public PictureWriter {
 public:
  bool Create(const std::string& path, const PictureInfo& info, std::string* error) {
    info_ = info;
    const bool gray = info.kind == PixelKind::kGray;
    const bool alpha = info.kind == PixelKind::kRGBA;
    bpp_ = gray ? 8 : alpha ? 32 : 24;
    const bool version5 = alpha || !info.iccProfile.empty();
    const uint32_t headerSize = version5 ? 124 : 40;
    const uint32_t paletteBytes = gray ? 1024 : 0;
    stride_ = (size_t(info.width) * bpp_ + 31) / 32 * 4;
    dataOffset_ = 14 + headerSize + paletteBytes;
    const uint64_t profileOffset = uint64_t(dataOffset_) + uint64_t(stride_) * uint64_t(info.height);
    const uint64_t total = profileOffset + (version5 ? info.iccProfile.size() : 0);
    if (total > 0xFFFFFFFFull) {
      *error = "too large for a BMP file";
      return false;
    }
    if (!file_.Create(path, error)) return false;
    std::vector<uint8_t> head(dataOffset_, 0);
    head[0] = 'B';
    head[1] = 'M';
    Put32(&head[2], uint32_t(total));
    Put32(&head[10], dataOffset_);
    uint8_t* h = &head[14];
    Put32(h, headerSize);
    Put32(h + 4, uint32_t(info.width));
    Put32(h + 8, uint32_t(info.height));
    Put16(h + 12, 1);
    Put16(h + 14, bpp_);
    Put32(h + 16, alpha ? kBiBitfields : kBiRgb);
    Put32(h + 20, uint32_t(stride_ * size_t(info.height)));
    if (info.dpiX > 0 && info.dpiY > 0) {
      Put32(h + 24, uint32_t(std::lround(info.dpiX / kMetresPerInch)));
      Put32(h + 28, uint32_t(std::lround(info.dpiY / kMetresPerInch)));
    }
    if (gray) Put32(h + 32, 256);
    if (version5) {
      if (alpha) {
        Put32(h + 40, 0x00FF0000);
        Put32(h + 44, 0x0000FF00);
        Put32(h + 48, 0x000000FF);
        Put32(h + 52, 0xFF000000);
      }
      if (!info.iccProfile.empty()) {
        Put32(h + 56, kEmbeddedProfile);
        Put32(h + 112, uint32_t(profileOffset - 14));
        Put32(h + 116, uint32_t(info.iccProfile.size()));
      } else {
        Put32(h + 56, 0x73524742);  // 'sRGB'
      }
      Put32(h + 108, 4);  // perceptual intent
    }
    for (uint32_t i = 0; gray && i < 256; ++i) head[14 + headerSize + 4 * i] = head[15 + headerSize + 4 * i] =
                                                   head[16 + headerSize + 4 * i] = uint8_t(i);
    if (!file_.Write(head.data(), head.size()) ||
        (version5 && !info.iccProfile.empty() &&
         !file_.WriteAt(int64_t(profileOffset), info.iccProfile.data(), info.iccProfile.size()))) {
      *error = file_.error();
      return false;
    }
    row_.assign(stride_, 0);
    return true;
  }

  bool WriteRow(const uint8_t* samples) override {
    const int32_t width = info_.width;
    uint8_t* out = row_.data();
    if (bpp_ == 8) {
      std::memcpy(out, samples, size_t(width));
    } else {
      const int32_t step = bpp_ / 8;
      for (int32_t x = 0; x < width; ++x, samples += step, out += step) {
        out[0] = samples[2];
        out[1] = samples[1];
        out[2] = samples[0];
        if (step == 4) out[3] = samples[3];
      }
    }
    const int64_t offset = int64_t(dataOffset_) + int64_t(info_.height - 1 - y_) * int64_t(stride_);
    ++y_;
    if (file_.WriteAt(offset, row_.data(), stride_)) return true;
    error_ = file_.error();
    return false;
  }

  bool Finish() override {
    if (file_.Close()) return true;
    error_ = file_.error();
    return false;
  }

 private:
  PictureInfo info_;
  OutputFile file_;
  uint16_t bpp_ = 24;
  size_t stride_ = 0;
  uint32_t dataOffset_ = 0;
  int32_t y_ = 0;
  std::vector<uint8_t> row_;
};

}  // namespace

std::unique_ptr<PictureReader> OpenBmpReader(std::unique_ptr<InputFile> file, std::string* error) {
  auto reader = std::make_unique<BmpReader>(std::move(file));
  if (!reader->Open(error)) return nullptr;
  return reader;
}

std::unique_ptr<PictureWriter> CreateBmpWriter(const std::string& path, const PictureInfo& info, std::string* error) {
  auto writer = std::make_unique<BmpWriter>();
  if (!writer->Create(path, info, error)) return nullptr;
  return writer;
}

}  // namespace quiltora_cli
