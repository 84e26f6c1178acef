#include "pixel_store.h"

#include <algorithm>
#include <cstring>

namespace filterhost {
namespace {

// Copies `pixels` pixels of `planes` samples between interleaved rows whose
// pixels are toStep and fromStep bytes apart; one piece when nothing is skipped.
void CopyPlanes(uint8_t* to, int32_t toStep, const uint8_t* from, int32_t fromStep, int32_t pixels, int32_t planes) {
  if (toStep == planes && fromStep == planes) {
    std::memcpy(to, from, size_t(pixels) * size_t(planes));
    return;
  }
  for (int32_t x = 0; x < pixels; ++x) std::memcpy(to + size_t(x) * toStep, from + size_t(x) * fromStep, size_t(planes));
}

bool AllPlanes(const Area& area, int32_t channels) { return area.loPlane == 0 && area.hiPlane == channels - 1; }

}  // namespace

bool FrameStore::Read(const Area& area, uint8_t* to, size_t rowBytes) {
  for (int32_t y = area.rect.top; y < area.rect.bottom; ++y)
    CopyPlanes(to + size_t(y - area.rect.top) * rowBytes, area.planes(), At(area.rect.left, y) + area.loPlane,
               channels_, area.width(), area.planes());
  return true;
}

bool FrameStore::Write(const Area& area, const uint8_t* from, size_t rowBytes) {
  for (int32_t y = area.rect.top; y < area.rect.bottom; ++y)
    CopyPlanes(At(area.rect.left, y) + area.loPlane, channels_, from + size_t(y - area.rect.top) * rowBytes,
               area.planes(), area.width(), area.planes());
  return true;
}

uint8_t* FrameStore::InPlace(const Area& area, size_t* rowBytes) {
  if (!AllPlanes(area, channels_)) return nullptr;
  *rowBytes = rowBytes_;
  return At(area.rect.left, area.rect.top);
}

StreamStore::StreamStore(ImageSource& source, ImageSink& sink, int32_t width, int32_t height, int32_t channels)
    : source_(source),
      sink_(sink),
      width_(width),
      height_(height),
      channels_(channels),
      rowBytes_(size_t(width) * size_t(channels)) {}

StreamStore::Row StreamStore::NewRow() {
  if (spare_.empty()) return Row(new uint8_t[rowBytes_]);  // not cleared: every byte is written before use
  Row row = std::move(spare_.back());
  spare_.pop_back();
  return row;
}

bool StreamStore::Reachable(const Area& area) {
  if (area.rect.top >= settled_) return true;
  error_ = "row " + std::to_string(area.rect.top) + " was asked for after it had been written out";
  return false;
}

uint8_t* StreamStore::Held(int32_t y, bool fill) {
  auto found = held_.find(y);
  if (found != held_.end()) return found->second.get();
  Row row = NewRow();
  if (fill) {
    if (scratchRow_ == y) {
      std::memcpy(row.get(), scratch_.get(), rowBytes_);
    } else if (!source_.ReadRow(y, row.get())) {
      error_ = source_.error();
      spare_.push_back(std::move(row));
      return nullptr;
    }
  }
  uint8_t* pixels = row.get();
  held_.emplace(y, std::move(row));
  peakHeld_ = std::max(peakHeld_, held_.size());
  return pixels;
}

const uint8_t* StreamStore::Current(int32_t y) {
  auto found = held_.find(y);
  if (found != held_.end()) return found->second.get();
  if (scratchRow_ == y) return scratch_.get();
  if (!scratch_) scratch_ = NewRow();
  scratchRow_ = -1;
  if (!source_.ReadRow(y, scratch_.get())) {
    error_ = source_.error();
    return nullptr;
  }
  scratchRow_ = y;
  return scratch_.get();
}

bool StreamStore::Read(const Area& area, uint8_t* to, size_t rowBytes) {
  if (!Reachable(area)) return false;
  for (int32_t y = area.rect.top; y < area.rect.bottom; ++y) {
    const uint8_t* row = Current(y);
    if (row == nullptr) return false;
    CopyPlanes(to + size_t(y - area.rect.top) * rowBytes, area.planes(),
               row + size_t(area.rect.left) * channels_ + area.loPlane, channels_, area.width(), area.planes());
  }
  return true;
}

bool StreamStore::Write(const Area& area, const uint8_t* from, size_t rowBytes) {
  if (!Reachable(area)) return false;
  const bool wholeRows = area.width() == width_ && AllPlanes(area, channels_);
  for (int32_t y = area.rect.top; y < area.rect.bottom; ++y) {
    uint8_t* row = Held(y, !wholeRows);
    if (row == nullptr) return false;
    CopyPlanes(row + size_t(area.rect.left) * channels_ + area.loPlane, channels_,
               from + size_t(y - area.rect.top) * rowBytes, area.planes(), area.width(), area.planes());
  }
  return true;
}

uint8_t* StreamStore::InPlace(const Area& area, size_t* rowBytes) {
  if (area.height() != 1 || !AllPlanes(area, channels_) || !Reachable(area)) return nullptr;
  uint8_t* row = Held(area.rect.top, true);
  if (row == nullptr) return nullptr;
  *rowBytes = rowBytes_;
  return row + size_t(area.rect.left) * channels_;
}

bool StreamStore::Settle(int32_t row) {
  row = std::min(row, height_);
  for (; settled_ < row; ++settled_) {
    const int32_t y = settled_;
    auto found = held_.find(y);
    const uint8_t* pixels = found != held_.end() ? found->second.get() : Current(y);
    if (pixels == nullptr) return false;
    if (!sink_.WriteRow(y, pixels)) {
      error_ = sink_.error();
      return false;
    }
    if (found != held_.end()) {
      spare_.push_back(std::move(found->second));
      held_.erase(found);
    }
  }
  return true;
}

}  // namespace filterhost
