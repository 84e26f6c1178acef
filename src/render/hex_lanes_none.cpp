#include "render/hex_lanes.h"

namespace quiltora {

bool HexLanesBuilt() { return false; }

int32_t SampleInteriorLanes(const uint8_t*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, uint8_t*, int32_t) {
  return 0;
}

}  // namespace quiltora
