// A picture file as the host's image source and another as its sink: rows
// converted between the file's samples and the run's colour mode on the
// way, the input's alpha carried past the module to the output.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "picture_format.h"
#include "pixel_store.h"

namespace quiltora_cli {

class FileSource : public filterhost::ImageSource {
 public:
  // keepAllAlpha keeps the alpha of every row read (for a run that writes
  // the output after reading everything); otherwise only the last few rows'.
  FileSource(PictureReader& reader, const std::string& path, PixelKind hostKind, bool keepAllAlpha);
  bool ReadRow(int32_t y, uint8_t* row) override;
  std::string error() const override { return error_; }
  // The alpha samples of input row y (width bytes), read again when they
  // are no longer kept; null with error() set on failure.
  const uint8_t* AlphaRow(int32_t y);
  // One past the lowest row not yet read: how far reading has come.
  int32_t rowsReached() const { return reached_; }

 private:
  bool ReadFileRow(int32_t y);
  const uint8_t* KeepAlpha(int32_t y);

  PictureReader& reader_;
  std::string path_;
  PixelKind fileKind_, hostKind_;
  bool keepAll_;
  std::vector<uint8_t> fileRow_;
  std::map<int32_t, std::vector<uint8_t>> alpha_;
  std::string error_;
  int32_t reached_ = 0;
};

class FileSink : public filterhost::ImageSink {
 public:
  // alphaFrom: where the output's alpha comes from; null when it has none.
  FileSink(PictureWriter& writer, const std::string& target, PixelKind hostKind, PixelKind fileKind, int32_t width,
           FileSource* alphaFrom);
  bool WriteRow(int32_t y, const uint8_t* row) override;
  std::string error() const override { return error_; }
  // Asked before each row; true stops the writing with the reason `why`.
  void SetStopCheck(std::function<bool()> stop, std::string why) {
    stop_ = std::move(stop);
    stopReason_ = std::move(why);
  }
  int32_t rowsWritten() const { return written_; }

 private:
  PictureWriter& writer_;
  std::string target_;
  PixelKind hostKind_, fileKind_;
  int32_t width_;
  FileSource* alphaFrom_;
  std::vector<uint8_t> fileRow_;
  std::function<bool()> stop_;
  std::string stopReason_;
  std::string error_;
  int32_t written_ = 0;
};

}  // namespace quiltora_cli
