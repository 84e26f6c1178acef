#pragma once

#include <cstdint>

namespace quiltora {

// Routes a selector to its step and returns the step's result; -1 for any
// selector outside 0..5, without touching the record.
int16_t Dispatch(int16_t selector, void* record);

// The module's export as hosts call it: Dispatch behind the one barrier that
// keeps anything thrown inside the module from reaching the host (it becomes
// -108); the result word is always written when there is one.
void EntryPoint(int16_t selector, void* record, intptr_t* data, int16_t* result);

}  // namespace quiltora
