// The colour-mode lanes for AVX-512 (F, BW, DQ and VL), sixteen pixels at a
// time. This file alone is compiled for that instruction set; it is called
// only when the processor and the system have it.
#include <immintrin.h>

#include "composite/colour_lanes.h"
#include "composite/colour_lanes_kernel.h"

namespace quiltora {
namespace {

struct Avx512 {
  static constexpr int kLanes = 16;
  using F = __m512;
  using M = __mmask16;
  using I = __m512i;

  static F Splat(float v) { return _mm512_set1_ps(v); }
  static F Add(F a, F b) { return _mm512_add_ps(a, b); }
  static F Sub(F a, F b) { return _mm512_sub_ps(a, b); }
  static F Mul(F a, F b) { return _mm512_mul_ps(a, b); }
  static F Div(F a, F b) { return _mm512_div_ps(a, b); }
  static F Fma(F a, F b, F c) { return _mm512_fmadd_ps(a, b, c); }    // a × b + c
  static F Fnma(F a, F b, F c) { return _mm512_fnmadd_ps(a, b, c); }  // c - a × b
  static F Min(F a, F b) { return _mm512_min_ps(a, b); }
  static F Max(F a, F b) { return _mm512_max_ps(a, b); }
  static F Floor(F a) { return _mm512_roundscale_ps(a, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC); }
  static F Trunc(F a) { return _mm512_roundscale_ps(a, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC); }
  static M Lt(F a, F b) { return _mm512_cmp_ps_mask(a, b, _CMP_LT_OQ); }
  static M Eq(F a, F b) { return _mm512_cmp_ps_mask(a, b, _CMP_EQ_OQ); }
  static M Or(M a, M b) { return _kor_mask16(a, b); }
  static M AndNot(M a, M b) { return _kandn_mask16(a, b); }  // b and not a
  static F Select(M m, F ifTrue, F ifFalse) { return _mm512_mask_blend_ps(m, ifFalse, ifTrue); }

  // Sixteen pixels, four to each 16-byte quarter. Three-byte pixels are read
  // as exactly 48 bytes and spread to 12 bytes per quarter.
  template <int kStride>
  static I LoadPixels(const uint8_t* p) {
    if constexpr (kStride == 4) {
      return _mm512_loadu_si512(p);
    } else {
      const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
      const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32));
      const I joined = _mm512_inserti32x4(_mm512_castsi256_si512(first), last, 2);
      return _mm512_permutexvar_epi32(_mm512_setr_epi32(0, 1, 2, 0, 3, 4, 5, 0, 6, 7, 8, 0, 9, 10, 11, 0), joined);
    }
  }
  // Channels out of loaded pixels and back, by byte shuffles within each quarter.
  class Codec {
   public:
    explicit Codec(const ColourLaneControls& controls) {
      for (int k = 0; k < 3; ++k) {
        input_[k] = Group(controls.groupInput[k]);
        tile_[k] = Group(controls.groupTile[k]);
        output_[k] = Group(controls.groupOutput[k]);
      }
      written_ = _mm512_movepi8_mask(Group(controls.groupWritten));
    }
    F Input(I pixels, int k) const { return _mm512_cvtepi32_ps(_mm512_shuffle_epi8(pixels, input_[k])); }
    F Tile(I pixels, int k) const { return _mm512_cvtepi32_ps(_mm512_shuffle_epi8(pixels, tile_[k])); }
    // Four-byte pixels keep the bytes outside the channels.
    template <int kStride>
    void Store(uint8_t* p, const F (&channels)[3]) const {
      I packed = _mm512_shuffle_epi8(_mm512_cvttps_epi32(channels[0]), output_[0]);
      packed = _mm512_or_si512(packed, _mm512_shuffle_epi8(_mm512_cvttps_epi32(channels[1]), output_[1]));
      packed = _mm512_or_si512(packed, _mm512_shuffle_epi8(_mm512_cvttps_epi32(channels[2]), output_[2]));
      if constexpr (kStride == 4) {
        _mm512_storeu_si512(p, _mm512_mask_blend_epi8(written_, _mm512_loadu_si512(p), packed));
      } else {
        const I joined =
            _mm512_permutexvar_epi32(_mm512_setr_epi32(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 0, 0, 0, 0), packed);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm512_castsi512_si256(joined));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32), _mm512_extracti32x4_epi32(joined, 2));
      }
    }

   private:
    static I Group(const int8_t* bytes) {
      return _mm512_broadcast_i32x4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)));
    }
    I input_[3], tile_[3], output_[3];
    __mmask64 written_;
  };
};

}  // namespace

int32_t BlendColourLanesAvx512(const ColourLaneRun& run) { return BlendColourLanesWith<Avx512>(run); }

}  // namespace quiltora
