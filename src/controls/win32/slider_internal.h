// What the slider's window procedure and its painting share.
#pragma once

#include <windows.h>

#include "controls/slider_model.h"

namespace quiltora {

struct SliderData {
  SliderValues values;
  bool focus = false;
  HWND box = nullptr;
  bool tracking = false;
  POINT lastPointer{};  // where the pointer was at the press or the last drag step
  SliderGeometry geometry{};
};

SliderData* SliderDataOf(HWND slider);
uint32_t SliderStyleOf(HWND slider);

void PaintSlider(HWND slider, HDC dc, const RECT& paintArea, const SliderData& data);

}  // namespace quiltora
