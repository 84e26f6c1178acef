// The fixture of the window tests of the real module's dialogs: the module
// loaded once per suite, an image editor's window, and a host that runs the
// module over it with a picture of 300 × 200.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>

#include "abi/parameter_block.h"
#include "dialog_driver.h"
#include "filterhost.h"
#include "ui_harness.h"

namespace dialogtest {

class DialogWindowTest : public ::testing::Test {
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
    owner_ = MakeEditorWindow();
    ASSERT_NE(owner_, nullptr);
    host_ = std::make_unique<filterhost::Host>(*module_);
    host_->behaviour().window = filterhost::HostWindow::Given;
    host_->behaviour().givenWindow = reinterpret_cast<intptr_t>(owner_);
    SetImage(300, 200, 3);
  }
  void TearDown() override {
    host_.reset();
    if (owner_ != nullptr) DestroyWindow(owner_);
    owner_ = nullptr;
    uitest::Drain();
  }
  void SetImage(int32_t width, int32_t height, int32_t channels) {
    original_ = ProbeImage(width, height, channels);
    host_->SetImage(original_);
  }
  quiltora::ParameterBlock Block() const { return KeptBlock(*host_); }
  filterhost::RunReport RunDialog(const std::function<void(quiltora::ParameterBlock*)>& settings,
                                  const std::function<void(HWND)>& script) {
    bool ran = false;
    const filterhost::RunReport report = RunWithDialog(host_.get(), settings, script, &ran);
    EXPECT_TRUE(ran) << "the dialog did not open";
    return report;
  }

  static inline filterhost::Module* module_ = nullptr;
  static inline bool loaded_ = false;
  HWND owner_ = nullptr;
  std::unique_ptr<filterhost::Host> host_;
  filterhost::Image original_;
};

}  // namespace dialogtest
