// How options become the settings record: the run places the selection from
// selectionNormalised and the offset from the fractions, so those must give
// back exactly the pixels the user asked for.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "settings.h"

namespace {

using quiltora::ParameterBlock;
using quiltora_cli::ApplyOptions;
using quiltora_cli::Box;
using quiltora_cli::Options;
using quiltora_cli::RunGeometry;

// A block as Parameters leaves it for a 300 x 150 filter area.
ParameterBlock ModuleDefaults() {
  ParameterBlock block;
  std::memset(&block, 0, sizeof block);
  block.showDialog = 1;
  block.symmetry = 8;
  block.blendMode = 1;
  block.opacity = 100;
  block.sourceKind = quiltora::kSourceImage;
  block.sourceWidth = block.imageWidth = 300;
  block.sourceHeight = block.imageHeight = 150;
  block.selectionX = 125;
  block.selectionY = 50;
  block.selectionSize = 50;
  block.selectionNormalised = quiltora::SelectionFrame{50.0 / 150, 125.0 / 300, 100.0 / 150, 175.0 / 300, 0};
  return block;
}

RunGeometry Area(int32_t width, int32_t height) {
  RunGeometry geometry;
  geometry.areaWidth = width;
  geometry.areaHeight = height;
  return geometry;
}

TEST(CliSettings, WithoutOptionsOnlyTheDialogIsSwitchedOff) {
  ParameterBlock block = ModuleDefaults();
  const ParameterBlock before = block;
  std::string error;
  ASSERT_TRUE(ApplyOptions(Options{}, Area(300, 150), &block, &error)) << error;
  EXPECT_EQ(block.showDialog, 0);
  block.showDialog = before.showDialog;
  EXPECT_EQ(std::memcmp(&block, &before, sizeof block), 0);
}

TEST(CliSettings, SelectionAndShearBecomeTheFrameTheRunDenormalises) {
  ParameterBlock block = ModuleDefaults();
  Options o;
  o.symmetry = 1;
  o.select = Box{30, 20, 90, 60};
  o.shear = -15;
  std::string error;
  ASSERT_TRUE(ApplyOptions(o, Area(300, 150), &block, &error)) << error;
  EXPECT_EQ(block.symmetry, 1);
  const quiltora::SelectionFrame& f = block.selectionNormalised;
  // Multiplying back by the source size, as the run does, gives the pixels.
  EXPECT_DOUBLE_EQ(f.left * 300, 30.0);
  EXPECT_DOUBLE_EQ(f.right * 300, 120.0);
  EXPECT_DOUBLE_EQ(f.top * 150, 20.0);
  EXPECT_DOUBLE_EQ(f.bottom * 150, 80.0);
  EXPECT_DOUBLE_EQ(f.shear, -15.0 / 60);
  EXPECT_EQ(block.selectionSpan, -15);
  EXPECT_EQ(block.selectionX, 30);
  EXPECT_EQ(block.selectionRect.right, 120);
  EXPECT_EQ(block.sourceWidth, 300);
  EXPECT_EQ(block.sourceHeight, 150);
}

TEST(CliSettings, OffsetsSurviveTheRunsTruncation) {
  // The run takes trunc(fraction x area size); every offset must come back whole.
  for (int32_t size : {50, 97, 300, 1001, 32767}) {
    for (int32_t pixels = -(size - 1); pixels < size; pixels += std::max(1, size / 37)) {
      ParameterBlock block = ModuleDefaults();
      Options o;
      o.offset = quiltora_cli::Offset{pixels, -pixels};
      std::string error;
      ASSERT_TRUE(ApplyOptions(o, Area(size, size), &block, &error)) << error;
      EXPECT_EQ(int32_t(std::trunc(size * block.tileOffsetFracX)), pixels) << size;
      EXPECT_EQ(int32_t(std::trunc(size * block.tileOffsetFracY)), -pixels) << size;
      // The module throws away fractions outside [-1, 1].
      EXPECT_LE(std::fabs(block.tileOffsetFracX), 1.0);
    }
  }
}

TEST(CliSettings, AFileSourceGetsItsAreaAndASelectionInTheFilesPixels) {
  RunGeometry g = Area(200, 100);
  g.sourceFileWidth = 500;
  g.sourceFileHeight = 80;
  g.sourceFileBytesPerPixel = 3;
  Options o;
  o.sourceFile = "tiles/source.bmp";
  // Default area: centred, the filter area's size where the file allows it.
  const Box area = quiltora_cli::SourceAreaOf(o, g);
  EXPECT_EQ(area.x, 150);
  EXPECT_EQ(area.y, 0);
  EXPECT_EQ(area.width, 200);
  EXPECT_EQ(area.height, 80);

  ParameterBlock block = ModuleDefaults();
  o.select = Box{170, 10, 40, 30};
  std::string error;
  ASSERT_TRUE(ApplyOptions(o, g, &block, &error)) << error;
  EXPECT_EQ(block.sourceKind, quiltora::kSourceLoadedFile);
  EXPECT_STREQ(block.sourcePath, "tiles/source.bmp");
  EXPECT_EQ(block.sourceArea.left, 150);
  EXPECT_EQ(block.sourceArea.right, 350);
  EXPECT_EQ(block.sourceArea.bottom, 80);
  EXPECT_EQ(block.loadedSourceBytesPerPixel, 3);
  EXPECT_EQ(block.sourceSmallerThanImage, 1);
  // As the dialog commits it: in the file's own pixels, as fractions of the whole file.
  EXPECT_EQ(block.sourceWidth, 500);
  EXPECT_EQ(block.sourceHeight, 80);
  EXPECT_EQ(block.selectionX, 170);
  EXPECT_DOUBLE_EQ(block.selectionNormalised.left * 500, 170.0);
  EXPECT_DOUBLE_EQ(block.selectionNormalised.right * 500, 210.0);
  EXPECT_DOUBLE_EQ(block.selectionNormalised.bottom * 80, 40.0);

  // Without --select the module's default for a loaded source: a third of the
  // area's shorter side, centred in the area.
  block = ModuleDefaults();
  o.select.reset();
  ASSERT_TRUE(ApplyOptions(o, g, &block, &error)) << error;
  EXPECT_EQ(block.selectionSize, 26);
  EXPECT_EQ(block.selectionX, 150 + 100 - 13);
  EXPECT_EQ(block.selectionY, 40 - 13);

  // A selection in the file but outside the area is refused.
  o.select = Box{100, 10, 40, 30};
  EXPECT_FALSE(ApplyOptions(o, g, &block, &error));
  EXPECT_NE(error.find("does not lie inside the 200 x 80 source area at 150,0"), std::string::npos) << error;
}

TEST(CliSettings, SettingsThatDoNotFitThePictureAreRefused) {
  struct Case {
    const char* what;
    Options options;
    const char* reason;
  };
  Options outside;
  outside.select = Box{250, 10, 51, 20};
  Options tooLow;
  tooLow.select = Box{0, 100, 10, 51};
  Options offset;
  offset.offset = quiltora_cli::Offset{300, 0};
  Options negativeOffset;
  negativeOffset.offset = quiltora_cli::Offset{0, -150};
  Options shear;
  shear.symmetry = 1;
  shear.select = Box{0, 0, 40, 40};
  shear.shear = 40;
  Options areaOutside;
  areaOutside.sourceFile = "s.bmp";
  areaOutside.sourceArea = Box{100, 0, 101, 50};
  Options areaTooBig;
  areaTooBig.sourceFile = "s.bmp";
  areaTooBig.sourceArea = Box{0, 0, 60, 151};
  Options longPath;
  longPath.sourceFile = std::string(300, 'a') + ".bmp";
  const Case cases[] = {
      {"selection right of the source", outside, "does not lie inside the 300 x 150 source"},
      {"selection below the source", tooLow, "does not lie inside"},
      {"offset of a whole width", offset, "--offset 300,0 must stay within the 300 x 150 filter area"},
      {"offset of a whole height", negativeOffset, "must stay within"},
      {"shear as wide as the selection", shear, "--shear 40 leaves no brick"},
      {"area outside the file", areaOutside, "does not lie inside the 200 x 400 source file"},
      {"area larger than the filter area", areaTooBig, "is larger than the 300 x 150 filter area"},
      {"path longer than the record holds", longPath, "too long"},
  };
  RunGeometry g = Area(300, 150);
  g.sourceFileWidth = 200;
  g.sourceFileHeight = 400;
  g.sourceFileBytesPerPixel = 1;
  for (const Case& c : cases) {
    ParameterBlock block = ModuleDefaults();
    std::string error;
    EXPECT_FALSE(ApplyOptions(c.options, g, &block, &error)) << c.what;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
  }
}

}  // namespace
