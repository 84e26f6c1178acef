#include "render/pixel_lanes.h"

#include "common/processor.h"

namespace quiltora {

int32_t MirrorPixelsWide(const uint8_t* source, uint8_t* tileLast, int32_t count, int32_t bytesPerPixel) {
#ifdef QUILTORA_PIXEL_LANES_AVX512
  if (ProcessorHasAvx512()) return MirrorPixelsAvx512(source, tileLast, count, bytesPerPixel, ProcessorHasAvx512Vbmi());
#else
  (void)source;
  (void)tileLast;
  (void)count;
  (void)bytesPerPixel;
#endif
  return 0;
}

SquareTranspose WideSquareTranspose(int32_t bytesPerPixel, bool mirrored) {
#ifdef QUILTORA_PIXEL_LANES_AVX512
  if (ProcessorHasAvx512()) return SquareTransposeAvx512(bytesPerPixel, mirrored, ProcessorHasAvx512Vbmi());
#else
  (void)bytesPerPixel;
  (void)mirrored;
#endif
  return nullptr;
}

}  // namespace quiltora
