#include "dialog/area_pane.h"

#include <algorithm>

namespace quiltora {
namespace {

int32_t Round(double value) { return int32_t(value + 0.5); }

}  // namespace

bool AreaPaneModel::Open(int32_t clientWidth, int32_t clientHeight, int32_t pictureWidth, int32_t pictureHeight,
                         const IntRect& sourceArea) {
  open_ = dragging_ = false;
  if (pictureWidth <= 0 || pictureHeight <= 0 || clientWidth <= 0 || clientHeight <= 0) return false;
  pictureWidth_ = pictureWidth;
  pictureHeight_ = pictureHeight;
  // The longer side fills the pane. A pane taller than wide would let a
  // nearly square picture spill out sideways: then the width fills it.
  double width, height;
  if (pictureWidth > pictureHeight) {
    width = clientWidth;
    height = double(pictureHeight) * width / pictureWidth;
  } else {
    height = clientHeight;
    width = double(pictureWidth) * height / pictureHeight;
  }
  if (Round(width) > clientWidth) {
    width = clientWidth;
    height = double(pictureHeight) * width / pictureWidth;
  } else if (Round(height) > clientHeight) {
    height = clientHeight;
    width = double(pictureWidth) * height / pictureHeight;
  }
  scaleX_ = width / pictureWidth;
  scaleY_ = height / pictureHeight;
  const int32_t shownWidth = Round(width), shownHeight = Round(height);
  const int32_t left = (clientWidth - shownWidth) / 2, top = (clientHeight - shownHeight) / 2;
  place_ = IntRect{left, top, left + shownWidth, top + shownHeight};

  const IntRect area{std::clamp(sourceArea.left, 0, pictureWidth), std::clamp(sourceArea.top, 0, pictureHeight),
                     std::clamp(sourceArea.right, 0, pictureWidth), std::clamp(sourceArea.bottom, 0, pictureHeight)};
  areaWidth_ = std::max(area.right - area.left, 0);
  areaHeight_ = std::max(area.bottom - area.top, 0);
  frame_ = IntRect{std::max(Round(area.left * scaleX_) + left, place_.left),
                   std::max(Round(area.top * scaleY_) + top, place_.top),
                   std::min(Round(area.right * scaleX_) + left, place_.right),
                   std::min(Round(area.bottom * scaleY_) + top, place_.bottom)};
  open_ = true;
  return true;
}

bool AreaPaneModel::Press(IntPoint point) {
  if (!open_) return false;
  last_ = point;
  dragging_ = point.x >= frame_.left && point.x < frame_.right && point.y >= frame_.top && point.y < frame_.bottom;
  return dragging_;
}

bool AreaPaneModel::Move(IntPoint point) {
  if (!dragging_) return false;
  int32_t dx = point.x - last_.x, dy = point.y - last_.y;
  last_ = point;
  if (frame_.right + dx > place_.right)
    dx -= frame_.right + dx - place_.right;
  else if (frame_.left + dx < place_.left)
    dx += place_.left - (frame_.left + dx);
  if (frame_.bottom + dy > place_.bottom)
    dy -= frame_.bottom + dy - place_.bottom;
  else if (frame_.top + dy < place_.top)
    dy += place_.top - (frame_.top + dy);
  if (dx == 0 && dy == 0) return false;
  frame_ = IntRect{frame_.left + dx, frame_.top + dy, frame_.right + dx, frame_.bottom + dy};
  return true;
}

bool AreaPaneModel::Release(IntRect* area) {
  if (!dragging_) return false;
  dragging_ = false;
  // The frame's corner back in picture pixels; the area keeps its size, so
  // rounding never makes it larger than the image or lets it leave the picture.
  const int32_t left = std::clamp(Round((frame_.left - place_.left) / scaleX_), 0, pictureWidth_ - areaWidth_);
  const int32_t top = std::clamp(Round((frame_.top - place_.top) / scaleY_), 0, pictureHeight_ - areaHeight_);
  *area = IntRect{left, top, left + areaWidth_, top + areaHeight_};
  return true;
}

}  // namespace quiltora
