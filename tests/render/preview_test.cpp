// The dialog's previews on small pictures: the scaled result preview, the
// symmetries without a feather, the CMYK inversion, opacity 0, the reset of
// the pattern offset and the failure codes.
#include "render/preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "abi/plugin_api.h"
#include "composite/tile_image.h"
#include "image/image_buffer.h"
#include "image/memory_block.h"
#include "symmetry/outline.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora {
namespace {

// A buffer suite whose allocations fail from a chosen call on.
struct FailingSuite {
  static int calls;
  static int failFrom;  // 0: never
  static plugin::OSErr Allocate(int32_t size, plugin::BufferID* id) {
    ++calls;
    if (failFrom != 0 && calls >= failFrom) return plugin::kMemFullErr;
    *id = reinterpret_cast<plugin::BufferID>(new uint8_t[size_t(size)]);
    return 0;
  }
  static char* Lock(plugin::BufferID id, plugin::Boolean) { return reinterpret_cast<char*>(id); }
  static void Unlock(plugin::BufferID) {}
  static void Free(plugin::BufferID id) { delete[] reinterpret_cast<uint8_t*>(id); }
  static int32_t Space() { return 1 << 30; }
};
int FailingSuite::calls = 0;
int FailingSuite::failFrom = 0;

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = CurrentMemorySources();
    suite_.bufferProcsVersion = 2;
    suite_.numBufferProcs = 5;
    suite_.allocateProc = FailingSuite::Allocate;
    suite_.lockProc = FailingSuite::Lock;
    suite_.unlockProc = FailingSuite::Unlock;
    suite_.freeProc = FailingSuite::Free;
    suite_.spaceProc = FailingSuite::Space;
    FailingSuite::calls = 0;
    FailingSuite::failFrom = 0;
    SetMemorySources(MemorySources{false, &suite_, nullptr});
    ASSERT_EQ(CreateRunImages(), 0);
    block_ = ParameterBlock{};
    block_.opacity = 100;
    block_.blendMode = kBlendNormal;
    gPreviewScale = 1.0;
  }
  void TearDown() override {
    ReleaseRunImages();
    DestroySymmetry();
    for (ObjectRef* ref : {&block_.sourcePaneImage, &block_.resultPaneImage, &block_.resultPaneWork})
      ReleaseImageRef(ref);
    SetMemorySources(saved_);
    gPreviewScale = 1.0;
  }

  // The source pane's picture, value(x, y, channel) per byte, and the result
  // pane's picture and work picture, each filled with fill.
  void MakePictures(int32_t format, int32_t width, int32_t height,
                    const std::function<uint8_t(int32_t, int32_t, int32_t)>& value, int32_t resultWidth,
                    int32_t resultHeight, uint8_t fill) {
    for (ObjectRef* ref : {&block_.sourcePaneImage, &block_.resultPaneImage, &block_.resultPaneWork})
      ReleaseImageRef(ref);
    ImageBuffer* pane = ImageBufferCreate(format, width, height);
    const int32_t bytes = FormatBitsPerPixel(format) / 8;
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x)
        for (int32_t c = 0; c < bytes; ++c) ImageBufferPixel(pane, x, y)[c] = value(x, y, c);
    block_.sourcePaneImage = RefFromImage(pane);
    block_.sourcePaneImageRect = IntRect{0, 0, width, height};
    for (ObjectRef* ref : {&block_.resultPaneImage, &block_.resultPaneWork}) {
      ImageBuffer* picture = ImageBufferCreate(format, resultWidth, resultHeight);
      std::memset(picture->pixels, fill, size_t(picture->imageBytes));
      *ref = RefFromImage(picture);
    }
  }
  // The selection outline of symmetry number on the pane, as the pane draws it.
  void Select(int16_t number, int32_t x, int32_t y, int32_t width, int32_t height, int32_t shear = 0) {
    ASSERT_NE(CreateSymmetry(number), nullptr);
    block_.symmetry = number;
    const IntRect& pane = block_.sourcePaneImageRect;
    ASSERT_EQ(BuildSelectionOutline(number, x, y, width, height, shear, block_.selectionVertices,
                                    block_.selectionHandles, &block_.selectionVertexCount, pane),
              1);
  }
  std::vector<uint8_t> Bytes(ObjectRef ref) const {
    const ImageBuffer* picture = ImageFromRef(ref);
    return std::vector<uint8_t>(picture->pixels, picture->pixels + picture->imageBytes);
  }
  // The tile's pixels, without the padding of its rows.
  std::vector<uint8_t> TileBytes() {
    ScopedPixelLock lock(gTile);
    std::vector<uint8_t> bytes;
    for (int32_t y = 0; y < gTile->height; ++y) {
      const uint8_t* row = lock.pixels() + size_t(y) * gTile->rowBytes;
      bytes.insert(bytes.end(), row, row + size_t(gTile->width) * gTile->bytesPerPixel);
    }
    return bytes;
  }

  MemorySources saved_;
  plugin::BufferProcs suite_{};
  ParameterBlock block_{};
};

uint8_t Probe(int32_t x, int32_t y, int32_t c) { return uint8_t(x * 7 + y * 13 + c * 61 + (x * y) % 11); }

// A loaded picture smaller than the image is shown smaller: the preview steps
// through the tile by 1 / gPreviewScale, measured along the tile's longer side.
TEST_F(PreviewTest, ScaleFollowsTheLongerTileSideAndStepsWholeAndFractionalPixels) {
  struct Case {
    int16_t number;   // 3: a wide tile (2w × h); 8: a square one, taken as tall
    int32_t smaller;  // sourceSmallerThanImage
    double scaleX, scaleY;
    int32_t imageWidth, imageHeight;
    double expected;
  };
  const Case cases[] = {
      {8, 1, 1.0, 2.0, 300, 200, 192.0 / 400.0},  // tall: 192 rows over 2 × 200
      {3, 1, 2.0, 1.0, 300, 200, 192.0 / 600.0},  // wide: 192 columns over 2 × 300
      {8, 0, 1.0, 2.0, 300, 200, 1.0},            // the image itself: one tile pixel per pixel
      {8, 1, 1.0, 0.5, 300, 200, 1.0},            // larger than the image: never above 1
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    MakePictures(kFormatBGR24, 96, 80, Probe, 192, 192, 0);
    Select(c.number, 20, 20, 30, 24);
    block_.sourceSmallerThanImage = c.smaller;
    block_.sourcePaneScaleX = c.scaleX;
    block_.sourcePaneScaleY = c.scaleY;
    block_.imageWidth = c.imageWidth;
    block_.imageHeight = c.imageHeight;
    ASSERT_EQ(BuildPreviewTile(&block_), 1);
    EXPECT_NEAR(gPreviewScale, c.expected, 1e-12);
    CompositePreview(&block_);
    // Preview row i shows tile row trunc(i / scale); its pixel k the tile
    // pixel q·k further on, q = 1 / scale taken to 1/100000 of a pixel.
    const double q = 1.0 / gPreviewScale;
    const int64_t step = int64_t(q) * 100000 + int64_t((q - int64_t(q)) * 100000);
    const ImageBuffer* work = ImageFromRef(block_.resultPaneWork);
    const std::vector<uint8_t> tile = TileBytes();
    for (int32_t i : {0, 1, 50, 191}) {
      int32_t column = 0, row = 0;
      gTile->MapToTile(int32_t(i / gPreviewScale), &column, &row);
      for (int32_t k : {0, 1, 2, 13, 191}) {
        const int64_t at = (column + step * k / 100000) % gTile->width;
        const uint8_t* expected = tile.data() + (size_t(row) * gTile->width + size_t(at)) * 3;
        const uint8_t* shown = ImageBufferPixel(work, k, work->height - 1 - i);
        EXPECT_EQ(std::vector<uint8_t>(shown, shown + 3), std::vector<uint8_t>(expected, expected + 3))
            << "row " << i << " pixel " << k;
      }
    }
  }
}

// 7, 10, 14 and 17 have mirror seams only: a feather leaves their tile as it is.
TEST_F(PreviewTest, SymmetriesWithoutAFeatherBuildStraightFromThePicture) {
  for (int16_t number : {7, 10, 14, 17}) {
    SCOPED_TRACE(number);
    MakePictures(kFormatBGR24, 120, 110, Probe, 120, 110, 0);
    Select(number, 30, 25, 40, 36);
    block_.feather = 0;
    ASSERT_EQ(BuildPreviewTile(&block_), 1);
    const std::vector<uint8_t> plain = TileBytes();
    block_.feather = 50;
    ASSERT_EQ(BuildPreviewTile(&block_), 1);
    EXPECT_EQ(gSymmetry->featherPixels, 0);
    EXPECT_EQ(TileBytes(), plain);
  }
  // A symmetry with a feather does change.
  MakePictures(kFormatBGR24, 120, 110, Probe, 120, 110, 0);
  Select(3, 30, 25, 40, 36);
  block_.feather = 0;
  ASSERT_EQ(BuildPreviewTile(&block_), 1);
  const std::vector<uint8_t> plain = TileBytes();
  block_.feather = 50;
  ASSERT_EQ(BuildPreviewTile(&block_), 1);
  EXPECT_GT(gSymmetry->featherPixels, 0);
  EXPECT_NE(TileBytes(), plain);
}

// A four-channel preview holds CMYK ink and is blended in inverted values:
// Darken of the inverted values is the lighter ink, byte by byte. Both
// pictures read are left as they were.
TEST_F(PreviewTest, FourChannelPicturesBlendInInvertedValues) {
  for (int32_t format : {int32_t(kFormatFour32), int32_t(kFormatBGR24)}) {
    SCOPED_TRACE(format);
    MakePictures(format, 64, 60, Probe, 64, 60, 0);
    ImageBuffer* image = ImageFromRef(block_.resultPaneImage);
    for (int32_t i = 0; i < image->imageBytes; ++i) image->pixels[i] = uint8_t(i * 29 + 7);
    Select(8, 10, 10, 30, 30);
    block_.blendMode = kBlendDarken;
    ASSERT_EQ(BuildPreviewTile(&block_), 1);
    const std::vector<uint8_t> imageBefore = Bytes(block_.resultPaneImage), tileBefore = TileBytes();
    CompositePreview(&block_);
    EXPECT_EQ(Bytes(block_.resultPaneImage), imageBefore);
    EXPECT_EQ(TileBytes(), tileBefore);
    const ImageBuffer* work = ImageFromRef(block_.resultPaneWork);
    const int32_t bytes = FormatBitsPerPixel(format) / 8;
    for (int32_t i = 0; i < work->height; ++i) {
      int32_t column = 0, row = 0;
      gTile->MapToTile(i, &column, &row);
      for (int32_t k = 0; k < work->width; ++k) {
        const uint8_t* tile =
            tileBefore.data() + (size_t(row) * gTile->width + size_t((column + k) % gTile->width)) * size_t(bytes);
        const uint8_t* under = ImageBufferPixel(image, k, work->height - 1 - i);
        const uint8_t* shown = ImageBufferPixel(work, k, work->height - 1 - i);
        for (int32_t c = 0; c < bytes; ++c) {
          const uint8_t expected = format == kFormatFour32 ? std::max(tile[c], under[c]) : std::min(tile[c], under[c]);
          ASSERT_EQ(shown[c], expected) << "row " << i << " pixel " << k << " byte " << c;
        }
      }
    }
  }
}

// The colour modes blend three of the four bytes: the fourth shows the
// picture's, however often the pattern is laid again.
TEST_F(PreviewTest, FourChannelColourModesKeepThePicturesFourthByte) {
  MakePictures(kFormatFour32, 64, 60, Probe, 64, 60, 0);
  Select(8, 10, 10, 30, 30);
  block_.blendMode = kBlendLuminosity;
  ASSERT_EQ(BuildPreviewTile(&block_), 1);
  CompositePreview(&block_);
  const std::vector<uint8_t> first = Bytes(block_.resultPaneWork);
  CompositePreview(&block_);
  EXPECT_EQ(Bytes(block_.resultPaneWork), first);
  const std::vector<uint8_t> image = Bytes(block_.resultPaneImage);
  for (size_t i = 3; i < first.size(); i += 4) ASSERT_EQ(first[i], image[i]) << i;
}

TEST_F(PreviewTest, OpacityZeroKeepsTheLastPicture) {
  MakePictures(kFormatGray8, 64, 60, Probe, 64, 60, 9);
  Select(5, 12, 12, 20, 18);
  ASSERT_EQ(BuildPreviewTile(&block_), 1);
  CompositePreview(&block_);
  const std::vector<uint8_t> shown = Bytes(block_.resultPaneWork);
  EXPECT_NE(shown, std::vector<uint8_t>(shown.size(), 9));
  block_.opacity = 0;
  block_.selectionX += 5;  // a drag that would move the pattern
  CompositePreview(&block_);
  EXPECT_EQ(Bytes(block_.resultPaneWork), shown);
}

// Every rebuild puts the pattern back at the selection: the offset a drag
// left is gone, and selectionX, selectionY hold the object's position.
TEST_F(PreviewTest, RebuildResetsThePatternOffset) {
  MakePictures(kFormatBGR24, 80, 70, Probe, 80, 70, 0);
  Select(1, 15, 12, 30, 24, 6);
  ASSERT_EQ(BuildPreviewTile(&block_), 1);
  gTile->MoveOffsets(7, -3);
  block_.tileOffsetX = 7;
  block_.tileOffsetY = -3;
  block_.selectionX = block_.selectionY = 0;
  ASSERT_EQ(BuildPreviewTile(&block_), 1);
  EXPECT_EQ(gTile->offsetX, 0);
  EXPECT_EQ(gTile->offsetY, 0);
  EXPECT_EQ(block_.tileOffsetX, 0);
  EXPECT_EQ(block_.tileOffsetY, 0);
  EXPECT_EQ(block_.selectionX, gSymmetry->x);
  EXPECT_EQ(block_.selectionY, gSymmetry->y);
  EXPECT_EQ(gTile->originX, gSymmetry->x);
  EXPECT_EQ(gTile->opacity, 100);
  EXPECT_EQ(gTile->blendMode, kBlendNormal);
}

// The feather work image comes first, then the tile; whichever cannot be had
// gives its code, and no tile pixels are left behind.
TEST_F(PreviewTest, MemoryFailuresGiveTheirCodesAndLeaveNoTile) {
  struct Case {
    int32_t feather;
    int failFrom;
    int16_t failure;
  };
  for (const Case& c : {Case{40, 1, kPreviewNoFeatherWork}, Case{40, 2, kPreviewNoTile}, Case{0, 1, kPreviewNoTile}}) {
    SCOPED_TRACE(c.failFrom);
    MakePictures(kFormatBGR24, 100, 90, Probe, 100, 90, 0);
    Select(8, 20, 20, 40, 40);
    ASSERT_EQ(BuildPreviewTile(&block_), 1);  // a tile from before
    block_.feather = c.feather;
    FailingSuite::calls = 0;
    FailingSuite::failFrom = c.failFrom;
    int16_t failure = 0;
    EXPECT_EQ(BuildPreviewTile(&block_, &failure), 0);
    FailingSuite::failFrom = 0;
    EXPECT_EQ(failure, c.failure);
    EXPECT_EQ(gTile->memory.kind, kMemoryNone);
    EXPECT_EQ(gFeatherWork->memory.kind, kMemoryNone);
    const std::vector<uint8_t> before = Bytes(block_.resultPaneWork);
    CompositePreview(&block_);  // nothing to lay: the picture stays
    EXPECT_EQ(Bytes(block_.resultPaneWork), before);
  }
}

}  // namespace
}  // namespace quiltora
