#include "common/fixed.h"

#include <cmath>

namespace quiltora {

namespace {

// Two's-complement wrap of an unsigned 32-bit value into int32, without
// implementation-defined conversions.
int32_t Wrap(uint32_t value) {
  return value <= 0x7FFFFFFFu ? static_cast<int32_t>(value)
                              : -static_cast<int32_t>(~value) - 1;
}

}  // namespace

int32_t FixMul(int32_t a, int32_t b) {
  const uint32_t aLow = static_cast<uint32_t>(a) & 0xFFFFu;
  const uint32_t bLow = static_cast<uint32_t>(b) & 0xFFFFu;
  // Arithmetic shifts of the high halves; the values fit in 16 signed bits.
  const int32_t aHigh = a >= 0 ? a / 65536 : -((-(static_cast<int64_t>(a)) + 65535) / 65536);
  const int32_t bHigh = b >= 0 ? b / 65536 : -((-(static_cast<int64_t>(b)) + 65535) / 65536);
  const uint32_t lowLow = (aLow * bLow) >> 16;
  const uint32_t lowHigh = aLow * static_cast<uint32_t>(bHigh);
  const uint32_t highLow = static_cast<uint32_t>(aHigh) * bLow;
  const uint32_t highHigh = (static_cast<uint32_t>(aHigh) * static_cast<uint32_t>(bHigh)) << 16;
  return Wrap(lowLow + lowHigh + highLow + highHigh);
}

int32_t FixDiv(int32_t a, int32_t b) {
  const int32_t quarter = b >= 0 ? b / 4 : -((-(static_cast<int64_t>(b)) + 3) / 4);
  return FixMul(a, 0x40000000 / quarter);
}

int32_t FixSqrt(int32_t v) {
  if (v < 0) return 0;
  // A 64-bit integer root: exact for every non-negative int32, including the
  // values from 16384.0 upward that a narrower bit-by-bit root gets wrong.
  const uint64_t value = static_cast<uint64_t>(v);
  uint64_t root = static_cast<uint64_t>(std::sqrt(static_cast<double>(value)));
  while (root * root > value) --root;
  while ((root + 1) * (root + 1) <= value) ++root;
  return static_cast<int32_t>(root << 8);
}

int32_t DoubleToFix(double x) {
  if (!std::isfinite(x)) return 0;
  const double whole = std::trunc(x);
  const double fraction = std::trunc((x - whole) * 65536.0);
  // The whole part wraps like the 32-bit shift it stands for.
  const int64_t wholeBits = static_cast<int64_t>(std::fmod(whole, 4294967296.0));
  const uint32_t shifted = static_cast<uint32_t>(static_cast<uint64_t>(wholeBits)) << 16;
  return Wrap(shifted + static_cast<uint32_t>(static_cast<int32_t>(fraction)));
}

}  // namespace quiltora
