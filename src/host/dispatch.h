#pragma once

#include <cstdint>

namespace quiltora {

// Routes a selector to its step and returns the step's result; -1 for any
// selector outside 0..5, without touching the record.
int16_t Dispatch(int16_t selector, void* record);

}  // namespace quiltora
