// The dialog step of a run, through the export linked into this program, with
// runners in place of the dialog that do what a user does in it: Cancel ends
// the run with result 1 and the host calls Finish; a runner that edits the
// settings (with live previews, as the dialog shows them) and answers OK gives
// the run exactly those settings, as a repeat of the filter with them does.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "abi/parameter_block.h"
#include "composite/tile_image.h"
#include "filterhost.h"
#include "hardening/hardening_support.h"
#include "host/dispatch.h"
#include "host/main_dialog.h"
#include "host/parameters.h"
#include "host/run.h"
#include "host/run_state.h"
#include "image/image_buffer.h"
#include "image/memory_block.h"
#include "render/preview.h"
#include "symmetry/frame.h"
#include "symmetry/outline.h"
#include "symmetry/tile_symmetry.h"

namespace {

using filterhost::Image;
using quiltora::ParameterBlock;

// What the dialog does while it is open: it creates the module's working
// objects, shows the previews of the reduced picture (the source pane shows
// it as it is, the result pane bottom row first), and releases everything
// when it closes.
class OpenDialog {
 public:
  explicit OpenDialog(ParameterBlock* block) : block_(block) {
    EXPECT_EQ(quiltora::CreateRunImages(), 0);
    EXPECT_NE(quiltora::CreateSymmetry(int16_t(block->symmetry)), nullptr);
    const quiltora::ImageBuffer* preview = quiltora::ImageFromRef(block->previewImage);
    EXPECT_NE(preview, nullptr);
    if (preview == nullptr) return;
    block->sourcePaneImage = quiltora::RefFromImage(quiltora::ImageBufferDuplicate(preview));
    block->sourcePaneImageRect = quiltora::IntRect{0, 0, preview->width, preview->height};
    quiltora::ImageBuffer* result = quiltora::ImageBufferDuplicate(preview);
    for (int32_t y = 0; y < preview->height; ++y)
      std::memcpy(quiltora::ImageBufferPixel(result, 0, preview->height - 1 - y),
                  quiltora::ImageBufferPixel(preview, 0, y), size_t(preview->rowBytes));
    block->resultPaneImage = quiltora::RefFromImage(result);
    block->resultPaneWork = quiltora::RefFromImage(quiltora::ImageBufferDuplicate(result));
  }
  ~OpenDialog() {
    for (quiltora::ObjectRef* ref : {&block_->sourcePaneImage, &block_->resultPaneImage, &block_->resultPaneWork})
      quiltora::ReleaseImageRef(ref);
    quiltora::ReleaseRunObjects();
  }
  // The stored selection drawn on the pane, then both previews.
  void Refresh() {
    const quiltora::IntRect& pane = block_->sourcePaneImageRect;
    quiltora::SelectionFrame frame{};
    quiltora::DenormaliseFrame(block_->selectionNormalised, &frame, pane.right, pane.bottom);
    quiltora::BuildSelectionOutline(block_->symmetry, int32_t(frame.left), int32_t(frame.top),
                                    int32_t(frame.right - frame.left), int32_t(frame.bottom - frame.top), 0,
                                    block_->selectionVertices, block_->selectionHandles, &block_->selectionVertexCount,
                                    pane);
    EXPECT_EQ(quiltora::BuildPreviewTile(block_), 1);
    quiltora::CompositePreview(block_);
  }

 private:
  ParameterBlock* block_;
};

// The user's changes: another symmetry, a feather, half the opacity in
// Multiply, the selection moved and the pattern dragged.
void Edit(ParameterBlock* block) {
  block->symmetry = 13;
  block->feather = 30;
  block->opacity = 50;
  block->blendMode = quiltora::kBlendMultiply;
  block->selectionNormalised = quiltora::SelectionFrame{0.2, 0.3, 0.6, 0.55, 0.0};
  block->tileOffsetFracX = 0.125;
  block->tileOffsetFracY = 0.25;
}

class DialogRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = quiltora::CurrentMemorySources();
    module_.Attach(quiltora::EntryPoint);
    host_ = std::make_unique<filterhost::Host>(module_);
    host_->SetImage(hardening::ProbeImage(90, 70, 3));
  }
  void TearDown() override {
    quiltora::SetMainDialogRunner({});
    host_.reset();
    quiltora::gFilterRecord = nullptr;
    quiltora::SetMemorySources(saved_);
  }
  ParameterBlock Block() const {
    ParameterBlock block{};
    std::memcpy(&block, host_->ParameterBytes().data(), sizeof block);
    return block;
  }

  quiltora::MemorySources saved_;
  filterhost::Module module_;
  std::unique_ptr<filterhost::Host> host_;
};

TEST_F(DialogRunnerTest, CancelEndsTheRunWithOneAndFinishKeepsNoPattern) {
  int calls = 0;
  quiltora::SetMainDialogRunner([&](plugin::FilterRecord* record) -> int16_t {
    ++calls;
    ParameterBlock* block = quiltora::LockParameters(record);
    // The whole reduced picture has been read before the dialog opens.
    const quiltora::ImageBuffer* preview = quiltora::ImageFromRef(block->previewImage);
    EXPECT_NE(preview, nullptr);
    if (preview != nullptr) {
      EXPECT_EQ(preview->width, 192);
      EXPECT_EQ(preview->height, 149);
    }
    OpenDialog dialog(block);
    dialog.Refresh();
    Edit(block);  // written into the record at once, as the dialog does
    dialog.Refresh();
    return 1;
  });
  const Image before = host_->image();
  const filterhost::RunReport report = host_->Run(true);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(report.result, 1);
  EXPECT_EQ(report.failedSelector, plugin::kSelectorContinue);
  EXPECT_TRUE(report.finishCalled);
  EXPECT_TRUE(report.violations.empty());
  EXPECT_TRUE(host_->image().pixels == before.pixels);
  EXPECT_EQ(host_->LeftoverRunAllocations(), 0);
  // No tile was left for Finish: the offset stays as the dialog left it, and
  // the next repeat of the filter opens the dialog again.
  const ParameterBlock block = Block();
  EXPECT_EQ(block.showDialog, 1);
  EXPECT_EQ(block.tileOffsetFracX, 0.125);
  EXPECT_EQ(block.tileOffsetX, 0);
  EXPECT_EQ(host_->Run(false).result, 1);
  EXPECT_EQ(calls, 2);
}

TEST_F(DialogRunnerTest, OkAfterEditsRunsWithTheEditedSettingsAsARepeatDoes) {
  std::vector<uint8_t> edited;
  quiltora::SetMainDialogRunner([&](plugin::FilterRecord* record) -> int16_t {
    ParameterBlock* block = quiltora::LockParameters(record);
    {
      OpenDialog dialog(block);
      dialog.Refresh();
      Edit(block);
      dialog.Refresh();
    }
    edited.assign(reinterpret_cast<const uint8_t*>(block), reinterpret_cast<const uint8_t*>(block + 1));
    return 0;
  });
  const Image original = host_->image();
  const filterhost::RunReport report = host_->Run(true);
  EXPECT_EQ(report.result, 0);
  EXPECT_TRUE(report.violations.empty());
  EXPECT_EQ(host_->LeftoverRunAllocations(), 0);
  const ParameterBlock after = Block();
  EXPECT_EQ(after.showDialog, 0);
  EXPECT_EQ(after.opacity, 50);
  EXPECT_EQ(after.blendMode, quiltora::kBlendMultiply);
  EXPECT_EQ(after.tileOffsetX, int32_t(90 * 0.125));

  // The same picture, repeated with the settings the dialog left.
  ASSERT_EQ(edited.size(), sizeof(ParameterBlock));
  quiltora::SetMainDialogRunner([](plugin::FilterRecord*) -> int16_t {
    ADD_FAILURE() << "a repeat shows no dialog";
    return 1;
  });
  filterhost::Host repeat(module_);
  repeat.SetImage(original);
  ASSERT_EQ(repeat.Parameters(), 0);
  ParameterBlock block{};
  std::memcpy(&block, edited.data(), sizeof block);
  block.showDialog = 0;
  block.previewImage = block.loadedSource = 0;
  std::vector<uint8_t> bytes(reinterpret_cast<const uint8_t*>(&block), reinterpret_cast<const uint8_t*>(&block + 1));
  repeat.RestoreParameterBytes(bytes);
  EXPECT_EQ(repeat.Render().result, 0);
  EXPECT_TRUE(repeat.image().pixels == host_->image().pixels);
  EXPECT_FALSE(repeat.image().pixels == original.pixels);
}

}  // namespace
