// libFuzzer target: arbitrary selector sequences and host answers against the
// real module, through its export. The input is a program of one-byte
// operations, some followed by an argument byte:
//
//   0 About          1 Parameters       2 Prepare (between runs only)  3 Start
//   4 Continue, the requests served     5 Continue, nothing delivered
//   6 Finish         7 x: selector x (signed, mostly unknown; Continue and
//                         Prepare are made as by 5 and 2)
//   8 x: the (x % 8 + 1)-th next allocation fails
//   9 x: every allocation from the (x % 8 + 1)-th next on fails (x = 255: none)
//  10 x: the (x % 16 + 1)-th next abort check says stop
//  11 x: host suites withheld by x & 3 (1 buffer, 2 handle)
//  12 m w h: a new picture, mode m % 4 (gray, RGB, CMYK, two channels),
//            (30 + w % 61) × (30 + h % 61), between runs only
//  13 n ...: the settings block handed back: n × 3 bytes (n = 255: 688) from the
//            input, the rest zero, the source path confined; for an even n
//            (and 255) the first 8 bytes are the block's magic and version
//  14 the host drops its settings block
//     (13 and 14 between runs only, and not while the kept block is one the
//     module made with its own handles: only the module can free that)
//  15 a whole run as a host makes it (Prepare, Start, Continue..., Finish)
//
// One host serves every input, as an editor keeps one record for a document;
// each input starts on a fresh 64 × 58 RGB picture, without a settings block
// unless the module made the last one with its own handles.
// A program makes at most kMaxWholeRuns whole runs and kMaxContinues other
// Continue calls, so that each input stays quick; the rest of those are skipped.
// A run is under way from Start to Finish. Continue is served data only while
// every Start and Continue of the run has succeeded, as hosts do: requests
// left from a failed step, or from an earlier run, may not fit the picture.
// After the program the host calls Finish once more. Findings: a crash, a
// sanitizer report, a leak, a result no selector may return, 1 from a call
// that showed no message and met no stop, a request outside the picture, a
// write beside the served buffers, or host memory left after the last Finish.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "abi/parameter_block.h"
#include "filterhost.h"
#include "hardening/hardening_support.h"

namespace {

constexpr char kMissingFile[] = "/nonexistent-quiltora-fuzz/source.bmp";
constexpr int kMaxWholeRuns = 2;
constexpr int kMaxContinues = 400;  // a dialog run of the largest picture needs about 300

// The kept block's handle, aligned: the leak checker does not see the copy in
// the packed FilterRecord.
plugin::Handle gKeptBlock = nullptr;

filterhost::Host& SharedHost() {
  static filterhost::Host* host = [] {
    auto* module = new filterhost::Module;
    if (!module->Load(filterhost::ModuleBesideExecutable())) {
      std::fprintf(stderr, "%s\n", module->error().c_str());
      std::abort();
    }
    return new filterhost::Host(*module);
  }();
  return *host;
}

[[noreturn]] void Finding(const std::string& what) {
  std::fprintf(stderr, "finding: %s\n", what.c_str());
  std::abort();
}

class Program {
 public:
  Program(const uint8_t* data, size_t size) : data_(data), size_(size), host_(SharedHost()) {
    host_.ClearMessages();
    host_.faults() = filterhost::Faults{};
    host_.faults().guardBytes = 32;
    if (host_.ParametersFromHost()) host_.DropParameters();
    host_.SetImage(hardening::ProbeImage(64, 58, 3));
  }

  void Run() {
    while (at_ < size_) Step(Next());
    host_.faults() = filterhost::Faults{};
    Selector(plugin::kSelectorFinish);
    if (host_.LeftoverRunAllocations() != 0)
      Finding(std::to_string(host_.LeftoverRunAllocations()) + " host allocations left after Finish");
    for (const std::string& line : host_.bufferViolations()) Finding(line);
    host_.ClearMessages();
    gKeptBlock = host_.parameters();
  }

 private:
  bool Replaceable() const { return host_.parameters() == nullptr || host_.ParametersFromHost(); }

  uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }

  // What the user has seen or chosen so far: messages and stops.
  size_t Prompts() const { return host_.messages().size() + size_t(host_.stopsAnswered()); }

  void CheckResult(int16_t selector, int16_t result, size_t promptsBefore) {
    if (result == plugin::kStopped && Prompts() == promptsBefore)
      Finding("selector " + std::to_string(selector) + " returned 1 without a message or a stop");
    const bool known = selector >= plugin::kSelectorAbout && selector <= plugin::kSelectorFinish;
    if (hardening::DocumentedResult(result) && (known || result == plugin::kUnknownSelector)) return;
    if (!known && result == plugin::kUnknownSelector) return;
    Finding("selector " + std::to_string(selector) + " returned " + std::to_string(result));
  }

  void Selector(int16_t selector) {
    const size_t prompts = Prompts();
    const int16_t result = host_.Call(selector);
    CheckResult(selector, result, prompts);
    if (selector == plugin::kSelectorStart) {
      inRun_ = true;
      serving_ = result == 0;
    }
    if (selector == plugin::kSelectorFinish) inRun_ = serving_ = false;
  }

  void Continue(bool deliver) {
    if (++continues_ > kMaxContinues) return;
    filterhost::RunReport report;
    int16_t result = 0;
    const size_t prompts = Prompts();
    if (!host_.ContinueOnce(deliver && serving_, &report, &result)) Finding(report.violations.front());
    CheckResult(plugin::kSelectorContinue, result, prompts);
    if (result != 0) serving_ = false;
  }

  void RestoreBlock(uint8_t count) {
    // At least the magic and version: a host without a handle suite gives no
    // way to know a shorter handle's size before they are read.
    const size_t bytes = count == 255 ? sizeof(quiltora::ParameterBlock) : std::max<size_t>(size_t(count) * 3, 8);
    std::vector<uint8_t> block(bytes, 0);
    for (uint8_t& byte : block) byte = Next();
    const uint32_t stamp[2] = {quiltora::kParameterMagic, quiltora::kParameterVersion};
    // A short block is never stamped: the handle suite may be withheld by the
    // time the module reads it, and without one a handle's size cannot be known.
    if ((count % 2 == 0 || count == 255) && block.size() >= sizeof(quiltora::ParameterBlock))
      std::memcpy(block.data(), stamp, sizeof stamp);
    const size_t path = offsetof(quiltora::ParameterBlock, sourcePath);
    if (block.size() > path) {
      const size_t room = std::min(block.size() - path, sizeof kMissingFile);
      std::memcpy(block.data() + path, kMissingFile, room);
    }
    host_.RestoreParameterBytes(block);
  }

  void NewPicture() {
    static const int32_t kChannels[] = {1, 3, 4, 2};
    const int32_t channels = kChannels[Next() % 4];
    const int32_t width = 30 + Next() % 61;
    const int32_t height = 30 + Next() % 61;
    if (!inRun_) host_.SetImage(hardening::ProbeImage(width, height, channels));
  }

  void Step(uint8_t op) {
    filterhost::Faults& faults = host_.faults();
    switch (op % 16) {
      case 0: Selector(plugin::kSelectorAbout); break;
      case 1: Selector(plugin::kSelectorParameters); break;
      case 2:
        // Hosts prepare a run before they start it, never in the middle of one.
        if (!inRun_) Selector(plugin::kSelectorPrepare);
        break;
      case 3: Selector(plugin::kSelectorStart); break;
      case 4: Continue(true); break;
      case 5: Continue(false); break;
      case 6: Selector(plugin::kSelectorFinish); break;
      case 7: {
        const int16_t selector = int8_t(Next());
        if (selector == plugin::kSelectorContinue)
          Continue(false);  // hosts serve before they call it
        else if (selector != plugin::kSelectorPrepare || !inRun_)
          Selector(selector);
        break;
      }
      case 8: faults.failAllocation = host_.allocations() + 1 + Next() % 8; break;
      case 9: {
        const uint8_t x = Next();
        faults.failAllocationsFrom = x == 255 ? 0 : host_.allocations() + 1 + x % 8;
        break;
      }
      case 10: faults.stopAtAbortCheck = host_.abortChecks() + 1 + Next() % 16; break;
      case 11: {
        const uint8_t x = Next();
        faults.withholdBufferSuite = (x & 1) != 0;
        faults.withholdHandleSuite = (x & 2) != 0;
        break;
      }
      case 12: NewPicture(); break;
      case 13: {
        const uint8_t count = Next();
        if (!inRun_ && Replaceable()) RestoreBlock(count);
        break;
      }
      case 14:
        if (!inRun_ && Replaceable()) host_.DropParameters();
        break;
      default: {
        if (inRun_ || ++wholeRuns_ > kMaxWholeRuns) break;
        const filterhost::RunReport report = host_.Render();
        if (!report.violations.empty()) Finding(report.violations.front());
        if (!hardening::DocumentedResult(report.result)) Finding("run result " + std::to_string(report.result));
        if (report.result == plugin::kStopped && report.messagesShown == 0 && report.stopsAnswered == 0)
          Finding("a run ended with 1 without a message or a stop");
        break;
      }
    }
  }

  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
  filterhost::Host& host_;
  bool inRun_ = false;
  bool serving_ = false;
  int continues_ = 0;
  int wholeRuns_ = 0;
};

}  // namespace

// Loading the module before fuzzing starts registers its coverage counters.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SharedHost();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Program(data, size).Run();
  return 0;
}
