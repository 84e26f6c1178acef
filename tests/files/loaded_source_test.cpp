#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>

#include "bmp_test_util.h"
#include "files/loaded_source.h"

namespace quiltora {
namespace {

using namespace bmptest;
using Pixel = std::array<uint8_t, 4>;

// A 5 × 4 picture whose pixels all differ, so a wrong row, column or channel shows.
ImageBufferPtr MakePicture() {
  ImageBufferPtr picture(ImageBufferCreate(kFormatBGR24, 5, 4));
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 5; ++x) {
      uint8_t* p = ImageBufferPixel(picture.get(), x, y);
      p[0] = uint8_t(10 + x * 40);   // blue
      p[1] = uint8_t(200 - y * 50);  // green
      p[2] = uint8_t(7 + x * 13 + y * 29);  // red
    }
  return picture;
}

// The expected bytes of one picture pixel in the layout of an image mode.
Pixel Expected(const ImageBuffer& picture, int64_t x, int64_t y, int32_t imageMode) {
  const uint8_t* p = ImageBufferPixel(&picture, int32_t(x), int32_t(y));
  const int blue = p[0], green = p[1], red = p[2];
  switch (imageMode) {
    case 1: return {uint8_t((3 * red + 6 * green + blue) / 10), 0, 0, 0};
    case 3: return {uint8_t(red), uint8_t(green), uint8_t(blue), 0};
    default: return {uint8_t(255 - red), uint8_t(255 - green), uint8_t(255 - blue), 0};
  }
}

Pixel Actual(const ImageBuffer& converted, int32_t x, int32_t y) {
  Pixel pixel{};
  std::copy_n(ImageBufferPixel(&converted, x, y), converted.bitsPerPixel / 8, pixel.begin());
  return pixel;
}

TEST(LoadedSource, KnownPixelInEveryLayout) {
  ImageBufferPtr picture(ImageBufferCreate(kFormatBGR24, 1, 1));
  picture->pixels[0] = 30, picture->pixels[1] = 200, picture->pixels[2] = 100;
  struct Case {
    int32_t imageMode, format;
    Pixel bytes;
  };
  for (const Case& c : {Case{1, kFormatGray8, {153, 0, 0, 0}}, Case{3, kFormatBGR24, {100, 200, 30, 0}},
                        Case{4, kFormatFour32, {155, 55, 225, 0}}}) {
    SCOPED_TRACE(c.imageMode);
    ImageBufferPtr converted(ConvertLoadedSource(picture.get(), c.imageMode));
    ASSERT_NE(converted, nullptr);
    EXPECT_EQ(converted->format, c.format);
    EXPECT_EQ(LoadedSourceFormat(c.imageMode), c.format);
    EXPECT_EQ(Actual(*converted, 0, 0), c.bytes);
  }
}

// The run inverts a CMYK tile built from a loaded picture; what the host then
// stores must be the picture's colour with no black ink.
TEST(LoadedSource, CmykAfterTheRunsInversionIsTheHostsEncoding) {
  ImageBufferPtr picture = MakePicture();
  ImageBufferPtr ink(ConvertLoadedSource(picture.get(), 4));
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 5; ++x) {
      const uint8_t* p = ImageBufferPixel(picture.get(), x, y);
      const uint8_t* q = ImageBufferPixel(ink.get(), x, y);
      const Pixel inverted{uint8_t(255 - q[0]), uint8_t(255 - q[1]), uint8_t(255 - q[2]), uint8_t(255 - q[3])};
      EXPECT_EQ(inverted, (Pixel{p[2], p[1], p[0], 255})) << x << ", " << y;
    }
}

// Every pixel of a bordered copy, frame included, is the picture pixel at the
// clamped position: areas inside, on the edge of and reaching past the picture.
TEST(LoadedSource, BorderedCopyRepeatsTheNearestPicturePixel) {
  ImageBufferPtr picture = MakePicture();
  const IntRect areas[] = {{1, 1, 4, 3},  {0, 0, 5, 4},  {2, 3, 5, 4},
                           {-1, -2, 3, 1}, {4, 0, 6, 2},  {INT32_MAX - 1, 0, INT32_MAX, 1},
                           {INT32_MIN, INT32_MIN, INT32_MIN + 2, INT32_MIN + 1}};
  for (int32_t imageMode : {1, 3, 4}) {
    for (const IntRect& area : areas) {
      SCOPED_TRACE(testing::Message() << "mode " << imageMode << ", area " << area.left << " " << area.top << " "
                                      << area.right << " " << area.bottom);
      ImageBufferPtr copy(CopyLoadedSourceArea(picture.get(), area, imageMode));
      ASSERT_NE(copy, nullptr);
      ASSERT_EQ(copy->width, area.right - area.left + 2);
      ASSERT_EQ(copy->height, area.bottom - area.top + 2);
      for (int32_t y = 0; y < copy->height; ++y)
        for (int32_t x = 0; x < copy->width; ++x) {
          const int64_t px = std::clamp<int64_t>(int64_t{area.left} - 1 + x, 0, 4);
          const int64_t py = std::clamp<int64_t>(int64_t{area.top} - 1 + y, 0, 3);
          ASSERT_EQ(Actual(*copy, x, y), Expected(*picture, px, py, imageMode)) << x << ", " << y;
        }
    }
  }
}

TEST(LoadedSource, RefusesWhatItCannotConvert) {
  ImageBufferPtr picture = MakePicture();
  ImageBufferPtr gray(ImageBufferCreate(kFormatGray8, 5, 4));
  EXPECT_EQ(ConvertLoadedSource(nullptr, 3), nullptr);
  EXPECT_EQ(ConvertLoadedSource(gray.get(), 3), nullptr);
  EXPECT_EQ(ConvertLoadedSource(picture.get(), 2), nullptr);
  EXPECT_EQ(LoadedSourceFormat(2), 0);
  EXPECT_EQ(CopyLoadedSourceArea(picture.get(), IntRect{1, 1, 1, 3}, 3), nullptr) << "empty";
  EXPECT_EQ(CopyLoadedSourceArea(picture.get(), IntRect{3, 1, 2, 3}, 3), nullptr) << "reversed";
  EXPECT_EQ(CopyLoadedSourceArea(picture.get(), IntRect{-2, 0, 6, 4}, 3), nullptr) << "wider than picture + 2";
  EXPECT_EQ(CopyLoadedSourceArea(picture.get(), IntRect{INT32_MIN, 0, INT32_MAX, 4}, 3), nullptr);
}

}  // namespace
}  // namespace quiltora
