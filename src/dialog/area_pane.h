// The Select-an-Area pane without windows: the loaded picture fitted into
// the pane, and the image-sized area on it, which can only be moved and
// never leaves the picture.
#pragma once

#include <cstdint>

#include "abi/parameter_block.h"

namespace quiltora {

class AreaPaneModel {
 public:
  // Lays the pane out for a picture of that size and the area chosen so far
  // (picture pixels). False, and the pane does nothing, without a picture.
  bool Open(int32_t clientWidth, int32_t clientHeight, int32_t pictureWidth, int32_t pictureHeight,
            const IntRect& sourceArea);

  bool open() const { return open_; }
  // Where the picture is drawn in the pane, at its display size.
  const IntRect& place() const { return place_; }
  // The area's frame in pane pixels.
  const IntRect& frame() const { return frame_; }
  double scaleX() const { return scaleX_; }
  double scaleY() const { return scaleY_; }
  bool dragging() const { return dragging_; }

  // A press inside the frame starts a drag (the pane captures the mouse).
  bool Press(IntPoint point);
  // Moves the frame with the pointer, kept inside the picture; true when it moved.
  bool Move(IntPoint point);
  // Ends a drag: true, with the area in picture pixels, when one was under way.
  bool Release(IntRect* area);

 private:
  bool open_ = false;
  int32_t pictureWidth_ = 0, pictureHeight_ = 0;
  int32_t areaWidth_ = 0, areaHeight_ = 0;  // the area's size in picture pixels, kept by every move
  double scaleX_ = 0.0, scaleY_ = 0.0;
  IntRect place_{};
  IntRect frame_{};
  IntPoint last_{};
  bool dragging_ = false;
};

}  // namespace quiltora
