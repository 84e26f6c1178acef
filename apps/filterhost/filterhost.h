// A filter host: loads a module, owns an 8-bit image, fills a FilterRecord and
// drives the selectors in the order image editors do, serving the requested
// rectangles one call later. It checks the module's requests as a careful host
// would, and can inject faults for tests.
#pragma once

#include <cstdint>
#include <set>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "abi/plugin_api.h"
#include "host_behaviour.h"
#include "pixel_store.h"

namespace filterhost {

// An interleaved 8-bit picture: 1 (gray), 3 (RGB) or 4 (CMYK) samples per pixel.
struct Image {
  int32_t width = 0;
  int32_t height = 0;
  int32_t channels = 3;
  std::vector<uint8_t> pixels;

  Image() = default;
  Image(int32_t w, int32_t h, int32_t c) : width(w), height(h), channels(c), pixels(size_t(w) * h * c) {}
  uint8_t* At(int32_t x, int32_t y) { return pixels.data() + (size_t(y) * width + x) * channels; }
  const uint8_t* At(int32_t x, int32_t y) const { return pixels.data() + (size_t(y) * width + x) * channels; }
};

// The path of the filter module built beside the running program
// (Quiltora.8bf on Windows, Quiltora.so elsewhere).
std::string ModuleBesideExecutable();

// The image mode a host reports for a picture of that many channels.
int16_t ImageModeOf(int32_t channels);

// A loaded filter module and its ENTRYPOINT1.
class Module {
 public:
  Module() = default;
  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  bool Load(const std::string& path);  // false with error() set
  // Calls an entry point linked into this program instead of a module file:
  // for tests that answer the module's dialog themselves.
  void Attach(plugin::EntryPoint entry);
  void Unload();
  // Unloads the module and loads it again from the same file, as hosts do
  // that load it for each run.
  bool Reload();
  bool loaded() const { return entry_ != nullptr; }
  const std::string& error() const { return error_; }
  int16_t Call(int16_t selector, void* record, intptr_t* data);
  void* Symbol(const char* name) const;

 private:
  void* library_ = nullptr;
  plugin::EntryPoint entry_ = nullptr;
  std::string path_;
  std::string error_;
};

struct Faults {
  int failAllocation = 0;  // the N-th allocation through a host suite fails (0: none)
  int stopAtAbortCheck = 0;  // the N-th abort check answers "stop" (0: never)
  bool withholdBufferSuite = false;
  bool withholdHandleSuite = false;
  int failAllocationsFrom = 0;  // every allocation from the N-th on fails (0: none)
  // Bytes of guard on either side of the input and output buffers (0: none).
  // Under AddressSanitizer they are poisoned, so any touch stops the program;
  // otherwise a write into them, or into the input, is reported as a violation.
  int guardBytes = 0;
};

struct Message {
  std::string caption;
  std::string text;
};

// What one run did, for the caller to check.
struct RunReport {
  int16_t result = 0;              // the first non-zero result, or 0
  int16_t failedSelector = -1;     // the selector that returned it
  int continueCalls = 0;
  std::vector<plugin::Rect> inRects;   // every input rectangle served, in order
  std::vector<plugin::Rect> outRects;  // every output rectangle served, in order
  std::vector<std::string> violations;  // requests a careful host refuses
  std::string ioError;  // why the picture could not be read or written; the run stopped there
  bool finishCalled = false;
  // What the user saw or chose during the run: the module's message boxes,
  // and the abort checks answered "stop".
  int messagesShown = 0;
  int stopsAnswered = 0;
};

class Host {
 public:
  explicit Host(Module& module);
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // The picture the filter works on, and the filter area in it (default: all).
  void SetImage(Image image);
  Image& image() { return image_; }
  // Or a picture kept elsewhere (streamed from a file, say); the host does
  // not own the store, and image() is not used.
  void SetStore(PixelStore* store);
  void SetFilterRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // Serves requests in place where the store allows it: the module then
  // writes its output straight into the picture and reads input that no
  // output overlaps straight from it. Off by default, so that buffers are
  // exactly the size requested and overruns show.
  void SetServeInPlace(bool inPlace) { serveInPlace_ = inPlace; }

  Faults& faults() { return faults_; }
  // The behaviours of a real host this host copies (see host_behaviour.h);
  // filterRectInside takes effect at the next SetImage.
  HostBehaviour& behaviour() { return behaviour_; }
  // What the host does between two runs by its behaviour: drop or copy the
  // kept block, reload the module. False when the module cannot be loaded again.
  bool BetweenRuns();
  // Buffers from the buffer suite come filled with a pattern, so that reading
  // memory before writing it shows; a benchmark switches that off, as the
  // fill is the host's cost, not the module's.
  void SetFillFreshMemory(bool fill) { fillFreshMemory_ = fill; }
  bool fillsFreshMemory() const { return fillFreshMemory_; }
  void SetMaxSpace(int32_t maxSpace) { record_.maxSpace = maxSpace; }

  // Selector calls, as a host makes them.
  int16_t About();
  int16_t Parameters();
  // Prepare, Start, Continue until both rectangles are empty, then Finish
  // (also after a failed Continue, as Photoshop does).
  RunReport Render();
  // A run with its dialog (Parameters first) or a repeat (without it); a
  // host that calls Parameters before every run always does the former.
  RunReport Run(bool withParameters);
  int16_t Call(int16_t selector);
  // One Continue as Render makes it: the output of the previous call is
  // stored, then the module's requests are served (or, with deliver false,
  // withheld: inData and outData stay null), then Continue is called. False,
  // with the reason in report->violations, when the requests are refused.
  bool ContinueOnce(bool deliver, RunReport* report, int16_t* result);

  // The settings block the host keeps between runs.
  plugin::Handle parameters() const { return record_.parameters; }
  std::vector<uint8_t> ParameterBytes() const;
  // Replaces the kept block by a new handle holding these bytes, as hosts do
  // that copy the block or restore it from storage.
  void RestoreParameterBytes(const std::vector<uint8_t>& bytes);
  // Writes these bytes over the start of the kept block, in place, as the
  // dialog does when the user changes a setting.
  void PatchParameterBytes(const std::vector<uint8_t>& bytes);
  void DropParameters();
  // True when the kept block is a handle of this host's suite; false for none
  // or one the module made with its own handles, which only the module can free.
  bool ParametersFromHost() const;

  plugin::FilterRecord& record() { return record_; }
  const std::vector<Message>& messages() const;
  void ClearMessages();
  int allocations() const { return allocations_; }
  int liveAllocations() const { return liveAllocations_; }
  // Suite allocations the module made and has not released, not counting the
  // settings block it keeps in parameters: a finished run leaves none.
  int LeftoverRunAllocations() const;
  // Writes outside the served buffers seen since the last call (guardBytes),
  // and handles used after the module gave them back.
  const std::vector<std::string>& bufferViolations() const { return bufferViolations_; }
  void ReportViolation(std::string what) { bufferViolations_.push_back(std::move(what)); }
  // The most the module held at once through the host's suites, in bytes.
  int64_t peakSuiteBytes() const { return peakBytes_; }
  void ResetPeakSuiteBytes() { peakBytes_ = liveBytes_; }
  // Time spent inside the module's entry point.
  double moduleSeconds() const { return moduleSeconds_; }
  void ResetModuleSeconds() { moduleSeconds_ = 0; }
  int abortChecks() const { return abortChecks_; }
  int stopsAnswered() const { return stopsAnswered_; }
  int progressCalls() const { return progressCalls_; }
  int32_t lastProgressDone() const { return lastDone_; }
  int32_t lastProgressTotal() const { return lastTotal_; }

  // Hooks a front end installs; each is optional. The progress hook sees every
  // progress report; the abort hook answers each abort check (true: "stop");
  // the finish hook runs after a Continue phase that ended without error,
  // just before Finish, while the module still holds its run's objects.
  void SetProgressHook(std::function<void(int32_t done, int32_t total)> hook) { progressHook_ = std::move(hook); }
  void SetAbortHook(std::function<bool()> hook) { abortHook_ = std::move(hook); }
  void SetBeforeFinishHook(std::function<void()> hook) { beforeFinishHook_ = std::move(hook); }

  // Used by the host's callbacks.
  void TrackModuleAllocation(const void* id, bool live);
  bool CountAllocation(int64_t bytes);
  void Released(int64_t bytes) {
    --liveAllocations_;
    liveBytes_ -= bytes;
  }
  uint8_t OnAbort();
  void OnProgress(int32_t done, int32_t total);

 private:
  void FillRecord();
  void TakeBackReplacedBlock(plugin::Handle replaced);
  bool ServeRequests(RunReport* report);
  bool ServeOutput(RunReport* report);
  bool ServeInput(RunReport* report);
  // Stores the output of the last call and settles the rows above the
  // current requests; false when the store fails.
  bool StoreOutput();
  int32_t FirstRequestedRow() const;
  // Guard bytes and a host that copies every band into new memory both need
  // buffers of the host's own.
  bool InPlaceAllowed() const { return serveInPlace_ && servedGuard_ == 0 && !behaviour_.freshBandEveryCall; }
  bool CheckRequests(RunReport* report) const;
  uint8_t* PrepareBuffer(std::vector<uint8_t>* buffer, size_t bytes);
  void ReleaseGuards();
  void CheckGuards();

  Module& module_;
  Image image_;
  std::unique_ptr<FrameStore> imageStore_;
  PixelStore* store_ = nullptr;
  bool serveInPlace_ = false;
  bool servedOutInPlace_ = false;
  plugin::FilterRecord record_{};
  plugin::PlatformData platformData_{};
  plugin::BufferProcs bufferProcs_{};
  plugin::HandleProcs handleProcs_{};
  Faults faults_;
  HostBehaviour behaviour_;
  intptr_t data_ = 0;
  std::vector<uint8_t> inBuffer_;
  std::vector<uint8_t> outBuffer_;
  plugin::Rect servedOut_{};
  int16_t servedOutLo_ = 0, servedOutHi_ = -1;
  int allocations_ = 0;
  bool fillFreshMemory_ = true;
  int liveAllocations_ = 0;
  int64_t liveBytes_ = 0;
  int64_t peakBytes_ = 0;
  double moduleSeconds_ = 0;
  int abortChecks_ = 0;
  int stopsAnswered_ = 0;
  int progressCalls_ = 0;
  int32_t lastDone_ = 0, lastTotal_ = 0;
  bool inModuleCall_ = false;
  std::set<const void*> moduleAllocations_;
  std::vector<uint8_t> inSnapshot_;
  size_t inBytes_ = 0, outBytes_ = 0;
  size_t servedGuard_ = 0;
  std::vector<std::string> bufferViolations_;
  std::function<void(int32_t, int32_t)> progressHook_;
  std::function<bool()> abortHook_;
  std::function<void()> beforeFinishHook_;
};

// The finished tile, unpadded rows in the host's sample order, and where the
// pattern places it in the filter area.
struct TileCopy {
  int32_t width = 0;
  int32_t height = 0;
  int32_t channels = 0;
  int32_t rowShift = 0;
  int32_t originX = 0;
  int32_t originY = 0;
  std::vector<uint8_t> pixels;
};

// Asks the module for its tile through the optional export
//   int32_t QuiltoraCopyTile(uint8_t* buffer, int32_t bufferSize, int32_t info[6])
// which fills info with width, height, bytes per pixel, row shift, origin x
// and origin y, copies the tile into buffer when it is large enough, and
// returns the bytes the tile needs (0 when it holds none). Valid between the
// tile build and Finish. False when the module has no such export or no tile.
bool CopyModuleTile(const Module& module, TileCopy* tile);

// Filled in by message_watch.cpp: the module's message boxes, seen by the host.
void StartMessageWatch(Module& module);
void StopMessageWatch();
// Windows: whether the watcher presses the boxes' default buttons (it still
// records nothing it does not answer). Tests that answer boxes themselves
// turn it off for their run.
void SetMessageBoxAnswering(bool answer);
const std::vector<Message>& WatchedMessages();
void ClearWatchedMessages();

}  // namespace filterhost
