#include "dialog_driver.h"

#include <algorithm>
#include <cstring>

#include "picture.h"
#include "ui_harness.h"

namespace dialogtest {
namespace {

LRESULT CALLBACK EditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

HWND MakeEditorWindow() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = EditorProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = "QuiltoraDialogTestEditor";
    registered = RegisterClassA(&wc) != 0;
  }
  HWND window = CreateWindowExA(0, "QuiltoraDialogTestEditor", "Editor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 10, 600,
                                420, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  uitest::Drain();
  return window;
}

filterhost::Image ProbeImage(int32_t width, int32_t height, int32_t channels) {
  filterhost::Image image(width, height, channels);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      for (int32_t c = 0; c < channels; ++c)
        image.At(x, y)[c] = uint8_t((x * 3 + y * 5 + c * 70 + ((x / 16 + y / 16) % 2) * 90) & 0xFF);
  return image;
}

bool LoadSample(const std::string& path, int32_t channels, filterhost::Image* image) {
  quiltora_cli::Picture picture;
  std::string error;
  if (!quiltora_cli::LoadPicture(path, &picture, &error) || picture.channels < 3) return false;
  *image = filterhost::Image(picture.width, picture.height, channels);
  for (int32_t y = 0; y < picture.height; ++y)
    for (int32_t x = 0; x < picture.width; ++x) {
      const uint8_t* rgb = &picture.pixels[(size_t(y) * picture.width + x) * size_t(picture.channels)];
      uint8_t* out = image->At(x, y);
      if (channels == 1) {
        out[0] = uint8_t((3 * rgb[0] + 6 * rgb[1] + rgb[2]) / 10);
      } else if (channels == 3) {
        std::copy(rgb, rgb + 3, out);
      } else {
        // Ink: none where the picture is white, and no black.
        for (int c = 0; c < 3; ++c) out[c] = uint8_t(255 - rgb[c]);
        out[3] = 0;
      }
    }
  return true;
}

quiltora::ParameterBlock KeptBlock(const filterhost::Host& host) {
  quiltora::ParameterBlock block{};
  const std::vector<uint8_t> bytes = host.ParameterBytes();
  std::memcpy(&block, bytes.data(), std::min(bytes.size(), sizeof block));
  return block;
}

void PatchKeptBlock(filterhost::Host* host, const std::function<void(quiltora::ParameterBlock*)>& change) {
  quiltora::ParameterBlock block = KeptBlock(*host);
  change(&block);
  std::vector<uint8_t> bytes(sizeof block);
  std::memcpy(bytes.data(), &block, sizeof block);
  host->PatchParameterBytes(bytes);
}

filterhost::RunReport RunWithDialog(filterhost::Host* host, const std::function<void(quiltora::ParameterBlock*)>& settings,
                                    const std::function<void(HWND dialog)>& script, bool* ran) {
  *ran = false;
  filterhost::RunReport report;
  report.result = host->Parameters();
  if (report.result != 0) return report;
  if (settings) PatchKeptBlock(host, settings);
  // The main dialog has no title; the module's boxes and child dialogs do.
  uitest::ModalScript modal("", script);
  report = host->Render();
  *ran = modal.ran();
  return report;
}

bool CopyResultPicture(const filterhost::Module& module, ResultPicture* out) {
  using Copy = int32_t (*)(uint8_t*, int32_t, int32_t*);
  auto copy = reinterpret_cast<Copy>(module.Symbol("QuiltoraCopyResultPreview"));
  if (copy == nullptr) return false;
  int32_t info[6] = {};
  const int32_t needed = copy(nullptr, 0, info);
  if (needed <= 0) return false;
  out->pixels.assign(size_t(needed), 0);
  if (copy(out->pixels.data(), needed, info) != needed) return false;
  out->width = info[0];
  out->height = info[1];
  out->channels = info[2];
  out->at = POINT{info[3], info[4]};
  return true;
}

uint32_t ShownColour(const uint8_t* pixel, int32_t channels) {
  if (channels == 1) return uint32_t(pixel[0]) * 0x010101u;
  return (uint32_t(pixel[2]) << 16) | (uint32_t(pixel[1]) << 8) | pixel[0];
}

bool HoldKey(WORD key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  if (SendInput(1, &input, sizeof input) != 1) return false;
  return uitest::PumpUntil([&] { return ((GetAsyncKeyState(key) & 0x8000) != 0) == down; });
}

}  // namespace dialogtest
