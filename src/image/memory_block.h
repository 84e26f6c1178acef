// Large blocks for the tile and its work images, from the host's buffer suite,
// the host's handle suite or the module's own handles, whichever is usable.
#pragma once

#include <cstdint>

#include "abi/plugin_api.h"

namespace quiltora {

enum MemoryKind : int32_t {
  kMemoryOwnHandle = 2,
  kMemoryHostHandle = 3,
  kMemoryHostBuffer = 4,
  kMemoryNone = 5,
};

struct MemoryBlock {
  int32_t kind = kMemoryNone;
  int32_t locked = 0;
  intptr_t handle = 0;
};

// True only for a version-2 suite with at least 5 routines, all five present.
bool HostBufferSuiteUsable(const plugin::BufferProcs* procs);
// True only for a version-1 suite with at least 4 routines, new, dispose,
// get-size and set-size present.
bool HostHandleSuiteUsable(const plugin::HandleProcs* procs);

// Where memory blocks come from; set by Prepare's memory budget. A suite is
// kept only when its check passed.
struct MemorySources {
  bool ownMemoryEnabled = false;
  const plugin::BufferProcs* bufferProcs = nullptr;
  const plugin::HandleProcs* handleProcs = nullptr;
};
void SetMemorySources(const MemorySources& sources);
const MemorySources& CurrentMemorySources();

// Returns 0 and fills block, or the error of the last source tried.
int16_t MemoryBlockAllocate(int32_t bytes, MemoryBlock* block);
uint8_t* MemoryBlockLock(MemoryBlock* block);
void MemoryBlockUnlock(MemoryBlock* block);
void MemoryBlockFree(MemoryBlock* block);

}  // namespace quiltora
