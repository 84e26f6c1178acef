#include "filterhost.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>

#if defined(__SANITIZE_ADDRESS__)
#define FILTERHOST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FILTERHOST_ASAN 1
#endif
#endif
#ifdef FILTERHOST_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace filterhost {
namespace {

// The host whose call is under way; the protocol's callbacks carry no context.
Host* gCurrentHost = nullptr;

struct HostHandle {
  char* data;  // first word: a handle dereferences to its data
  int32_t size;
};

struct HostBuffer {
  std::unique_ptr<uint8_t[]> bytes;  // exactly size bytes, so overruns leave the allocation
  size_t size = 0;
  int locks = 0;
};

// Handles this host made; a block the module made with its own handles is not
// the host's to free. Never destroyed: a handle the module dropped is still
// the host's at exit, not a leak for a leak checker.
std::set<plugin::Handle>& gHostHandles = *new std::set<plugin::Handle>;
// Handles the module gave back to a host whose disposeProc frees nothing: the
// host keeps them until it closes, and any further use of them is reported.
std::set<plugin::Handle>& gDisposedHandles = *new std::set<plugin::Handle>;

const HostBehaviour* CurrentBehaviour() { return gCurrentHost != nullptr ? &gCurrentHost->behaviour() : nullptr; }

// True, with the use reported, for a handle the module had given back.
bool UsedAfterDispose(plugin::Handle h, const char* use) {
  if (gDisposedHandles.count(h) == 0) return false;
  if (gCurrentHost != nullptr) gCurrentHost->ReportViolation(std::string("the module used a handle it had disposed: ") + use);
  return true;
}

void FreeHostHandle(plugin::Handle h) {
  auto* handle = reinterpret_cast<HostHandle*>(h);
  std::free(handle->data);
  delete handle;
}

constexpr uint8_t kFreshMemoryFill = 0xA5;  // hosts hand out memory uncleared
constexpr uint8_t kGuardFill = 0xFD;

void Poison(const uint8_t* start, size_t bytes, bool poisoned) {
#ifdef FILTERHOST_ASAN
  if (poisoned)
    ASAN_POISON_MEMORY_REGION(start, bytes);
  else
    ASAN_UNPOISON_MEMORY_REGION(start, bytes);
#else
  (void)start;
  (void)bytes;
  (void)poisoned;
#endif
}

#ifndef FILTERHOST_ASAN
// The served bytes of a guarded buffer: [guard][bytes][guard].
bool GuardIntact(const std::vector<uint8_t>& buffer, size_t guard, size_t bytes) {
  if (buffer.size() != bytes + 2 * guard) return true;
  for (size_t i = 0; i < guard; ++i)
    if (buffer[i] != kGuardFill || buffer[guard + bytes + i] != kGuardFill) return false;
  return true;
}
#endif

bool RectEmpty(const plugin::Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

std::string Describe(const char* what, const plugin::Rect& r) {
  return std::string(what) + " (" + std::to_string(r.top) + ", " + std::to_string(r.left) + ", " +
         std::to_string(r.bottom) + ", " + std::to_string(r.right) + ")";
}

plugin::Handle NewHandle(int32_t size) {
  if (size < 0 || gCurrentHost == nullptr || !gCurrentHost->CountAllocation(size)) return nullptr;
  auto* handle = new HostHandle{static_cast<char*>(std::malloc(size_t(size) + 1)), size};
  std::memset(handle->data, kFreshMemoryFill, size_t(size) + 1);
  gHostHandles.insert(&handle->data);
  gCurrentHost->TrackModuleAllocation(&handle->data, true);
  return &handle->data;
}

void DisposeHandle(plugin::Handle h) {
  if (h == nullptr || UsedAfterDispose(h, "disposed again") || gHostHandles.erase(h) == 0) return;
  auto* handle = reinterpret_cast<HostHandle*>(h);
  if (gCurrentHost != nullptr) {
    gCurrentHost->Released(handle->size);
    gCurrentHost->TrackModuleAllocation(h, false);
  }
  const HostBehaviour* behaviour = CurrentBehaviour();
  if (behaviour != nullptr && behaviour->disposeDoesNothing) {
    gDisposedHandles.insert(h);
    return;
  }
  FreeHostHandle(h);
}

// A suite answers 0 for a handle it does not know.
int32_t GetHandleSize(plugin::Handle h) {
  if (h == nullptr || UsedAfterDispose(h, "getSizeProc") || gHostHandles.count(h) == 0) return 0;
  const HostBehaviour* behaviour = CurrentBehaviour();
  if (behaviour != nullptr && behaviour->handleSizeAnswer >= 0) return behaviour->handleSizeAnswer;
  return reinterpret_cast<HostHandle*>(h)->size;
}

plugin::OSErr SetHandleSize(plugin::Handle h, int32_t size) {
  if (h == nullptr || size < 0 || UsedAfterDispose(h, "setSizeProc") || gHostHandles.count(h) == 0)
    return plugin::kNilHandleErr;
  const HostBehaviour* behaviour = CurrentBehaviour();
  if (behaviour != nullptr && behaviour->setSizeDoesNothing) return plugin::kNoErr;
  auto* handle = reinterpret_cast<HostHandle*>(h);
  char* data = static_cast<char*>(std::realloc(handle->data, size_t(size) + 1));
  if (data == nullptr) return plugin::kMemFullErr;
  handle->data = data;
  handle->size = size;
  return plugin::kNoErr;
}

char* LockHandle(plugin::Handle h, plugin::Boolean) {
  if (h == nullptr) return nullptr;
  UsedAfterDispose(h, "lockProc");
  return *h;
}
void UnlockHandle(plugin::Handle) {}
void RecoverSpace(int32_t) {}

plugin::OSErr AllocateBuffer(int32_t size, plugin::BufferID* id) {
  *id = nullptr;
  if (size < 0) return plugin::kMemFullErr;
  if (gCurrentHost == nullptr || !gCurrentHost->CountAllocation(size)) return plugin::kMemFullErr;
  auto* buffer = new HostBuffer;
  buffer->bytes.reset(new uint8_t[size_t(size)]);
  buffer->size = size_t(size);
  if (gCurrentHost->fillsFreshMemory()) std::memset(buffer->bytes.get(), kFreshMemoryFill, buffer->size);
  *id = reinterpret_cast<plugin::BufferID>(buffer);
  gCurrentHost->TrackModuleAllocation(buffer, true);
  return plugin::kNoErr;
}

char* LockBuffer(plugin::BufferID id, plugin::Boolean) {
  auto* buffer = reinterpret_cast<HostBuffer*>(id);
  ++buffer->locks;
  return reinterpret_cast<char*>(buffer->bytes.get());
}

void UnlockBuffer(plugin::BufferID id) { --reinterpret_cast<HostBuffer*>(id)->locks; }

void FreeBuffer(plugin::BufferID id) {
  auto* buffer = reinterpret_cast<HostBuffer*>(id);
  if (gCurrentHost != nullptr) {
    gCurrentHost->Released(int64_t(buffer->size));
    gCurrentHost->TrackModuleAllocation(id, false);
  }
  delete buffer;
}

int32_t BufferSpace() { return 256 << 20; }

plugin::Boolean AbortProc() { return gCurrentHost != nullptr ? gCurrentHost->OnAbort() : 0; }

void ProgressProc(int32_t done, int32_t total) {
  if (gCurrentHost != nullptr) gCurrentHost->OnProgress(done, total);
}

// Sizes a served buffer exactly, so that a module reading or writing past the
// rectangle it asked for runs off the allocation (and a sanitizer sees it).
uint8_t* ExactBuffer(std::vector<uint8_t>* buffer, size_t bytes) {
  if (buffer->size() != bytes || buffer->capacity() != bytes) std::vector<uint8_t>(bytes).swap(*buffer);
  return buffer->data();
}

}  // namespace

int16_t ImageModeOf(int32_t channels) {
  switch (channels) {
    case 1: return plugin::kModeGray;
    case 3: return plugin::kModeRGB;
    case 4: return plugin::kModeCMYK;
    default: return 7;  // multichannel
  }
}

Host::Host(Module& module) : module_(module) {
  bufferProcs_ = plugin::BufferProcs{2, 5, AllocateBuffer, LockBuffer, UnlockBuffer, FreeBuffer, BufferSpace,
                                     nullptr, nullptr, nullptr};
  handleProcs_ = plugin::HandleProcs{1,          7,          NewHandle,    DisposeHandle, GetHandleSize,
                                     SetHandleSize, LockHandle, UnlockHandle, RecoverSpace,  nullptr};
  record_.maxSpace = 64 << 20;
  StartMessageWatch(module_);
}

Host::~Host() {
  DropParameters();
  StopMessageWatch();
  // The memory a host that frees nothing on dispose kept, given up as it closes.
  for (plugin::Handle h : gDisposedHandles) FreeHostHandle(h);
  gDisposedHandles.clear();
}

void Host::SetImage(Image image) {
  image_ = std::move(image);
  imageStore_ = std::make_unique<FrameStore>(image_.pixels.data(), image_.width, image_.height, image_.channels,
                                             size_t(image_.width) * size_t(image_.channels));
  SetStore(imageStore_.get());
}

void Host::SetStore(PixelStore* store) {
  store_ = store;
  servedOut_ = plugin::Rect{};  // output served for the last picture is not this one's
  if (behaviour_.filterRectInside)
    record_.filterRect = InsideFilterRect(store_->width(), store_->height());
  else
    SetFilterRect(0, 0, store_->width(), store_->height());
}

void Host::SetFilterRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  record_.filterRect = plugin::Rect{int16_t(top), int16_t(left), int16_t(bottom), int16_t(right)};
}

void Host::FillRecord() {
  record_.abortProc = AbortProc;
  record_.progressProc = ProgressProc;
  const int32_t width = store_ != nullptr ? store_->width() : 0;
  const int32_t height = store_ != nullptr ? store_->height() : 0;
  const int32_t channels = store_ != nullptr ? store_->channels() : image_.channels;
  record_.imageSize = plugin::Point{int16_t(height), int16_t(width)};
  record_.planes = int16_t(channels);
  const int32_t colourPlanes = behaviour_.alphaPlane ? channels - 1 : channels;
  record_.imageMode = ImageModeOf(colourPlanes);
  record_.inLayerPlanes = record_.outLayerPlanes = behaviour_.alphaPlane ? int16_t(colourPlanes) : int16_t(0);
  record_.inTransparencyMask = record_.outTransparencyMask = behaviour_.alphaPlane ? 1 : 0;
  record_.depth = 8;
  ApplyToRecord(behaviour_, &platformData_, &record_);
  record_.bufferProcs = faults_.withholdBufferSuite || behaviour_.noBufferSuite ? nullptr : &bufferProcs_;
  record_.handleProcs = faults_.withholdHandleSuite || behaviour_.noHandleSuite ? nullptr : &handleProcs_;
  record_.bufferSpace = record_.maxSpace;  // hosts pre-fill it; the module must overwrite it
  record_.hostSig = 0x51484F53;            // 'QHOS'
  record_.filterCase = 1;
}

int16_t Host::Call(int16_t selector) {
  FillRecord();
  StartMessageWatch(module_);  // the module may have been loaded again since
  Host* previous = gCurrentHost;
  gCurrentHost = this;
  int16_t result = static_cast<int16_t>(0x7A7A);  // the module must overwrite it
  const auto start = std::chrono::steady_clock::now();
  if (selector == plugin::kSelectorAbout) {
    plugin::AboutRecord about{};
    about.platformData = record_.platformData;
    result = module_.Call(selector, &about, &data_);
  } else {
    const plugin::Handle kept = record_.parameters;
    inModuleCall_ = true;
    result = module_.Call(selector, &record_, &data_);
    inModuleCall_ = false;
    CheckGuards();
    if (record_.parameters != kept) TakeBackReplacedBlock(kept);
  }
  moduleSeconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  gCurrentHost = previous;
  return result;
}

int16_t Host::About() { return Call(plugin::kSelectorAbout); }
int16_t Host::Parameters() { return Call(plugin::kSelectorParameters); }

bool Host::CountAllocation(int64_t bytes) {
  ++allocations_;
  if (faults_.failAllocation != 0 && allocations_ == faults_.failAllocation) return false;
  if (faults_.failAllocationsFrom != 0 && allocations_ >= faults_.failAllocationsFrom) return false;
  ++liveAllocations_;
  liveBytes_ += bytes;
  peakBytes_ = std::max(peakBytes_, liveBytes_);
  return true;
}

void Host::TakeBackReplacedBlock(plugin::Handle replaced) {
  // A block the module allocated is the module's to give back; one this host
  // put there itself (restored, copied) it frees when the module lets it go.
  if (replaced == nullptr || gHostHandles.count(replaced) == 0 || moduleAllocations_.count(replaced) != 0) return;
  gHostHandles.erase(replaced);
  Released(reinterpret_cast<HostHandle*>(replaced)->size);
  FreeHostHandle(replaced);
}

void Host::TrackModuleAllocation(const void* id, bool live) {
  if (!live)
    moduleAllocations_.erase(id);
  else if (inModuleCall_)
    moduleAllocations_.insert(id);
}

int Host::LeftoverRunAllocations() const {
  const int kept = record_.parameters != nullptr && moduleAllocations_.count(record_.parameters) != 0 ? 1 : 0;
  return int(moduleAllocations_.size()) - kept;
}

uint8_t* Host::PrepareBuffer(std::vector<uint8_t>* buffer, size_t bytes) {
  const size_t guard = size_t(faults_.guardBytes > 0 ? faults_.guardBytes : 0);
  Poison(buffer->data(), buffer->capacity(), false);
  if (guard == 0 && behaviour_.freshBandEveryCall) {
    // New memory each time; the old block goes once the new one exists.
    std::vector<uint8_t>(bytes).swap(*buffer);
    return buffer->data();
  }
  if (guard == 0) return ExactBuffer(buffer, bytes);
  // A fresh block each time, so that AddressSanitizer also sees reads past it.
  std::vector<uint8_t>(bytes + 2 * guard, kGuardFill).swap(*buffer);
  Poison(buffer->data(), guard, true);
  Poison(buffer->data() + guard + bytes, guard, true);
  return buffer->data() + guard;
}

void Host::ReleaseGuards() {
  Poison(inBuffer_.data(), inBuffer_.capacity(), false);
  Poison(outBuffer_.data(), outBuffer_.capacity(), false);
}

void Host::CheckGuards() {
#ifndef FILTERHOST_ASAN
  // Under AddressSanitizer a touch of a guard has already stopped the program.
  const size_t guard = size_t(servedGuard_);
  if (guard == 0) return;
  if (!GuardIntact(inBuffer_, guard, inBytes_)) bufferViolations_.push_back("the module wrote beside inData");
  if (!GuardIntact(outBuffer_, guard, outBytes_)) bufferViolations_.push_back("the module wrote beside outData");
  if (!inSnapshot_.empty() && inBuffer_.size() == inBytes_ + 2 * guard &&
      std::memcmp(inBuffer_.data() + guard, inSnapshot_.data(), inBytes_) != 0) {
    bufferViolations_.push_back("the module wrote into inData");
    std::memcpy(inSnapshot_.data(), inBuffer_.data() + guard, inBytes_);
  }
#endif
}

uint8_t Host::OnAbort() {
  ++abortChecks_;
  const bool stop = (abortHook_ && abortHook_()) ||
                    (faults_.stopAtAbortCheck != 0 && abortChecks_ == faults_.stopAtAbortCheck);
  if (stop) ++stopsAnswered_;
  return stop ? 1 : 0;
}

void Host::OnProgress(int32_t done, int32_t total) {
  ++progressCalls_;
  lastDone_ = done;
  lastTotal_ = total;
  if (progressHook_) progressHook_(done, total);
}

bool Host::CheckRequests(RunReport* report) const {
  const plugin::Rect& in = record_.inRect;
  const plugin::Rect& out = record_.outRect;
  const plugin::Rect& area = record_.filterRect;
  size_t before = report->violations.size();
  const int32_t channels = store_->channels();
  auto planesValid = [&](int16_t lo, int16_t hi) { return lo >= 0 && lo <= hi && hi < channels; };
  if (!RectEmpty(in)) {
    if (in.top < 0 || in.left < 0 || in.bottom > store_->height() || in.right > store_->width())
      report->violations.push_back(Describe("input request outside the image", in));
    if (!planesValid(record_.inLoPlane, record_.inHiPlane))
      report->violations.push_back("input planes " + std::to_string(record_.inLoPlane) + ".." +
                                   std::to_string(record_.inHiPlane) + " invalid");
  }
  if (!RectEmpty(out)) {
    if (out.top < area.top || out.left < area.left || out.bottom > area.bottom || out.right > area.right)
      report->violations.push_back(Describe("output request outside the filter area", out));
    if (!planesValid(record_.outLoPlane, record_.outHiPlane))
      report->violations.push_back("output planes invalid");
  }
  return report->violations.size() == before;
}

int32_t Host::FirstRequestedRow() const {
  int32_t row = store_->height();
  if (!RectEmpty(record_.inRect)) row = std::min<int32_t>(row, record_.inRect.top);
  if (!RectEmpty(record_.outRect)) row = std::min<int32_t>(row, record_.outRect.top);
  return std::max(row, 0);
}

bool Host::StoreOutput() {
  bool stored = true;
  if (!RectEmpty(servedOut_) && !servedOutInPlace_ && !outBuffer_.empty()) {
    const Area area{servedOut_, servedOutLo_, servedOutHi_};
    stored = store_->Write(area, outBuffer_.data() + servedGuard_, size_t(area.width()) * area.planes());
  }
  servedOut_ = plugin::Rect{};
  servedOutInPlace_ = false;
  return stored && store_->Settle(FirstRequestedRow());
}

bool Host::ServeOutput(RunReport* report) {
  const plugin::Rect out = record_.outRect;
  if (RectEmpty(out)) return true;
  const Area area{out, record_.outLoPlane, record_.outHiPlane};
  size_t rowBytes = size_t(area.width()) * area.planes();
  uint8_t* outData = nullptr;
  if (InPlaceAllowed()) outData = store_->InPlace(area, &rowBytes);
  servedOutInPlace_ = outData != nullptr;
  if (outData == nullptr) {
    outBytes_ = rowBytes * area.height();
    outData = PrepareBuffer(&outBuffer_, outBytes_);
    if (!store_->Read(area, outData, rowBytes)) return false;
  }
  record_.outData = outData;
  record_.outRowBytes = int32_t(rowBytes);
  servedOut_ = out;
  servedOutLo_ = record_.outLoPlane;
  servedOutHi_ = record_.outHiPlane;
  report->outRects.push_back(out);
  return true;
}

bool Host::ServeInput(RunReport* report) {
  const plugin::Rect in = record_.inRect;
  if (RectEmpty(in)) return true;
  const Area area{in, record_.inLoPlane, record_.inHiPlane};
  size_t rowBytes = size_t(area.width()) * area.planes();
  const plugin::Rect& out = servedOut_;
  const bool overlapsOutput = !RectEmpty(out) && in.left < out.right && out.left < in.right && in.top < out.bottom &&
                              out.top < in.bottom;
  uint8_t* inData = nullptr;
  if (InPlaceAllowed() && !overlapsOutput) inData = store_->InPlace(area, &rowBytes);
  if (inData == nullptr) {
    rowBytes = size_t(area.width()) * area.planes();
    inBytes_ = rowBytes * area.height();
    inData = PrepareBuffer(&inBuffer_, inBytes_);
    if (!store_->Read(area, inData, rowBytes)) return false;
    if (servedGuard_ != 0) inSnapshot_.assign(inData, inData + inBytes_);
  }
  record_.inData = inData;
  record_.inRowBytes = int32_t(rowBytes);
  report->inRects.push_back(in);
  return true;
}

bool Host::ServeRequests(RunReport* report) {
  if (!StoreOutput()) {
    report->ioError = store_->error();
    return false;
  }
  if (!CheckRequests(report)) return false;
  record_.inData = nullptr;
  record_.outData = nullptr;
  ReleaseGuards();
  servedGuard_ = faults_.guardBytes > 0 ? faults_.guardBytes : 0;
  inSnapshot_.clear();
  inBytes_ = outBytes_ = 0;
  // Output first: a store that streams the picture then reads each row once, in order.
  if (!ServeOutput(report) || !ServeInput(report)) {
    report->ioError = store_->error();
    return false;
  }
  return true;
}

RunReport Host::Render() {
  RunReport report;
  const size_t messagesBefore = messages().size();
  const int stopsBefore = stopsAnswered_;
  auto seen = [&] {
    report.messagesShown = int(messages().size() - messagesBefore);
    report.stopsAnswered = stopsAnswered_ - stopsBefore;
  };
  auto fail = [&](int16_t selector, int16_t result) {
    if (report.result == 0) {
      report.result = result;
      report.failedSelector = selector;
    }
  };
  servedOut_ = plugin::Rect{};
  int16_t result = Call(plugin::kSelectorPrepare);
  if (result != 0) {
    fail(plugin::kSelectorPrepare, result);
    seen();
    return report;
  }
  result = Call(plugin::kSelectorStart);
  if (result != 0) fail(plugin::kSelectorStart, result);
  // Like Photoshop: once Start has been called, Finish is called too.
  while (result == 0 && (!RectEmpty(record_.inRect) || !RectEmpty(record_.outRect))) {
    if (!ContinueOnce(true, &report, &result)) break;
    if (result != 0) fail(plugin::kSelectorContinue, result);
    if (report.continueCalls > 1000000) {
      report.violations.push_back("the run never ends");
      break;
    }
  }
  if (result == 0 && report.violations.empty() && report.ioError.empty()) {
    if (!StoreOutput()) report.ioError = store_->error();
    if (beforeFinishHook_ && report.ioError.empty()) beforeFinishHook_();
  }
  servedOut_ = plugin::Rect{};
  servedOutInPlace_ = false;
  result = Call(plugin::kSelectorFinish);
  report.finishCalled = true;
  if (result != 0) fail(plugin::kSelectorFinish, result);
  ReleaseGuards();
  inBuffer_.clear();
  outBuffer_.clear();
  inSnapshot_.clear();
  record_.inData = record_.outData = nullptr;
  report.violations.insert(report.violations.end(), bufferViolations_.begin(), bufferViolations_.end());
  bufferViolations_.clear();
  seen();
  return report;
}

bool Host::ContinueOnce(bool deliver, RunReport* report, int16_t* result) {
  if (deliver) {
    if (!ServeRequests(report)) return false;
  } else {
    if (!StoreOutput()) {
      report->ioError = store_->error();
      return false;
    }
    ReleaseGuards();
    servedGuard_ = 0;
    inSnapshot_.clear();
    record_.inData = record_.outData = nullptr;
  }
  *result = Call(plugin::kSelectorContinue);
  ++report->continueCalls;
  return true;
}

RunReport Host::Run(bool withParameters) {
  const size_t messagesBefore = messages().size();
  const int stopsBefore = stopsAnswered_;
  RunReport report;
  int16_t result = 0;
  if (withParameters || behaviour_.parametersEveryRun) result = Parameters();
  if (result != 0) {
    report.result = result;
    report.failedSelector = plugin::kSelectorParameters;
  } else {
    report = Render();
  }
  report.messagesShown = int(messages().size() - messagesBefore);
  report.stopsAnswered = stopsAnswered_ - stopsBefore;
  return report;
}

bool Host::BetweenRuns() {
  switch (behaviour_.keptBlock) {
    case KeptBlock::Kept: break;
    case KeptBlock::Dropped: DropParameters(); break;
    case KeptBlock::ByteCopied:
      if (record_.parameters != nullptr) RestoreParameterBytes(ParameterBytes());
      break;
  }
  if (!behaviour_.reloadModuleBetweenRuns) return true;
  const bool loaded = module_.Reload();
  StartMessageWatch(module_);
  return loaded;
}

std::vector<uint8_t> Host::ParameterBytes() const {
  // The record is packed: copy the handle out before binding it to a reference.
  const plugin::Handle parameters = record_.parameters;
  if (parameters == nullptr) return {};
  if (gHostHandles.count(parameters) == 0) {
    // The module's own handle: its data pointer comes first, the size is a block's.
    const char* data = *parameters;
    return std::vector<uint8_t>(data, data + 688);
  }
  auto* handle = reinterpret_cast<HostHandle*>(parameters);
  return std::vector<uint8_t>(handle->data, handle->data + handle->size);
}

void Host::RestoreParameterBytes(const std::vector<uint8_t>& bytes) {
  // The new handle is made before the old one goes, so that it never takes the
  // old one's address: a module may know a handle it made by its address, and
  // whether the allocator happens to reuse one must not decide how a run goes.
  Host* previous = gCurrentHost;
  gCurrentHost = this;
  plugin::Handle handle = NewHandle(int32_t(bytes.size()));
  gCurrentHost = previous;
  DropParameters();
  if (handle == nullptr) return;
  if (!bytes.empty()) std::memcpy(*handle, bytes.data(), bytes.size());
  record_.parameters = handle;
}

void Host::PatchParameterBytes(const std::vector<uint8_t>& bytes) {
  const plugin::Handle parameters = record_.parameters;
  if (parameters == nullptr || *parameters == nullptr) return;
  const size_t size = gHostHandles.count(parameters) != 0 ? size_t(reinterpret_cast<HostHandle*>(parameters)->size) : 688;
  std::memcpy(*parameters, bytes.data(), std::min(size, bytes.size()));
}

bool Host::ParametersFromHost() const {
  const plugin::Handle kept = record_.parameters;  // the record is packed: no reference into it
  return kept != nullptr && gHostHandles.count(kept) != 0;
}

void Host::DropParameters() {
  if (record_.parameters == nullptr) return;
  Host* previous = gCurrentHost;
  gCurrentHost = this;
  DisposeHandle(record_.parameters);
  gCurrentHost = previous;
  record_.parameters = nullptr;
}

bool CopyModuleTile(const Module& module, TileCopy* tile) {
  using CopyTile = int32_t (*)(uint8_t* buffer, int32_t bufferSize, int32_t info[6]);
  auto copyTile = reinterpret_cast<CopyTile>(module.Symbol("QuiltoraCopyTile"));
  if (copyTile == nullptr) return false;
  int32_t info[6] = {};
  const int32_t needed = copyTile(nullptr, 0, info);
  if (needed <= 0 || info[0] <= 0 || info[1] <= 0 || info[2] <= 0 ||
      int64_t(info[0]) * info[1] * info[2] != needed)
    return false;
  tile->pixels.assign(size_t(needed), 0);
  if (copyTile(tile->pixels.data(), needed, info) != needed) return false;
  tile->width = info[0];
  tile->height = info[1];
  tile->channels = info[2];
  tile->rowShift = info[3];
  tile->originX = info[4];
  tile->originY = info[5];
  return true;
}

const std::vector<Message>& Host::messages() const { return WatchedMessages(); }
void Host::ClearMessages() { ClearWatchedMessages(); }

}  // namespace filterhost
