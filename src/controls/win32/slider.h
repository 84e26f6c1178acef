// The slider window class "KPV60_Slider": a track with a pointed thumb, tick
// marks and optionally a value box. It tells its parent about every change
// with WM_COMMAND (wParam = its control id, lParam = its window). Styles are
// the SliderStyle bits of controls/slider_model.h.
#pragma once

#include <windows.h>

#include <cstdint>

namespace quiltora {

LRESULT CALLBACK SliderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The calls address a slider by dialog and control id; none of them notifies.
// A missing control is ignored (SliderGetValue gives 0).
void SliderSetRange(HWND dialog, int id, int32_t minimum, int32_t maximum, int32_t step, int32_t value);
void SliderSetValue(HWND dialog, int id, int32_t value);
int32_t SliderGetValue(HWND dialog, int id);
// spacing >= 0: ticks every `spacing` (0 = none); -1: automatic ticks.
void SliderSetTicks(HWND dialog, int id, int32_t spacing);

// The slider's value box, or null.
HWND SliderValueBox(HWND slider);

}  // namespace quiltora
