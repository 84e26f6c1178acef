#include "render/hex_lanes.h"

#include "common/processor.h"

namespace quiltora {

#ifdef QUILTORA_HEX_LANES
int32_t HexLaneWidth() {
  static const int32_t width = ProcessorHasAvx512() ? 16 : ProcessorHasAvx2() ? 8 : 0;
  return width;
}

int32_t SampleInteriorLanes(int32_t lanes, const uint8_t* origin, int32_t rowBytes, int32_t channels, int32_t sx,
                            int32_t sy, int32_t stepX, int32_t stepY, uint8_t* out, int32_t count) {
  if (lanes > HexLaneWidth()) return 0;
  if (lanes == 16) return SampleInteriorAvx512(origin, rowBytes, channels, sx, sy, stepX, stepY, out, count);
  if (lanes == 8) return SampleInteriorAvx2(origin, rowBytes, channels, sx, sy, stepX, stepY, out, count);
  return 0;
}
#else
int32_t HexLaneWidth() { return 0; }

int32_t SampleInteriorLanes(int32_t, const uint8_t*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, uint8_t*,
                            int32_t) {
  return 0;
}
#endif

}  // namespace quiltora
