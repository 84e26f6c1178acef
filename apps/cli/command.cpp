#include "command.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

#include "abi/parameter_block.h"
#include "catalogue.h"
#include "filterhost.h"
#include "options.h"
#include "picture.h"
#include "picture_format.h"
#include "picture_stream.h"
#include "pixel_rows.h"
#include "progress.h"
#include "repeat.h"
#include "settings.h"
#include "settings_file.h"

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

// Ctrl-C is caught from the start of a run to the program's exit, so that it
// ends the run at the module's next abort check and never kills the program
// halfway through a file, nor while it exits after finishing its files. A
// program started with Ctrl-C ignored (in the background) keeps ignoring it.
void CatchInterrupts() {
  gInterrupted = 0;
  if (std::signal(SIGINT, OnInterrupt) == SIG_IGN) std::signal(SIGINT, SIG_IGN);
}

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

constexpr int32_t kLargestSide = 32767;  // the host's rectangles hold 16-bit coordinates

struct Inputs {
  std::unique_ptr<PictureReader> reader;
  ColorMode mode = ColorMode::kRGB;
  Box region;
  RunGeometry geometry;
  std::vector<uint8_t> storedSettings;  // --settings: the record the run starts from
};

bool ReadInputs(const Options& o, Inputs* in, Failure* failure) {
  std::string reason;
  in->reader = OpenPictureReader(o.input, &reason);
  if (!in->reader) {
    failure->reason = "cannot read '" + o.input + "': " + reason;
    return false;
  }
  const PictureInfo& info = in->reader->info();
  if (info.width > kLargestSide || info.height > kLargestSide) {
    failure->reason = "'" + o.input + "' is too large: at most 32767 pixels a side";
    return false;
  }
  in->mode = ResolveMode(o.mode, info.kind);
  in->region = o.region.value_or(Box{0, 0, info.width, info.height});
  const Box& r = in->region;
  if (int64_t(r.x) + r.width > info.width || int64_t(r.y) + r.height > info.height) {
    failure->status = kExitUsage;
    failure->reason = "--region lies outside the " + std::to_string(info.width) + " x " +
                      std::to_string(info.height) + " image";
    return false;
  }
  in->geometry.areaWidth = r.width;
  in->geometry.areaHeight = r.height;
  if (!o.settingsFile.empty() && !ReadSettingsFile(o.settingsFile, &in->storedSettings, &failure->reason))
    return false;
  if (o.sourceFile.empty()) return true;
  Picture header;
  if (!ProbePicture(o.sourceFile, &header, &failure->reason)) return false;
  in->geometry.sourceFileWidth = header.width;
  in->geometry.sourceFileHeight = header.height;
  in->geometry.sourceFileBytesPerPixel = header.channels <= 2 ? 1 : 3;
  return true;
}

// With --dialog the run opens the dialog, as after a host's Parameters call.
void SetDialogFlag(std::vector<uint8_t>* bytes) {
  const int32_t show = 1;
  std::memcpy(bytes->data() + offsetof(quiltora::ParameterBlock, showDialog), &show, sizeof show);
}

// Makes the settings record the way a host's repeat finds it: created by
// Parameters, then carrying the options' settings and no dialog.
// With --settings, the stored record is handed back as a host's repeat hands
// back the one it kept: no Parameters call, and the module checks it at Start.
bool PrepareSettings(const Options& o, const Inputs& in, filterhost::Host* host, Failure* failure) {
  if (!o.settingsFile.empty()) {
    std::vector<uint8_t> bytes = in.storedSettings;
    if (o.dialog) SetDialogFlag(&bytes);
    host->RestoreParameterBytes(bytes);
    return true;
  }
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
  if (o.dialog) SetDialogFlag(&bytes);
  host->RestoreParameterBytes(bytes);
  return true;
}

// A tile or repeating block as a picture at the output's resolution.
Picture TilePicture(const filterhost::Image& image, const PictureInfo& output) {
  Picture picture = FromHostImage(image, Picture{});
  picture.dpiX = output.dpiX;
  picture.dpiY = output.dpiY;
  return picture;
}

Picture TilePicture(const filterhost::TileCopy& tile, const PictureInfo& output) {
  filterhost::Image image(tile.width, tile.height, tile.channels);
  image.pixels = tile.pixels;
  return TilePicture(image, output);
}

// A file written beside its target under a hidden name, renamed into place
// by Commit and removed otherwise, so that a failed run leaves nothing.
class Temporary {
 public:
  explicit Temporary(std::string path) : path_(std::move(path)) {}
  ~Temporary() {
    if (!path_.empty()) DiscardPicture(path_);
  }
  Temporary(const Temporary&) = delete;
  Temporary& operator=(const Temporary&) = delete;
  const std::string& path() const { return path_; }
  bool Commit(const std::string& target, std::string* error) {
    const bool done = CommitPicture(path_, target, error);
    path_.clear();
    return done;
  }

 private:
  std::string path_;
};

// The output file, open for its rows before the run starts.
struct Output {
  std::unique_ptr<Temporary> file;
  std::unique_ptr<PictureWriter> writer;
  PixelKind kind = PixelKind::kRGB;
  PictureInfo info;
};

// dpi, when set, is recorded in place of the input's resolution.
bool OpenOutput(const Options& o, const Inputs& in, std::optional<double> dpi, Output* out, Failure* failure) {
  const PictureInfo& input = in.reader->info();
  std::string reason;
  if (!FormatAvailable(o.output, &reason)) {
    failure->reason = "cannot write '" + o.output + "': " + reason;
    return false;
  }
  PixelKind wanted = KindOfMode(in.mode);
  if (HasAlpha(input.kind) && wanted != PixelKind::kCMYK)
    wanted = wanted == PixelKind::kGray ? PixelKind::kGrayAlpha : PixelKind::kRGBA;
  PictureInfo info = input;
  info.kind = out->kind = WritableKind(o.output, wanted);
  if (dpi) info.dpiX = info.dpiY = *dpi;
  out->info = info;
  WriteSettings settings;
  if (o.compression) settings.compression = *o.compression;
  if (o.quality) settings.quality = *o.quality;
  out->file = std::make_unique<Temporary>(TemporaryPathFor(o.output));
  out->writer = CreatePictureWriter(out->file->path(), o.output, info, settings, &reason);
  if (out->writer) return true;
  failure->reason = "cannot write '" + o.output + "': " + reason;
  return false;
}

// One bar for reading, filtering and writing: each counts a third.
class RunProgress {
 public:
  RunProgress(ProgressBar& bar, int32_t height, const FileSource& source, std::function<int32_t()> rowsWritten)
      : bar_(bar), height_(height), source_(source), rowsWritten_(std::move(rowsWritten)) {}
  void Module(int32_t done, int32_t total) {
    moduleDone_ = done;
    moduleTotal_ = total;
    Show();
  }
  void Show() {
    const int64_t filtered = moduleTotal_ > 0 ? int64_t(moduleDone_) * height_ / moduleTotal_ : 0;
    bar_.Update(int32_t(source_.rowsReached() + rowsWritten_() + filtered), 3 * height_);
  }

 private:
  ProgressBar& bar_;
  int32_t height_;
  const FileSource& source_;
  std::function<int32_t()> rowsWritten_;
  int32_t moduleDone_ = 0, moduleTotal_ = 0;
};

// The whole picture in memory, for --in-memory: read before the run,
// written after it. Not cleared, as every byte is read into it.
struct Frame {
  std::unique_ptr<uint8_t[]> pixels;
  size_t rowBytes = 0;
};

bool ReadFrame(FileSource& source, int32_t height, Frame* frame, RunProgress& progress, Failure* failure) {
  for (int32_t y = 0; y < height; ++y) {
    if (gInterrupted) {
      *failure = kInterrupted;
      return false;
    }
    if (!source.ReadRow(y, frame->pixels.get() + size_t(y) * frame->rowBytes)) {
      failure->reason = source.error();
      return false;
    }
    progress.Show();
  }
  return true;
}

bool WriteFrame(filterhost::ImageSink& sink, int32_t height, const Frame& frame, RunProgress& progress) {
  for (int32_t y = 0; y < height; ++y) {
    if (!sink.WriteRow(y, frame.pixels.get() + size_t(y) * frame.rowBytes)) return false;
    progress.Show();
  }
  return true;
}

// Where the rows of a run go that keeps only the module's tile.
class DiscardedRows : public filterhost::ImageSink {
 public:
  bool WriteRow(int32_t, const uint8_t*) override {
    ++written_;
    return !gInterrupted;
  }
  std::string error() const override { return kInterrupted.reason; }
  int32_t rowsWritten() const { return written_; }

 private:
  int32_t written_ = 0;
};

// Why a run that the module finished still failed, or an empty string.
std::string RunFailure(const filterhost::RunReport& report, filterhost::Host& host, bool dialog) {
  if (!report.ioError.empty()) return report.ioError;
  if (dialog && report.result == 1 && host.messages().empty()) return "the dialog was cancelled; nothing written";
  if (report.result != 0)
    return RefusalOf(host.messages(), report.result, report.failedSelector <= plugin::kSelectorPrepare);
  if (!report.violations.empty()) return "the module made a request a host refuses: " + report.violations.front();
  return {};
}

// A stored record naming a source file the run could not read: the module
// took the image instead, as it does for any host, and says nothing.
void NoteLostSource(const std::vector<uint8_t>& stored, const std::vector<uint8_t>& after) {
  quiltora::ParameterBlock before{}, now{};
  if (stored.size() < sizeof before || after.size() < sizeof now) return;
  std::memcpy(&before, stored.data(), sizeof before);
  std::memcpy(&now, after.data(), sizeof now);
  if (before.sourceKind != quiltora::kSourceLoadedFile || now.sourceKind == quiltora::kSourceLoadedFile) return;
  before.sourcePath[sizeof before.sourcePath - 1] = '\0';
  std::fprintf(stderr, "quiltora: note: the source file '%s' of the settings cannot be read; the image was the source\n",
               before.sourcePath);
}

// Loads the module and runs it over the picture as a host repeats a filter:
// rows come from the input file as the module asks for them and go to the
// output as it finishes them (or, with --in-memory, all before and after).
// Without an output the filtered rows are dropped; with a tile, the module's
// tile is kept; with savedSettings, the record the run leaves.
bool RunModule(const Options& o, const Inputs& in, Output* out, filterhost::TileCopy* tile, bool* haveTile,
               Failure* failure, std::vector<uint8_t>* savedSettings = nullptr) {
  filterhost::Module module;
  const std::string modulePath = o.plugin.empty() ? filterhost::ModuleBesideExecutable() : o.plugin;
  if (!module.Load(modulePath)) {
    failure->reason = "cannot load the filter module: " + module.error();
    return false;
  }
  const PictureInfo& info = in.reader->info();
  const PixelKind hostKind = KindOfMode(in.mode);
  const int32_t channels = SamplesOf(hostKind);
  // The dialog's preview reads the picture before the run reads it again.
  const bool inMemory = o.inMemory || o.dialog;
  FileSource source(*in.reader, o.input, hostKind, inMemory);
  std::unique_ptr<FileSink> fileSink;
  DiscardedRows discarded;
  filterhost::ImageSink* sink = &discarded;
  if (out) {
    fileSink = std::make_unique<FileSink>(*out->writer, o.output, hostKind, out->kind, info.width, &source);
    fileSink->SetStopCheck([] { return gInterrupted != 0; }, kInterrupted.reason);
    sink = fileSink.get();
  }
  ProgressBar bar(!o.quiet);
  RunProgress progress(bar, info.height, source,
                       [&] { return fileSink ? fileSink->rowsWritten() : discarded.rowsWritten(); });

  Frame frame;
  std::unique_ptr<filterhost::PixelStore> store;
  if (inMemory) {
    frame.rowBytes = size_t(info.width) * channels;
    frame.pixels.reset(new uint8_t[frame.rowBytes * size_t(info.height)]);
    if (!ReadFrame(source, info.height, &frame, progress, failure)) return false;
    store = std::make_unique<filterhost::FrameStore>(frame.pixels.get(), info.width, info.height, channels,
                                                     frame.rowBytes);
  } else {
    store = std::make_unique<filterhost::StreamStore>(source, *sink, info.width, info.height, channels);
  }
  filterhost::Host host(module);
  host.SetStore(store.get());
  host.SetServeInPlace(true);
  host.SetFilterRect(in.region.x, in.region.y, in.region.x + in.region.width, in.region.y + in.region.height);
  if (!PrepareSettings(o, in, &host, failure)) return false;

  host.SetProgressHook([&progress](int32_t done, int32_t total) { progress.Module(done, total); });
  host.SetAbortHook([] { return gInterrupted != 0; });
  if (tile) host.SetBeforeFinishHook([&] { *haveTile = filterhost::CopyModuleTile(module, tile); });
  host.ClearMessages();
  const filterhost::RunReport report = host.Render();
  failure->reason = RunFailure(report, host, o.dialog);
  if (failure->reason.empty() && out && inMemory && !WriteFrame(*sink, info.height, frame, progress))
    failure->reason = sink->error();
  bar.Finish();
  if (gInterrupted) *failure = kInterrupted;
  else if (failure->reason.empty() && tile && !*haveTile)
    failure->reason = "the module did not hand out its tile (no QuiltoraCopyTile export); nothing written";
  if (!failure->reason.empty()) return false;
  if (savedSettings) *savedSettings = host.ParameterBytes();
  if (!o.quiet && !in.storedSettings.empty()) NoteLostSource(in.storedSettings, host.ParameterBytes());
  if (!o.quiet)
    for (const filterhost::Message& message : host.messages())
      std::fprintf(stderr, "quiltora: note: %s\n", OneLine(message.text).c_str());
  return true;
}

void Note(const Options& o, const std::string& text) {
  if (!o.quiet && !text.empty()) std::fprintf(stderr, "quiltora: note: %s\n", text.c_str());
}

// A drop or brick: the module's tile laid on that lattice, by the module. The
// run before the last keeps only the tile; the last writes the output.
bool RunOnLattice(const Options& o, Inputs* in, Output* out, LatticeResult* result, Failure* failure) {
  const RunGeometry geometry = in->geometry;
  const ModuleRun run = [&](const Options& options, const RunGeometry& runGeometry, bool last,
                            filterhost::TileCopy* tile) {
    in->geometry = runGeometry;
    bool haveTile = false;
    const bool done = RunModule(options, *in, last ? out : nullptr, tile, &haveTile, failure);
    in->geometry = geometry;
    return done;
  };
  return RenderOnLattice(o, geometry, run, result, &failure->reason);
}

int RunFilter(const Options& given) {
  CatchInterrupts();
  Failure failure;
  Inputs in;
  Output out;
  if (!ReadInputs(given, &in, &failure)) return Report(failure);
  Options o = given;
  std::optional<double> dpi = o.dpi;  // recorded in the files written, in place of the input's
  std::string repeatReport;
  if (o.repeat) {
    const Resolution resolution = ResolutionFor(o, in.reader->info().dpiX);
    if (!ApplyRepeat(&o, in.geometry, resolution, &repeatReport, &failure.reason)) {
      failure.status = kExitUsage;
      return Report(failure);
    }
    if (resolution.assumed && IsPhysical(*o.repeat)) {
      Note(o, "the input records no resolution: --repeat measures at 72 dpi (see --dpi)");
      dpi = resolution.dpi;
    }
  }
  const bool onLattice = o.drop || o.brick;
  filterhost::TileCopy tile;
  bool haveTile = false;
  LatticeResult lattice;
  if (!OpenOutput(o, in, dpi, &out, &failure)) return Report(failure);
  std::vector<uint8_t> settings;
  if (onLattice ? !RunOnLattice(o, &in, &out, &lattice, &failure)
                : !RunModule(o, in, &out, o.tilePath.empty() ? nullptr : &tile, &haveTile, &failure,
                             o.saveSettingsFile.empty() ? nullptr : &settings))
    return Report(failure);
  if (!out.writer->Finish())
    return Report(Failure{kExitFailed, "cannot write '" + o.output + "': " + out.writer->error()});
  out.writer.reset();
  std::string tileTemporary;
  const bool writeTile = haveTile || (onLattice && !o.tilePath.empty());
  if (writeTile) {
    const Picture picture = onLattice ? TilePicture(lattice.superTile, out.info) : TilePicture(tile, out.info);
    if (!WritePictureTemporary(o.tilePath, picture, &tileTemporary, &failure.reason)) return Report(failure);
  }
  Temporary tileFile(tileTemporary);
  std::string settingsTemporary;
  const bool writeSettings = !o.saveSettingsFile.empty();
  if (writeSettings &&
      !WriteSettingsTemporary(o.saveSettingsFile, settings, &settingsTemporary, &failure.reason))
    return Report(failure);
  Temporary settingsFile(settingsTemporary);
  if (gInterrupted) return Report(kInterrupted);
  if (!out.file->Commit(o.output, &failure.reason) || (writeTile && !tileFile.Commit(o.tilePath, &failure.reason)) ||
      (writeSettings && !settingsFile.Commit(o.saveSettingsFile, &failure.reason)))
    return Report(failure);
  Note(o, lattice.note);
  if (dpi && !KeepsResolution(o.output))
    Note(o, "'" + o.output + "' records no resolution: this build writes no resolution into that format");
  if (!o.quiet && !repeatReport.empty()) std::printf("%s\n", repeatReport.c_str());
  if (!o.quiet && haveTile)
    std::printf("tile %d x %d, origin %d,%d, row shift %d: %s\n", int(tile.width), int(tile.height),
                int(tile.originX), int(tile.originY), int(tile.rowShift), o.tilePath.c_str());
  if (!o.quiet && onLattice && !o.tilePath.empty())
    std::printf("tile %d x %d, origin %d,%d, row shift 0: %s (%s)\n", int(lattice.superTile.width),
                int(lattice.superTile.height), int(lattice.originX), int(lattice.originY), o.tilePath.c_str(),
                lattice.description.c_str());
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
