// Plain integer rectangles and points shared by the settings record, the
// selection outlines and the controls.
#pragma once

#include <cstdint>

namespace quiltora {

struct IntRect {  // left, top, right, bottom
  int32_t left, top, right, bottom;
};

struct IntPoint {
  int32_t x, y;
};

}  // namespace quiltora
