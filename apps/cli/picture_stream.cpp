#include "picture_stream.h"

#include <algorithm>
#include <iterator>

#include "pixel_rows.h"

namespace quiltora_cli {
namespace {

constexpr size_t kKeptAlphaRows = 8;

}  // namespace

FileSource::FileSource(PictureReader& reader, const std::string& path, PixelKind hostKind, bool keepAllAlpha)
    : reader_(reader), path_(path), fileKind_(reader.info().kind), hostKind_(hostKind), keepAll_(keepAllAlpha) {}

bool FileSource::ReadFileRow(int32_t y) {
  fileRow_.resize(size_t(reader_.info().width) * SamplesOf(fileKind_));
  if (reader_.ReadRow(y, fileRow_.data())) return true;
  error_ = "cannot read '" + path_ + "': " + reader_.error();
  return false;
}

const uint8_t* FileSource::KeepAlpha(int32_t y) {
  if (!keepAll_ && alpha_.size() >= kKeptAlphaRows) alpha_.erase(alpha_.begin()->first != y ? alpha_.begin() : std::prev(alpha_.end()));
  std::vector<uint8_t>& alpha = alpha_[y];
  alpha.resize(size_t(reader_.info().width));
  TakeAlpha(fileRow_.data(), fileKind_, reader_.info().width, alpha.data());
  return alpha.data();
}

bool FileSource::ReadRow(int32_t y, uint8_t* row) {
  if (fileKind_ == hostKind_) {
    if (!reader_.ReadRow(y, row)) {
      error_ = "cannot read '" + path_ + "': " + reader_.error();
      return false;
    }
  } else {
    if (!ReadFileRow(y)) return false;
    ConvertRow(fileRow_.data(), fileKind_, row, hostKind_, reader_.info().width);
    if (HasAlpha(fileKind_)) KeepAlpha(y);
  }
  reached_ = std::max(reached_, y + 1);
  return true;
}

const uint8_t* FileSource::AlphaRow(int32_t y) {
  auto found = alpha_.find(y);
  if (found != alpha_.end()) return found->second.data();
  if (!HasAlpha(fileKind_) || !ReadFileRow(y)) return nullptr;
  return KeepAlpha(y);
}

FileSink::FileSink(PictureWriter& writer, const std::string& target, PixelKind hostKind, PixelKind fileKind,
                   int32_t width, FileSource* alphaFrom)
    : writer_(writer),
      target_(target),
      hostKind_(hostKind),
      fileKind_(fileKind),
      width_(width),
      alphaFrom_(HasAlpha(fileKind) ? alphaFrom : nullptr) {}

bool FileSink::WriteRow(int32_t y, const uint8_t* row) {
  if (stop_ && stop_()) {
    error_ = stopReason_;
    return false;
  }
  const uint8_t* out = row;
  if (fileKind_ != hostKind_) {
    fileRow_.resize(size_t(width_) * SamplesOf(fileKind_));
    ConvertRow(row, hostKind_, fileRow_.data(), fileKind_, width_);
    if (alphaFrom_ != nullptr) {
      const uint8_t* alpha = alphaFrom_->AlphaRow(y);
      if (alpha == nullptr) {
        error_ = alphaFrom_->error();
        return false;
      }
      PutAlpha(fileRow_.data(), fileKind_, width_, alpha);
    }
    out = fileRow_.data();
  }
  if (!writer_.WriteRow(out)) {
    error_ = "cannot write '" + target_ + "': " + writer_.error();
    return false;
  }
  ++written_;
  return true;
}

}  // namespace quiltora_cli
