// Binary PGM (P5), PPM (P6) and PAM (P7): a text header, then rows of
// samples, so any row is read straight from its offset.
#include <cctype>
#include <cstring>

#include "formats.h"

namespace quiltora_cli {
namespace {

constexpr size_t kHeaderLimit = 4096;

// Reads the header's tokens: numbers and words separated by white space,
// with comments from '#' to the end of the line.
class HeaderScanner {
 public:
  HeaderScanner(const char* text, size_t size) : text_(text), size_(size) {}
  void SkipSpace() {
    while (at_ < size_) {
      if (text_[at_] == '#') {
        while (at_ < size_ && text_[at_] != '\n') ++at_;
      } else if (std::isspace(static_cast<unsigned char>(text_[at_]))) {
        ++at_;
      } else {
        break;
      }
    }
  }
  bool Number(int64_t* value) {
    SkipSpace();
    if (at_ >= size_ || !std::isdigit(static_cast<unsigned char>(text_[at_]))) return false;
    *value = 0;
    while (at_ < size_ && std::isdigit(static_cast<unsigned char>(text_[at_]))) {
      *value = *value * 10 + (text_[at_++] - '0');
      if (*value > 1000000000) return false;
    }
    return true;
  }
  std::string Word() {
    SkipSpace();
    std::string word;
    while (at_ < size_ && !std::isspace(static_cast<unsigned char>(text_[at_]))) word += text_[at_++];
    return word;
  }
  // The single white-space character that ends a P5/P6 header.
  bool EndOfHeader() {
    if (at_ >= size_ || !std::isspace(static_cast<unsigned char>(text_[at_]))) return false;
    ++at_;
    return true;
  }
  size_t at() const { return at_; }

 private:
  const char* text_;
  size_t size_;
  size_t at_ = 2;  // after the magic number
};

class PnmReader : public PictureReader {
 public:
  explicit PnmReader(std::unique_ptr<InputFile> file) : file_(std::move(file)) {}

  bool Open(std::string* error) {
    char header[kHeaderLimit];
    const size_t size = file_->ReadSome(0, header, sizeof header);
    const char kind = size >= 2 ? header[1] : 0;
    if (kind >= '1' && kind <= '4') return Refuse(error, "plain (text) and one-bit PNM files are not supported");
    HeaderScanner scan(header, size);
    int64_t width = 0, height = 0, maxval = 0, depth = kind == '5' ? 1 : 3;
    std::string tupleType;
    if (kind == '7') {
      for (std::string word = scan.Word(); word != "ENDHDR"; word = scan.Word()) {
        bool ok = true;
        if (word == "WIDTH") ok = scan.Number(&width);
        else if (word == "HEIGHT") ok = scan.Number(&height);
        else if (word == "DEPTH") ok = scan.Number(&depth);
        else if (word == "MAXVAL") ok = scan.Number(&maxval);
        else if (word == "TUPLTYPE") tupleType = scan.Word();
        else ok = false;
        if (!ok) return Refuse(error, "damaged PAM header");
      }
      // Only blanks between ENDHDR and the newline that ends the header: the
      // samples that follow may be any bytes, white space included.
      auto blank = [&](size_t at) { return header[at] == ' ' || header[at] == '\t' || header[at] == '\r'; };
      while (scan.at() < size && blank(scan.at())) scan.EndOfHeader();
      if (scan.at() >= size || header[scan.at()] != '\n' || !scan.EndOfHeader())
        return Refuse(error, "damaged PAM header");
    } else if (!scan.Number(&width) || !scan.Number(&height) || !scan.Number(&maxval) || !scan.EndOfHeader()) {
      return Refuse(error, "damaged PNM header");
    }
    if (width < 1 || height < 1 || width > 1000000 || height > 1000000)
      return Refuse(error, "impossible size " + std::to_string(width) + " x " + std::to_string(height));
    if (maxval < 1 || maxval > 65535) return Refuse(error, "impossible MAXVAL " + std::to_string(maxval));
    if (depth < 1 || depth > 4) return Refuse(error, "PAM depth " + std::to_string(depth) + " is not supported");
    const PixelKind kinds[] = {PixelKind::kGray, PixelKind::kGrayAlpha, PixelKind::kRGB, PixelKind::kRGBA};
    info_.kind = depth == 4 && tupleType == "CMYK" ? PixelKind::kCMYK : kinds[depth - 1];
    info_.width = int32_t(width);
    info_.height = int32_t(height);
    maxval_ = int32_t(maxval);
    bytesPerSample_ = maxval > 255 ? 2 : 1;
    fileRowBytes_ = size_t(width) * size_t(depth) * bytesPerSample_;
    dataOffset_ = int64_t(scan.at());
    if (int64_t(fileRowBytes_) * height > file_->size() - dataOffset_)
      return Refuse(error, "the file ends early (truncated)");
    return true;
  }

  bool ReadRow(int32_t y, uint8_t* samples) override {
    const int64_t offset = dataOffset_ + int64_t(y) * int64_t(fileRowBytes_);
    if (maxval_ == 255) {
      if (file_->ReadAt(offset, samples, fileRowBytes_)) return true;
      error_ = file_->error();
      return false;
    }
    raw_.resize(fileRowBytes_);
    if (!file_->ReadAt(offset, raw_.data(), fileRowBytes_)) {
      error_ = file_->error();
      return false;
    }
    const size_t count = fileRowBytes_ / bytesPerSample_;
    for (size_t i = 0; i < count; ++i) {
      const uint32_t value = bytesPerSample_ == 2 ? uint32_t(raw_[2 * i]) << 8 | raw_[2 * i + 1] : raw_[i];
      samples[i] = uint8_t((std::min<uint32_t>(value, uint32_t(maxval_)) * 255 + uint32_t(maxval_) / 2) / maxval_);
    }
    return true;
  }

 private:
  static bool Refuse(std::string* error, const std::string& reason) {
    *error = reason;
    return false;
  }
  std::unique_ptr<InputFile> file_;
  int64_t dataOffset_ = 0;
  int32_t maxval_ = 255;
  size_t bytesPerSample_ = 1;
  size_t fileRowBytes_ = 0;
  std::vector<uint8_t> raw_;
};

class PnmWriter : public PictureWriter {
 public:
  bool Create(const std::string& path, PnmFlavour flavour, const PictureInfo& info, std::string* error) {
    if (!file_.Create(path, error)) return false;
    rowBytes_ = size_t(info.width) * SamplesOf(info.kind);
    std::string header;
    const std::string size = std::to_string(info.width) + " " + std::to_string(info.height);
    if (flavour != PnmFlavour::kPam) {
      header = std::string(info.kind == PixelKind::kGray ? "P5\n" : "P6\n") + size + "\n255\n";
    } else {
      const char* tuple = info.kind == PixelKind::kGray        ? "GRAYSCALE"
                          : info.kind == PixelKind::kGrayAlpha ? "GRAYSCALE_ALPHA"
                          : info.kind == PixelKind::kRGB       ? "RGB"
                          : info.kind == PixelKind::kRGBA      ? "RGB_ALPHA"
                                                               : "CMYK";
      header = "P7\nWIDTH " + std::to_string(info.width) + "\nHEIGHT " + std::to_string(info.height) + "\nDEPTH " +
               std::to_string(SamplesOf(info.kind)) + "\nMAXVAL 255\nTUPLTYPE " + tuple + "\nENDHDR\n";
    }
    if (!file_.Write(header.data(), header.size())) {
      *error = file_.error();
      return false;
    }
    return true;
  }
  bool WriteRow(const uint8_t* samples) override { return file_.Write(samples, rowBytes_) || Fail(); }
  bool Finish() override { return file_.Close() || Fail(); }

 private:
  bool Fail() {
    error_ = file_.error();
    return false;
  }
  OutputFile file_;
  size_t rowBytes_ = 0;
};

}  // namespace

std::unique_ptr<PictureReader> OpenPnmReader(std::unique_ptr<InputFile> file, std::string* error) {
  auto reader = std::make_unique<PnmReader>(std::move(file));
  if (!reader->Open(error)) return nullptr;
  return reader;
}

std::unique_ptr<PictureWriter> CreatePnmWriter(const std::string& path, PnmFlavour flavour, const PictureInfo& info,
                                               std::string* error) {
  auto writer = std::make_unique<PnmWriter>();
  if (!writer->Create(path, flavour, info, error)) return nullptr;
  return writer;
}

}  // namespace quiltora_cli
