#include "command.h"

#include <csignal>
#include <cstdio>
#include <cstring>

#include "abi/parameter_block.h"
#include "catalogue.h"
#include "filterhost.h"
#include "options.h"
#include "picture.h"
#include "progress.h"
#include "settings.h"

#ifndef QUILTORA_VERSION
#define QUILTORA_VERSION "unknown"
#endif

namespace quiltora_cli {
namespace {

// Why a run failed, for one line that says "quiltora: <reason>".
struct Failure {
  int status = kExitFailed;
  std::string reason;
};

volatile std::sig_atomic_t gInterrupted = 0;

void OnInterrupt(int) { gInterrupted = 1; }

// Ctrl-C is caught for the whole run, so that it ends the run at the module's
// next abort check and never kills the program halfway through a file. A
// program started with Ctrl-C ignored (in the background) keeps ignoring it.
class InterruptGuard {
 public:
  InterruptGuard() : previous_(std::signal(SIGINT, OnInterrupt)) {
    gInterrupted = 0;
    if (previous_ == SIG_IGN) std::signal(SIGINT, SIG_IGN);
  }
  ~InterruptGuard() { std::signal(SIGINT, previous_); }
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

 private:
  void (*previous_)(int);
};

const Failure kInterrupted{kExitInterrupted, "interrupted; nothing written"};

int Report(const Failure& failure) {
  std::fprintf(stderr, "quiltora: %s\n", failure.reason.c_str());
  return failure.status;
}

// A message box's text on one line.
std::string OneLine(std::string text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    out += c == '\n' ? ' ' : c;
  }
  return out;
}

// The module's own words when it showed any, else what its result code means.
// A host that cannot read the module's message boxes (a Windows build under a
// headless Wine) gets only the code.
std::string RefusalOf(const std::vector<filterhost::Message>& messages, int16_t result, bool beforeRun) {
  if (!messages.empty()) return OneLine(messages.front().text);
  switch (result) {
    case 1: return beforeRun ? "the module refused the image" : "the module stopped the run";
    case -19: return "the module does not take this image mode";
    case -108: return "the module ran out of memory";
    default: return "the module failed with result " + std::to_string(result);
  }
}

struct Inputs {
  Picture picture;
  ColorMode mode = ColorMode::kRGB;
  Box region;
  RunGeometry geometry;
};

bool ReadInputs(const Options& o, Inputs* in, Failure* failure) {
  if (!LoadPicture(o.input, &in->picture, &failure->reason)) return false;
  const Picture& picture = in->picture;
  in->mode = ResolveMode(o.mode, picture);
  in->region = o.region.value_or(Box{0, 0, picture.width, picture.height});
  const Box& r = in->region;
  if (int64_t(r.x) + r.width > picture.width || int64_t(r.y) + r.height > picture.height) {
    failure->status = kExitUsage;
    failure->reason = "--region lies outside the " + std::to_string(picture.width) + " x " +
                      std::to_string(picture.height) + " image";
    return false;
  }
  in->geometry.areaWidth = r.width;
  in->geometry.areaHeight = r.height;
  if (o.sourceFile.empty()) return true;
  Picture header;
  if (!ProbePicture(o.sourceFile, &header, &failure->reason)) return false;
  in->geometry.sourceFileWidth = header.width;
  in->geometry.sourceFileHeight = header.height;
  in->geometry.sourceFileBytesPerPixel = header.channels == 1 ? 1 : 3;
  return true;
}

// Makes the settings record the way a host's repeat finds it: created by
// Parameters, then carrying the options' settings and no dialog.
bool PrepareSettings(const Options& o, const Inputs& in, filterhost::Host* host, Failure* failure) {
  host->ClearMessages();
  const int16_t result = host->Parameters();
  if (result != 0) {
    failure->reason = RefusalOf(host->messages(), result, true);
    return false;
  }
  std::vector<uint8_t> bytes = host->ParameterBytes();
  quiltora::ParameterBlock block{};
  if (bytes.size() < sizeof block) {
    failure->reason = "the module kept no settings record";
    return false;
  }
  std::memcpy(&block, bytes.data(), sizeof block);
  if (!ApplyOptions(o, in.geometry, &block, &failure->reason)) {
    failure->status = kExitUsage;
    return false;
  }
  std::memcpy(bytes.data(), &block, sizeof block);
  host->RestoreParameterBytes(bytes);
  return true;
}

Picture TilePicture(const filterhost::TileCopy& tile) {
  filterhost::Image image(tile.width, tile.height, tile.channels);
  image.pixels = tile.pixels;
  return FromHostImage(image, Picture{});
}

// Writes every file beside its target first, then renames them all, so that a
// failure leaves no output behind.
bool WriteOutputs(const std::vector<std::pair<std::string, Picture>>& files, Failure* failure) {
  std::vector<std::string> temporaries;
  for (const auto& [path, picture] : files) {
    std::string temporary;
    if (!WritePictureTemporary(path, picture, &temporary, &failure->reason)) {
      for (const std::string& done : temporaries) DiscardPicture(done);
      return false;
    }
    temporaries.push_back(temporary);
  }
  if (gInterrupted) {
    for (const std::string& temporary : temporaries) DiscardPicture(temporary);
    *failure = kInterrupted;
    return false;
  }
  for (size_t i = 0; i < files.size(); ++i) {
    if (!CommitPicture(temporaries[i], files[i].first, &failure->reason)) {
      for (size_t j = i + 1; j < files.size(); ++j) DiscardPicture(temporaries[j]);
      return false;
    }
  }
  return true;
}

// What a run hands back: the filtered image, and the tile when it was asked for.
struct Rendered {
  filterhost::Image image;
  filterhost::TileCopy tile;
  bool haveTile = false;
};

// Loads the module and runs it once over the image, as a host repeats a filter.
bool RunModule(const Options& o, const Inputs& in, Rendered* rendered, Failure* failure) {
  filterhost::Module module;
  const std::string modulePath = o.plugin.empty() ? filterhost::ModuleBesideExecutable() : o.plugin;
  if (!module.Load(modulePath)) {
    failure->reason = "cannot load the filter module: " + module.error();
    return false;
  }
  filterhost::Host host(module);
  host.SetImage(ToHostImage(in.picture, in.mode));
  host.SetFilterRect(in.region.x, in.region.y, in.region.x + in.region.width, in.region.y + in.region.height);
  if (!PrepareSettings(o, in, &host, failure)) return false;

  ProgressBar bar(!o.quiet);
  host.SetProgressHook([&bar](int32_t done, int32_t total) { bar.Update(done, total); });
  host.SetAbortHook([] { return gInterrupted != 0; });
  if (!o.tilePath.empty())
    host.SetBeforeFinishHook([&] { rendered->haveTile = filterhost::CopyModuleTile(module, &rendered->tile); });
  host.ClearMessages();
  const filterhost::RunReport report = host.Render();
  bar.Finish();

  if (gInterrupted) *failure = kInterrupted;
  else if (report.result != 0)
    failure->reason = RefusalOf(host.messages(), report.result, report.failedSelector <= plugin::kSelectorPrepare);
  else if (!report.violations.empty())
    failure->reason = "the module made a request a host refuses: " + report.violations.front();
  else if (!o.tilePath.empty() && !rendered->haveTile)
    failure->reason = "the module did not hand out its tile (no QuiltoraCopyTile export); nothing written";
  if (!failure->reason.empty()) return false;
  if (!o.quiet)
    for (const filterhost::Message& message : host.messages())
      std::fprintf(stderr, "quiltora: note: %s\n", OneLine(message.text).c_str());
  rendered->image = std::move(host.image());
  return true;
}

int RunFilter(const Options& o) {
  InterruptGuard interruptGuard;
  Failure failure;
  Inputs in;
  Rendered rendered;
  if (!ReadInputs(o, &in, &failure) || !RunModule(o, in, &rendered, &failure)) return Report(failure);
  std::vector<std::pair<std::string, Picture>> files;
  files.emplace_back(o.output, FromHostImage(rendered.image, in.picture));
  const filterhost::TileCopy& tile = rendered.tile;
  if (rendered.haveTile) files.emplace_back(o.tilePath, TilePicture(tile));
  if (!WriteOutputs(files, &failure)) return Report(failure);
  if (!o.quiet && rendered.haveTile)
    std::printf("tile %d x %d, origin %d,%d, row shift %d: %s\n", int(tile.width), int(tile.height),
                int(tile.originX), int(tile.originY), int(tile.rowShift), o.tilePath.c_str());
  return kExitOk;
}

}  // namespace

int RunCommand(const std::vector<std::string>& args) {
  const ParseResult parsed = ParseCommandLine(args);
  if (!parsed.ok) return Report(Failure{kExitUsage, parsed.error});
  const Options& o = parsed.options;
  if (o.help) {
    std::fputs(UsageText().c_str(), stdout);
    return kExitOk;
  }
  if (o.version) {
    std::printf("quiltora %s\n", QUILTORA_VERSION);
    return kExitOk;
  }
  if (o.list) {
    std::fputs(SymmetryListing().c_str(), stdout);
    return kExitOk;
  }
  return RunFilter(o);
}

}  // namespace quiltora_cli
