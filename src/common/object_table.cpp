#include "common/object_table.h"

#include <chrono>

namespace quiltora {
namespace {

struct Slot {
  void* object;
  ObjectKind kind;
  uint16_t generation;
};

constexpr int kSlotCount = 64;
Slot gSlots[kSlotCount];

// Different for every load of the module with near certainty: the time of the
// first use mixed with the address of the table (which moves between loads).
uint32_t LoadStamp() {
  static const uint32_t stamp = [] {
    uint64_t seed = static_cast<uint64_t>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    seed ^= reinterpret_cast<uintptr_t>(&gSlots) * 0x9E3779B97F4A7C15ull;
    seed ^= seed >> 29;
    uint32_t value = static_cast<uint32_t>(seed ^ (seed >> 32));
    return value == 0 ? 1u : value;
  }();
  return stamp;
}

ObjectRef MakeRef(int slot, uint16_t generation) {
  return (static_cast<uint64_t>(LoadStamp()) << 32) |
         (static_cast<uint64_t>(generation) << 16) | static_cast<uint64_t>(slot);
}

// The slot index of ref, or -1 when this load did not issue it.
int SlotOf(ObjectRef ref) {
  if (ref == 0 || static_cast<uint32_t>(ref >> 32) != LoadStamp()) return -1;
  uint64_t slot = ref & 0xFFFF;
  if (slot >= kSlotCount) return -1;
  uint16_t generation = static_cast<uint16_t>(ref >> 16);
  const Slot& entry = gSlots[slot];
  if (entry.object == nullptr || entry.generation != generation) return -1;
  return static_cast<int>(slot);
}

}  // namespace

ObjectRef RegisterObject(ObjectKind kind, void* object) {
  if (object == nullptr) return 0;
  for (int i = 0; i < kSlotCount; ++i) {
    Slot& entry = gSlots[i];
    if (entry.object != nullptr) continue;
    entry.object = object;
    entry.kind = kind;
    entry.generation = static_cast<uint16_t>(entry.generation + 1);
    return MakeRef(i, entry.generation);
  }
  return 0;
}

void* ResolveObject(ObjectKind kind, ObjectRef ref) {
  int slot = SlotOf(ref);
  if (slot < 0 || gSlots[slot].kind != kind) return nullptr;
  return gSlots[slot].object;
}

void DropObject(ObjectRef ref) {
  int slot = SlotOf(ref);
  if (slot >= 0) gSlots[slot].object = nullptr;
}

}  // namespace quiltora
