#include <immintrin.h>

#include "render/pixel_lanes.h"

namespace quiltora {
namespace {

// Byte b of the reversed group is channel b mod 3 of pixel 20 − b / 3; the
// 64th byte is spare and never read or written.
struct ReverseIndex {
  char bytes[64];
};

constexpr ReverseIndex MakeReverseIndex() {
  ReverseIndex index{};
  for (int b = 0; b < 63; ++b) index.bytes[b] = static_cast<char>((20 - b / 3) * 3 + b % 3);
  return index;
}

constexpr ReverseIndex kReverse = MakeReverseIndex();

}  // namespace

bool PixelLanesBuilt() { return true; }

int32_t MirrorRgbVbmi(const uint8_t* source, uint8_t* tileLast, int32_t count) {
  const __m512i reverse = _mm512_loadu_si512(kReverse.bytes);
  constexpr __mmask64 kGroup = (__mmask64{1} << 63) - 1;  // 63 bytes: 21 pixels
  int32_t k = 0;
  for (; k + 21 <= count; k += 21) {
    const __m512i pixels = _mm512_maskz_loadu_epi8(kGroup, source + 3 * int64_t(k));
    _mm512_mask_storeu_epi8(tileLast - 3 * int64_t(k + 20), kGroup, _mm512_permutexvar_epi8(reverse, pixels));
  }
  return k;
}

}  // namespace quiltora
