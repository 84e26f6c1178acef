// Fault injection through the real module: for every symmetry, image mode,
// feather and source, each host-suite allocation of a run fails in turn and
// each abort check answers "stop" in turn. Every run must end with a
// documented result, be finished, give back every host allocation, write only
// whole rows and nothing beside the host's buffers, and leave the module able
// to run again.
//
// By default a few positions of each kind are tried per configuration (the
// first, the last and some spread between them, shifted per configuration so
// that together they cover most positions); QUILTORA_FAULT_SAMPLES=all tries
// every one, QUILTORA_FAULT_SAMPLES=N tries N.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "filterhost.h"
#include "hardening/hardening_support.h"

namespace {

using filterhost::Host;
using filterhost::RunReport;

constexpr int32_t kAreaWidth = 57;
constexpr int32_t kAreaHeight = 53;
constexpr int32_t kAreaLeft = 2;
constexpr int32_t kAreaTop = 3;
constexpr int32_t kFileWidth = 41;
constexpr int32_t kFileHeight = 37;
constexpr int kGuardBytes = 64;
constexpr int kDefaultSamples = 5;

enum SuiteChoice { kBothSuites, kNoBufferSuite, kNoHandleSuite, kNoSuites };

struct Config {
  int32_t symmetry;
  int32_t channels;
  bool feather;
  bool loadedSource;
  SuiteChoice suites;
  bool withDialog;
};

std::string Name(const Config& c) {
  static const char* const kSuites[] = {"both suites", "no buffer suite", "no handle suite", "no suites"};
  return "symmetry " + std::to_string(c.symmetry) + ", " + std::to_string(c.channels) + " channels" +
         (c.feather ? ", feather" : "") + (c.loadedSource ? ", BMP source" : ", image source") + ", " +
         kSuites[c.suites] + (c.withDialog ? ", with dialog" : "");
}

// 0: every position.
int SamplesPerKind() {
  const char* value = std::getenv("QUILTORA_FAULT_SAMPLES");
  if (value == nullptr || *value == '\0') return kDefaultSamples;
  if (std::strcmp(value, "all") == 0) return 0;
  const int samples = std::atoi(value);
  return samples > 0 ? samples : kDefaultSamples;
}

// Positions 1..count to try: all of them, or the first, the last and an even
// spread between, shifted by salt.
std::set<int> Positions(int count, int samples, uint32_t salt) {
  std::set<int> positions;
  if (count <= 0) return positions;
  if (samples == 0 || count <= samples) {
    for (int i = 1; i <= count; ++i) positions.insert(i);
    return positions;
  }
  positions.insert(1);
  positions.insert(count);
  for (int k = 0; k < samples - 2; ++k)
    positions.insert(1 + int((salt + uint32_t(k) * uint32_t(count) / uint32_t(samples - 2)) % uint32_t(count)));
  return positions;
}

struct Injection {
  int failAllocation = 0;    // counted from the start of the run
  int stopAtAbortCheck = 0;  // counted from the start of the run
};

struct Outcome {
  RunReport report;
  int allocations = 0;
  int abortChecks = 0;
  std::vector<std::string> broken;
};

class FaultMatrixTest : public ::testing::TestWithParam<int32_t> {
 protected:
  static void SetUpTestSuite() {
    module_ = new filterhost::Module;
    moduleError_ = module_->Load(filterhost::ModuleBesideExecutable()) ? "" : module_->error();
    bmpPath_ = ::testing::TempDir() + "quiltora_fault_matrix_source.bmp";
    if (!hardening::WriteProbeBmp(bmpPath_, kFileWidth, kFileHeight)) bmpPath_.clear();
  }
  static void TearDownTestSuite() {
    delete module_;
    module_ = nullptr;
    if (!bmpPath_.empty()) std::remove(bmpPath_.c_str());
  }
  void SetUp() override {
    ASSERT_TRUE(moduleError_.empty()) << moduleError_;
    ASSERT_FALSE(bmpPath_.empty()) << "cannot write the BMP source";
  }

  // One run as a host repeating the filter (or, withDialog, opening it) makes
  // it, with the faults injected; then, with followUp, the same run again
  // without faults, which must succeed.
  static Outcome RunWith(const Config& c, const Injection& injection, bool followUp) {
    Outcome outcome;
    Host host(*module_);
    host.SetImage(hardening::ProbeImage(kAreaLeft + kAreaWidth + 3, kAreaTop + kAreaHeight + 2, c.channels));
    host.SetFilterRect(kAreaLeft, kAreaTop, kAreaLeft + kAreaWidth, kAreaTop + kAreaHeight);
    host.faults().withholdBufferSuite = c.suites == kNoBufferSuite || c.suites == kNoSuites;
    host.faults().withholdHandleSuite = c.suites == kNoHandleSuite || c.suites == kNoSuites;
    host.faults().guardBytes = kGuardBytes;
    hardening::RunSettings settings;
    settings.symmetry = c.symmetry;
    settings.feather = c.feather ? 30 : 0;
    if (c.loadedSource) {
      settings.sourcePath = bmpPath_;
      settings.sourceArea = quiltora::IntRect{3, 2, kFileWidth - 1, kFileHeight - 4};
    }
    const std::vector<uint8_t> block = hardening::RepeatRunBlock(host, settings);
    if (block.empty()) {
      outcome.broken.push_back("Parameters failed without faults");
      return outcome;
    }
    host.RestoreParameterBytes(block);
    const int allocationsBefore = host.allocations();
    const int checksBefore = host.abortChecks();
    if (injection.failAllocation != 0) host.faults().failAllocation = allocationsBefore + injection.failAllocation;
    if (injection.stopAtAbortCheck != 0) host.faults().stopAtAbortCheck = checksBefore + injection.stopAtAbortCheck;
    outcome.report = host.Run(c.withDialog);
    outcome.allocations = host.allocations() - allocationsBefore;
    outcome.abortChecks = host.abortChecks() - checksBefore;
    outcome.broken = hardening::CheckRunEnd(host, outcome.report);
    if (!followUp) return outcome;
    host.faults().failAllocation = 0;
    host.faults().stopAtAbortCheck = 0;
    const RunReport again = host.Run(false);
    if (again.result != 0) outcome.broken.push_back("the next run ended with " + std::to_string(again.result));
    for (const std::string& line : hardening::CheckRunEnd(host, again)) outcome.broken.push_back("next run: " + line);
    return outcome;
  }

  static filterhost::Module* module_;
  static std::string moduleError_;
  static std::string bmpPath_;
};

filterhost::Module* FaultMatrixTest::module_ = nullptr;
std::string FaultMatrixTest::moduleError_;
std::string FaultMatrixTest::bmpPath_;

void ExpectSound(const Config& c, const std::string& fault, const Outcome& outcome) {
  if (outcome.broken.empty()) return;
  std::string lines;
  for (size_t i = 0; i < outcome.broken.size() && i < 4; ++i) lines += "\n  " + outcome.broken[i];
  ADD_FAILURE() << Name(c) << ", " << fault << " (result " << outcome.report.result << "):" << lines;
}

TEST_P(FaultMatrixTest, EveryFaultEndsTheRunCleanly) {
  const int32_t channels = GetParam();
  const int samples = SamplesPerKind();
  int runs = 0, allocationFaults = 0, stops = 0;
  for (int32_t symmetry = 1; symmetry <= 17; ++symmetry)
    for (bool feather : {false, true})
      for (bool loadedSource : {false, true}) {
        const uint32_t salt = uint32_t(symmetry * 7 + channels * 3 + feather * 5 + loadedSource * 11);
        const Config c{symmetry, channels, feather, loadedSource, SuiteChoice(salt % 4), salt % 5 == 0};
        const Outcome clean = RunWith(c, Injection{}, false);
        ++runs;
        ExpectSound(c, "no fault", clean);
        if (clean.report.result != 0) {
          ADD_FAILURE() << Name(c) << ": the run without faults ended with " << clean.report.result;
          continue;
        }
        for (int position : Positions(clean.allocations, samples, salt)) {
          const Outcome faulty = RunWith(c, Injection{position, 0}, true);
          ++runs, ++allocationFaults;
          ExpectSound(c, "allocation " + std::to_string(position) + " of " + std::to_string(clean.allocations) +
                             " failed", faulty);
        }
        for (int position : Positions(clean.abortChecks, samples, salt)) {
          const Outcome stopped = RunWith(c, Injection{0, position}, true);
          ++runs, ++stops;
          const std::string fault =
              "stop at abort check " + std::to_string(position) + " of " + std::to_string(clean.abortChecks);
          ExpectSound(c, fault, stopped);
          EXPECT_EQ(stopped.report.result, plugin::kStopped) << Name(c) << ", " << fault;
          EXPECT_LT(stopped.report.outRects.size(), clean.report.outRects.size()) << Name(c) << ", " << fault;
        }
      }
  std::printf("[ matrix   ] %d channels: %d runs, %d allocation failures, %d stops\n", channels, runs,
              allocationFaults, stops);
}

INSTANTIATE_TEST_SUITE_P(ImageModes, FaultMatrixTest, ::testing::Values(1, 3, 4),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                           return info.param == 1 ? std::string("Gray")
                                                  : info.param == 3 ? std::string("RGB") : std::string("CMYK");
                         });

}  // namespace
