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

// Gives a handle that cannot hold a block back to the host's suite and
// clears parameters.
void DiscardUnusableParameters(plugin::FilterRecord* record) {
  if (record->parameters == nullptr) return;
  // A handle too small to be ours came from the host's suite: give it back.
  if (HostHandleSuiteUsable(record->handleProcs)) record->handleProcs->disposeProc(record->parameters);
  record->parameters = nullptr;
}

// A zero-filled block as a handle; null on failure.
plugin::Handle NewParameterHandle(const plugin::FilterRecord* record) {
  const plugin::HandleProcs* procs = record->handleProcs;
  if (HostHandleSuiteUsable(procs)) {
    plugin::Handle handle = procs->newProc(int32_t(sizeof(ParameterBlock)));
    // Host handles need not come cleared.
    if (handle != nullptr && *handle != nullptr) std::memset(*handle, 0, sizeof(ParameterBlock));
    return handle != nullptr && *handle != nullptr ? handle : nullptr;
  }
  return HandForGood(HandleNew(int32_t(sizeof(ParameterBlock))));
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
  if (record == nullptr || record->parameters == nullptr) return nullptr;
  const plugin::HandleProcs* procs = record->handleProcs;
  if (HostHandleSuiteUsable(procs) && procs->getSizeProc(record->parameters) < int32_t(sizeof(ParameterBlock)))
    return nullptr;
  return reinterpret_cast<ParameterBlock*>(*record->parameters);
}

ParameterBlock* CreateParameters(plugin::FilterRecord* record) {
  DiscardUnusableParameters(record);
  plugin::Handle handle = NewParameterHandle(record);
  if (handle == nullptr) return nullptr;
  record->parameters = handle;
  ParameterBlock* block = LockParameters(record);
  if (block == nullptr) return nullptr;
  block->magic = kParameterMagic;
  block->version = kParameterVersion;
  ResetParameters(block);
  return block;
}

int16_t DoParameters(plugin::FilterRecord* record) {
  gFilterRecord = record;
  ParameterBlock* block = LockParameters(record);
  if (block == nullptr) {
    // No block yet, or the host handed back one too small to be ours.
    block = CreateParameters(record);
    if (block == nullptr) return plugin::kStopped;
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
