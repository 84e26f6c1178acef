// The colour-mode lanes for AVX2 with FMA, eight pixels at a time. This file
// alone is compiled for that instruction set; it is called only when the
// processor has it.
#include <immintrin.h>

#include "composite/colour_lanes.h"
#include "composite/colour_lanes_kernel.h"

namespace quiltora {
namespace {

struct Avx2 {
  static constexpr int kLanes = 8;
  using F = __m256;
  using M = __m256;
  using I = __m256i;

  static F Splat(float v) { return _mm256_set1_ps(v); }
  static F Add(F a, F b) { return _mm256_add_ps(a, b); }
  static F Sub(F a, F b) { return _mm256_sub_ps(a, b); }
  static F Mul(F a, F b) { return _mm256_mul_ps(a, b); }
  static F Div(F a, F b) { return _mm256_div_ps(a, b); }
  static F Fma(F a, F b, F c) { return _mm256_fmadd_ps(a, b, c); }    // a × b + c
  static F Fnma(F a, F b, F c) { return _mm256_fnmadd_ps(a, b, c); }  // c - a × b
  static F Min(F a, F b) { return _mm256_min_ps(a, b); }
  static F Max(F a, F b) { return _mm256_max_ps(a, b); }
  static F Floor(F a) { return _mm256_round_ps(a, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC); }
  static F Trunc(F a) { return _mm256_round_ps(a, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC); }
  static M Lt(F a, F b) { return _mm256_cmp_ps(a, b, _CMP_LT_OQ); }
  static M Eq(F a, F b) { return _mm256_cmp_ps(a, b, _CMP_EQ_OQ); }
  static M Or(M a, M b) { return _mm256_or_ps(a, b); }
  static M AndNot(M a, M b) { return _mm256_andnot_ps(a, b); }  // b and not a
  static F Select(M m, F ifTrue, F ifFalse) { return _mm256_blendv_ps(ifFalse, ifTrue, m); }

  // Eight pixels, four to each 16-byte half. Three-byte pixels are read as
  // exactly 24 bytes and spread to 12 bytes per half.
  template <int kStride>
  static I LoadPixels(const uint8_t* p) {
    if constexpr (kStride == 4) {
      return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    } else {
      const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const __m128i last = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 16));
      return _mm256_permutevar8x32_epi32(_mm256_set_m128i(last, first), _mm256_setr_epi32(0, 1, 2, 0, 3, 4, 5, 0));
    }
  }

  // Channels out of loaded pixels and back, by byte shuffles within each half.
  class Codec {
   public:
    explicit Codec(const ColourLaneControls& controls) {
      for (int k = 0; k < 3; ++k) {
        input_[k] = Group(controls.groupInput[k]);
        tile_[k] = Group(controls.groupTile[k]);
        output_[k] = Group(controls.groupOutput[k]);
      }
      written_ = Group(controls.groupWritten);
    }
    F Input(I pixels, int k) const { return _mm256_cvtepi32_ps(_mm256_shuffle_epi8(pixels, input_[k])); }
    F Tile(I pixels, int k) const { return _mm256_cvtepi32_ps(_mm256_shuffle_epi8(pixels, tile_[k])); }
    // Four-byte pixels keep the bytes outside the channels.
    template <int kStride>
    void Store(uint8_t* p, const F (&channels)[3]) const {
      I packed = _mm256_shuffle_epi8(_mm256_cvttps_epi32(channels[0]), output_[0]);
      packed = _mm256_or_si256(packed, _mm256_shuffle_epi8(_mm256_cvttps_epi32(channels[1]), output_[1]));
      packed = _mm256_or_si256(packed, _mm256_shuffle_epi8(_mm256_cvttps_epi32(channels[2]), output_[2]));
      if constexpr (kStride == 4) {
        const I held = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm256_blendv_epi8(held, packed, written_));
      } else {
        const I joined = _mm256_permutevar8x32_epi32(packed, _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 0, 0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(joined));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p + 16), _mm256_extracti128_si256(joined, 1));
      }
    }

   private:
    static I Group(const int8_t* bytes) {
      return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)));
    }
    I input_[3], tile_[3], output_[3], written_;
  };
};

}  // namespace

int32_t BlendColourLanesAvx2(const ColourLaneRun& run) { return BlendColourLanesWith<Avx2>(run); }

}  // namespace quiltora
