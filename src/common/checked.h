// Size arithmetic for allocations: any product that could overflow is a
// failure, never a short buffer. Files and settings records carry any numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

namespace quiltora {

// a × b when both are non-negative and the product fits in int32; false otherwise.
inline bool CheckedMul32(int64_t a, int64_t b, int32_t* out) {
  if (a < 0 || b < 0) return false;
  if (a != 0 && b > std::numeric_limits<int32_t>::max() / a) return false;
  *out = static_cast<int32_t>(a * b);
  return true;
}

// a × b × c with the same rule.
inline bool CheckedMul32(int64_t a, int64_t b, int64_t c, int32_t* out) {
  int32_t ab = 0;
  return CheckedMul32(a, b, &ab) && CheckedMul32(ab, c, out);
}

// a + b when both are non-negative and the sum fits in int32.
inline bool CheckedAdd32(int64_t a, int64_t b, int32_t* out) {
  if (a < 0 || b < 0 || a + b > std::numeric_limits<int32_t>::max()) return false;
  *out = static_cast<int32_t>(a + b);
  return true;
}

}  // namespace quiltora
