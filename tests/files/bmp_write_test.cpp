#include <gtest/gtest.h>

#include "bmp_test_util.h"
#include "files/bmp_file.h"

namespace quiltora {
namespace {

using namespace bmptest;

uint32_t Get16(const Bytes& bytes, size_t at) { return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8; }
uint32_t Get32(const Bytes& bytes, size_t at) { return Get16(bytes, at) | Get16(bytes, at + 2) << 16; }

// An odd-sized picture whose every byte differs from its neighbours.
ImageBufferPtr MakeProbe(int32_t format, int32_t width, int32_t height) {
  ImageBufferPtr buffer(ImageBufferCreate(format, width, height));
  for (int32_t i = 0; i < buffer->imageBytes; ++i) buffer->pixels[i] = uint8_t(i * 37 + 11);
  return buffer;
}

TEST(BmpWrite, WhatIsWrittenReadsBackUpright) {
  struct Case {
    int32_t format, width, height;
  };
  TempFile file("roundtrip.bmp");
  for (const Case& c : {Case{kFormatBGR24, 7, 4}, Case{kFormatBGR24, 1, 1}, Case{kFormatGray8, 5, 3}}) {
    SCOPED_TRACE(testing::Message() << "format " << c.format << ", " << c.width << " x " << c.height);
    ImageBufferPtr original = MakeProbe(c.format, c.width, c.height);
    ASSERT_EQ(WriteBmpFile(original.get(), file.path()), kBmpOk);
    ImageBuffer* raw = nullptr;
    ASSERT_EQ(ReadBmpFile(file.path(), &raw), kBmpOk);
    ImageBufferPtr back(raw);
    ASSERT_EQ(back->width, c.width);
    ASSERT_EQ(back->height, c.height);
    for (int32_t y = 0; y < c.height; ++y)
      for (int32_t x = 0; x < c.width; ++x) {
        const uint8_t* p = ImageBufferPixel(original.get(), x, y);
        const Bgr expected = c.format == kFormatGray8 ? Bgr{p[0], p[0], p[0]} : Bgr{p[0], p[1], p[2]};
        ASSERT_EQ(PixelOf(*back, x, y), expected) << x << ", " << y;
      }
  }
}

TEST(BmpWrite, GrayTileLayout) {
  ImageBufferPtr gray = MakeProbe(kFormatGray8, 5, 3);
  TempFile file("gray.bmp");
  ASSERT_EQ(WriteBmpFile(gray.get(), file.path()), kBmpOk);
  const Bytes bytes = file.Read();
  ASSERT_EQ(bytes.size(), 1078u + 8 * 3);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(Get32(bytes, 2), bytes.size());
  EXPECT_EQ(Get32(bytes, 6), 0u);
  EXPECT_EQ(Get32(bytes, 10), 1078u);
  EXPECT_EQ(Get32(bytes, 14), 40u);
  EXPECT_EQ(Get32(bytes, 18), 5u);
  EXPECT_EQ(Get32(bytes, 22), 3u);
  EXPECT_EQ(Get16(bytes, 26), 1u);
  EXPECT_EQ(Get16(bytes, 28), 8u);
  EXPECT_EQ(Get32(bytes, 30), 0u);
  EXPECT_EQ(Get32(bytes, 34), 24u);
  EXPECT_EQ(Get32(bytes, 46), 256u);
  EXPECT_EQ(Get32(bytes, 50), 256u);
  for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(Get32(bytes, 54 + 4 * i), i * 0x010101u) << i;
  // Stored bottom row first: the file's first row is the buffer's last.
  for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(bytes[1078 + size_t(x)], ImageBufferPixel(gray.get(), x, 2)[0]);
}

// A tile's rows may lie further apart than a file row; each is written padded to 4 bytes.
TEST(BmpWrite, TilePixelsByPixelMode) {
  struct Case {
    int32_t pixelMode, bitCount, bytesPerPixel, rowsOffset;
  };
  constexpr int32_t kWidth = 3, kHeight = 2, kRowBytes = 20;
  uint8_t pixels[kRowBytes * kHeight];
  for (int32_t i = 0; i < kRowBytes * kHeight; ++i) pixels[i] = uint8_t(i + 1);
  TempFile file("tile.bmp");
  for (const Case& c : {Case{1, 8, 1, 1078}, Case{3, 24, 3, 54}, Case{4, 32, 4, 54}}) {
    SCOPED_TRACE(testing::Message() << "pixel mode " << c.pixelMode);
    ASSERT_EQ(WriteTileFile(file.path(), pixels, kWidth, kHeight, kRowBytes, c.pixelMode), kBmpOk);
    const Bytes bytes = file.Read();
    const int32_t fileRowBytes = (kWidth * c.bytesPerPixel + 3) / 4 * 4;
    ASSERT_EQ(bytes.size(), size_t(c.rowsOffset + fileRowBytes * kHeight));
    EXPECT_EQ(Get16(bytes, 28), uint32_t(c.bitCount));
    EXPECT_EQ(Get32(bytes, 10), uint32_t(c.rowsOffset));
    for (int32_t fileRow = 0; fileRow < kHeight; ++fileRow) {
      const uint8_t* stored = bytes.data() + c.rowsOffset + fileRow * fileRowBytes;
      const uint8_t* memory = pixels + (kHeight - 1 - fileRow) * kRowBytes;
      for (int32_t i = 0; i < fileRowBytes; ++i)
        EXPECT_EQ(stored[i], i < kWidth * c.bytesPerPixel ? memory[i] : 0) << fileRow << ", " << i;
    }
  }
}

TEST(BmpWrite, FailuresGiveCode3) {
  uint8_t pixels[64] = {};
  const std::string missingFolder = ::testing::TempDir() + "quiltora_no_such_dir/tile.bmp";
  TempFile file("refused.bmp");
  EXPECT_EQ(WriteTileFile(missingFolder.c_str(), pixels, 2, 2, 8, 3), kBmpReadError);
  EXPECT_EQ(WriteTileFile(file.path(), pixels, 3, 2, 8, 3), kBmpReadError) << "rows shorter than 3 pixels";
  EXPECT_EQ(WriteTileFile(file.path(), pixels, 0, 2, 8, 3), kBmpReadError);
  EXPECT_EQ(WriteTileFile(file.path(), nullptr, 2, 2, 8, 3), kBmpReadError);
  EXPECT_EQ(WriteTileFile(file.path(), pixels, 0x40000000, 0x40000000, 0x7FFFFFFF, 1), kBmpReadError);
  EXPECT_EQ(WriteBmpFile(nullptr, file.path()), kBmpReadError);
  EXPECT_TRUE(file.Read().empty()) << "no file is left behind";
}

}  // namespace
}  // namespace quiltora
