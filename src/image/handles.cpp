#include "image/handles.h"

#include "platform/platform.h"

namespace quiltora {
namespace {

// The master block: its first word is the data address, as hosts expect of a
// handle; the rest is this allocator's bookkeeping.
struct MasterBlock {
  char* data;
  platform::SystemBlock* dataBlock;
  platform::SystemBlock* self;
};

int16_t gMemError = 0;

platform::SystemBlock* AllocLocked(size_t bytes, void** address) {
  platform::SystemBlock* block = platform::SystemAlloc(bytes, true);
  *address = block != nullptr ? platform::SystemLock(block) : nullptr;
  if (block != nullptr && *address == nullptr) {
    platform::SystemFree(block);
    return nullptr;
  }
  return block;
}

void FreeLocked(platform::SystemBlock* block) {
  platform::SystemUnlock(block);
  platform::SystemFree(block);
}

}  // namespace

Handle HandleNew(int32_t bytes) {
  if (bytes < 0) return nullptr;
  void* masterAddress = nullptr;
  platform::SystemBlock* masterBlock = AllocLocked(sizeof(MasterBlock), &masterAddress);
  void* data = nullptr;
  platform::SystemBlock* dataBlock = masterBlock != nullptr ? AllocLocked(static_cast<size_t>(bytes), &data) : nullptr;
  if (dataBlock == nullptr) {
    if (masterBlock != nullptr) FreeLocked(masterBlock);
    gMemError = -108;
    return nullptr;
  }
  auto* master = static_cast<MasterBlock*>(masterAddress);
  *master = MasterBlock{static_cast<char*>(data), dataBlock, masterBlock};
  gMemError = 0;
  return &master->data;
}

void HandleDispose(Handle handle) {
  if (handle == nullptr) {
    gMemError = -109;
    return;
  }
  auto* master = reinterpret_cast<MasterBlock*>(handle);
  if (master->dataBlock != nullptr) FreeLocked(master->dataBlock);
  FreeLocked(master->self);
  gMemError = 0;
}

void* PtrNew(int32_t bytes) {
  if (bytes < 0) return nullptr;
  void* address = nullptr;
  platform::SystemBlock* block = AllocLocked(static_cast<size_t>(bytes) + sizeof(void*) * 2, &address);
  if (block == nullptr) return nullptr;
  // The owning block sits in front of the address handed out.
  auto** header = static_cast<platform::SystemBlock**>(address);
  header[0] = block;
  return header + 2;
}

void PtrDispose(void* pointer) {
  if (pointer == nullptr) return;
  FreeLocked(static_cast<platform::SystemBlock**>(pointer)[-2]);
}

int16_t MemError() { return gMemError; }

}  // namespace quiltora
