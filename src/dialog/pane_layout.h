// Where the dialog and the pictures of its panes go: the source pane's
// reduced picture, the result picture, the tile in the tile preview, and the
// dialog itself over its owner. Pure arithmetic in pane or screen pixels;
// rectangles are left, top, right, bottom with right and bottom exclusive.
#pragma once

#include <cstdint>

#include "abi/parameter_block.h"

namespace quiltora {

// A picture of that size centred in a pane's client area less a 2-pixel
// margin: left = (client width - 4 + 1 - width) / 2 + 1, top likewise
// (divisions truncating toward zero).
IntRect CentredPictureRect(int32_t clientWidth, int32_t clientHeight, int32_t pictureWidth, int32_t pictureHeight);

// The source pane's picture. A picture smaller than the client area less 2
// pixels on each side keeps its size; a larger one is fitted, its longer side
// 8 pixels shorter than that area. The scales are pane pixels per pixel of the
// source the picture stands for (sourceWidth × sourceHeight: the whole image,
// or a loaded picture's area), 0 when that size is not positive.
struct SourcePaneLayout {
  int32_t width = 0;
  int32_t height = 0;
  double scaleX = 0.0;
  double scaleY = 0.0;
  IntRect imageRect{};
};
SourcePaneLayout LayOutSourcePane(int32_t clientWidth, int32_t clientHeight, int32_t pictureWidth,
                                  int32_t pictureHeight, int32_t sourceWidth, int32_t sourceHeight);

// The inside of the 3-pixel sunken frame every pane draws.
IntRect SunkenFrameInner(int32_t clientWidth, int32_t clientHeight);

// Where the tile preview draws the tile: the area 3 pixels inside the frame's
// inside on the left and top and 2 on the right and bottom; the tile at its
// own size when it fits, else shrunk with its aspect kept (rounded), never
// enlarged, centred (halves truncated). Its width and height are 0 for a tile
// without size.
struct PicturePlace {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};
PicturePlace FitTilePreview(const IntRect& frameInner, int32_t tileWidth, int32_t tileHeight);

// Where a dialog opens. The dialog (its window rectangle) is centred over its
// owner, or over the screen when it has none. When the anchor is the owner
// (no owner and no anchor count as equal) it keeps that column and its top
// goes two caption heights and 8 dialog units below the owner's top; else,
// when the owner is narrower or lower than the dialog, it goes 16 dialog units
// in from the owner's top-left corner. A dialog that would leave the screen is
// centred on it instead, and it never starts left of or above the screen.
struct DialogPlacementInput {
  IntRect dialog{};
  bool hasOwner = false;
  IntRect owner{};
  int32_t screenWidth = 0;
  int32_t screenHeight = 0;
  bool anchorIsOwner = true;
  int32_t captionHeight = 0;
  int32_t eightUnitsY = 0;  // pixels of 8 vertical dialog units
  int32_t sixteenUnitsX = 0;
  int32_t sixteenUnitsY = 0;
};
IntPoint PlaceDialogAt(const DialogPlacementInput& input);

}  // namespace quiltora
