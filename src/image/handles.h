// The module's own handle allocator: handles in the hosts' style (a pointer to
// a master pointer to the data), served from system memory. The data never
// moves while the handle lives, so lock and unlock have nothing to do.
#pragma once

#include <cstdint>

namespace quiltora {

using Handle = char**;

// A zero-filled block of `bytes` bytes behind a new handle; null for a negative
// size or when memory is short (last error -108).
Handle HandleNew(int32_t bytes);
// Frees the data and the master block; a null handle sets the last error -109.
void HandleDispose(Handle handle);
inline void HandleLock(Handle) {}
inline void HandleUnlock(Handle) {}

// A zero-filled locked block; null for a negative size or when memory is short.
void* PtrNew(int32_t bytes);
void PtrDispose(void* pointer);

// The last error of this allocator: 0, -108 or -109.
int16_t MemError();

}  // namespace quiltora
