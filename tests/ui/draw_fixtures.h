// Probe pictures for drawing tests and screenshots, and a pane window that
// draws a buffer the way the dialog's panes do.
#pragma once

#include <windows.h>

#include <memory>

#include "image/display.h"
#include "image/image_buffer.h"
#include "image/win32/draw_image_buffer.h"
#include "ui_harness.h"

namespace quiltora {

struct BufferDeleter {
  void operator()(ImageBuffer* buffer) const { ImageBufferRelease(buffer); }
};
using BufferPtr = std::unique_ptr<ImageBuffer, BufferDeleter>;

// An asymmetric probe: a red "F" on a gradient whose neighbouring pixels all
// differ, so that a lost, doubled or mirrored row or column shows. Rows are
// stored bottom row first, as drawing expects, so the F stands upright.
inline BufferPtr MakeProbeBuffer(int32_t format, int32_t width, int32_t height) {
  BufferPtr buffer(ImageBufferCreate(format, width, height));
  if (!buffer) return buffer;
  for (int32_t row = 0; row < height; ++row) {
    int32_t y = height - 1 - row;  // the picture's row
    for (int32_t x = 0; x < width; ++x) {
      bool f = (x >= width / 5 && x < width / 5 + width / 8 && y >= height / 7 && y < height * 6 / 7) ||
               (x >= width / 5 && x < width * 3 / 4 && y >= height / 7 && y < height / 7 + height / 8) ||
               (x >= width / 5 && x < width * 3 / 5 && y >= height * 9 / 20 && y < height * 9 / 20 + height / 9);
      int wave = (x * 37 + y * 101) & 0x3F;
      uint8_t* p = ImageBufferPixel(buffer.get(), x, row);
      switch (format) {
        case kFormatBGR24:
          p[0] = f ? 40 : uint8_t(40 + x * 150 / width + wave);
          p[1] = f ? 30 : uint8_t(40 + y * 150 / height + wave / 2);
          p[2] = f ? 220 : uint8_t(90 + wave * 2);
          break;
        case kFormatGray8: p[0] = f ? 24 : uint8_t(70 + (x + y) * 58 / (width + height) + wave * 2); break;
        case kFormatFour32:
          p[0] = f ? 10 : uint8_t(x * 120 / width + wave);  // cyan
          p[1] = f ? 200 : uint8_t(y * 120 / height);       // magenta
          p[2] = f ? 190 : uint8_t(wave * 2);               // yellow
          p[3] = f ? 20 : uint8_t((x + y) % 7 * 6);         // black
          break;
        default: break;
      }
    }
  }
  return buffer;
}

// The colour pixel (x, y) of the buffer shows, 0xRRGGBB: four channels are
// ink, each colour 255 minus its ink and the black, 0 from 255 on.
inline uint32_t ShownColour(const ImageBuffer& buffer, int32_t x, int32_t y) {
  const uint8_t* p = ImageBufferPixel(&buffer, x, y);
  auto ink = [](int a, int k) { return uint32_t(a + k >= 255 ? 0 : 255 - (a + k)); };
  switch (buffer.format) {
    case kFormatBGR24: return (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    case kFormatGray8: return (uint32_t(p[0]) << 16) | (uint32_t(p[0]) << 8) | p[0];
    case kFormatFour32: return (ink(p[0], p[3]) << 16) | (ink(p[1], p[3]) << 8) | ink(p[2], p[3]);
    default: return 0;
  }
}

// What a pane draws: the buffer's source (all of it when null) onto the device rectangle.
struct PaneDrawing {
  const ImageBuffer* buffer;
  IntRect device;
  bool hasSource;
  DisplayRect source;
};

inline LRESULT CALLBACK PaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    auto* drawing = reinterpret_cast<const PaneDrawing*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (drawing != nullptr)
      DrawImageBuffer(dc, drawing->buffer, &drawing->device, drawing->hasSource ? &drawing->source : nullptr);
    EndPaint(window, &ps);
    return 0;
  }
  if (message == WM_NCDESTROY) delete reinterpret_cast<PaneDrawing*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  return DefWindowProcA(window, message, wParam, lParam);
}

// A child window of the dialog that draws the buffer (kept alive by the caller).
inline HWND AddPane(uitest::TestDialog* dialog, RECT place, const ImageBuffer* buffer, IntRect device,
                    const DisplayRect* source = nullptr) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PaneProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "QuiltoraTestPane";
    registered = RegisterClassA(&wc) != 0;
  }
  HWND pane = dialog->Add("QuiltoraTestPane", 0, 0, place);
  if (pane == nullptr) return nullptr;
  auto* drawing = new PaneDrawing{buffer, device, source != nullptr, source != nullptr ? *source : DisplayRect{}};
  SetWindowLongPtrA(pane, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(drawing));
  InvalidateRect(pane, nullptr, TRUE);
  uitest::Drain();
  return pane;
}

}  // namespace quiltora
