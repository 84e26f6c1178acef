#include "image/memory_block.h"

#include "image/handles.h"
#include "platform/platform.h"

namespace quiltora {
namespace {

MemorySources gSources;

// Blocks of many megabytes are written whole right after they are had.
void AdviseFresh(MemoryBlock* block, int32_t bytes) {
  constexpr int32_t kLargeBlockBytes = 8 << 20;
  if (bytes < kLargeBlockBytes) return;
  if (uint8_t* address = MemoryBlockLock(block)) platform::AdviseLargeBlock(address, size_t(bytes));
  MemoryBlockUnlock(block);
}

int16_t AllocateFrom(int32_t bytes, MemoryBlock* block) {
  int16_t error = 0;
  if (gSources.bufferProcs != nullptr) {
    plugin::BufferID id = nullptr;
    error = gSources.bufferProcs->allocateProc(bytes, &id);
    if (error == 0 && id != nullptr) {
      *block = MemoryBlock{kMemoryHostBuffer, 0, reinterpret_cast<intptr_t>(id)};
      return 0;
    }
    if (error == 0) error = plugin::kMemFullErr;
  }
  if (gSources.handleProcs != nullptr) {
    plugin::Handle handle = gSources.handleProcs->newProc(bytes);
    if (handle != nullptr) {
      *block = MemoryBlock{kMemoryHostHandle, 0, reinterpret_cast<intptr_t>(handle)};
      return 0;
    }
    if (error == 0) error = plugin::kMemFullErr;
  }
  if (gSources.ownMemoryEnabled) {
    platform::SystemCompact(static_cast<size_t>(bytes < 0 ? 0 : bytes));
    Handle handle = HandleNew(bytes);
    if (handle != nullptr) {
      *block = MemoryBlock{kMemoryOwnHandle, 0, reinterpret_cast<intptr_t>(handle)};
      return 0;
    }
    if (error == 0) error = MemError();
  }
  // With no source at all the block cannot be had: report it as memory.
  return error != 0 ? error : int16_t(plugin::kMemFullErr);
}

}  // namespace

bool HostBufferSuiteUsable(const plugin::BufferProcs* procs) {
  return procs != nullptr && procs->bufferProcsVersion == 2 && procs->numBufferProcs >= 5 &&
         procs->allocateProc != nullptr && procs->lockProc != nullptr && procs->unlockProc != nullptr &&
         procs->freeProc != nullptr && procs->spaceProc != nullptr;
}

bool HostHandleSuiteUsable(const plugin::HandleProcs* procs) {
  return procs != nullptr && procs->handleProcsVersion == 1 && procs->numHandleProcs >= 4 &&
         procs->newProc != nullptr && procs->disposeProc != nullptr && procs->getSizeProc != nullptr &&
         procs->setSizeProc != nullptr;
}

void SetMemorySources(const MemorySources& sources) { gSources = sources; }

const MemorySources& CurrentMemorySources() { return gSources; }

int16_t MemoryBlockAllocate(int32_t bytes, MemoryBlock* block) {
  if (bytes < 0) return plugin::kMemFullErr;
  const int16_t error = AllocateFrom(bytes, block);
  if (error == 0) AdviseFresh(block, bytes);
  return error;
}

uint8_t* MemoryBlockLock(MemoryBlock* block) {
  uint8_t* address = nullptr;
  switch (block->kind) {
    case kMemoryOwnHandle: address = reinterpret_cast<uint8_t*>(*reinterpret_cast<Handle>(block->handle)); break;
    case kMemoryHostHandle: {
      auto handle = reinterpret_cast<plugin::Handle>(block->handle);
      // Prefer the suite's lock when the host offers it: its handles need not be plain master pointers.
      const plugin::HandleProcs* procs = gSources.handleProcs;
      address = reinterpret_cast<uint8_t*>(procs != nullptr && procs->numHandleProcs >= 5 && procs->lockProc != nullptr
                                               ? procs->lockProc(handle, 0)
                                               : *handle);
      break;
    }
    case kMemoryHostBuffer:
      address = reinterpret_cast<uint8_t*>(
          gSources.bufferProcs->lockProc(reinterpret_cast<plugin::BufferID>(block->handle), 0));
      break;
    default: return nullptr;
  }
  block->locked = 1;
  return address;
}

void MemoryBlockUnlock(MemoryBlock* block) {
  if (block->kind == kMemoryHostBuffer && block->locked)
    gSources.bufferProcs->unlockProc(reinterpret_cast<plugin::BufferID>(block->handle));
  if (block->kind == kMemoryHostHandle && block->locked) {
    const plugin::HandleProcs* procs = gSources.handleProcs;
    if (procs->numHandleProcs >= 6 && procs->lockProc != nullptr && procs->unlockProc != nullptr)
      procs->unlockProc(reinterpret_cast<plugin::Handle>(block->handle));
  }
  block->locked = 0;
}

void MemoryBlockFree(MemoryBlock* block) {
  switch (block->kind) {
    case kMemoryOwnHandle: HandleDispose(reinterpret_cast<Handle>(block->handle)); break;
    case kMemoryHostHandle:
      MemoryBlockUnlock(block);
      gSources.handleProcs->disposeProc(reinterpret_cast<plugin::Handle>(block->handle));
      break;
    case kMemoryHostBuffer:
      MemoryBlockUnlock(block);
      gSources.bufferProcs->freeProc(reinterpret_cast<plugin::BufferID>(block->handle));
      break;
    default: break;
  }
  *block = MemoryBlock{};
}

}  // namespace quiltora
