// Plain integer rectangles and points (IntRect, IntPoint), which the settings
// record defines for its own fields; the controls and display code use the
// same types.
#pragma once

#include "common/parameter_block.h"
