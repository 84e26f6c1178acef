#include "render/pixel_lanes.h"

namespace quiltora {

bool PixelLanesBuilt() { return false; }

int32_t MirrorRgbVbmi(const uint8_t*, uint8_t*, int32_t) { return 0; }

}  // namespace quiltora
