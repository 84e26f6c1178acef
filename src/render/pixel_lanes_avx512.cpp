#include <immintrin.h>

#include "render/pixel_lanes.h"

namespace quiltora {
namespace {

// Where each byte of a register is taken from by a byte permute.
struct ByteIndex {
  char bytes[64];
};

// Byte b of a reversed register of bytesPerPixel-byte pixels: channel
// b mod bytesPerPixel of pixel (pixels − 1 − b / bytesPerPixel). For 3-byte
// pixels the 64th byte is spare and never read or written.
constexpr ByteIndex MakeReverseIndex(int bytesPerPixel) {
  ByteIndex index{};
  const int pixels = 64 / bytesPerPixel;
  for (int b = 0; b < pixels * bytesPerPixel; ++b)
    index.bytes[b] = static_cast<char>((pixels - 1 - b / bytesPerPixel) * bytesPerPixel + b % bytesPerPixel);
  return index;
}

constexpr ByteIndex kReverseBytes = MakeReverseIndex(1), kReverseRgb = MakeReverseIndex(3);

// One register's worth of pixels at a time by byte permutes (VBMI): 64 1-byte
// or 21 3-byte pixels, moved with masked loads and stores.
[[gnu::target("avx512f,avx512bw,avx512vbmi")]] int32_t MirrorBytes(const uint8_t* source, uint8_t* tileLast,
                                                                    int32_t count, int32_t bytesPerPixel,
                                                                    const ByteIndex& index) {
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

// The index of a 32-bit permute that reverses the sixteen lanes.
inline __m512i ReverseQuads() { return _mm512_setr_epi32(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0); }

// Sixteen 4-byte pixels at a time by one 32-bit permute.
int32_t MirrorQuads(const uint8_t* source, uint8_t* tileLast, int32_t count) {
  const __m512i reverse = ReverseQuads();
  int32_t k = 0;
  for (; k + 16 <= count; k += 16) {
    const __m512i pixels = _mm512_loadu_si512(source + 4 * int64_t(k));
    _mm512_storeu_si512(tileLast - 4 * int64_t(k + 15), _mm512_permutexvar_epi32(reverse, pixels));
  }
  return k;
}

// Sixteen rows of sixteen 32-bit lanes transposed in registers: rows[k]
// becomes column k.
inline void TransposeQuads(__m512i rows[16]) {
  // Within each 128-bit lane, 4 × 4 squares: q[4g + e] lane L holds column
  // 4L + e of rows 4g .. 4g + 3.
  __m512i q[16];
  for (int g = 0; g < 16; g += 4) {
    const __m512i t0 = _mm512_unpacklo_epi32(rows[g], rows[g + 1]);
    const __m512i t1 = _mm512_unpackhi_epi32(rows[g], rows[g + 1]);
    const __m512i t2 = _mm512_unpacklo_epi32(rows[g + 2], rows[g + 3]);
    const __m512i t3 = _mm512_unpackhi_epi32(rows[g + 2], rows[g + 3]);
    q[g] = _mm512_unpacklo_epi64(t0, t2);
    q[g + 1] = _mm512_unpackhi_epi64(t0, t2);
    q[g + 2] = _mm512_unpacklo_epi64(t1, t3);
    q[g + 3] = _mm512_unpackhi_epi64(t1, t3);
  }
  // Then the lanes: column 4L + e gathers lane L of q[e], q[4 + e], q[8 + e], q[12 + e].
  for (int e = 0; e < 4; ++e) {
    const __m512i low01 = _mm512_shuffle_i32x4(q[e], q[4 + e], 0x44);
    const __m512i high01 = _mm512_shuffle_i32x4(q[e], q[4 + e], 0xEE);
    const __m512i low23 = _mm512_shuffle_i32x4(q[8 + e], q[12 + e], 0x44);
    const __m512i high23 = _mm512_shuffle_i32x4(q[8 + e], q[12 + e], 0xEE);
    rows[e] = _mm512_shuffle_i32x4(low01, low23, 0x88);
    rows[4 + e] = _mm512_shuffle_i32x4(low01, low23, 0xDD);
    rows[8 + e] = _mm512_shuffle_i32x4(high01, high23, 0x88);
    rows[12 + e] = _mm512_shuffle_i32x4(high01, high23, 0xDD);
  }
}

template <bool kMirrored>
void TransposeSquareQuads(const uint8_t* from, int64_t fromRowBytes, uint8_t* to, int64_t toRowBytes) {
  const __m512i reverse = ReverseQuads();
  __m512i r[16];
  for (int k = 0; k < 16; ++k) r[k] = _mm512_loadu_si512(from + k * fromRowBytes);
  TransposeQuads(r);
  for (int k = 0; k < 16; ++k)
    _mm512_storeu_si512(to + k * toRowBytes, kMirrored ? _mm512_permutexvar_epi32(reverse, r[k]) : r[k]);
}

// Byte b of a 3-byte pixel row spread to 32-bit lanes (the fourth byte of
// each lane is never stored), and packed back, in either direction.
constexpr ByteIndex MakeRgbSpread() {
  ByteIndex index{};
  for (int b = 0; b < 64; ++b) index.bytes[b] = static_cast<char>(b / 4 * 3 + (b % 4 == 3 ? 0 : b % 4));
  return index;
}

constexpr ByteIndex MakeRgbPack(bool mirrored) {
  ByteIndex index{};
  for (int b = 0; b < 48; ++b) index.bytes[b] = static_cast<char>((mirrored ? 15 - b / 3 : b / 3) * 4 + b % 3);
  return index;
}

constexpr ByteIndex kRgbSpread = MakeRgbSpread(), kRgbPack = MakeRgbPack(false),
                       kRgbPackMirrored = MakeRgbPack(true);

// The same for 3-byte pixels: exactly 48 bytes read and written per row.
template <bool kMirrored>
[[gnu::target("avx512f,avx512bw,avx512vbmi")]] void TransposeSquareRgb(const uint8_t* from, int64_t fromRowBytes,
                                                                        uint8_t* to, int64_t toRowBytes) {
  constexpr __mmask64 kRow = (__mmask64{1} << 48) - 1;
  const __m512i spread = _mm512_loadu_si512(kRgbSpread.bytes);
  const __m512i pack = _mm512_loadu_si512(kMirrored ? kRgbPackMirrored.bytes : kRgbPack.bytes);
  __m512i r[16];
  for (int k = 0; k < 16; ++k)
    r[k] = _mm512_permutexvar_epi8(spread, _mm512_maskz_loadu_epi8(kRow, from + k * fromRowBytes));
  TransposeQuads(r);
  for (int k = 0; k < 16; ++k) _mm512_mask_storeu_epi8(to + k * toRowBytes, kRow, _mm512_permutexvar_epi8(pack, r[k]));
}

}  // namespace

SquareTranspose SquareTransposeAvx512(int32_t bytesPerPixel, bool mirrored, bool vbmi) {
  if (bytesPerPixel == 4) return mirrored ? TransposeSquareQuads<true> : TransposeSquareQuads<false>;
  if (bytesPerPixel == 3 && vbmi) return mirrored ? TransposeSquareRgb<true> : TransposeSquareRgb<false>;
  return nullptr;
}

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
