// Fault injection through the real module: for every symmetry, image mode,
// feather and source, each host-suite allocation of a run fails in turn and
// each abort check answers "stop" in turn. Every run must end with a
// documented result (1 only after a message or a stop), be finished, give
// back every host allocation, write only whole rows and nothing beside the
// host's buffers, and leave the module able to run again. Each configuration
// runs in a host with two behaviours of real hosts (host_behaviour.h),
// rotated over the configurations, so that each behaviour meets the faults.
//
// QUILTORA_FAULT_MATRIX chooses the size:
//   full (the default natively): every position of each kind; the host's
//     suites (both, either, none) and the dialog rotate over the configurations;
//   large: as full, with every suite choice with and without the dialog for
//     each configuration (eight times the runs);
//   quick (the default on Windows, where the tests run under Wine): five
//     positions of each kind, the first, the last and a spread between,
//     shifted per configuration so that together they cover most positions.
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
constexpr int kQuickSamples = 5;

enum SuiteChoice { kBothSuites, kNoBufferSuite, kNoHandleSuite, kNoSuites };

struct Config {
  int32_t symmetry;
  int32_t channels;
  bool feather;
  bool loadedSource;
  SuiteChoice suites;
  bool withDialog;
  filterhost::HostBehaviour behaviour;
};

std::string Name(const Config& c) {
  static const char* const kSuites[] = {"both suites", "no buffer suite", "no handle suite", "no suites"};
  return "symmetry " + std::to_string(c.symmetry) + ", " + std::to_string(c.channels) + " channels" +
         (c.feather ? ", feather" : "") + (c.loadedSource ? ", BMP source" : ", image source") + ", " +
         kSuites[c.suites] + (c.withDialog ? ", with dialog" : "") + ", " + filterhost::Describe(c.behaviour);
}

// Two behaviours of real hosts for a configuration, chosen by salt so that
// every one meets every kind of configuration somewhere in the matrix.
filterhost::HostBehaviour Behaviours(uint32_t salt) {
  static const std::vector<filterhost::NamedBehaviour> rows = filterhost::EachBehaviourAlone();
  const size_t n = rows.size();
  return filterhost::Combine(rows[salt % n].behaviour, rows[(salt * 7 + 3) % n].behaviour);
}

// Whether the block the matrix hands back is read: not when the host says it
// is smaller than a block (the run then starts from the defaults).
bool HandedBackBlockRead(const Config& c) {
  const int32_t answer = c.behaviour.handleSizeAnswer;
  const bool handleSuite = !c.behaviour.noHandleSuite && c.suites != kNoHandleSuite && c.suites != kNoSuites;
  return !handleSuite || answer <= 0 || answer >= int32_t(sizeof(quiltora::ParameterBlock));
}

bool MatrixIs(const char* size) {
  const char* value = std::getenv("QUILTORA_FAULT_MATRIX");
#ifdef _WIN32
  if (value == nullptr || *value == '\0') value = "quick";
#endif
  return value != nullptr && std::strcmp(value, size) == 0;
}

// Positions of each kind to try per configuration; 0: every position.
int SamplesPerKind() { return MatrixIs("quick") ? kQuickSamples : 0; }

// The host set-ups of one configuration: one, rotated by salt, or all eight.
std::vector<std::pair<SuiteChoice, bool>> HostSetups(uint32_t salt) {
  if (!MatrixIs("large")) return {{SuiteChoice(salt % 4), salt % 5 == 0}};
  std::vector<std::pair<SuiteChoice, bool>> setups;
  for (int suites = kBothSuites; suites <= kNoSuites; ++suites)
    for (bool withDialog : {false, true}) setups.push_back({SuiteChoice(suites), withDialog});
  return setups;
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

struct Injection {  // positions counted from the start of the run
  int failAllocation = 0;
  int failAllocationsFrom = 0;
  int stopAtAbortCheck = 0;
};

struct Outcome {
  RunReport report;
  int allocations = 0;
  int abortChecks = 0;
  filterhost::Image picture;  // after the run, before any follow-up
  std::vector<std::string> broken;
};

// The configuration's picture; a host that counts an alpha plane has one more.
filterhost::Image Picture(const Config& c) {
  return hardening::ProbeImage(kAreaLeft + kAreaWidth + 3, kAreaTop + kAreaHeight + 2,
                               c.channels + (c.behaviour.alphaPlane ? 1 : 0));
}

// Each row of the picture is either untouched or exactly the row a run
// without faults wrote; nothing outside the filter area changes. Returns the
// rows written.
int WholeRowsWritten(const filterhost::Image& before, const filterhost::Image& clean,
                     const filterhost::Image& after, std::vector<std::string>* broken) {
  const size_t rowBytes = size_t(after.width) * after.channels;
  int written = 0;
  for (int32_t y = 0; y < after.height; ++y) {
    const uint8_t* row = after.At(0, y);
    if (std::memcmp(row, before.At(0, y), rowBytes) == 0) continue;
    if (y >= kAreaTop && y < kAreaTop + kAreaHeight && std::memcmp(row, clean.At(0, y), rowBytes) == 0) {
      ++written;
      continue;
    }
    broken->push_back("picture row " + std::to_string(y) + " is neither untouched nor the finished row");
    break;
  }
  return written;
}

// A systematic fault breaks hundreds of runs; the first few say enough.
constexpr int kFailuresShown = 12;
int gFailedRuns = 0;

// Shared by all runs of the suite: the module, loaded once, and the BMP file.
filterhost::Module* gModule = nullptr;
std::string gModuleError;
std::string gBmpPath;

// One run as a host repeating the filter (or, withDialog, opening it) makes
// it, with the faults injected; then, with followUp, what the host does
// between runs and the same run again without faults, which must succeed.
Outcome RunWith(const Config& c, const Injection& injection, bool followUp) {
  Outcome outcome;
  Host host(*gModule);
  host.behaviour() = c.behaviour;
  host.SetImage(Picture(c));
  host.SetFilterRect(kAreaLeft, kAreaTop, kAreaLeft + kAreaWidth, kAreaTop + kAreaHeight);
  host.faults().withholdBufferSuite = c.suites == kNoBufferSuite || c.suites == kNoSuites;
  host.faults().withholdHandleSuite = c.suites == kNoHandleSuite || c.suites == kNoSuites;
  host.faults().guardBytes = kGuardBytes;
  hardening::RunSettings settings;
  settings.symmetry = c.symmetry;
  settings.feather = c.feather ? 30 : 0;
  if (c.loadedSource) {
    settings.sourcePath = gBmpPath;
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
  if (injection.failAllocationsFrom != 0)
    host.faults().failAllocationsFrom = allocationsBefore + injection.failAllocationsFrom;
  if (injection.stopAtAbortCheck != 0) host.faults().stopAtAbortCheck = checksBefore + injection.stopAtAbortCheck;
  outcome.report = host.Run(c.withDialog);
  outcome.allocations = host.allocations() - allocationsBefore;
  outcome.abortChecks = host.abortChecks() - checksBefore;
  outcome.broken = hardening::CheckRunEnd(host, outcome.report);
  outcome.picture = host.image();
  quiltora::ParameterBlock after{};
  const std::vector<uint8_t> bytes = host.ParameterBytes();
  if (bytes.size() >= sizeof after) std::memcpy(&after, bytes.data(), sizeof after);
  if (c.loadedSource && HandedBackBlockRead(c) && after.sourceKind != quiltora::kSourceLoadedFile)
    outcome.broken.push_back("the run left the BMP file for the image");
  if (!followUp) return outcome;
  if (!host.BetweenRuns()) outcome.broken.push_back("the module could not be loaded again");
  host.faults().failAllocation = host.faults().failAllocationsFrom = 0;
  host.faults().stopAtAbortCheck = 0;
  const RunReport again = host.Run(false);
  if (again.result != 0) outcome.broken.push_back("the next run ended with " + std::to_string(again.result));
  for (const std::string& line : hardening::CheckRunEnd(host, again)) outcome.broken.push_back("next run: " + line);
  return outcome;
}

class FaultMatrixTest : public ::testing::TestWithParam<int32_t> {
 protected:
  static void SetUpTestSuite() {
    gModule = new filterhost::Module;
    gModuleError = gModule->Load(filterhost::ModuleBesideExecutable()) ? "" : gModule->error();
    gBmpPath = ::testing::TempDir() + "quiltora_fault_matrix_source.bmp";
    if (!hardening::WriteProbeBmp(gBmpPath, kFileWidth, kFileHeight)) gBmpPath.clear();
  }
  static void TearDownTestSuite() {
    delete gModule;
    gModule = nullptr;
    if (!gBmpPath.empty()) std::remove(gBmpPath.c_str());
  }
  void SetUp() override {
    ASSERT_TRUE(gModuleError.empty()) << gModuleError;
    ASSERT_FALSE(gBmpPath.empty()) << "cannot write the BMP source";
  }
};

void ExpectSound(const Config& c, const std::string& fault, const Outcome& outcome) {
  if (outcome.broken.empty()) return;
  ++gFailedRuns;
  if (gFailedRuns > kFailuresShown) return;
  std::string lines;
  for (size_t i = 0; i < outcome.broken.size() && i < 4; ++i) lines += "\n  " + outcome.broken[i];
  ADD_FAILURE() << Name(c) << ", " << fault << " (result " << outcome.report.result << "):" << lines;
}

struct Tally {
  int runs = 0, allocationFaults = 0, stops = 0;
};

// The run without faults, then each fault in turn.
Tally RunConfiguration(const Config& c, int samples, uint32_t salt) {
  Tally tally;
  const filterhost::Image original = Picture(c);
  const Outcome clean = RunWith(c, Injection{}, false);
  ++tally.runs;
  Outcome cleanChecked = clean;
  if (clean.report.result != 0) cleanChecked.broken.push_back("the run without faults failed");
  if (WholeRowsWritten(original, clean.picture, clean.picture, &cleanChecked.broken) != kAreaHeight)
    cleanChecked.broken.push_back("not every row was written");
  ExpectSound(c, "no fault", cleanChecked);
  if (!cleanChecked.broken.empty()) return tally;
  const std::string ofAllocations = " of " + std::to_string(clean.allocations);
  for (int position : Positions(clean.allocations, samples, salt))
    for (bool fromThereOn : {false, true}) {
      Outcome faulty = RunWith(c, fromThereOn ? Injection{0, position, 0} : Injection{position, 0, 0}, true);
      ++tally.runs, ++tally.allocationFaults;
      WholeRowsWritten(original, clean.picture, faulty.picture, &faulty.broken);
      ExpectSound(c, (fromThereOn ? "allocations from " : "allocation ") + std::to_string(position) +
                         ofAllocations + " failed", faulty);
    }
  for (int position : Positions(clean.abortChecks, samples, salt)) {
    Outcome stopped = RunWith(c, Injection{0, 0, position}, true);
    ++tally.runs, ++tally.stops;
    const int written = WholeRowsWritten(original, clean.picture, stopped.picture, &stopped.broken);
    if (stopped.report.result != plugin::kStopped) stopped.broken.push_back("the run did not end as stopped");
    if (written >= kAreaHeight) stopped.broken.push_back("every row was written");
    ExpectSound(c, "stop at abort check " + std::to_string(position) + " of " + std::to_string(clean.abortChecks),
                stopped);
  }
  return tally;
}

TEST_P(FaultMatrixTest, EveryFaultEndsTheRunCleanly) {
  const int32_t channels = GetParam();
  const int samples = SamplesPerKind();
  int runs = 0, allocationFaults = 0, stops = 0;
  gFailedRuns = 0;
  for (int32_t symmetry = 1; symmetry <= 17; ++symmetry)
    for (bool feather : {false, true})
      for (bool loadedSource : {false, true}) {
        const uint32_t salt = uint32_t(symmetry * 7 + channels * 3 + feather * 5 + loadedSource * 11);
        uint32_t setup = 0;
        for (const auto& [suites, withDialog] : HostSetups(salt)) {
          const Config c{symmetry, channels, feather, loadedSource, suites, withDialog, Behaviours(salt + setup++)};
          const Tally tally = RunConfiguration(c, samples, salt);
          runs += tally.runs, allocationFaults += tally.allocationFaults, stops += tally.stops;
        }
      }
  std::printf("[ matrix   ] %d channels: %d runs, %d allocation failures, %d stops\n", channels, runs,
              allocationFaults, stops);
  EXPECT_EQ(gFailedRuns, 0) << "runs broken (the first " << kFailuresShown << " are shown above)";
}

INSTANTIATE_TEST_SUITE_P(ImageModes, FaultMatrixTest, ::testing::Values(1, 3, 4),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                           return info.param == 1 ? std::string("Gray")
                                                  : info.param == 3 ? std::string("RGB") : std::string("CMYK");
                         });

}  // namespace
