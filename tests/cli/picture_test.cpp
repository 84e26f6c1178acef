// The image a host hands the module, made from a picture file's samples and back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "picture.h"

namespace {

using quiltora_cli::ColorMode;
using quiltora_cli::Picture;

Picture Make(int32_t width, int32_t height, int32_t channels) {
  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.channels = channels;
  for (int32_t i = 0; i < width * height * channels; ++i) picture.pixels.push_back(uint8_t(i * 37 + i / 7));
  return picture;
}

TEST(CliPicture, RgbAndNaiveCmykComeBackExactly) {
  // Every grey level, and colours with each channel the largest and smallest.
  Picture picture = Make(16, 16, 3);
  for (int32_t i = 0; i < 256; ++i) {
    uint8_t* p = picture.pixels.data() + i * 3;
    if (i % 3 == 0) p[0] = p[1] = p[2] = uint8_t(i);
  }
  for (ColorMode mode : {ColorMode::kRGB, ColorMode::kCMYK}) {
    const filterhost::Image image = quiltora_cli::ToHostImage(picture, mode);
    EXPECT_EQ(image.channels, mode == ColorMode::kRGB ? 3 : 4);
    const Picture back = quiltora_cli::FromHostImage(image, picture);
    EXPECT_EQ(back.channels, 3);
    EXPECT_EQ(back.pixels, picture.pixels);
  }
  // 0 means no ink: white is (0, 0, 0, 0), black all in K.
  Picture corners = Make(2, 1, 3);
  corners.pixels = {255, 255, 255, 0, 0, 0};
  const filterhost::Image cmyk = quiltora_cli::ToHostImage(corners, ColorMode::kCMYK);
  EXPECT_EQ(cmyk.pixels, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 255}));
}

TEST(CliPicture, GrayIsWeightedAndAlphaPassesThrough) {
  Picture rgba = Make(3, 1, 4);
  rgba.pixels = {255, 0, 0, 10, 0, 255, 0, 20, 0, 0, 255, 30};
  const filterhost::Image gray = quiltora_cli::ToHostImage(rgba, ColorMode::kGray);
  ASSERT_EQ(gray.channels, 1);
  EXPECT_EQ(gray.pixels, (std::vector<uint8_t>{76, 150, 29}));
  const Picture back = quiltora_cli::FromHostImage(gray, rgba);
  ASSERT_EQ(back.channels, 2);
  EXPECT_EQ(back.pixels, (std::vector<uint8_t>{76, 10, 150, 20, 29, 30}));

  // A gray file with alpha run as RGB keeps its alpha too.
  Picture grayAlpha = Make(2, 1, 2);
  grayAlpha.pixels = {7, 200, 9, 100};
  EXPECT_EQ(quiltora_cli::ResolveMode(ColorMode::kFromInput, grayAlpha), ColorMode::kGray);
  EXPECT_EQ(quiltora_cli::ResolveMode(ColorMode::kFromInput, rgba), ColorMode::kRGB);
  const Picture widened = quiltora_cli::FromHostImage(quiltora_cli::ToHostImage(grayAlpha, ColorMode::kRGB), grayAlpha);
  EXPECT_EQ(widened.pixels, (std::vector<uint8_t>{7, 7, 7, 200, 9, 9, 9, 100}));
}

// A PAM header ends with the newline after ENDHDR; the samples after it may
// be white space themselves, and anything but blanks before it is damage.
TEST(CliPicture, PamHeaderEndsAtTheNewlineAfterEndhdr) {
  const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / "quiltora_pam_header_test";
  std::filesystem::create_directories(folder);
  const std::string head = "P7\nWIDTH 2\nHEIGHT 1\nDEPTH 1\nMAXVAL 255\n";
  struct Case {
    std::string bytes;
    bool loads;
  };
  const Case cases[] = {
      {head + "ENDHDR\n\x20\x0a", true},
      {head + "ENDHDR \t\r\n\x20\x0a", true},
      {head + "ENDHDR\r\xfa\xd2(\xfa\xd2(", false},
      {head + "ENDHDR x\n\x20\x0a", false},
      {head + "ENDHDR", false},
  };
  const std::string path = (folder / "a.pam").string();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    std::ofstream(path, std::ios::binary) << c.bytes;
    Picture picture;
    std::string error;
    ASSERT_EQ(quiltora_cli::LoadPicture(path, &picture, &error), c.loads) << error;
    if (c.loads) EXPECT_EQ(picture.pixels, (std::vector<uint8_t>{0x20, 0x0a}));
    else EXPECT_NE(error.find("damaged PAM header"), std::string::npos) << error;
  }
  std::filesystem::remove_all(folder);
}

TEST(CliPicture, FilesRoundTripLosslessFormatsAndFailedWritesLeaveNothing) {
  const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / "quiltora_picture_test";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const Picture picture = Make(5, 3, 4);
  for (const char* name : {"a.png", "a.bmp", "a.tga"}) {
    const std::string path = (folder / name).string();
    std::string temporary, error;
    ASSERT_TRUE(quiltora_cli::WritePictureTemporary(path, picture, &temporary, &error)) << error;
    EXPECT_FALSE(std::filesystem::exists(path));
    ASSERT_TRUE(quiltora_cli::CommitPicture(temporary, path, &error)) << error;
    Picture back;
    ASSERT_TRUE(quiltora_cli::LoadPicture(path, &back, &error)) << error;
    EXPECT_EQ(back.width, 5);
    EXPECT_EQ(back.channels, 4);
    EXPECT_EQ(back.pixels, picture.pixels) << name;
  }
  std::string temporary, error;
  const std::string unwritable = (folder / "missing-folder" / "b.png").string();
  EXPECT_FALSE(quiltora_cli::WritePictureTemporary(unwritable, picture, &temporary, &error));
  EXPECT_NE(error.find("cannot write"), std::string::npos);
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) files += entry.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 3u);  // no temporary left behind

  Picture none;
  EXPECT_FALSE(quiltora_cli::LoadPicture((folder / "nothing.png").string(), &none, &error));
  EXPECT_NE(error.find("no such file"), std::string::npos);
  std::filesystem::remove_all(folder);
}

// JPEGs reach stb when no JPEG library is at hand, or when fill bytes come
// before the start marker. stb trusts the Huffman tables: the file is checked
// first, and a damaged table is refused in words rather than read past.
TEST(CliPicture, JpegWithDamagedHuffmanTablesIsRefused) {
  const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / "quiltora_jpeg_tables_test";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string written = (folder / "a.jpg").string();
  std::string temporary, error;
  ASSERT_TRUE(quiltora_cli::WritePictureTemporary(written, Make(24, 16, 3), &temporary, &error)) << error;
  ASSERT_TRUE(quiltora_cli::CommitPicture(temporary, written, &error)) << error;
  std::vector<uint8_t> jpeg;
  {
    std::ifstream in(written, std::ios::binary);  // closed before the folder goes: Windows keeps open files
    jpeg.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  size_t table = 0;  // the first DHT segment
  while (table + 1 < jpeg.size() && !(jpeg[table] == 0xFF && jpeg[table + 1] == 0xC4)) ++table;
  ASSERT_LT(table + 21, jpeg.size());

  struct Case {
    const char* name;
    void (*damage)(std::vector<uint8_t>& bytes, size_t table);
    const char* refusal;  // nullptr: the picture reads
  };
  const Case cases[] = {
      {"fill bytes only", [](std::vector<uint8_t>&, size_t) {}, nullptr},
      {"more than 256 codes", [](std::vector<uint8_t>& b, size_t t) { b[t + 5 + 14] = 250; b[t + 5 + 15] = 250; },
       "Huffman"},
      {"codes longer than their lengths allow", [](std::vector<uint8_t>& b, size_t t) { b[t + 5] = 3; }, "do not fit"},
      {"the tables never defined", [](std::vector<uint8_t>& b, size_t t) { b[t + 1] = 0xFE; }, "never defined"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes(jpeg);
    c.damage(bytes, table);
    bytes.insert(bytes.begin(), 8, 0xFF);
    const std::string path = (folder / "damaged.jpg").string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    Picture back;
    const bool read = quiltora_cli::LoadPicture(path, &back, &error);
    if (c.refusal == nullptr) {
      EXPECT_TRUE(read) << c.name << ": " << error;
      EXPECT_EQ(back.width, 24) << c.name;
    } else {
      EXPECT_FALSE(read) << c.name;
      EXPECT_NE(error.find(c.refusal), std::string::npos) << c.name << ": " << error;
      EXPECT_NE(error.find("damaged JPEG"), std::string::npos) << c.name << ": " << error;
    }
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
