// The dialog's preview and the final run agree. A picture P is filtered by
// the real module with a selection S; the preview is built in this program
// from P itself (pane scale 1, nothing reduced) with S drawn on it as its
// outline. Tile and pattern are compared byte for byte for every symmetry in
// gray, RGB and CMYK, with and without a feather.
//
// Where the two differ by design, the tests check the exact relation instead:
// - The hexagonal shapes take their side from the outline in the preview (its
//   width; the rhombus its height) and from the committed frame's proportions
//   in the run, and the integer outline does not keep the shape's exact
//   proportions. The run is therefore given the preview's own shape: the
//   position and side its object holds, as a frame of the shape's proportions.
// - The preview places the pattern at the selection and the run at the stored
//   offset fractions: a run with an offset equals the preview dragged by it.
// - A CMYK preview blends in inverted values: it equals the run on the
//   inverted picture, inverted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "abi/parameter_block.h"
#include "composite/tile_image.h"
#include "filterhost.h"
#include "hardening/hardening_support.h"
#include "image/image_buffer.h"
#include "image/memory_block.h"
#include "render/preview.h"
#include "symmetry/catalogue.h"
#include "symmetry/frame.h"
#include "symmetry/outline.h"
#include "symmetry/shapes.h"

namespace {

using filterhost::Image;
using quiltora::ParameterBlock;

constexpr int32_t kWidth = 97, kHeight = 83;

int32_t FormatOf(int32_t channels) {
  return channels == 1 ? quiltora::kFormatGray8 : channels == 3 ? quiltora::kFormatBGR24 : quiltora::kFormatFour32;
}

// The host's samples of one pixel in a picture buffer's order: RGB becomes
// blue, green, red.
void ToBufferOrder(const uint8_t* from, uint8_t* to, int32_t channels) {
  for (int32_t c = 0; c < channels; ++c) to[c] = from[channels == 3 ? 2 - c : c];
}

// P as a picture buffer, top row first or (for the result pane) bottom row first.
quiltora::ImageBuffer* BufferOf(const Image& image, bool bottomFirst) {
  quiltora::ImageBuffer* buffer = quiltora::ImageBufferCreate(FormatOf(image.channels), image.width, image.height);
  for (int32_t y = 0; y < image.height; ++y)
    for (int32_t x = 0; x < image.width; ++x)
      ToBufferOrder(image.At(x, y), quiltora::ImageBufferPixel(buffer, x, bottomFirst ? image.height - 1 - y : y),
                    image.channels);
  return buffer;
}

// The selection as the pane draws it and as OK hands it to the run: the
// outline's least and greatest coordinates, and for the parallelogram its
// shear over its height.
struct Selection {
  quiltora::IntPoint vertices[quiltora::kOutlineMaxVertices];
  int32_t handles[quiltora::kOutlineMaxVertices];
  int32_t count = 0;
  quiltora::SelectionFrame frame{};
};

Selection Select(int16_t number, int32_t x, int32_t y, int32_t width, int32_t height, int32_t shear) {
  Selection s;
  quiltora::BuildSelectionOutline(number, x, y, width, height, shear, s.vertices, s.handles, &s.count,
                                  quiltora::IntRect{0, 0, kWidth, kHeight});
  quiltora::IntRect b{s.vertices[0].x, s.vertices[0].y, s.vertices[0].x, s.vertices[0].y};
  for (int32_t i = 1; i < s.count; ++i) {
    b.left = std::min(b.left, s.vertices[i].x);
    b.top = std::min(b.top, s.vertices[i].y);
    b.right = std::max(b.right, s.vertices[i].x);
    b.bottom = std::max(b.bottom, s.vertices[i].y);
  }
  const double span = number == 1 ? s.vertices[1].x - s.vertices[0].x : 0.0;
  s.frame = quiltora::SelectionFrame{double(b.top), double(b.left), double(b.bottom), double(b.right),
                                     span / (b.bottom - b.top)};
  return s;
}

// The preview object's shape as a frame the run measures the same side from:
// its position, and its unrounded side in the shape's own proportions (the
// other extent a little larger where the side is the smaller of two).
quiltora::SelectionFrame ShapeFrame(const quiltora::TileSymmetry& object) {
  using quiltora::SourceShape;
  const double left = object.fx, top = object.fy;
  switch (quiltora::FindSymmetryInfo(object.number)->shape) {
    case SourceShape::kTriangle: {
      const double side = dynamic_cast<const quiltora::TriangleSource&>(object).fside;
      return {top, left, top + side * 0.8660254037844386, left + side, 0.0};
    }
    case SourceShape::kHalfTriangle: {
      const double side = dynamic_cast<const quiltora::HalfTriangleSource&>(object).fside;
      return {top, left, top + side * 1.7320508075688772, left + side, 0.0};
    }
    case SourceShape::kKite: {
      const double side = dynamic_cast<const quiltora::KiteSource&>(object).fside;
      return {top, left, top + side / 1.1547005 + 1.0, left + side * 0.75, 0.0};
    }
    case SourceShape::kRhombus: {
      const double side = dynamic_cast<const quiltora::RhombusSource&>(object).fside;
      return {top, left, top + side, left + side * 1.7320508075688772 + 1.0, 0.0};
    }
    default: return {};
  }
}

struct Settings {
  int16_t symmetry;
  int32_t feather;
  int32_t opacity = 100;
  int32_t blendMode = 1;
};

struct RunResult {
  filterhost::TileCopy tile;
  Image output;
};

class PreviewAgreement : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = new filterhost::Module;
    loaded_ = module_->Load(filterhost::ModuleBesideExecutable());
  }
  static void TearDownTestSuite() {
    delete module_;
    module_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(loaded_) << module_->error();
    saved_ = quiltora::CurrentMemorySources();
    quiltora::SetMemorySources(quiltora::MemorySources{true, nullptr, nullptr});
  }
  void TearDown() override {
    quiltora::ReleaseRunImages();
    quiltora::DestroySymmetry();
    for (quiltora::ObjectRef* ref : {&block_.sourcePaneImage, &block_.resultPaneImage, &block_.resultPaneWork})
      quiltora::ReleaseImageRef(ref);
    quiltora::SetMemorySources(saved_);
  }

  // The real module on P, the selection stored as fractions of P, the
  // offset as fractions of it too.
  RunResult Run(const Image& picture, const quiltora::SelectionFrame& frame, const Settings& settings,
                double offsetX = 0, double offsetY = 0) {
    filterhost::Host host(*module_);
    host.SetImage(picture);
    RunResult result;
    EXPECT_EQ(host.Parameters(), 0);
    ParameterBlock block{};
    std::vector<uint8_t> bytes = host.ParameterBytes();
    std::memcpy(&block, bytes.data(), sizeof block);
    block.showDialog = 0;
    block.symmetry = settings.symmetry;
    block.feather = settings.feather;
    block.opacity = settings.opacity;
    block.blendMode = settings.blendMode;
    block.sourceWidth = kWidth;
    block.sourceHeight = kHeight;
    quiltora::NormaliseFrame(frame, &block.selectionNormalised, kWidth, kHeight);
    block.tileOffsetFracX = offsetX;
    block.tileOffsetFracY = offsetY;
    std::memcpy(bytes.data(), &block, sizeof block);
    host.RestoreParameterBytes(bytes);
    host.SetBeforeFinishHook([&] { EXPECT_TRUE(filterhost::CopyModuleTile(*module_, &result.tile)); });
    EXPECT_EQ(host.Render().result, 0);
    result.output = host.image();
    return result;
  }

  // The preview of P in this program, the outline drawn on P itself. Returns
  // the frame that hands the run the preview's selection.
  quiltora::SelectionFrame Preview(const Image& picture, const Selection& s, const Settings& settings) {
    for (quiltora::ObjectRef* ref : {&block_.sourcePaneImage, &block_.resultPaneImage, &block_.resultPaneWork})
      quiltora::ReleaseImageRef(ref);
    block_ = ParameterBlock{};
    block_.symmetry = settings.symmetry;
    block_.feather = settings.feather;
    block_.opacity = settings.opacity;
    block_.blendMode = settings.blendMode;
    block_.sourcePaneImage = quiltora::RefFromImage(BufferOf(picture, false));
    block_.sourcePaneImageRect = quiltora::IntRect{0, 0, kWidth, kHeight};
    block_.resultPaneImage = quiltora::RefFromImage(BufferOf(picture, true));
    block_.resultPaneWork = quiltora::RefFromImage(BufferOf(picture, true));
    std::copy(s.vertices, s.vertices + s.count, block_.selectionVertices);
    block_.selectionVertexCount = s.count;
    EXPECT_EQ(quiltora::CreateRunImages(), 0);
    quiltora::TileSymmetry* object = quiltora::CreateSymmetry(settings.symmetry);
    EXPECT_EQ(quiltora::BuildPreviewTile(&block_), 1);
    quiltora::CompositePreview(&block_);
    return quiltora::IsHexagonal(quiltora::FindSymmetryInfo(settings.symmetry)->shape) ? ShapeFrame(*object) : s.frame;
  }

  // gTile's pixels, unpadded, in the host's sample order.
  std::vector<uint8_t> PreviewTile(int32_t channels) {
    quiltora::TileImage& tile = *quiltora::gTile;
    quiltora::ScopedPixelLock lock(&tile);
    std::vector<uint8_t> out(size_t(tile.width) * tile.height * channels);
    for (int32_t y = 0; y < tile.height; ++y)
      for (int32_t x = 0; x < tile.width; ++x)
        ToBufferOrder(lock.pixels() + size_t(y) * tile.rowBytes + size_t(x) * channels,
                      out.data() + (size_t(y) * tile.width + x) * channels, channels);
    return out;
  }

  // The result pane's work picture as a host image: top row first, host order.
  Image PreviewPicture(int32_t channels) {
    const quiltora::ImageBuffer* work = quiltora::ImageFromRef(block_.resultPaneWork);
    Image image(work->width, work->height, channels);
    for (int32_t y = 0; y < work->height; ++y)
      for (int32_t x = 0; x < work->width; ++x)
        ToBufferOrder(quiltora::ImageBufferPixel(work, x, work->height - 1 - y), image.At(x, y), channels);
    return image;
  }

  static filterhost::Module* module_;
  static bool loaded_;
  quiltora::MemorySources saved_;
  ParameterBlock block_{};
};

filterhost::Module* PreviewAgreement::module_ = nullptr;
bool PreviewAgreement::loaded_ = false;

TEST_F(PreviewAgreement, TileAndPatternMatchTheRunForEverySymmetryModeAndFeather) {
  for (int32_t channels : {1, 3, 4}) {
    const Image picture = hardening::ProbeImage(kWidth, kHeight, channels);
    for (int16_t number = 1; number <= 17; ++number) {
      for (int32_t feather : {0, 40}) {
        SCOPED_TRACE("symmetry " + std::to_string(number) + ", " + std::to_string(channels) + " channels, feather " +
                     std::to_string(feather));
        const Settings settings{number, feather};
        const Selection s = Select(number, 21, 17, 37, 31, number == 1 ? 7 : 0);
        const RunResult run = Run(picture, Preview(picture, s, settings), settings);
        const quiltora::TileImage& tile = *quiltora::gTile;
        ASSERT_EQ(tile.width, run.tile.width);
        ASSERT_EQ(tile.height, run.tile.height);
        EXPECT_EQ(tile.rowShift, run.tile.rowShift);
        EXPECT_EQ(tile.originX, run.tile.originX);
        EXPECT_EQ(tile.originY, run.tile.originY);
        EXPECT_TRUE(PreviewTile(channels) == run.tile.pixels) << "tile";
        EXPECT_TRUE(PreviewPicture(channels).pixels == run.output.pixels) << "pattern";
      }
    }
  }
}

// Opacity and blend modes agree too (the RGB preview reads its blue-green-red
// pictures with the byte-order flag); a stored offset is a drag of the
// preview's pattern by the offset the run takes from it.
TEST_F(PreviewAgreement, BlendsOpacityAndOffsetsMatchTheRun) {
  struct Case {
    int16_t number;
    int32_t opacity, blendMode;
    double offsetX, offsetY;
  };
  const Case cases[] = {{8, 60, quiltora::kBlendMultiply, 0.25, 0.5},     {1, 100, quiltora::kBlendLuminosity, 0.1, 0},
                        {13, 35, quiltora::kBlendHue, -0.3, 0.2},         {12, 80, quiltora::kBlendScreen, 0, -0.45},
                        {16, 100, quiltora::kBlendSaturation, 0.05, 0.9}, {4, 1, quiltora::kBlendColor, 0.6, 0.6}};
  for (int32_t channels : {1, 3}) {
    const Image picture = hardening::ProbeImage(kWidth, kHeight, channels);
    for (const Case& c : cases) {
      SCOPED_TRACE("symmetry " + std::to_string(c.number) + ", " + std::to_string(channels) + " channels, mode " +
                   std::to_string(c.blendMode));
      const Settings settings{c.number, 20, c.opacity, c.blendMode};
      const Selection s = Select(c.number, 25, 20, 33, 29, c.number == 1 ? -6 : 0);
      const quiltora::SelectionFrame frame = Preview(picture, s, settings);
      const RunResult run = Run(picture, frame, settings, c.offsetX, c.offsetY);
      // The run's offset: the fractions of the filter area, in whole pixels.
      quiltora::gTile->MoveOffsets(int32_t(kWidth * c.offsetX), int32_t(kHeight * c.offsetY));
      quiltora::CompositePreview(&block_);
      EXPECT_TRUE(PreviewTile(channels) == run.tile.pixels) << "tile";
      EXPECT_TRUE(PreviewPicture(channels).pixels == run.output.pixels) << "pattern";
    }
  }
}

// The CMYK preview blends inverted ink. Where the tile is whole-pixel copies
// (so that inverting the picture inverts the tile), the preview of P is the
// run on 255 − P, inverted.
TEST_F(PreviewAgreement, CmykPreviewIsTheRunOnTheInvertedPictureInverted) {
  const Image picture = hardening::ProbeImage(kWidth, kHeight, 4);
  Image inverted = picture;
  for (uint8_t& byte : inverted.pixels) byte = uint8_t(255 - byte);
  for (int16_t number : {1, 5, 8, 11}) {
    for (int32_t blendMode : {quiltora::kBlendDarken, quiltora::kBlendMultiply, quiltora::kBlendLuminosity}) {
      SCOPED_TRACE("symmetry " + std::to_string(number) + ", mode " + std::to_string(blendMode));
      const Settings settings{number, 0, 70, blendMode};
      const Selection s = Select(number, 21, 17, 37, 31, number == 1 ? 7 : 0);
      Image run = Run(inverted, Preview(picture, s, settings), settings).output;
      for (uint8_t& byte : run.pixels) byte = uint8_t(255 - byte);
      EXPECT_TRUE(PreviewPicture(4).pixels == run.pixels);
    }
  }
}

}  // namespace
