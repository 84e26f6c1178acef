#include "hardening_support.h"

#include <cstdio>
#include <cstring>

namespace hardening {
namespace {

bool InsideF(int32_t x, int32_t y, int32_t width, int32_t height) {
  const int32_t left = width / 4, top = height / 5, stroke = width / 10 + 1;
  const int32_t right = width * 3 / 4, bottom = height * 4 / 5, middle = height / 2;
  if (x < left || y < top || y >= bottom) return false;
  if (x < left + stroke) return true;                          // the stem
  if (y < top + stroke) return x < right;                      // the top bar
  return y >= middle && y < middle + stroke && x < right - width / 8;  // the shorter middle bar
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = uint8_t(value >> (8 * i));
}

bool SameRect(const plugin::Rect& a, const plugin::Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

std::string Describe(const plugin::Rect& r) {
  return "(" + std::to_string(r.top) + ", " + std::to_string(r.left) + ", " + std::to_string(r.bottom) + ", " +
         std::to_string(r.right) + ")";
}

}  // namespace

filterhost::Image ProbeImage(int32_t width, int32_t height, int32_t channels) {
  filterhost::Image image(width, height, channels);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const bool ink = InsideF(x, y, width, height);
      for (int32_t c = 0; c < channels; ++c)
        image.At(x, y)[c] = ink ? uint8_t(230 - 70 * c) : uint8_t(x * 4 + y * 2 + c * 50);
    }
  return image;
}

bool WriteProbeBmp(const std::string& path, int32_t width, int32_t height) {
  const filterhost::Image picture = ProbeImage(width, height, 3);
  const uint32_t rowBytes = (uint32_t(width) * 3 + 3) / 4 * 4;
  std::vector<uint8_t> file(54 + size_t(rowBytes) * height, 0);
  file[0] = 'B';
  file[1] = 'M';
  Put32(file, 2, uint32_t(file.size()));
  Put32(file, 10, 54);
  Put32(file, 14, 40);
  Put32(file, 18, uint32_t(width));
  Put32(file, 22, uint32_t(height));
  file[26] = 1;
  file[28] = 24;
  Put32(file, 34, uint32_t(rowBytes) * height);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* to = file.data() + 54 + size_t(height - 1 - y) * rowBytes + size_t(x) * 3;
      const uint8_t* from = picture.At(x, y);
      to[0] = from[2];
      to[1] = from[1];
      to[2] = from[0];
    }
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return std::fclose(out) == 0 && written;
}

std::vector<uint8_t> RepeatRunBlock(filterhost::Host& host, const RunSettings& settings) {
  if (host.Parameters() != 0) return {};
  std::vector<uint8_t> bytes = host.ParameterBytes();
  quiltora::ParameterBlock block{};
  if (bytes.size() < sizeof block) return {};
  std::memcpy(&block, bytes.data(), sizeof block);
  block.showDialog = 0;
  block.symmetry = settings.symmetry;
  block.feather = settings.feather;
  if (!settings.sourcePath.empty() && settings.sourcePath.size() < sizeof block.sourcePath) {
    block.sourceKind = quiltora::kSourceLoadedFile;
    std::memset(block.sourcePath, 0, sizeof block.sourcePath);
    std::memcpy(block.sourcePath, settings.sourcePath.data(), settings.sourcePath.size());
    block.sourceArea = settings.sourceArea;
    block.sourceWidth = settings.sourceArea.right - settings.sourceArea.left;
    block.sourceHeight = settings.sourceArea.bottom - settings.sourceArea.top;
  }
  std::memcpy(bytes.data(), &block, sizeof block);
  return bytes;
}

bool DocumentedResult(int16_t result) {
  return result == plugin::kNoErr || result == plugin::kStopped || result == plugin::kMemFullErr ||
         result == plugin::kBadModeResult || result == plugin::kParamErr;
}

std::vector<std::string> CheckRunEnd(filterhost::Host& host, const filterhost::RunReport& report) {
  std::vector<std::string> broken = report.violations;
  if (!DocumentedResult(report.result)) broken.push_back("result " + std::to_string(report.result));
  // 1 tells the host to show nothing: right only when the user saw a message or asked to stop.
  if (report.result == plugin::kStopped && report.messagesShown == 0 && report.stopsAnswered == 0)
    broken.push_back("ended with 1 though the user was neither told nor asked to stop");
  if (!report.finishCalled && report.failedSelector != plugin::kSelectorPrepare &&
      report.failedSelector != plugin::kSelectorParameters)
    broken.push_back("Finish was not called");
  if (report.finishCalled && host.LeftoverRunAllocations() != 0)
    broken.push_back(std::to_string(host.LeftoverRunAllocations()) + " host allocations left after Finish");
  const int keptBlock = host.ParametersFromHost() ? 1 : 0;
  if (report.finishCalled && host.liveAllocations() != keptBlock)
    broken.push_back(std::to_string(host.liveAllocations()) + " live host allocations after Finish, " +
                     std::to_string(keptBlock) + " expected (the kept block)");
  const plugin::Rect area = host.record().filterRect;
  const plugin::Rect startPixel{area.top, area.left, int16_t(area.top + 1), int16_t(area.left + 1)};
  int16_t nextRow = area.top;
  for (size_t i = 0; i < report.outRects.size(); ++i) {
    const plugin::Rect& out = report.outRects[i];
    if (i == 0 && SameRect(out, startPixel)) continue;  // Start's request, served while the tile is built
    const plugin::Rect row{nextRow, area.left, int16_t(nextRow + 1), area.right};
    if (!SameRect(out, row)) {
      broken.push_back("output request " + std::to_string(i) + " is " + Describe(out) + ", not the row " +
                       Describe(row));
      break;
    }
    ++nextRow;
  }
  return broken;
}

}  // namespace hardening
