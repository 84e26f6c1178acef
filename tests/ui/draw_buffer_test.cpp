// Picture buffers drawn into a real window, checked from the captured pixels.
#include <gtest/gtest.h>

#include <memory>

#include "draw_fixtures.h"
#include "image/win32/draw_image_buffer.h"
#include "ui_harness.h"

namespace quiltora {
namespace {

using uitest::Picture;

TEST(DrawImageBufferUi, EveryPixelShowsAtOneToOneAndDoubledAtTwoToOne) {
  uitest::TestDialog dialog(420, 220);
  ASSERT_TRUE(dialog.ok());
  for (int32_t format : {kFormatBGR24, kFormatGray8, kFormatFour32}) {
    BufferPtr buffer = MakeProbeBuffer(format, 100, 100);
    ASSERT_NE(buffer, nullptr);
    for (int scale : {1, 2}) {
      int size = 100 * scale;
      HWND pane = AddPane(&dialog, RECT{10, 10, 10 + size, 10 + size}, buffer.get(), IntRect{0, 0, size - 1, size - 1});
      Picture shown = uitest::CaptureClient(pane);
      int wrong = 0;
      for (int y = 0; y < size && wrong < 5; ++y)
        for (int x = 0; x < size && wrong < 5; ++x) {
          // The buffer's first row is the bottom one.
          uint32_t expected = ShownColour(*buffer, x / scale, 99 - y / scale);
          if (shown.At(x, y) != expected) {
            ++wrong;
            ADD_FAILURE() << "format " << format << " at " << scale << ":1, device (" << x << ", " << y << ") shows "
                          << std::hex << shown.At(x, y) << " for " << expected;
          }
        }
      DestroyWindow(pane);
    }
  }
}

TEST(DrawImageBufferUi, APartOfTheBufferAndTheEdgesAroundIt) {
  uitest::TestDialog dialog(220, 220);
  ASSERT_TRUE(dialog.ok());
  BufferPtr buffer = MakeProbeBuffer(kFormatBGR24, 100, 100);
  // Buffer columns 10..29 and rows 40..59 onto 40 x 40 device pixels at (5, 5).
  DisplayRect source{10, 59, 29, 40};
  HWND pane = AddPane(&dialog, RECT{10, 10, 60, 60}, buffer.get(), IntRect{5, 5, 44, 44}, &source);
  Picture shown = uitest::CaptureClient(pane);
  uint32_t background = uitest::SystemColour(COLOR_BTNFACE);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) {
      bool inside = x >= 5 && x < 45 && y >= 5 && y < 45;
      uint32_t expected = inside ? ShownColour(*buffer, 10 + (x - 5) / 2, 59 - (y - 5) / 2) : background;
      ASSERT_EQ(shown.At(x, y), expected) << x << ", " << y;
    }
  // Missing pieces draw nothing.
  HDC dc = GetDC(pane);
  IntRect device{0, 0, 9, 9};
  EXPECT_EQ(DrawImageBuffer(dc, nullptr, &device, nullptr), 0);
  EXPECT_EQ(DrawImageBuffer(dc, buffer.get(), nullptr, nullptr), 0);
  DisplayRect outside{200, 9, 209, 0};
  EXPECT_EQ(DrawImageBuffer(dc, buffer.get(), &device, &outside), 0);
  EXPECT_EQ(DrawImageBuffer(dc, buffer.get(), &device, nullptr), 1);
  ReleaseDC(pane, dc);
}

}  // namespace
}  // namespace quiltora
