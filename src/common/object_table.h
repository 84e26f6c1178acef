// References to module-owned objects as they are kept in the settings record.
//
// Hosts keep the record in many ways: some hand the same memory back, some copy
// its bytes, some reload the module between runs, some hand back garbage. A raw
// address in it could point anywhere, so the record holds 64-bit ids into this
// table instead. An id carries a stamp of this load of the module, the slot and
// the slot's generation; an id this load did not issue, or whose object has been
// dropped, resolves to null.
#pragma once

#include <cstdint>

#include "abi/parameter_block.h"

namespace quiltora {

enum class ObjectKind : uint8_t { ImageBuffer = 1, DisplayRecord = 2 };

// Registers object and returns its id; 0 when object is null or the table is full.
ObjectRef RegisterObject(ObjectKind kind, void* object);

// The object behind ref, or nullptr for 0, a foreign or stale id, or another kind.
void* ResolveObject(ObjectKind kind, ObjectRef ref);

// Forgets ref (the caller releases the object itself); unknown ids are ignored.
void DropObject(ObjectRef ref);

// Typed helpers for the record's picture-buffer fields.
struct ImageBuffer;
inline ObjectRef RefFromImage(ImageBuffer* image) {
  return RegisterObject(ObjectKind::ImageBuffer, image);
}
inline ImageBuffer* ImageFromRef(ObjectRef ref) {
  return static_cast<ImageBuffer*>(ResolveObject(ObjectKind::ImageBuffer, ref));
}

}  // namespace quiltora
