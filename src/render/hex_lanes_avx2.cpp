#include <immintrin.h>

#include "render/hex_lane_masks.h"
#include "render/hex_lanes.h"

namespace quiltora {
namespace {

using hex_lanes::ByteMask;
using hex_lanes::kSqueezeMask;
using hex_lanes::SpreadMask;

inline __m256i LoadMask(const ByteMask& mask) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask.bytes));
}

// Eight samples' byte offsets from the origin, their fractions and their
// neighbours go through vector lanes; only the loads are per pixel. A pair of
// samples shares one register: the first's channels in the low four 32-bit
// lanes, the second's in the high four.
template <int kChannels>
int32_t SampleEights(const uint8_t* origin, int32_t rowBytes, int32_t sx, int32_t sy, int32_t stepX, int32_t stepY,
                     uint8_t* out, int32_t count) {
  constexpr int kLowerLead = hex_lanes::LowerLead(kChannels);
  const __m256i left = LoadMask(SpreadMask(0, kChannels)), right = LoadMask(SpreadMask(kChannels, kChannels));
  const __m256i lowerLeft = LoadMask(SpreadMask(kLowerLead, kChannels));
  const __m256i lowerRight = LoadMask(SpreadMask(kLowerLead + kChannels, kChannels));
  const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  __m256i x = _mm256_add_epi32(_mm256_set1_epi32(sx), _mm256_mullo_epi32(lane, _mm256_set1_epi32(stepX)));
  __m256i y = _mm256_add_epi32(_mm256_set1_epi32(sy), _mm256_mullo_epi32(lane, _mm256_set1_epi32(stepY)));
  const __m256i stepX8 = _mm256_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(stepX) * 8u));
  const __m256i stepY8 = _mm256_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(stepY) * 8u));
  const __m256i rows = _mm256_set1_epi32(rowBytes);
  const __m256i low16 = _mm256_set1_epi32(0xFFFF);
  const __m256i half = _mm256_set1_epi32(0x8000);
  const __m256i pairIndex[4] = {_mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1), _mm256_setr_epi32(2, 2, 2, 2, 3, 3, 3, 3),
                                _mm256_setr_epi32(4, 4, 4, 4, 5, 5, 5, 5), _mm256_setr_epi32(6, 6, 6, 6, 7, 7, 7, 7)};
  const __m256i pixelOrder = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
  const __m256i squeeze = LoadMask(kSqueezeMask);
  const __m256i joinThirds = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7);
  int32_t done = 0;
  for (; done + 8 <= count; done += 8) {
    const __m256i fx = _mm256_and_si256(x, low16), fy = _mm256_and_si256(y, low16);
    const __m256i column = _mm256_srai_epi32(x, 16);
    const __m256i offsets = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srai_epi32(y, 16), rows),
                                             kChannels == 4 ? _mm256_slli_epi32(column, 2)
                                                            : _mm256_add_epi32(column, _mm256_slli_epi32(column, 1)));
    int32_t at[8];
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), offsets);
    __m256i blended[4];
    for (int pair = 0; pair < 4; ++pair) {
      const uint8_t* first = origin + at[2 * pair];
      const uint8_t* second = origin + at[2 * pair + 1];
      const __m128i upper = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(first)),
                                               _mm_loadl_epi64(reinterpret_cast<const __m128i*>(second)));
      const __m128i lower =
          _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(first + rowBytes - kLowerLead)),
                             _mm_loadl_epi64(reinterpret_cast<const __m128i*>(second + rowBytes - kLowerLead)));
      const __m256i up = _mm256_broadcastsi128_si256(upper), down = _mm256_broadcastsi128_si256(lower);
      const __m256i c00 = _mm256_shuffle_epi8(up, left), c10 = _mm256_shuffle_epi8(up, right);
      const __m256i c01 = _mm256_shuffle_epi8(down, lowerLeft), c11 = _mm256_shuffle_epi8(down, lowerRight);
      const __m256i wx = _mm256_permutevar8x32_epi32(fx, pairIndex[pair]);
      const __m256i wy = _mm256_permutevar8x32_epi32(fy, pairIndex[pair]);
      // top = (c00 << 16) + fx × (c10 − c00), bottom likewise one row down;
      // fy × (bottom − top) >> 16 as fy × high + (fy × low >> 16).
      const __m256i top = _mm256_add_epi32(_mm256_slli_epi32(c00, 16), _mm256_mullo_epi32(wx, _mm256_sub_epi32(c10, c00)));
      const __m256i bottom =
          _mm256_add_epi32(_mm256_slli_epi32(c01, 16), _mm256_mullo_epi32(wx, _mm256_sub_epi32(c11, c01)));
      const __m256i difference = _mm256_sub_epi32(bottom, top);
      const __m256i scaled =
          _mm256_add_epi32(_mm256_mullo_epi32(wy, _mm256_srai_epi32(difference, 16)),
                           _mm256_srli_epi32(_mm256_mullo_epi32(wy, _mm256_and_si256(difference, low16)), 16));
      blended[pair] = _mm256_srai_epi32(_mm256_add_epi32(_mm256_add_epi32(top, scaled), half), 16);
    }
    // Pairs (0, 1) and (2, 3) pack to pixels 0 2 4 6 | 1 3 5 7, four bytes each.
    const __m256i packed = _mm256_packus_epi16(_mm256_packus_epi32(blended[0], blended[1]),
                                               _mm256_packus_epi32(blended[2], blended[3]));
    const __m256i pixels = _mm256_permutevar8x32_epi32(packed, pixelOrder);
    uint8_t* to = out + static_cast<int64_t>(done) * kChannels;
    if (kChannels == 4) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(to), pixels);
    } else {
      const __m256i thirds = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(pixels, squeeze), joinThirds);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm256_castsi256_si128(thirds));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(to + 16), _mm256_extracti128_si256(thirds, 1));
    }
    x = _mm256_add_epi32(x, stepX8);
    y = _mm256_add_epi32(y, stepY8);
  }
  return done;
}

}  // namespace

int32_t SampleInteriorAvx2(const uint8_t* origin, int32_t rowBytes, int32_t channels, int32_t sx, int32_t sy,
                           int32_t stepX, int32_t stepY, uint8_t* out, int32_t count) {
  if (channels == 3) return SampleEights<3>(origin, rowBytes, sx, sy, stepX, stepY, out, count);
  if (channels == 4) return SampleEights<4>(origin, rowBytes, sx, sy, stepX, stepY, out, count);
  return 0;
}

}  // namespace quiltora
