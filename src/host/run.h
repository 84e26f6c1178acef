// The run state machine: Prepare, Start, Continue and Finish.
#pragma once

#include <cstdint>

#include "abi/plugin_api.h"
#include "host/main_dialog.h"

namespace quiltora {

int16_t DoPrepare(plugin::FilterRecord* record);
int16_t DoStart();
int16_t DoContinue();
int16_t DoFinish();

// Releases the run's objects (symmetry, tile image, work images) and clears
// their pointers.
void ReleaseRunObjects();

// The memory the module announces in Prepare for the given budget.
int32_t ComputeBufferSpace(int64_t budget, bool hostSuiteUsable, int32_t width, int32_t height,
                           int16_t imageMode);

// Bytes per pixel of an image mode the module accepts (gray 1, RGB 3, CMYK 4);
// 0 for any other, 16-bit gray among them.
int32_t BytesPerPixelOfImageMode(int16_t imageMode);

}  // namespace quiltora
