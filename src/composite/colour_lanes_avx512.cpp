// The colour-mode lanes for AVX-512 (F, BW, DQ, VL and VBMI), sixteen pixels
// at a time. This file alone is compiled for that instruction set; it is
// called only when the processor and the system have it.
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

  // Sixteen pixels: exactly 48 or 64 bytes.
  static constexpr __mmask64 kThreeByteRow = (__mmask64{1} << 48) - 1;
  template <int kStride>
  static I LoadPixels(const uint8_t* p) {
    if constexpr (kStride == 4)
      return _mm512_loadu_si512(p);
    else
      return _mm512_maskz_loadu_epi8(kThreeByteRow, p);
  }

  // Channels out of loaded pixels and back, by byte permutes across the vector.
  class Codec {
   public:
    explicit Codec(const ColourLaneControls& controls) {
      for (int k = 0; k < 3; ++k) {
        input_[k] = _mm512_loadu_si512(controls.input[k]);
        tile_[k] = _mm512_loadu_si512(controls.tile[k]);
        output_[k] = _mm512_loadu_si512(controls.output[k]);
        outputBytes_[k] = controls.outputBytes[k];
      }
    }
    F Input(I pixels, int k) const { return Channel(pixels, input_[k]); }
    F Tile(I pixels, int k) const { return Channel(pixels, tile_[k]); }
    // Bytes outside the channels are not written.
    template <int kStride>
    void Store(uint8_t* p, const F (&channels)[3]) const {
      I packed = _mm512_maskz_permutexvar_epi8(outputBytes_[0], output_[0], _mm512_cvttps_epi32(channels[0]));
      packed = _mm512_mask_permutexvar_epi8(packed, outputBytes_[1], output_[1], _mm512_cvttps_epi32(channels[1]));
      packed = _mm512_mask_permutexvar_epi8(packed, outputBytes_[2], output_[2], _mm512_cvttps_epi32(channels[2]));
      if constexpr (kStride == 4) {
        const __mmask64 written = outputBytes_[0] | outputBytes_[1] | outputBytes_[2];
        _mm512_storeu_si512(p, _mm512_mask_blend_epi8(written, _mm512_loadu_si512(p), packed));
      } else {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm512_castsi512_si256(packed));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32), _mm512_extracti32x4_epi32(packed, 2));
      }
    }

   private:
    // Byte 0 of each 32-bit lane from the indexed byte, the rest zero.
    static F Channel(I pixels, I index) {
      return _mm512_cvtepi32_ps(_mm512_maskz_permutexvar_epi8(0x1111111111111111ull, index, pixels));
    }
    I input_[3], tile_[3], output_[3];
    __mmask64 outputBytes_[3];
  };
};

}  // namespace

int32_t BlendColourLanesAvx512(const ColourLaneRun& run) { return BlendColourLanesWith<Avx512>(run); }

}  // namespace quiltora
