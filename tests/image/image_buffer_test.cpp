#include <gtest/gtest.h>

#include "image/image_buffer.h"

namespace quiltora {
namespace {

TEST(ImageBuffer, RowsArePaddedToFourBytes) {
  struct Case {
    int32_t format, width, height, rowBytes, imageBytes, bitsPerPixel;
  };
  for (const Case& c : {Case{kFormatBGR24, 10, 1, 32, 32, 24}, Case{kFormatGray8, 5, 2, 8, 16, 8},
                        Case{kFormatFour32, 3, 1, 12, 12, 32}, Case{kFormatBGR24, 1, 3, 4, 12, 24}}) {
    ImageBufferPtr buffer(ImageBufferCreate(c.format, c.width, c.height));
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->rowBytes, c.rowBytes) << c.format << " " << c.width;
    EXPECT_EQ(buffer->imageBytes, c.imageBytes);
    EXPECT_EQ(buffer->bitsPerPixel, c.bitsPerPixel);
    EXPECT_EQ(buffer->planes, 1);
    EXPECT_EQ(buffer->extra, nullptr);
  }
}

TEST(ImageBuffer, WrapDescribesForeignPixelsLikeCreate) {
  uint8_t pixels[64] = {};
  ImageBufferPtr wrapped(ImageBufferWrap(kFormatFour32, 3, 2, pixels));
  ASSERT_NE(wrapped, nullptr);
  EXPECT_EQ(wrapped->bitsPerPixel, 32);
  EXPECT_EQ(wrapped->rowBytes, 12);
  EXPECT_EQ(wrapped->pixels, pixels);
}

TEST(ImageBuffer, SizesThatOverflowAreRefused) {
  EXPECT_EQ(ImageBufferCreate(kFormatBGR24, -1, 10), nullptr);
  EXPECT_EQ(ImageBufferCreate(kFormatBGR24, 10, -1), nullptr);
  EXPECT_EQ(ImageBufferCreate(kFormatFour32, 0x20000000, 1), nullptr);
  EXPECT_EQ(ImageBufferCreate(kFormatBGR24, 40000, 40000), nullptr);
}

TEST(ImageBuffer, CopyConvertsByFormatPair) {
  ImageBufferPtr colour(ImageBufferCreate(kFormatBGR24, 1, 1));
  ImageBufferPtr gray(ImageBufferCreate(kFormatGray8, 1, 1));
  ImageBufferPtr four(ImageBufferCreate(kFormatFour32, 1, 1));
  colour->pixels[0] = 30;   // blue
  colour->pixels[1] = 200;  // green
  colour->pixels[2] = 100;  // red
  ASSERT_EQ(ImageBufferCopyRect(nullptr, gray.get(), 0, 0, 1, 1, colour.get(), 0, 0, 1, 1, 1), 1);
  EXPECT_EQ(gray->pixels[0], 153);

  gray->pixels[0] = 77;
  ASSERT_EQ(ImageBufferCopyRect(nullptr, colour.get(), 0, 0, 1, 1, gray.get(), 0, 0, 1, 1, 1), 1);
  EXPECT_EQ(colour->pixels[0], 77);
  EXPECT_EQ(colour->pixels[2], 77);

  EXPECT_EQ(ImageBufferCopyRect(nullptr, colour.get(), 0, 0, 1, 1, four.get(), 0, 0, 1, 1, 1), 0);
  EXPECT_EQ(ImageBufferCopyRect(nullptr, four.get(), 0, 0, 1, 1, colour.get(), 0, 0, 1, 1, 1), 0);
  EXPECT_EQ(ImageBufferCopyRect(nullptr, gray.get(), 0, 0, 1, 1, gray.get(), 0, 0, 1, 1, 2), 0);
}

TEST(ImageBuffer, CopyClipsBothRectangles) {
  ImageBufferPtr src(ImageBufferCreate(kFormatGray8, 8, 1));
  ImageBufferPtr dst(ImageBufferCreate(kFormatGray8, 8, 1));
  for (int x = 0; x < 8; ++x) src->pixels[x] = uint8_t(x + 1), dst->pixels[x] = 0;
  // Destination starting at column -2: source column sx + 2 lands in column 0.
  ASSERT_EQ(ImageBufferCopyRect(nullptr, dst.get(), -2, 0, 5, 1, src.get(), 1, 0, 5, 1, 1), 1);
  EXPECT_EQ(dst->pixels[0], 4);
  EXPECT_EQ(dst->pixels[2], 6);
  EXPECT_EQ(dst->pixels[3], 0);

  // A source rectangle hanging off both sides never writes past the destination.
  for (int x = 0; x < 8; ++x) dst->pixels[x] = 0;
  ASSERT_EQ(ImageBufferCopyRect(nullptr, dst.get(), 2, 0, 20, 1, src.get(), -3, 0, 20, 1, 1), 1);
  EXPECT_EQ(dst->pixels[4], 0);
  EXPECT_EQ(dst->pixels[5], 1);
  EXPECT_EQ(dst->pixels[7], 3);
  EXPECT_EQ(ImageBufferCopyRect(nullptr, dst.get(), 5, 0, 20, 1, src.get(), -3, 0, 20, 1, 1), 0);

  EXPECT_EQ(ImageBufferCopyRect(nullptr, dst.get(), 8, 0, 2, 1, src.get(), 0, 0, 2, 1, 1), 0);
}

}  // namespace
}  // namespace quiltora
