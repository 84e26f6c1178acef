// libFuzzer target: whole runs of the real module, through its export, from
// any settings block a host may hand back, on a small picture in any accepted
// mode. A finding is a crash, a sanitizer report, a leak, or a broken run rule
// (see CheckRunEnd), which aborts with the rule printed.
//
// Input: eight bytes of run choices, then the block (shorter input is padded
// with zeros).
//   0: image mode (value % 3: gray, RGB, CMYK); bit 2: the run opens the dialog
//      (Parameters first); bits 3-4: host suites withheld (1 buffer, 2 handle)
//   1, 2: filter area width and height, 50 + value % 41
//   3: filter area left (value % 8) and top (value / 8 % 8) in the image
//   4: the source file the block names (SourceFile); bit 3 set: the block's own
//      path bytes, but inside a folder that does not exist
//   5: below 240, the block is handed back whole; otherwise (value - 240) × 43
//      bytes, but only with the handle suite there: without it the module
//      cannot learn a handle's size and trusts it to hold a whole block
//   6: bit 0: a repeat run follows, with the block the first run left
//   7: bit 0: the block keeps the magic and version bytes of the input;
//      otherwise they are the block's own, so that its contents are read
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "abi/parameter_block.h"
#include "filterhost.h"
#include "fuzz_files.h"
#include "hardening/hardening_support.h"

namespace {

constexpr size_t kChoiceBytes = 8;
constexpr size_t kBlockBytes = sizeof(quiltora::ParameterBlock);
constexpr char kMissingFolder[] = "/nonexistent-quiltora-fuzz/";

filterhost::Module& LoadedModule() {
  static filterhost::Module* module = [] {
    auto* loaded = new filterhost::Module;
    if (!loaded->Load(filterhost::ModuleBesideExecutable())) {
      std::fprintf(stderr, "%s\n", loaded->error().c_str());
      std::abort();
    }
    return loaded;
  }();
  return *module;
}

// Points the block's source path at one of the harness's files, so that no
// input can make the module open anything else.
void ConfineSourcePath(std::vector<uint8_t>* block, uint8_t choice) {
  char* path = reinterpret_cast<char*>(block->data() + offsetof(quiltora::ParameterBlock, sourcePath));
  if (choice & 8) {
    std::memcpy(path, kMissingFolder, sizeof kMissingFolder - 1);
    return;
  }
  const std::string& file = fuzzfiles::SourceFile(choice);
  std::memset(path, 0, quiltora::kSourcePathSize);
  std::memcpy(path, file.c_str(), file.size());
}

void Expect(filterhost::Host& host, const filterhost::RunReport& report, const char* run) {
  const std::vector<std::string> broken = hardening::CheckRunEnd(host, report);
  if (broken.empty()) return;
  std::fprintf(stderr, "%s run, result %d:\n", run, report.result);
  for (const std::string& line : broken) std::fprintf(stderr, "  %s\n", line.c_str());
  std::abort();
}

}  // namespace

// Loading the module before fuzzing starts registers its coverage counters.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  LoadedModule();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint8_t choice[kChoiceBytes] = {};
  std::memcpy(choice, data, size < kChoiceBytes ? size : kChoiceBytes);
  std::vector<uint8_t> block(kBlockBytes, 0);
  if (size > kChoiceBytes) std::memcpy(block.data(), data + kChoiceBytes, std::min(size - kChoiceBytes, kBlockBytes));
  ConfineSourcePath(&block, choice[4]);
  if ((choice[7] & 1) == 0) {
    const uint32_t stamp[2] = {quiltora::kParameterMagic, quiltora::kParameterVersion};
    std::memcpy(block.data(), stamp, sizeof stamp);
  }
  // Short blocks of a host that can tell their size, an empty one among them.
  if (choice[5] >= 240 && (choice[0] & 16) == 0) block.resize(size_t(choice[5] - 240) * 43);

  static const int32_t kChannels[] = {1, 3, 4};
  const int32_t channels = kChannels[choice[0] % 3];
  const bool withDialog = (choice[0] & 4) != 0;
  const int32_t width = 50 + choice[1] % 41;
  const int32_t height = 50 + choice[2] % 41;
  const int32_t left = choice[3] % 8;
  const int32_t top = choice[3] / 8 % 8;

  filterhost::Host host(LoadedModule());
  host.ClearMessages();
  host.SetImage(hardening::ProbeImage(left + width + 3, top + height + 2, channels));
  host.SetFilterRect(left, top, left + width, top + height);
  host.faults().withholdBufferSuite = (choice[0] & 8) != 0;
  host.faults().withholdHandleSuite = (choice[0] & 16) != 0;
  host.faults().guardBytes = 64;
  host.RestoreParameterBytes(block);
  Expect(host, host.Run(withDialog), "first");
  if (choice[6] & 1) Expect(host, host.Run(false), "repeat");
  host.ClearMessages();
  return 0;
}
