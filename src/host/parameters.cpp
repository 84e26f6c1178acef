#include "host/parameters.h"

#include <algorithm>
#include <cstring>

#include "common/integer.h"
#include "host/messages.h"
#include "host/run.h"
#include "host/run_state.h"
#include "image/handles.h"
#include "image/image_buffer.h"
#include "image/memory_block.h"
#include "resources/resource_ids.h"
#include "symmetry/frame.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILTORA_LEAK_CHECKED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QUILTORA_LEAK_CHECKED 1
#endif
#ifdef QUILTORA_LEAK_CHECKED
#include <sanitizer/lsan_interface.h>
#endif

namespace quiltora {
namespace {

// A block made with the module's own handles belongs to the host from then
// on, and no host can free it; the leak checker is told so.
plugin::Handle HandForGood(plugin::Handle handle) {
#ifdef QUILTORA_LEAK_CHECKED
  if (handle != nullptr) __lsan_ignore_object(handle);
#endif
  return handle;
}

constexpr int kMinimumFilterSide = 50;

// How the settings block is taken from a host's handle. Hosts' handle suites
// differ, and some misreport, so these are the rules:
//  1. A handle this module has just received from newProc(688) is 688 bytes,
//     whatever getSizeProc answers: some hosts answer 0, or another wrong
//     size, for the handles they made themselves. The module remembers that
//     handle (and its data address) until the run ends (Finish, or the next
//     Parameters), so the rule holds on the later calls of the same run.
//     Between runs a host may free the handle and make another at the same
//     address, so the memory is not trusted any longer than that.
//  2. Any other handle in parameters was handed back from an earlier run:
//     kept, byte-copied into a new handle, or kept while the module was
//     unloaded. Where the host can tell its size (getSizeProc answers more
//     than 0), a size below a block means it is not a block of ours and it is
//     not read. An answer of 0 tells nothing only from a suite that answers 0
//     for a handle it has just made of a known size; from a suite that sizes
//     its handles it means an empty handle, which is not read. No handle
//     suite, or a negative answer, tells nothing.
//  3. Either way the block must start with its magic and version.
//  4. A block that fails 2 or 3 is replaced by one with the defaults: reset
//     where it lies when its size is known to be enough, otherwise in a new
//     handle, the old one given back through the suite that may have made it.
//     Nothing relies on the host's disposeProc or setSizeProc doing anything:
//     the module never resizes a handle, never touches one it gave back, and
//     makes a new handle only when parameters holds none it can use.
struct MadeBlock {
  plugin::Handle handle = nullptr;
  char* data = nullptr;
  bool ownHandle = false;  // from the module's own allocator, not the host's suite
};
MadeBlock gMadeBlock;

bool IsMadeBlock(plugin::Handle handle) {
  return handle != nullptr && handle == gMadeBlock.handle && *handle == gMadeBlock.data;
}

// Whether getSizeProc answers the size of a handle the suite has just made,
// asked once per run. A probe that cannot be made leaves the answer unknown
// for the run, and then no handle of unknown size is read or reset.
enum class SuiteSizing { NotAsked, Sizes, AnswersZero, Unknowable };
SuiteSizing gSuiteSizing = SuiteSizing::NotAsked;

SuiteSizing AskSuiteSizing(const plugin::HandleProcs* procs) {
  if (gSuiteSizing != SuiteSizing::NotAsked) return gSuiteSizing;
  constexpr int32_t kProbeSize = 16;
  plugin::Handle probe = procs->newProc(kProbeSize);
  if (probe == nullptr) return gSuiteSizing = SuiteSizing::Unknowable;
  gSuiteSizing = procs->getSizeProc(probe) == kProbeSize ? SuiteSizing::Sizes : SuiteSizing::AnswersZero;
  procs->disposeProc(probe);
  return gSuiteSizing;
}

constexpr int64_t kSizeUnknown = -1;
constexpr int64_t kSizeUnknowable = -2;  // a probe of the suite failed for want of memory

// The size of the handle in parameters as far as it can be known.
int64_t KnownSize(const plugin::FilterRecord* record) {
  const plugin::Handle handle = record->parameters;
  if (IsMadeBlock(handle)) return int64_t(sizeof(ParameterBlock));
  if (HostHandleSuiteUsable(record->handleProcs)) {
    const int32_t size = record->handleProcs->getSizeProc(handle);
    if (size > 0) return size;
    if (size == 0) {
      switch (AskSuiteSizing(record->handleProcs)) {
        case SuiteSizing::Sizes: return 0;
        case SuiteSizing::Unknowable: return kSizeUnknowable;
        default: break;
      }
    }
  }
  return kSizeUnknown;
}

// The data of the handle in parameters when it may be read as a whole block.
char* ReadableBlockData(const plugin::FilterRecord* record) {
  const plugin::Handle handle = record->parameters;
  if (handle == nullptr || *handle == nullptr) return nullptr;
  const int64_t size = KnownSize(record);
  if (size == kSizeUnknowable || (size >= 0 && size < int64_t(sizeof(ParameterBlock)))) return nullptr;
  return *handle;
}

// Gives back a handle the module no longer keeps in parameters.
void GiveBack(plugin::Handle handle, const plugin::FilterRecord* record) {
  if (handle == nullptr) return;
  if (IsMadeBlock(handle) && gMadeBlock.ownHandle) {
    HandleDispose(handle);
  } else if (HostHandleSuiteUsable(record->handleProcs)) {
    record->handleProcs->disposeProc(handle);
  }
  // Anything else is of unknown origin: nothing can free it safely.
  if (handle == gMadeBlock.handle) gMadeBlock = MadeBlock{};
}

// A new, zero-filled block as a handle, remembered as made by this load; null
// on failure.
plugin::Handle NewParameterHandle(const plugin::FilterRecord* record) {
  const plugin::HandleProcs* procs = record->handleProcs;
  const bool hostSuite = HostHandleSuiteUsable(procs);
  plugin::Handle handle =
      hostSuite ? procs->newProc(int32_t(sizeof(ParameterBlock))) : HandForGood(HandleNew(int32_t(sizeof(ParameterBlock))));
  if (handle == nullptr) return nullptr;
  if (*handle == nullptr) {
    if (hostSuite) procs->disposeProc(handle);
    return nullptr;
  }
  // Host handles need not come cleared.
  std::memset(*handle, 0, sizeof(ParameterBlock));
  gMadeBlock = MadeBlock{handle, *handle, !hostSuite};
  return handle;
}

}  // namespace

int32_t FilterWidth(const plugin::FilterRecord* record) { return record->filterRect.right - record->filterRect.left; }

int32_t FilterHeight(const plugin::FilterRecord* record) { return record->filterRect.bottom - record->filterRect.top; }

bool FilterAreaLargeEnough(const plugin::FilterRecord* record) {
  return FilterWidth(record) >= kMinimumFilterSide && FilterHeight(record) >= kMinimumFilterSide;
}

void ResetSelection(ParameterBlock* block) {
  const int32_t w = block->sourceWidth;
  const int32_t h = block->sourceHeight;
  int32_t side = 0;
  IntPoint centre{};
  if (block->sourceKind == kSourceLoadedFile) {
    const IntRect& area = block->sourceArea;
    const int32_t areaWidth = area.right - area.left;
    const int32_t areaHeight = area.bottom - area.top;
    side = std::min(areaWidth / 3, areaHeight / 3);
    centre = IntPoint{area.left + areaWidth / 2, area.top + areaHeight / 2};
  } else {
    side = std::min(h / 3, w / 3);
    centre = IntPoint{w / 2, h / 2};
  }
  block->selectionHeight = block->selectionWidth = block->selectionSize = side;
  const int32_t x0 = centre.x - side / 2;
  const int32_t y0 = centre.y - side / 2;
  block->selectionX = x0;
  block->selectionY = y0;
  block->selectionRect = IntRect{ClampTo16(x0), ClampTo16(y0), ClampTo16(x0 + side), ClampTo16(y0 + side)};
  const SelectionFrame frame{double(y0), double(x0), double(y0 + side), double(x0 + side), 0.0};
  NormaliseFrame(frame, &block->selectionNormalised, w, h);
  block->selectionInitialised = 0;
}

void ResetParameters(ParameterBlock* block) {
  block->symmetry = 8;
  block->blendMode = 1;
  block->sourceKind = kSourceImage;
  block->sourceWidth = block->imageWidth = FilterWidth(gFilterRecord);
  block->sourceHeight = block->imageHeight = FilterHeight(gFilterRecord);
  ResetSelection(block);
  block->featherPixels = 0;
  block->feather = 0;
  block->selectionReserved = 0;
  block->opacity = 100;
  block->tileOffsetFracX = block->tileOffsetFracY = 0.0;
  block->liveUpdate = block->showTilePreview = block->showFeatherOutline = 1;
  block->selectionInitialised = 0;
  block->loadedSource = 0;
  block->sourcePaneImage = 0;
  block->sourceSmallerThanImage = 0;
}

ParameterBlock* LockParameters(const plugin::FilterRecord* record) {
  if (record == nullptr) return nullptr;
  auto* block = reinterpret_cast<ParameterBlock*>(ReadableBlockData(record));
  if (block == nullptr || block->magic != kParameterMagic || block->version != kParameterVersion) return nullptr;
  return block;
}

ParameterBlock* CreateParameters(plugin::FilterRecord* record) {
  // Short of memory even for the probe: the host reports it, its block untouched.
  if (record->parameters != nullptr && KnownSize(record) == kSizeUnknowable) return nullptr;
  auto* block = reinterpret_cast<ParameterBlock*>(ReadableBlockData(record));
  if (block != nullptr && KnownSize(record) >= int64_t(sizeof(ParameterBlock))) {
    // Room enough for a block, but not one of ours: it becomes one.
    std::memset(static_cast<void*>(block), 0, sizeof(ParameterBlock));
  } else {
    plugin::Handle handle = NewParameterHandle(record);
    // When no block can be had, whatever the host keeps stays as it was.
    if (handle == nullptr) return nullptr;
    GiveBack(record->parameters, record);
    record->parameters = handle;
    block = reinterpret_cast<ParameterBlock*>(*handle);
  }
  block->magic = kParameterMagic;
  block->version = kParameterVersion;
  ResetParameters(block);
  return block;
}

void ForgetMadeBlock() {
  gMadeBlock = MadeBlock{};
  ForgetSuiteSizing();  // the next run may come from another host
}

void ForgetSuiteSizing() { gSuiteSizing = SuiteSizing::NotAsked; }

int16_t DoParameters(plugin::FilterRecord* record) {
  if (record == nullptr) return plugin::kParamErr;
  ForgetMadeBlock();  // a new run: what the host hands over now is handed back
  gFilterRecord = record;
  ParameterBlock* block = LockParameters(record);
  if (block == nullptr) {
    // No block yet, or the host handed back one that is not ours.
    block = CreateParameters(record);
    // Nobody has been told anything: the host reports the shortage.
    if (block == nullptr) return plugin::kMemFullErr;
    ReleaseRunObjects();
  }
  block->showDialog = 1;
  // A preview of this load is released; an id from an earlier load resolves to nothing.
  ReleaseImageRef(&block->previewImage);
  if (!FilterAreaLargeEnough(record)) {
    ShowModuleMessage(IDS_IMAGE_TOO_SMALL, MessageForm::Error);
    return plugin::kStopped;
  }
  return plugin::kNoErr;
}

}  // namespace quiltora
