#include <immintrin.h>

#include "render/hex_lane_masks.h"
#include "render/hex_lanes.h"

namespace quiltora {
namespace {

using hex_lanes::ByteMask;
using hex_lanes::kSqueezeMask;
using hex_lanes::SpreadMask;

// A 32-byte control repeated over both halves of a 512-bit register.
inline __m512i LoadMask(const ByteMask& mask) {
  return _mm512_broadcast_i64x4(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask.bytes)));
}

// The eight bytes at first and at second, as one 16-byte group.
inline __m128i LoadPair(const uint8_t* first, const uint8_t* second) {
  return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(first)),
                            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(second)));
}

// The AVX2 kernel's arithmetic, sixteen samples at a time: a quad of samples
// shares one register, sample k of the quad in 128-bit lane k. The groups of
// pair (0, 1) fill lanes 0 and 1, those of pair (2, 3) lanes 2 and 3, and the
// spreading controls pick each lane's half.
template <int kChannels>
int32_t SampleSixteens(const uint8_t* origin, int32_t rowBytes, int32_t sx, int32_t sy, int32_t stepX,
                       int32_t stepY, uint8_t* out, int32_t count) {
  constexpr int kLowerLead = hex_lanes::LowerLead(kChannels);
  const __m512i left = LoadMask(SpreadMask(0, kChannels)), right = LoadMask(SpreadMask(kChannels, kChannels));
  const __m512i lowerLeft = LoadMask(SpreadMask(kLowerLead, kChannels));
  const __m512i lowerRight = LoadMask(SpreadMask(kLowerLead + kChannels, kChannels));
  const __m512i lane = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  __m512i x = _mm512_add_epi32(_mm512_set1_epi32(sx), _mm512_mullo_epi32(lane, _mm512_set1_epi32(stepX)));
  __m512i y = _mm512_add_epi32(_mm512_set1_epi32(sy), _mm512_mullo_epi32(lane, _mm512_set1_epi32(stepY)));
  const __m512i stepX16 = _mm512_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(stepX) * 16u));
  const __m512i stepY16 = _mm512_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(stepY) * 16u));
  const __m512i rows = _mm512_set1_epi32(rowBytes);
  const __m512i low16 = _mm512_set1_epi32(0xFFFF);
  const __m512i half = _mm512_set1_epi32(0x8000);
  // Sample 4q + k's fraction to every 32-bit lane of 128-bit lane k.
  const __m512i quadIndex[4] = {
      _mm512_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3),
      _mm512_setr_epi32(4, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 6, 7, 7, 7, 7),
      _mm512_setr_epi32(8, 8, 8, 8, 9, 9, 9, 9, 10, 10, 10, 10, 11, 11, 11, 11),
      _mm512_setr_epi32(12, 12, 12, 12, 13, 13, 13, 13, 14, 14, 14, 14, 15, 15, 15, 15)};
  // The packs leave sample lane + 4j in 32-bit lane 4 × lane + j.
  const __m512i pixelOrder = _mm512_setr_epi32(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
  const __m512i squeeze = LoadMask(kSqueezeMask);
  const __m512i joinThirds = _mm512_setr_epi32(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 15, 15, 15, 15);
  int32_t done = 0;
  for (; done + 16 <= count; done += 16) {
    const __m512i fx = _mm512_and_si512(x, low16), fy = _mm512_and_si512(y, low16);
    const __m512i column = _mm512_srai_epi32(x, 16);
    const __m512i offsets = _mm512_add_epi32(_mm512_mullo_epi32(_mm512_srai_epi32(y, 16), rows),
                                             kChannels == 4 ? _mm512_slli_epi32(column, 2)
                                                            : _mm512_add_epi32(column, _mm512_slli_epi32(column, 1)));
    int32_t at[16];
    _mm512_storeu_si512(at, offsets);
    __m512i blended[4];
    for (int quad = 0; quad < 4; ++quad) {
      const uint8_t* p[4] = {origin + at[4 * quad], origin + at[4 * quad + 1], origin + at[4 * quad + 2],
                             origin + at[4 * quad + 3]};
      const __m256i upper =
          _mm256_inserti128_si256(_mm256_castsi128_si256(LoadPair(p[0], p[1])), LoadPair(p[2], p[3]), 1);
      const __m256i lower = _mm256_inserti128_si256(
          _mm256_castsi128_si256(LoadPair(p[0] + rowBytes - kLowerLead, p[1] + rowBytes - kLowerLead)),
          LoadPair(p[2] + rowBytes - kLowerLead, p[3] + rowBytes - kLowerLead), 1);
      // Groups (0 1, 2 3) to lanes (0 1 | 0 1 | 2 3 | 2 3).
      const __m512i up = _mm512_shuffle_i64x2(_mm512_castsi256_si512(upper), _mm512_castsi256_si512(upper), 0x50);
      const __m512i down = _mm512_shuffle_i64x2(_mm512_castsi256_si512(lower), _mm512_castsi256_si512(lower), 0x50);
      const __m512i c00 = _mm512_shuffle_epi8(up, left), c10 = _mm512_shuffle_epi8(up, right);
      const __m512i c01 = _mm512_shuffle_epi8(down, lowerLeft), c11 = _mm512_shuffle_epi8(down, lowerRight);
      const __m512i wx = _mm512_permutexvar_epi32(quadIndex[quad], fx);
      const __m512i wy = _mm512_permutexvar_epi32(quadIndex[quad], fy);
      const __m512i top = _mm512_add_epi32(_mm512_slli_epi32(c00, 16), _mm512_mullo_epi32(wx, _mm512_sub_epi32(c10, c00)));
      const __m512i bottom =
          _mm512_add_epi32(_mm512_slli_epi32(c01, 16), _mm512_mullo_epi32(wx, _mm512_sub_epi32(c11, c01)));
      const __m512i difference = _mm512_sub_epi32(bottom, top);
      const __m512i scaled =
          _mm512_add_epi32(_mm512_mullo_epi32(wy, _mm512_srai_epi32(difference, 16)),
                           _mm512_srli_epi32(_mm512_mullo_epi32(wy, _mm512_and_si512(difference, low16)), 16));
      blended[quad] = _mm512_srai_epi32(_mm512_add_epi32(_mm512_add_epi32(top, scaled), half), 16);
    }
    const __m512i packed = _mm512_packus_epi16(_mm512_packus_epi32(blended[0], blended[1]),
                                               _mm512_packus_epi32(blended[2], blended[3]));
    const __m512i pixels = _mm512_permutexvar_epi32(pixelOrder, packed);
    uint8_t* to = out + static_cast<int64_t>(done) * kChannels;
    if (kChannels == 4) {
      _mm512_storeu_si512(to, pixels);
    } else {
      // Twelve 32-bit words: the 48 bytes of sixteen 3-byte pixels.
      _mm512_mask_storeu_epi32(to, 0x0FFF, _mm512_permutexvar_epi32(joinThirds, _mm512_shuffle_epi8(pixels, squeeze)));
    }
    x = _mm512_add_epi32(x, stepX16);
    y = _mm512_add_epi32(y, stepY16);
  }
  return done;
}

}  // namespace

int32_t SampleInteriorAvx512(const uint8_t* origin, int32_t rowBytes, int32_t channels, int32_t sx, int32_t sy,
                             int32_t stepX, int32_t stepY, uint8_t* out, int32_t count) {
  if (channels == 3) return SampleSixteens<3>(origin, rowBytes, sx, sy, stepX, stepY, out, count);
  if (channels == 4) return SampleSixteens<4>(origin, rowBytes, sx, sy, stepX, stepY, out, count);
  return 0;
}

}  // namespace quiltora
