#include "dialog/pane_layout.h"

#include <algorithm>

namespace quiltora {

IntRect CentredPictureRect(int32_t clientWidth, int32_t clientHeight, int32_t pictureWidth, int32_t pictureHeight) {
  const int32_t left = (clientWidth - 4 + 1 - pictureWidth) / 2 + 1;
  const int32_t top = (clientHeight - 4 + 1 - pictureHeight) / 2 + 1;
  return IntRect{left, top, left + pictureWidth, top + pictureHeight};
}

SourcePaneLayout LayOutSourcePane(int32_t clientWidth, int32_t clientHeight, int32_t pictureWidth,
                                  int32_t pictureHeight, int32_t sourceWidth, int32_t sourceHeight) {
  SourcePaneLayout layout;
  if (pictureWidth <= 0 || pictureHeight <= 0) return layout;
  const int32_t areaWidth = clientWidth - 4;
  const int32_t areaHeight = clientHeight - 4;
  if (areaWidth > pictureWidth && areaHeight > pictureHeight) {
    layout.width = pictureWidth;
    layout.height = pictureHeight;
  } else if (pictureHeight < pictureWidth) {
    layout.width = areaWidth - 8;
    layout.height = int32_t(int64_t(pictureHeight) * layout.width / pictureWidth);
  } else {
    layout.height = areaHeight - 8;
    layout.width = int32_t(int64_t(pictureWidth) * layout.height / pictureHeight);
  }
  if (sourceWidth > 0 && sourceHeight > 0) {
    layout.scaleX = double(layout.width) / sourceWidth;
    layout.scaleY = double(layout.height) / sourceHeight;
  }
  layout.imageRect = CentredPictureRect(clientWidth, clientHeight, layout.width, layout.height);
  return layout;
}

IntRect SunkenFrameInner(int32_t clientWidth, int32_t clientHeight) {
  return IntRect{3, 3, clientWidth - 3, clientHeight - 3};
}

PicturePlace FitTilePreview(const IntRect& frameInner, int32_t tileWidth, int32_t tileHeight) {
  const int32_t areaLeft = frameInner.left + 3;
  const int32_t areaTop = frameInner.top + 3;
  const int32_t areaWidth = frameInner.right - 2 - areaLeft + 1;
  const int32_t areaHeight = frameInner.bottom - 2 - areaTop + 1;
  PicturePlace place;
  if (tileWidth > 0 && tileHeight > 0 && areaWidth > 0 && areaHeight > 0) {
    place.width = std::min(tileWidth, areaWidth);
    place.height = int32_t(double(tileHeight) * place.width / tileWidth + 0.5);
    if (place.height > areaHeight) {
      place.height = areaHeight;
      place.width = int32_t(double(tileWidth) * place.height / tileHeight + 0.5);
    }
  }
  place.x = areaLeft + (areaWidth - place.width) / 2;
  place.y = areaTop + (areaHeight - place.height) / 2;
  return place;
}

IntPoint PlaceDialogAt(const DialogPlacementInput& in) {
  const int32_t width = in.dialog.right + 1 - in.dialog.left;
  const int32_t height = in.dialog.bottom + 1 - in.dialog.top;
  const IntRect around = in.hasOwner ? in.owner : IntRect{0, 0, in.screenWidth - 1, in.screenHeight - 1};
  int32_t x = (around.left + around.right - width) / 2;
  int32_t y = (around.top + around.bottom - height) / 2;
  if (in.anchorIsOwner) {
    y = around.top + 2 * in.captionHeight + in.eightUnitsY;
  } else if (around.right + 1 - around.left < width || around.bottom + 1 - around.top < height) {
    x = around.left + in.sixteenUnitsX;
    y = around.top + in.sixteenUnitsY;
  }
  if (x + width > in.screenWidth || y + height > in.screenHeight) {
    x = (in.screenWidth - width) / 2;
    y = (in.screenHeight - height) / 2;
  }
  return IntPoint{std::max(x, 0), std::max(y, 0)};
}

}  // namespace quiltora
