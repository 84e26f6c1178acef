#include "render/pixel_copy.h"

#include <algorithm>
#include <cstring>

#include "common/processor.h"
#include "render/pixel_lanes.h"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define QUILTORA_PIXEL_LANES 1
#endif

namespace quiltora {

namespace {

template <int kChannels>
void CopyRun(const uint8_t* source, int64_t sourceStride, uint8_t* destination,
             int64_t destinationStride, int32_t count) {
  for (int32_t k = 0; k < count; ++k) {
    std::memcpy(destination, source, kChannels);
    source += sourceStride;
    destination += destinationStride;
  }
}

// A mirrored run of equal pixels in whole words: four 3-byte pixels at a time
// are read as three words and written back in reverse pixel order.
void CopyMirroredRgb(const uint8_t* source, uint8_t* tileLast, int32_t count) {
  uint8_t* out = tileLast;
  int32_t k = 0;
  for (; k + 4 <= count; k += 4) {
    uint8_t block[12];
    std::memcpy(block, source, 12);
    uint8_t reversed[12] = {block[9], block[10], block[11], block[6], block[7], block[8],
                            block[3], block[4],  block[5],  block[0], block[1], block[2]};
    std::memcpy(out - 9, reversed, 12);
    source += 12;
    out -= 12;
  }
  CopyRun<3>(source, 3, out, -3, count - k);
}

#ifdef QUILTORA_PIXEL_LANES
// Four 3-byte pixels per byte shuffle. Each group is read as 16 bytes and
// written as 16 whose lowest 4 are spare: they fall on pixels the next group
// (or the closing loop) writes afterwards, and every read and write stays
// inside the run.
[[gnu::target("ssse3")]] void CopyMirroredRgbSsse3(const uint8_t* source, uint8_t* tileLast, int32_t count) {
  const __m128i reverse = _mm_setr_epi8(-1, -1, -1, -1, 9, 10, 11, 6, 7, 8, 3, 4, 5, 0, 1, 2);
  int32_t k = 0;
  for (; 3 * k + 16 <= 3 * count; k += 4) {
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 3 * int64_t(k)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(tileLast - 3 * int64_t(k + 3) - 4), _mm_shuffle_epi8(pixels, reverse));
  }
  CopyRun<3>(source + 3 * int64_t(k), 3, tileLast - 3 * int64_t(k), -3, count - k);
}

// Gray and four-byte pixels, 32 or 8 at a time: the bytes of each 128-bit
// half reversed, then the halves swapped (gray); or one 32-bit permute.
[[gnu::target("avx2")]] int32_t MirrorPixelsAvx2(const uint8_t* source, uint8_t* tileLast, int32_t count,
                                                 int32_t bytesPerPixel) {
  const int32_t pixels = 32 / bytesPerPixel;
  const __m256i reverseBytes = _mm256_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0,  //
                                                15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
  const __m256i reverseQuads = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
  int32_t k = 0;
  for (; k + pixels <= count; k += pixels) {
    const __m256i in = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + int64_t(k) * bytesPerPixel));
    const __m256i out = bytesPerPixel == 1 ? _mm256_permute4x64_epi64(_mm256_shuffle_epi8(in, reverseBytes), 0x4E)
                                           : _mm256_permutevar8x32_epi32(in, reverseQuads);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(tileLast - int64_t(k + pixels - 1) * bytesPerPixel), out);
  }
  return k;
}

// Eight rows of eight 32-bit lanes transposed in registers: rows[k] becomes
// column k.
[[gnu::target("avx2")]] inline void TransposeLanes(__m256i rows[8]) {
  __m256i t[8];
  for (int k = 0; k < 8; k += 2) {
    t[k] = _mm256_unpacklo_epi32(rows[k], rows[k + 1]);
    t[k + 1] = _mm256_unpackhi_epi32(rows[k], rows[k + 1]);
  }
  __m256i q[8];
  for (int k = 0; k < 8; k += 4) {
    q[k] = _mm256_unpacklo_epi64(t[k], t[k + 2]);
    q[k + 1] = _mm256_unpackhi_epi64(t[k], t[k + 2]);
    q[k + 2] = _mm256_unpacklo_epi64(t[k + 1], t[k + 3]);
    q[k + 3] = _mm256_unpackhi_epi64(t[k + 1], t[k + 3]);
  }
  for (int k = 0; k < 4; ++k) {
    rows[k] = _mm256_permute2x128_si256(q[k], q[k + 4], 0x20);
    rows[k + 4] = _mm256_permute2x128_si256(q[k], q[k + 4], 0x31);
  }
}

// Eight 4-byte pixels: a whole 8 × 8 square of pixels transposed in
// registers; mirrored, each written row holds its eight pixels right to left.
template <bool kMirrored>
[[gnu::target("avx2")]] void TransposeSquare4(const uint8_t* from, int64_t fromRowBytes, uint8_t* to,
                                                int64_t toRowBytes) {
  const __m256i reverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
  __m256i r[8];
  for (int k = 0; k < 8; ++k) r[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + k * fromRowBytes));
  TransposeLanes(r);
  for (int k = 0; k < 8; ++k) {
    const __m256i row = kMirrored ? _mm256_permutevar8x32_epi32(r[k], reverse) : r[k];
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + k * toRowBytes), row);
  }
}

// The same for 3-byte pixels, spread to 4 bytes on the way in (exactly 24
// bytes read per row) and packed back on the way out (exactly 24 written).
template <bool kMirrored>
[[gnu::target("avx2")]] void TransposeSquare3(const uint8_t* from, int64_t fromRowBytes, uint8_t* to,
                                                int64_t toRowBytes) {
  const __m256i spread = _mm256_setr_epi32(0, 1, 2, 0, 3, 4, 5, 0);
  const __m256i widen = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 0, 1, 2, -1, 3, 4, 5,
                                         -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m256i narrow = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4, 5, 6,
                                          8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  const __m256i join = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 0, 0);
  const __m256i reverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
  __m256i r[8];
  for (int k = 0; k < 8; ++k) {
    const uint8_t* row = from + k * fromRowBytes;
    const __m256i bytes = _mm256_set_m128i(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + 16)),
                                           _mm_loadu_si128(reinterpret_cast<const __m128i*>(row)));
    r[k] = _mm256_shuffle_epi8(_mm256_permutevar8x32_epi32(bytes, spread), widen);
  }
  TransposeLanes(r);
  for (int k = 0; k < 8; ++k) {
    const __m256i row = kMirrored ? _mm256_permutevar8x32_epi32(r[k], reverse) : r[k];
    const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(row, narrow), join);
    uint8_t* out = to + k * toRowBytes;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(packed, 1));
  }
}

SquareTranspose ChooseSquareTranspose(int32_t bytesPerPixel, bool mirrored) {
  if ((bytesPerPixel != 3 && bytesPerPixel != 4) || !ProcessorHasAvx2()) return nullptr;
  if (bytesPerPixel == 4) return mirrored ? TransposeSquare4<true> : TransposeSquare4<false>;
  return mirrored ? TransposeSquare3<true> : TransposeSquare3<false>;
}
#endif

}  // namespace

PixelLayout MakePixelLayout(int16_t sourceMode, int16_t tileMode) {
  PixelLayout layout{};
  layout.channels = tileMode == 10 ? 3 : BytesPerPixel(tileMode);
  layout.sourceStep = BytesPerPixel(sourceMode);
  layout.sourceSkip = sourceMode == 10 ? 1 : 0;
  layout.tileStep = BytesPerPixel(tileMode);
  layout.tileSkip = tileMode == 10 ? 1 : 0;
  return layout;
}

void CopyPixelRun(const uint8_t* source, int64_t sourceStride, uint8_t* destination,
                  int64_t destinationStride, int32_t count, int32_t channels) {
  switch (channels) {
    case 1: CopyRun<1>(source, sourceStride, destination, destinationStride, count); break;
    case 3: CopyRun<3>(source, sourceStride, destination, destinationStride, count); break;
    case 4: CopyRun<4>(source, sourceStride, destination, destinationStride, count); break;
    default: break;
  }
}

void CopyRowForward(const uint8_t* source, uint8_t* tile, int32_t count,
                    const PixelLayout& layout) {
  if (count <= 0) return;
  if (IsPlainCopy(layout)) {
    std::memcpy(tile, source, static_cast<size_t>(count) * static_cast<size_t>(layout.channels));
    return;
  }
  CopyPixelRun(source + layout.sourceSkip, layout.sourceStep, tile + layout.tileSkip,
               layout.tileStep, count, layout.channels);
}

void CopyRowMirrored(const uint8_t* source, uint8_t* tileLast, int32_t count,
                     const PixelLayout& layout) {
  if (count <= 0) return;
  if (IsPlainCopy(layout)) {
    // Each stage copies the whole groups it can of what is left.
    const int32_t bytes = layout.channels;
    const auto done = [&](int32_t pixels) {
      source += int64_t(pixels) * bytes;
      tileLast -= int64_t(pixels) * bytes;
      count -= pixels;
    };
    done(MirrorPixelsWide(source, tileLast, count, bytes));
#ifdef QUILTORA_PIXEL_LANES
    if (bytes == 3 && ProcessorHasSsse3()) {
      CopyMirroredRgbSsse3(source, tileLast, count);
      return;
    }
    if (bytes != 3 && ProcessorHasAvx2()) done(MirrorPixelsAvx2(source, tileLast, count, bytes));
#endif
    if (bytes == 3) {
      CopyMirroredRgb(source, tileLast, count);
      return;
    }
  }
  CopyPixelRun(source + layout.sourceSkip, layout.sourceStep, tileLast + layout.tileSkip,
               -static_cast<int64_t>(layout.tileStep), count, layout.channels);
}

void TransposePixels(const uint8_t* from, int32_t fromRowBytes, uint8_t* to, int32_t toRowBytes, int32_t rows,
                     int32_t columns, int32_t bytesPerPixel, bool mirrored) {
  constexpr int32_t kSquare = 32;
#ifdef QUILTORA_PIXEL_LANES
  // The widest lanes first: 16 × 16 squares on AVX-512, 8 × 8 on AVX2.
  SquareTranspose square = WideSquareTranspose(bytesPerPixel, mirrored);
  const int32_t side = square != nullptr ? kWideSquare : 8;
  if (square == nullptr) square = ChooseSquareTranspose(bytesPerPixel, mirrored);
#endif
  // Source row i lands on target column i, or rows − 1 − i, moving by step per row.
  const int64_t step = mirrored ? -bytesPerPixel : bytesPerPixel;
  auto target = [&](int32_t i, int32_t j) {
    return to + int64_t(j) * toRowBytes + int64_t(mirrored ? rows - 1 - i : i) * bytesPerPixel;
  };
  for (int32_t i0 = 0; i0 < rows; i0 += kSquare) {
    const int32_t i1 = std::min(rows, i0 + kSquare);
    for (int32_t j0 = 0; j0 < columns; j0 += kSquare) {
      const int32_t j1 = std::min(columns, j0 + kSquare);
      // Whole squares in registers, the rest a column at a time.
      int32_t i = i0;
#ifdef QUILTORA_PIXEL_LANES
      if (square != nullptr) {
        for (; i + side <= i1; i += side) {
          int32_t j = j0;
          for (; j + side <= j1; j += side)
            square(from + int64_t(i) * fromRowBytes + int64_t(j) * bytesPerPixel, fromRowBytes,
                   target(mirrored ? i + side - 1 : i, j), toRowBytes);
          for (; j < j1; ++j)
            CopyPixelRun(from + int64_t(i) * fromRowBytes + int64_t(j) * bytesPerPixel, fromRowBytes, target(i, j),
                         step, side, bytesPerPixel);
        }
      }
#endif
      if (i < i1) {
        for (int32_t j = j0; j < j1; ++j)
          CopyPixelRun(from + int64_t(i) * fromRowBytes + int64_t(j) * bytesPerPixel, fromRowBytes, target(i, j),
                       step, i1 - i, bytesPerPixel);
      }
    }
  }
}

}  // namespace quiltora
