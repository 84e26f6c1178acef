// Host call sequences that hosts really make, outside the happy path: runs cut
// short, repeated on another picture, blocks created under memory pressure.
#include <gtest/gtest.h>

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
