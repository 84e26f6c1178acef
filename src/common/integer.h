// Small integer helpers with exact contracts, shared by every layer.
#pragma once

#include <algorithm>
#include <cstdint>

namespace quiltora {

// value saturated to [-32768, 32767].
constexpr int16_t ClampTo16(int64_t value) {
  return static_cast<int16_t>(std::clamp<int64_t>(value, INT16_MIN, INT16_MAX));
}

// floor(a / m) for m > 0.
constexpr int64_t FloorDiv(int64_t a, int64_t m) { return a >= 0 ? a / m : (a + 1) / m - 1; }

// a − m × floor(a / m), in [0, m); 0 when m is not positive.
constexpr int64_t FloorMod(int64_t a, int64_t m) {
  if (m <= 0) return 0;
  const int64_t r = a % m;
  return r < 0 ? r + m : r;
}

// a + b, a − b and −a with 32-bit wrap, as the reproduced fixed-point
// geometry and the settings record's free-running offsets require.
constexpr int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
constexpr int32_t WrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
constexpr int32_t WrapNeg(int32_t a) { return WrapSub(0, a); }

}  // namespace quiltora
