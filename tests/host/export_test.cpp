// The real module, driven through its export by the host side.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "abi/parameter_block.h"
#include "filterhost.h"

namespace {

using filterhost::Host;
using filterhost::Image;
using quiltora::ParameterBlock;

const char kTooSmall[] = "Image is too small.  Try loading a different image.";

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module_.Load(filterhost::ModuleBesideExecutable())) << module_.error();
    host_ = std::make_unique<Host>(module_);
    host_->ClearMessages();
  }
  void TearDown() override { host_.reset(); }

  ParameterBlock Block() const {
    std::vector<uint8_t> bytes = host_->ParameterBytes();
    ParameterBlock block{};
    if (bytes.size() >= sizeof block) std::memcpy(&block, bytes.data(), sizeof block);
    return block;
  }

  filterhost::Module module_;
  std::unique_ptr<Host> host_;
};

Image Gradient(int32_t width, int32_t height, int32_t channels) {
  Image image(width, height, channels);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      for (int32_t c = 0; c < channels; ++c) image.At(x, y)[c] = uint8_t(x * 3 + y * 5 + c * 40);
  return image;
}

TEST_F(ExportTest, AboutAndUnknownSelectors) {
  EXPECT_EQ(host_->About(), 0);
  for (int16_t selector : {int16_t(6), int16_t(-1), int16_t(100), int16_t(-32768)})
    EXPECT_EQ(host_->Call(selector), -1) << selector;
}

TEST_F(ExportTest, FilterAreasBelowFiftyPixelsAreRefusedWithTheMessage) {
  struct Case {
    int32_t width, height;
    int16_t result;
  };
  for (const Case& c : {Case{50, 50, 0}, Case{49, 50, 1}, Case{50, 49, 1}}) {
    host_->ClearMessages();
    host_->SetImage(Gradient(c.width, c.height, 3));
    EXPECT_EQ(host_->Parameters(), c.result) << c.width << "x" << c.height;
    EXPECT_EQ(host_->Call(plugin::kSelectorPrepare), c.result);
    const auto& messages = host_->messages();
    if (c.result == 0) {
      EXPECT_TRUE(messages.empty());
    } else {
      ASSERT_EQ(messages.size(), 2u);
      EXPECT_EQ(messages[0].text, kTooSmall);
      EXPECT_EQ(messages[0].caption, "Quiltora - Error");
    }
  }
}

TEST_F(ExportTest, FirstParametersCreatesTheDefaultBlockAndLaterOnesKeepIt) {
  host_->SetImage(Gradient(300, 150, 3));
  ASSERT_EQ(host_->Parameters(), 0);
  ASSERT_EQ(host_->ParameterBytes().size(), 688u);
  ParameterBlock block = Block();
  EXPECT_EQ(block.magic, 0xF00Fu);
  EXPECT_EQ(block.version, 0x1000u);
  EXPECT_EQ(block.symmetry, 8);
  EXPECT_EQ(block.blendMode, 1);
  EXPECT_EQ(block.opacity, 100);
  EXPECT_EQ(block.sourceKind, 2);
  EXPECT_EQ(block.selectionX, 125);
  EXPECT_EQ(block.selectionY, 50);
  EXPECT_EQ(block.selectionSize, 50);
  EXPECT_EQ(block.showDialog, 1);
  EXPECT_EQ(block.liveUpdate, 1);
  EXPECT_EQ(block.imageWidth, 300);

  // A later call keeps the settings but asks for the dialog again.
  std::vector<uint8_t> bytes = host_->ParameterBytes();
  ParameterBlock edited = block;
  edited.symmetry = 5;
  edited.opacity = 40;
  edited.showDialog = 0;
  edited.previewImage = 0x1234567890ull;
  std::memcpy(bytes.data(), &edited, sizeof edited);
  host_->RestoreParameterBytes(bytes);
  ASSERT_EQ(host_->Parameters(), 0);
  block = Block();
  EXPECT_EQ(block.symmetry, 5);
  EXPECT_EQ(block.opacity, 40);
  EXPECT_EQ(block.showDialog, 1);
  EXPECT_EQ(block.previewImage, 0u);
}

TEST_F(ExportTest, WithoutAHandleSuiteTheBlockComesFromTheModulesOwnHandles) {
  host_->faults().withholdHandleSuite = true;
  host_->SetImage(Gradient(60, 60, 1));
  ASSERT_EQ(host_->Parameters(), 0);
  ASSERT_NE(host_->parameters(), nullptr);
  EXPECT_EQ(Block().magic, 0xF00Fu);
  EXPECT_EQ(host_->Render().result, 0);
}

TEST_F(ExportTest, PreviewIsReadRowByRowFromTheFilterAreaOnly) {
  struct Case {
    int32_t width, height, previewRows;
  };
  for (const Case& c : {Case{1000, 500, 96}, Case{500, 1000, 192}, Case{64, 64, 192}, Case{77, 51, 127}}) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    const int32_t left = 3, top = 5;
    host_->SetImage(Gradient(c.width + 7, c.height + 9, 3));
    host_->SetFilterRect(left, top, left + c.width, top + c.height);
    filterhost::RunReport report = host_->Run(true);
    ASSERT_EQ(report.result, 0);
    EXPECT_TRUE(report.violations.empty()) << report.violations.front();
    // Start's 10 x 10 patch, then one full-width row per preview row, then
    // the first row again as the dialog opens.
    ASSERT_GE(report.inRects.size(), size_t(c.previewRows + 2));
    EXPECT_EQ(report.inRects[0].bottom - report.inRects[0].top, 10);
    for (int32_t k = 0; k < c.previewRows; ++k) {
      const plugin::Rect& row = report.inRects[size_t(k) + 1];
      EXPECT_EQ(row.top, top + c.height * k / c.previewRows) << "preview row " << k;
      EXPECT_EQ(row.bottom, row.top + 1);
      EXPECT_EQ(row.left, left);
      EXPECT_EQ(row.right, left + c.width);
    }
    EXPECT_EQ(report.inRects[size_t(c.previewRows) + 1].top, top);
    // Then the run: one call to build the tile and one per row of the area.
    EXPECT_EQ(report.continueCalls, 1 + c.previewRows + 1 + 1 + c.height);
    EXPECT_EQ(Block().showDialog, 0);
  }
}

TEST_F(ExportTest, ForeignOrDamagedBlocksNeverCrashTheRun) {
  host_->SetImage(Gradient(80, 70, 3));
  ASSERT_EQ(host_->Parameters(), 0);
  const std::vector<uint8_t> saved = host_->ParameterBytes();

  // The same bytes after the module was unloaded and loaded again.
  host_.reset();
  module_.Unload();
  ASSERT_TRUE(module_.Load(filterhost::ModuleBesideExecutable()));
  host_ = std::make_unique<Host>(module_);
  host_->SetImage(Gradient(80, 70, 3));
  host_->RestoreParameterBytes(saved);
  EXPECT_EQ(host_->Render().result, 0);
  host_->RestoreParameterBytes(saved);
  EXPECT_EQ(host_->Run(true).result, 0);

  std::mt19937 random(1234);
  for (int trial = 0; trial < 40; ++trial) {
    std::vector<uint8_t> garbage(trial % 5 == 4 ? 100 : 688);
    for (uint8_t& byte : garbage) byte = uint8_t(random());
    host_->RestoreParameterBytes(garbage);
    filterhost::RunReport report = host_->Run(trial % 2 == 0);
    EXPECT_TRUE(report.violations.empty()) << trial << ": " << report.violations.front();
    EXPECT_TRUE(report.finishCalled || report.failedSelector == plugin::kSelectorParameters);
  }
}

TEST_F(ExportTest, UnsupportedImageModesAreRefused) {
  host_->SetImage(Gradient(60, 60, 3));
  ASSERT_EQ(host_->Parameters(), 0);
  // A two-channel picture is a multichannel image to the host.
  Image twoChannels(60, 60, 2);
  host_->SetImage(twoChannels);
  filterhost::RunReport report = host_->Render();
  EXPECT_EQ(report.result, -19);
  EXPECT_EQ(report.failedSelector, plugin::kSelectorStart);
}

}  // namespace
