#include <immintrin.h>

#include "render/pixel_lanes.h"

namespace quiltora {
namespace {

// Byte b of a reversed register of bytesPerPixel-byte pixels: channel
// b mod bytesPerPixel of pixel (pixels − 1 − b / bytesPerPixel). For 3-byte
// pixels the 64th byte is spare and never read or written.
struct ReverseIndex {
  char bytes[64];
};

constexpr ReverseIndex MakeReverseIndex(int bytesPerPixel) {
  ReverseIndex index{};
  const int pixels = 64 / bytesPerPixel;
  for (int b = 0; b < pixels * bytesPerPixel; ++b)
    index.bytes[b] = static_cast<char>((pixels - 1 - b / bytesPerPixel) * bytesPerPixel + b % bytesPerPixel);
  return index;
}

constexpr ReverseIndex kReverseBytes = MakeReverseIndex(1), kReverseRgb = MakeReverseIndex(3);

// One register's worth of pixels at a time by byte permutes (VBMI): 64 1-byte
// or 21 3-byte pixels, moved with masked loads and stores.
[[gnu::target("avx512f,avx512bw,avx512vbmi")]] int32_t MirrorBytes(const uint8_t* source, uint8_t* tileLast,
                                                                    int32_t count, int32_t bytesPerPixel,
                                                                    const ReverseIndex& index) {
  const __m512i reverse = _mm512_loadu_si512(index.bytes);
  const int32_t pixels = 64 / bytesPerPixel;
  const __mmask64 group = bytesPerPixel == 1 ? ~__mmask64{0} : (__mmask64{1} << (pixels * bytesPerPixel)) - 1;
  int32_t k = 0;
  for (; k + pixels <= count; k += pixels) {
    const __m512i bytes = _mm512_maskz_loadu_epi8(group, source + int64_t(k) * bytesPerPixel);
    _mm512_mask_storeu_epi8(tileLast - int64_t(k + pixels - 1) * bytesPerPixel, group,
                            _mm512_permutexvar_epi8(reverse, bytes));
  }
  return k;
}

// Sixteen 4-byte pixels at a time by one 32-bit permute.
int32_t MirrorQuads(const uint8_t* source, uint8_t* tileLast, int32_t count) {
  const __m512i reverse = _mm512_setr_epi32(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
  int32_t k = 0;
  for (; k + 16 <= count; k += 16) {
    const __m512i pixels = _mm512_loadu_si512(source + 4 * int64_t(k));
    _mm512_storeu_si512(tileLast - 4 * int64_t(k + 15), _mm512_permutexvar_epi32(reverse, pixels));
  }
  return k;
}

}  // namespace

int32_t MirrorPixelsAvx512(const uint8_t* source, uint8_t* tileLast, int32_t count, int32_t bytesPerPixel,
                           bool vbmi) {
  switch (bytesPerPixel) {
    case 1: return vbmi ? MirrorBytes(source, tileLast, count, 1, kReverseBytes) : 0;
    case 3: return vbmi ? MirrorBytes(source, tileLast, count, 3, kReverseRgb) : 0;
    case 4: return MirrorQuads(source, tileLast, count);
    default: return 0;
  }
}

}  // namespace quiltora
