// Where the dialog and its pictures go: the source pane's reduced picture,
// the tile preview's fit, the dialog over its owner, and the two picture
// routines the panes draw through (nearest-neighbour fit and row flip).
#include <gtest/gtest.h>

#include <cstring>

#include "dialog/pane_layout.h"
#include "dialog/pane_pictures.h"
#include "image/image_buffer.h"

namespace quiltora {
namespace {

bool Same(const IntRect& a, const IntRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(SourcePaneLayout, PictureKeptOrFittedAndCentred) {
  struct Case {
    int32_t pictureWidth, pictureHeight;
    int32_t width, height;
    IntRect rect;
  };
  // The pane is 200 × 200: 196 × 196 inside the 2-pixel margin.
  const Case cases[] = {
      {192, 128, 192, 128, {3, 35, 195, 163}},  // fits: kept
      {300, 200, 188, 125, {5, 37, 193, 162}},  // wider: width 196 - 8
      {200, 300, 125, 188, {37, 5, 162, 193}},  // taller: height 196 - 8
      {196, 100, 188, 95, {5, 52, 193, 147}},   // as wide as the area: fitted, not kept
      {150, 150, 150, 150, {24, 24, 174, 174}},
      {196, 196, 188, 188, {5, 5, 193, 193}},   // square at the limit: the height rule
  };
  for (const Case& c : cases) {
    const SourcePaneLayout layout = LayOutSourcePane(200, 200, c.pictureWidth, c.pictureHeight, 1000, 500);
    EXPECT_EQ(layout.width, c.width) << c.pictureWidth << " x " << c.pictureHeight;
    EXPECT_EQ(layout.height, c.height) << c.pictureWidth << " x " << c.pictureHeight;
    EXPECT_TRUE(Same(layout.imageRect, c.rect))
        << c.pictureWidth << " x " << c.pictureHeight << ": " << layout.imageRect.left << ", " << layout.imageRect.top;
    EXPECT_DOUBLE_EQ(layout.scaleX, c.width / 1000.0);
    EXPECT_DOUBLE_EQ(layout.scaleY, c.height / 500.0);
  }
  // No picture, or no source size: nothing to scale by.
  EXPECT_EQ(LayOutSourcePane(200, 200, 0, 10, 100, 100).width, 0);
  EXPECT_EQ(LayOutSourcePane(200, 200, 50, 50, 0, 100).scaleX, 0.0);
}

TEST(SourcePaneLayout, ResultPictureCentredTheSameWay) {
  // A 192 × 144 preview in the 200 × 200 result pane.
  EXPECT_TRUE(Same(CentredPictureRect(200, 200, 192, 144), IntRect{3, 27, 195, 171}));
  EXPECT_TRUE(Same(CentredPictureRect(200, 200, 53, 192), IntRect{73, 3, 126, 195}));
  EXPECT_TRUE(Same(SunkenFrameInner(65, 65), IntRect{3, 3, 62, 62}));
}

TEST(TilePreviewFit, OwnSizeShrunkNeverEnlargedAndCentred) {
  struct Case {
    int32_t tileWidth, tileHeight;
    PicturePlace place;
  };
  // The 65 × 65 preview: frame inside (3, 3)..(62, 62), drawing area 55 × 55 from (6, 6).
  const Case cases[] = {
      {40, 30, {13, 18, 40, 30}},   // 1:1, centred
      {110, 55, {6, 19, 55, 28}},   // 55 × 27.5 rounds to 28
      {30, 120, {26, 6, 14, 55}},   // too high: height 55, width 13.75 rounds to 14
      {55, 55, {6, 6, 55, 55}},
      {56, 56, {6, 6, 55, 55}},
      {1, 1, {33, 33, 1, 1}},
      {0, 20, {33, 33, 0, 0}},      // no tile: nothing drawn
  };
  for (const Case& c : cases) {
    const PicturePlace place = FitTilePreview(SunkenFrameInner(65, 65), c.tileWidth, c.tileHeight);
    EXPECT_EQ(place.x, c.place.x) << c.tileWidth << " x " << c.tileHeight;
    EXPECT_EQ(place.y, c.place.y) << c.tileWidth << " x " << c.tileHeight;
    EXPECT_EQ(place.width, c.place.width) << c.tileWidth << " x " << c.tileHeight;
    EXPECT_EQ(place.height, c.place.height) << c.tileWidth << " x " << c.tileHeight;
  }
}

TEST(DialogPlacement, OverOwnerScreenAndClamps) {
  // A 521 × 390 window rectangle (right and bottom inclusive as the rule measures them).
  const IntRect dialog{0, 0, 520, 389};
  DialogPlacementInput base;
  base.dialog = dialog;
  base.screenWidth = 1024;
  base.screenHeight = 768;
  base.captionHeight = 19;
  base.eightUnitsY = 13;
  base.sixteenUnitsX = 24;
  base.sixteenUnitsY = 26;
  struct Case {
    const char* what;
    bool hasOwner;
    IntRect owner;
    bool anchorIsOwner;
    IntPoint at;
  };
  const Case cases[] = {
      // Centred across the owner, top two captions and 8 units below the owner's top.
      {"anchored to its owner", true, {100, 50, 899, 649}, true, {(100 + 899 - 521) / 2, 50 + 38 + 13}},
      {"no owner, no anchor", false, {}, true, {(1023 - 521) / 2, 38 + 13}},
      {"another anchor over a large owner: centred", true, {0, 0, 999, 699}, false, {(999 - 521) / 2, (699 - 390) / 2}},
      {"another anchor, owner narrower than the dialog", true, {200, 100, 499, 699}, false, {224, 126}},
      // Leaving the screen at the right or bottom: centred on the screen.
      {"owner near the right edge", true, {700, 100, 1019, 699}, true, {(1024 - 521) / 2, (768 - 390) / 2}},
      {"owner low on the screen", true, {0, 500, 999, 767}, true, {(1024 - 521) / 2, (768 - 390) / 2}},
      // Left of or above the screen: brought to 0.
      {"owner off the top-left", true, {-900, -300, -100, 500}, true, {0, 0}},
  };
  for (const Case& c : cases) {
    DialogPlacementInput in = base;
    in.hasOwner = c.hasOwner;
    in.owner = c.owner;
    in.anchorIsOwner = c.anchorIsOwner;
    const IntPoint at = PlaceDialogAt(in);
    EXPECT_EQ(at.x, c.at.x) << c.what;
    EXPECT_EQ(at.y, c.at.y) << c.what;
  }
  // A screen smaller than the dialog: centred gives negatives, raised to 0.
  DialogPlacementInput small = base;
  small.screenWidth = 400;
  small.screenHeight = 300;
  const IntPoint at = PlaceDialogAt(small);
  EXPECT_EQ(at.x, 0);
  EXPECT_EQ(at.y, 0);
}

// A buffer whose every pixel's bytes name its place: x in the first, y in the second.
ImageBufferPtr NumberedPicture(int32_t format, int32_t width, int32_t height) {
  ImageBufferPtr picture(ImageBufferCreate(format, width, height));
  const int32_t bytes = FormatBitsPerPixel(format) / 8;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* pixel = ImageBufferPixel(picture.get(), x, y);
      for (int32_t b = 0; b < bytes; ++b) pixel[b] = uint8_t(b == 0 ? x : b == 1 ? y : x ^ y);
    }
  return picture;
}

TEST(FitCopy, NearestNeighbourWithAspectKept) {
  // A 300 × 150 part into 192 × 192: the top 96 rows; column j from
  // x0 + j × 300 / 192, row i from y0 + i × 150 / 96.
  ImageBufferPtr source = NumberedPicture(kFormatBGR24, 320, 200);
  ImageBufferPtr target(ImageBufferCreate(kFormatBGR24, 192, 192));
  std::memset(target->pixels, 0xEE, size_t(target->imageBytes));
  ASSERT_TRUE(FitCopy(target.get(), source.get(), 10, 20, 300, 150));
  for (int32_t i : {0, 1, 50, 95})
    for (int32_t j : {0, 1, 100, 191}) {
      const uint8_t* pixel = ImageBufferPixel(target.get(), j, i);
      EXPECT_EQ(pixel[0], uint8_t(10 + j * 300 / 192)) << i << ", " << j;
      EXPECT_EQ(pixel[1], uint8_t(20 + i * 150 / 96)) << i << ", " << j;
    }
  // Below the block the buffer keeps what it held.
  for (int32_t i : {96, 191}) EXPECT_EQ(ImageBufferPixel(target.get(), 5, i)[0], 0xEE);
}

TEST(FitCopy, TallPartFillsTheHeightInEveryFormat) {
  for (int32_t format : {kFormatGray8, kFormatBGR24, kFormatFour32}) {
    const int32_t bytes = FormatBitsPerPixel(format) / 8;
    ImageBufferPtr source = NumberedPicture(format, 40, 90);
    ImageBufferPtr target(ImageBufferCreate(format, 30, 30));
    std::memset(target->pixels, 0xEE, size_t(target->imageBytes));
    // 20 × 80 part: rows 30, columns trunc(30 / 4) = 7.
    ASSERT_TRUE(FitCopy(target.get(), source.get(), 5, 5, 20, 80)) << format;
    EXPECT_EQ(ImageBufferPixel(target.get(), 6, 29)[0], uint8_t(5 + 6 * 20 / 7)) << format;
    if (bytes > 1) {
      EXPECT_EQ(ImageBufferPixel(target.get(), 6, 29)[1], uint8_t(5 + 29 * 80 / 30)) << format;
    }
    if (bytes == 4) {
      EXPECT_EQ(ImageBufferPixel(target.get(), 6, 29)[3], uint8_t((5 + 6 * 20 / 7) ^ (5 + 29 * 80 / 30)));
    }
    EXPECT_EQ(ImageBufferPixel(target.get(), 7, 0)[0], 0xEE) << format;
  }
}

TEST(FitCopy, RefusesWhatItCannotCopy) {
  ImageBufferPtr source = NumberedPicture(kFormatBGR24, 40, 40);
  ImageBufferPtr gray(ImageBufferCreate(kFormatGray8, 10, 10));
  ImageBufferPtr target(ImageBufferCreate(kFormatBGR24, 10, 10));
  EXPECT_FALSE(FitCopy(gray.get(), source.get(), 0, 0, 40, 40));        // other pixel kind
  EXPECT_FALSE(FitCopy(target.get(), source.get(), 10, 0, 40, 40));     // part leaves the source
  EXPECT_FALSE(FitCopy(target.get(), source.get(), -1, 0, 10, 10));
  EXPECT_FALSE(FitCopy(target.get(), source.get(), 0, 0, 0, 10));       // empty part
  EXPECT_FALSE(FitCopy(target.get(), nullptr, 0, 0, 10, 10));
  EXPECT_TRUE(FitCopy(target.get(), source.get(), 30, 30, 10, 10));     // the last corner exactly
}

TEST(FlipRows, SwapsRowsAndTwiceRestores) {
  for (int32_t height : {1, 4, 5}) {
    ImageBufferPtr picture = NumberedPicture(kFormatBGR24, 3, height);
    FlipRows(picture.get());
    for (int32_t y = 0; y < height; ++y) EXPECT_EQ(ImageBufferPixel(picture.get(), 2, y)[1], height - 1 - y);
    {
      ScopedRowFlip flipped(picture.get());
      EXPECT_EQ(ImageBufferPixel(picture.get(), 0, 0)[1], 0);
    }
    EXPECT_EQ(ImageBufferPixel(picture.get(), 0, 0)[1], height - 1);
  }
  FlipRows(nullptr);
}

}  // namespace
}  // namespace quiltora
