// Writes pictures of the controls and of drawn picture buffers, taken from
// real windows, so that a person can look at them:
//   quiltora_screenshots OUTPUT_FOLDER
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "controls/button_model.h"
#include "controls/slider_model.h"
#include "controls/win32/controls_library.h"
#include "controls/win32/slider.h"
#include "controls/win32/spin_button.h"
#include "controls/win32/unit_num_box.h"
#include "draw_fixtures.h"
#include "ui_harness.h"

namespace quiltora {
namespace {

using uitest::Picture;

// Between pictures set side by side: no system colour, so that white
// highlight edges stay visible.
constexpr uint32_t kGap = 0x3C78B4;

// Each pixel as a square of `factor` pixels, for looking at single pixels.
Picture Zoom(const Picture& picture, int factor) {
  Picture out;
  out.width = picture.width * factor;
  out.height = picture.height * factor;
  out.pixels.resize(size_t(out.width) * size_t(out.height));
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x)
      out.pixels[size_t(y) * size_t(out.width) + size_t(x)] = picture.At(x / factor, y / factor);
  return out;
}

class Writer {
 public:
  explicit Writer(std::string folder) : folder_(std::move(folder)) {}
  void Save(const Picture& picture, const char* name) {
    std::string path = folder_ + "/" + name;
    bool saved = picture.width > 0 && uitest::SavePng(picture, path);
    std::printf("%s %s (%d x %d)\n", saved ? "wrote" : "FAILED", path.c_str(), picture.width, picture.height);
    failures_ += saved ? 0 : 1;
  }
  int failures() const { return failures_; }

 private:
  std::string folder_;
  int failures_ = 0;
};

void Label(uitest::TestDialog* dialog, int y, const char* text) {
  dialog->Add("Static", 0, SS_RIGHT, RECT{4, y + 2, 96, y + 18}, text);
}

IntRect ThumbOf(HWND slider, uint32_t style, int32_t minimum, int32_t value) {
  RECT client{};
  GetClientRect(slider, &client);
  BaseUnits units{};
  GetLibraryBaseUnits(&units);
  RECT box{};
  GetWindowRect(SliderValueBox(slider), &box);
  SliderGeometry g = LayoutSlider(IntRect{0, 0, client.right, client.bottom}, style, units, box.right - box.left);
  SliderValues values;
  SetSliderRange(&values, minimum, 100, 1, value);
  return SliderThumbRect(g, SliderIsVertical(style), values, value);
}

// The thumb of a slider and a few pixels around it, in dialog coordinates.
RECT AroundThumb(HWND dialog, HWND slider, const IntRect& thumb) {
  POINT origin{0, 0};
  MapWindowPoints(slider, dialog, &origin, 1);
  return RECT{origin.x + thumb.left - 4, origin.y + thumb.top - 3, origin.x + thumb.right + 4,
              origin.y + thumb.bottom + 8};
}

// Horizontal sliders at several values, disabled, focused with the value
// box's text selected, being dragged, and a vertical one; and their thumbs
// close up.
void Sliders(Writer* out) {
  uitest::TestDialog dialog(340, 230);
  struct Row {
    const char* label;
    int32_t minimum, value;
  };
  const Row rows[] = {{"0..100 at 0", 0, 0}, {"0..100 at 37", 0, 37}, {"1..100 at 100", 1, 100},
                      {"disabled", 0, 50},   {"focused", 0, 62},      {"dragging", 0, 80}};
  std::vector<HWND> sliders;
  for (int i = 0; i < 6; ++i) {
    int y = 10 + i * 32;
    Label(&dialog, y, rows[i].label);
    sliders.push_back(dialog.Add(kSliderClassName, 100 + i, WS_TABSTOP | kSliderBoxAfter, RECT{104, y, 250, y + 18}));
    SliderSetRange(dialog.hwnd(), 100 + i, rows[i].minimum, 100, 1, rows[i].value);
  }
  const uint32_t kVertical = kSliderVertical | kSliderBoxAfter;
  HWND vertical = dialog.Add(kSliderClassName, 110, kVertical, RECT{280, 10, 316, 210});
  SliderSetRange(dialog.hwnd(), 110, 0, 100, 1, 70);
  EnableWindow(sliders[3], FALSE);
  SetFocus(sliders[4]);
  Picture still = uitest::CaptureClient(dialog.hwnd());
  out->Save(still, "sliders.png");
  out->Save(Zoom(still, 3), "sliders-3x.png");

  // Holding the thumb down: the hatch shows while it is dragged.
  IntRect dragged = ThumbOf(sliders[5], kSliderBoxAfter, 0, 80);
  uitest::MoveMouse(sliders[5], POINT{(dragged.left + dragged.right) / 2, (dragged.top + dragged.bottom) / 2});
  uitest::PressLeft();
  Picture held = uitest::CaptureClient(dialog.hwnd());
  uitest::ReleaseLeft();
  std::vector<Picture> thumbs = {
      Crop(still, AroundThumb(dialog.hwnd(), sliders[1], ThumbOf(sliders[1], kSliderBoxAfter, 0, 37))),
      Crop(still, AroundThumb(dialog.hwnd(), sliders[3], ThumbOf(sliders[3], kSliderBoxAfter, 0, 50))),
      Crop(held, AroundThumb(dialog.hwnd(), sliders[5], dragged)),
      Crop(still, AroundThumb(dialog.hwnd(), vertical, ThumbOf(vertical, kVertical, 0, 70)))};
  out->Save(Zoom(uitest::Beside(thumbs, 3, kGap), 10), "slider-thumbs-10x.png");
}

// A spin button raised, with each arrow held, with the strip held, and disabled.
void SpinButtons(Writer* out) {
  uitest::TestDialog dialog(200, 80);
  uitest::TimerRecorder timers;  // no repeat timers run while the pictures are taken
  std::vector<Picture> states;
  HWND spin = dialog.Add("Static", 50, 0, RECT{20, 20, 36, 60});
  MakeSpinButton(spin, false, true);
  RECT client{};
  GetClientRect(spin, &client);
  SpinParts parts = LayoutSpinButton(IntRect{0, 0, client.right, client.bottom});
  auto centre = [](const IntRect& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; };
  states.push_back(uitest::CaptureClient(spin));
  for (const IntRect& part : {parts.upper, parts.lower, parts.strip}) {
    uitest::MoveMouse(spin, centre(part));
    uitest::PressLeft();
    states.push_back(uitest::CaptureClient(spin));
    uitest::ReleaseLeft();
  }
  uitest::MoveMouse(dialog.hwnd(), POINT{150, 70});
  EnableWindow(spin, FALSE);
  states.push_back(uitest::CaptureClient(spin));
  out->Save(Zoom(uitest::Beside(states, 4, kGap), 6), "spin-buttons-6x.png");
}

void NumberBoxes(Writer* out) {
  uitest::TestDialog dialog(220, 70);
  dialog.Add(kUnitNumBoxClassName, 60, WS_TABSTOP, RECT{10, 10, 100, 32});
  UnitNumBoxSetup(dialog.hwnd(), 60, 0, 100, 42, 0, 0, 0, 1.0);
  dialog.Add(kUnitNumBoxClassName, 61, WS_TABSTOP, RECT{110, 10, 210, 32});
  UnitNumBoxSetup(dialog.hwnd(), 61, 0, 10, 1.5, 1, 0, 2, 25400.0);
  UnitNumBoxSetPrecision(dialog.hwnd(), 61, 2);
  dialog.Add(kUnitNumBoxClassName, 62, WS_TABSTOP | WS_DISABLED, RECT{10, 40, 100, 62});
  UnitNumBoxSetup(dialog.hwnd(), 62, 0, 100, 7, 0, 0, 0, 1.0);
  Picture shown = uitest::CaptureClient(dialog.hwnd());
  out->Save(Zoom(shown, 2), "number-boxes-2x.png");
}

// The probe picture in each buffer format, at 1:1 and at 2:1.
void Buffers(Writer* out) {
  uitest::TestDialog dialog(3 * 210 + 10, 330);
  std::vector<BufferPtr> buffers;
  int column = 0;
  for (int32_t format : {kFormatBGR24, kFormatGray8, kFormatFour32}) {
    buffers.push_back(MakeProbeBuffer(format, 100, 100));
    int left = 10 + column++ * 210;
    AddPane(&dialog, RECT{left, 10, left + 100, 110}, buffers.back().get(), IntRect{0, 0, 99, 99});
    AddPane(&dialog, RECT{left, 120, left + 200, 320}, buffers.back().get(), IntRect{0, 0, 199, 199});
  }
  out->Save(uitest::CaptureClient(dialog.hwnd()), "buffers.png");
}

}  // namespace
}  // namespace quiltora

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quiltora_screenshots OUTPUT_FOLDER\n");
    return 2;
  }
  CreateDirectoryA(argv[1], nullptr);
  uitest::ControlsLibraryScope library;
  if (!library.ok()) {
    std::fprintf(stderr, "the controls library did not start\n");
    return 1;
  }
  quiltora::Writer out(argv[1]);
  quiltora::Sliders(&out);
  quiltora::SpinButtons(&out);
  quiltora::NumberBoxes(&out);
  quiltora::Buffers(&out);
  return out.failures() == 0 ? 0 : 1;
}
