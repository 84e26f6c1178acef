// Host call sequences that hosts really make, outside the happy path: runs cut
// short, repeated on another picture, blocks created under memory pressure.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "filterhost.h"
#include "hardening/hardening_support.h"

namespace {

using filterhost::Host;
using filterhost::RunReport;

class HostSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module_.Load(filterhost::ModuleBesideExecutable())) << module_.error();
    host_ = std::make_unique<Host>(module_);
    host_->faults().guardBytes = 16;
  }
  void TearDown() override { host_.reset(); }

  filterhost::Module module_;
  std::unique_ptr<Host> host_;
};

// A dialog run whose preview reading fails part way leaves showDialog set, so
// the host's next run (a repeat, without Parameters) reads the preview again,
// here of a picture of another shape: it must start a new preview, not go on
// filling the old one.
TEST_F(HostSequenceTest, PreviewReadingCutShortStartsAfreshInTheNextRun) {
  Host& host = *host_;
  host.SetImage(hardening::ProbeImage(120, 60, 3));
  ASSERT_EQ(host.Parameters(), 0);
  ASSERT_EQ(host.Call(plugin::kSelectorPrepare), 0);
  ASSERT_EQ(host.Call(plugin::kSelectorStart), 0);
  RunReport cut;
  int16_t result = 0;
  for (int call = 0; call < 40 && result == 0; ++call) ASSERT_TRUE(host.ContinueOnce(true, &cut, &result));
  ASSERT_EQ(result, 0);
  ASSERT_TRUE(host.ContinueOnce(false, &cut, &result));  // the host delivers nothing
  EXPECT_EQ(result, plugin::kMemFullErr);
  EXPECT_EQ(host.Call(plugin::kSelectorFinish), 0);

  host.SetImage(hardening::ProbeImage(60, 120, 3));
  const RunReport again = host.Render();
  EXPECT_EQ(again.result, 0);
  EXPECT_TRUE(again.violations.empty()) << again.violations.front();
  // The 10 x 10 patch, 192 preview rows of the new picture, the dialog, then the run.
  EXPECT_GE(again.continueCalls, 192 + 1);
  EXPECT_EQ(host.LeftoverRunAllocations(), 0);
}

// The first Parameters of a document creates the block through the host's
// handle suite; when that allocation fails the call ends with a documented
// result and the next one succeeds.
TEST_F(HostSequenceTest, BlockAllocationFailureInParametersIsRecoverable) {
  Host& host = *host_;
  host.SetImage(hardening::ProbeImage(64, 58, 4));
  host.faults().failAllocation = host.allocations() + 1;
  EXPECT_TRUE(hardening::DocumentedResult(host.Parameters()));
  EXPECT_EQ(host.LeftoverRunAllocations(), 0);
  host.faults().failAllocation = 0;
  const RunReport report = host.Run(true);
  EXPECT_EQ(report.result, 0);
  EXPECT_TRUE(hardening::CheckRunEnd(host, report).empty());
}

}  // namespace

// A stored selection that is not a finite number (a damaged or foreign block)
// is the middle ninth of the source, as for a block of another picture.
TEST_F(HostSequenceTest, StoredSelectionOutOfAnyRangeRunsWithTheMiddleNinth) {
  const quiltora::SelectionFrame kMiddleNinth{1.0 / 3, 1.0 / 3, 2.0 / 3, 2.0 / 3, 0.0};
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* name;
    quiltora::SelectionFrame frame;
  };
  const Case cases[] = {
      {"not a number", {1e103, 1e103, 1e103, nan, nan}},
      {"infinite", {-std::numeric_limits<double>::infinity(), 0.2, 0.5, 0.6, 0.0}},
  };
  for (int32_t symmetry : {3, 8, 13}) {
    auto run = [&](const quiltora::SelectionFrame& frame) {
      Host host(module_);
      host.SetImage(hardening::ProbeImage(70, 66, 3));
      hardening::RunSettings settings;
      settings.symmetry = symmetry;
      std::vector<uint8_t> bytes = hardening::RepeatRunBlock(host, settings);
      EXPECT_FALSE(bytes.empty());
      quiltora::ParameterBlock block{};
      std::memcpy(&block, bytes.data(), sizeof block);
      block.selectionNormalised = frame;
      std::memcpy(bytes.data(), &block, sizeof block);
      host.RestoreParameterBytes(bytes);
      const RunReport report = host.Render();
      EXPECT_EQ(report.result, 0);
      EXPECT_TRUE(hardening::CheckRunEnd(host, report).empty());
      return host.image().pixels;
    };
    const std::vector<uint8_t> expected = run(kMiddleNinth);
    for (const Case& c : cases)
      EXPECT_TRUE(run(c.frame) == expected) << "symmetry " << symmetry << ", " << c.name << ": another pattern";
  }
}
