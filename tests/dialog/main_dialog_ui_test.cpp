// The main dialog in a real window: the test host runs the real module with
// the dialog over a real host window, and the tests drive it with mouse and
// keys through the system's input queue, checking the settings record, the
// pixels shown and the image the run writes.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "abi/parameter_block.h"
#include "dialog/main_layout.h"
#include "dialog/pane_layout.h"
#include "dialog_driver.h"
#include "dialog_fixture.h"
#include "filterhost.h"
#include "symmetry/catalogue.h"
#include "symmetry/outline.h"
#include "ui_harness.h"

namespace quiltora {
namespace {

using dialogtest::KeptBlock;
using filterhost::Image;
using uitest::Picture;

constexpr int kSourcePane = dialogtest::kSourcePaneId, kResultPane = dialogtest::kResultPaneId;
constexpr int kTilePreview = dialogtest::kTilePreviewId, kSaveTile = dialogtest::kSaveTileId;

class MainDialogUi : public dialogtest::DialogWindowTest {
 protected:
  void SetUp() override {
    DialogWindowTest::SetUp();
    // The boxes every test before this one saw are no concern of this one.
    if (host_ != nullptr) host_->ClearMessages();
  }
  void SetImage(int32_t channels) { DialogWindowTest::SetImage(300, 200, channels); }
  // What a run of the kept settings without the dialog renders on the original image.
  Image Headless() {
    filterhost::Host headless(*module_);
    headless.SetImage(original_);
    std::vector<uint8_t> bytes = host_->ParameterBytes();
    ParameterBlock block{};
    std::memcpy(&block, bytes.data(), sizeof block);
    block.showDialog = 0;
    std::memcpy(bytes.data(), &block, sizeof block);
    headless.RestoreParameterBytes(bytes);
    const filterhost::RunReport report = headless.Run(false);
    EXPECT_EQ(report.result, 0);
    return headless.image();
  }
  IntRect OutlineBounds(const ParameterBlock& block) const {
    IntRect r{};
    SelectionBounds(block.selectionVertices, block.selectionVertexCount, &r);
    return r;
  }
  POINT Centre(const ParameterBlock& block) const {
    const IntRect r = OutlineBounds(block);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
};

TEST_F(MainDialogUi, OpensPlacedSizedPaintedWithTheModulesPictures) {
  const filterhost::RunReport report = RunDialog(nullptr, [&](HWND dialog) {
    RECT client{}, window{}, ownerRect{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, kMainClientWidth);
    EXPECT_EQ(client.bottom, kMainClientHeight);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner_);
    // Placed by the rule at the template's size: centred over the owner, two
    // captions and 8 dialog units below its top.
    GetWindowRect(dialog, &window);
    GetWindowRect(owner_, &ownerRect);
    RECT units{0, 0, 520, 363};
    MapDialogRect(dialog, &units);
    RECT eight{0, 0, 16, 8};
    MapDialogRect(dialog, &eight);
    RECT sixteen{0, 0, 16, 16};
    MapDialogRect(dialog, &sixteen);
    DialogPlacementInput in;
    in.dialog = IntRect{0, 0, units.right + (window.right - window.left) - client.right,
                        units.bottom + (window.bottom - window.top) - client.bottom};
    in.hasOwner = true;
    in.owner = IntRect{ownerRect.left, ownerRect.top, ownerRect.right, ownerRect.bottom};
    in.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    in.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    in.captionHeight = GetSystemMetrics(SM_CYCAPTION);
    in.eightUnitsY = eight.bottom;
    in.sixteenUnitsX = sixteen.right;
    in.sixteenUnitsY = sixteen.bottom;
    const IntPoint expected = PlaceDialogAt(in);
    EXPECT_EQ(window.left, expected.x);
    EXPECT_EQ(window.top, expected.y);
    // Every control of the table at its place, in creation order.
    HWND child = GetWindow(dialog, GW_CHILD);
    for (const ControlPlace& place : kMainControls) {
      ASSERT_NE(child, nullptr);
      EXPECT_EQ(GetDlgCtrlID(child), place.id);
      RECT r{};
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
      EXPECT_EQ(r.left, place.left) << place.id;
      EXPECT_EQ(r.top, place.top) << place.id;
      if (place.id != 340 && place.id != 330) { EXPECT_EQ(r.right - r.left, place.width) << place.id; }
      do child = GetWindow(child, GW_HWNDNEXT);
      while (child != nullptr && GetDlgCtrlID(child) == 0);  // a slider's value box belongs to its slider
    }
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kSaveTile)));

    // The background picture where no control covers it.
    const Picture shown = uitest::CaptureClient(dialog);
    HMODULE moduleHandle = GetModuleHandleA("Quiltora.8bf");
    HBITMAP background = LoadBitmapA(moduleHandle, MAKEINTRESOURCEA(220));
    ASSERT_NE(background, nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kMainClientWidth;
    info.bmiHeader.biHeight = -kMainClientHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> art(size_t(kMainClientWidth) * kMainClientHeight);
    HDC screen = GetDC(nullptr);
    ASSERT_EQ(GetDIBits(screen, background, 0, kMainClientHeight, art.data(), &info, DIB_RGB_COLORS), kMainClientHeight);
    ReleaseDC(nullptr, screen);
    DeleteObject(background);
    std::vector<RECT> childRects;
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
      RECT r{};
      GetWindowRect(c, &r);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
      childRects.push_back(r);
    }
    int compared = 0, wrong = 0;
    for (int y = 0; y < kMainClientHeight; ++y)
      for (int x = 0; x < kMainClientWidth; ++x) {
        bool covered = false;
        for (const RECT& r : childRects) covered = covered || (x >= r.left && x < r.right && y >= r.top && y < r.bottom);
        if (covered) continue;
        ++compared;
        if ((art[size_t(y) * kMainClientWidth + x] & 0xFFFFFF) != shown.At(x, y) && ++wrong <= 3)
          ADD_FAILURE() << "background differs at " << x << ", " << y;
      }
    EXPECT_GT(compared, 60000);

    // The result pane shows the module's composite, inside its one-pixel black line.
    dialogtest::ResultPicture result;
    ASSERT_TRUE(dialogtest::CopyResultPicture(*module_, &result));
    const Picture pane = uitest::CaptureClient(GetDlgItem(dialog, kResultPane));
    const IntRect centred = CentredPictureRect(200, 200, result.width, result.height);
    EXPECT_EQ(result.at.x, centred.left);
    EXPECT_EQ(result.at.y, centred.top);
    wrong = 0;
    for (int32_t y = 0; y < result.height; ++y)
      for (int32_t x = 0; x < result.width; ++x) {
        const bool edge = x == 0 || y == 0 || x == result.width - 1 || y == result.height - 1;
        const uint32_t expected =
            edge ? 0 : dialogtest::ShownColour(&result.pixels[(size_t(y) * result.width + x) * result.channels], result.channels);
        if (pane.At(result.at.x + x, result.at.y + y) != expected && ++wrong <= 3)
          ADD_FAILURE() << "result pane differs at " << x << ", " << y;
      }
    EXPECT_EQ(wrong, 0);

    // The tile preview: the tile fitted into its 55 × 55 area, framed in black.
    filterhost::TileCopy tile;
    ASSERT_TRUE(filterhost::CopyModuleTile(*module_, &tile));
    const PicturePlace place = FitTilePreview(SunkenFrameInner(65, 65), tile.width, tile.height);
    const Picture preview = uitest::CaptureClient(GetDlgItem(dialog, kTilePreview));
    EXPECT_EQ(preview.At(place.x - 1, place.y - 1), 0u);
    EXPECT_EQ(preview.At(place.x + place.width - 1, place.y + place.height - 1), 0u);
    EXPECT_EQ(preview.At(place.x - 2, place.y - 2), uitest::SystemColour(COLOR_BTNFACE));
    EXPECT_NE(preview.At(place.x + place.width / 2, place.y + place.height / 2), uitest::SystemColour(COLOR_BTNFACE));
    char label[32] = {};
    GetDlgItemTextA(dialog, 349, label, sizeof label);
    EXPECT_STRNE(label, " x ");
    EXPECT_TRUE(uitest::PressKey(VK_ESCAPE));
  });
  EXPECT_EQ(report.result, 1);
}

TEST_F(MainDialogUi, SmallTileIsShownOneToOne) {
  RunDialog(
      [](ParameterBlock* block) {
        block->symmetry = 3;  // Wings: a tile twice as wide as the rectangle
        block->selectionNormalised = SelectionFrame{0.4, 0.4, 0.5, 0.45, 0.0};
      },
      [&](HWND dialog) {
        filterhost::TileCopy tile;
        ASSERT_TRUE(filterhost::CopyModuleTile(*module_, &tile));
        ASSERT_LE(tile.width, 55);
        ASSERT_LE(tile.height, 55);
        const PicturePlace place = FitTilePreview(SunkenFrameInner(65, 65), tile.width, tile.height);
        EXPECT_EQ(place.width, tile.width);
        const Picture preview = uitest::CaptureClient(GetDlgItem(dialog, kTilePreview));
        int wrong = 0;
        for (int32_t y = 0; y < tile.height; ++y)
          for (int32_t x = 0; x < tile.width; ++x) {
            // The frame's right and bottom lines cover the last column and row.
            if (x == tile.width - 1 || y == tile.height - 1) continue;
            const uint32_t expected = dialogtest::ShownColour(&tile.pixels[(size_t(y) * tile.width + x) * tile.channels], tile.channels);
            if (preview.At(place.x + x, place.y + y) != expected && ++wrong <= 3)
              ADD_FAILURE() << "tile preview differs at " << x << ", " << y;
          }
        EXPECT_TRUE(uitest::PressKey(VK_ESCAPE));
      });
}

// Cancel by its button, by Escape and by a close request: the run ends with 1,
// Finish is called, the image is untouched, and what the user changed stays.
TEST_F(MainDialogUi, CancelEscapeAndCloseEndTheRunKeepingTheChanges) {
  struct Way {
    const char* name;
    std::function<void(HWND)> end;
  };
  const Way ways[] = {
      {"Cancel", [](HWND dialog) { EXPECT_TRUE(uitest::Click(dialog, dialogtest::kCancelButton)); }},
      {"Escape", [](HWND) { EXPECT_TRUE(uitest::PressKey(VK_ESCAPE)); }},
      // The dialog has no close box; ALT+F4 asks the window to close.
      {"ALT+F4",
       [](HWND dialog) {
         EXPECT_TRUE(dialogtest::HoldKey(VK_MENU, true));
         EXPECT_TRUE(uitest::PressKey(VK_F4));
         EXPECT_TRUE(dialogtest::HoldKey(VK_MENU, false));
         EXPECT_TRUE(uitest::PumpUntil([&] { return !IsWindowVisible(dialog); }));
       }},
  };
  for (const Way& way : ways) {
    SetImage(3);
    const filterhost::RunReport report = RunDialog(nullptr, [&](HWND dialog) {
      // The focus starts in the Feather slider's box; the Opacity slider's comes next.
      EXPECT_TRUE(uitest::PressKey(VK_TAB));
      EXPECT_TRUE(uitest::TypeText("42"));
      EXPECT_EQ(Block().opacity, 42);
      way.end(dialog);
    });
    EXPECT_EQ(report.result, 1) << way.name;
    EXPECT_TRUE(report.finishCalled) << way.name;
    EXPECT_EQ(host_->image().pixels, original_.pixels) << way.name;
    EXPECT_EQ(Block().opacity, 42) << way.name;
  }
}

TEST_F(MainDialogUi, EditsThenApplyRenderWhatTheHeadlessRunRenders) {
  int32_t tileWidth = 0;
  const filterhost::RunReport report = RunDialog(nullptr, [&](HWND dialog) {
    HWND source = GetDlgItem(dialog, kSourcePane);
    const ParameterBlock before = Block();
    const POINT from = Centre(before);
    // Move the selection by real mouse input.
    EXPECT_TRUE(uitest::Drag(source, from, POINT{from.x + 9, from.y - 5}, 3));
    const ParameterBlock moved = Block();
    EXPECT_EQ(moved.selectionVertices[0].x, before.selectionVertices[0].x + 9);
    EXPECT_EQ(moved.selectionVertices[0].y, before.selectionVertices[0].y - 5);
    // Feather typed into its box, then Multiply at 50 %.
    EXPECT_TRUE(uitest::TypeText("30"));
    EXPECT_EQ(Block().feather, 30);
    EXPECT_GT(Block().featherPixels, 0);
    EXPECT_TRUE(uitest::PressKey(VK_TAB));
    EXPECT_TRUE(uitest::TypeText("50"));
    EXPECT_TRUE(uitest::PressKey(VK_TAB));  // the Mode list
    for (int i = 0; i < 7; ++i) EXPECT_TRUE(uitest::PressKey(VK_DOWN));
    EXPECT_EQ(Block().blendMode, 8);  // Multiply
    EXPECT_EQ(Block().opacity, 50);
    // Drag the pattern by 5 pixels less than a tile: the offset is what is left.
    filterhost::TileCopy tile;
    ASSERT_TRUE(filterhost::CopyModuleTile(*module_, &tile));
    tileWidth = tile.width;
    HWND result = GetDlgItem(dialog, kResultPane);
    EXPECT_TRUE(uitest::Drag(result, POINT{150, 100}, POINT{150 - 5, 100 + tile.height}, 4));
    EXPECT_EQ(Block().tileOffsetX, tile.width - 5);
    EXPECT_EQ(Block().tileOffsetY, 0);
    EXPECT_TRUE(uitest::Click(dialog, dialogtest::kApplyButton));  // Apply
    // Apply turned the offset into fractions of the result picture.
    EXPECT_DOUBLE_EQ(Block().tileOffsetFracX, double(tile.width - 5) / 192);
  });
  ASSERT_EQ(report.result, 0);
  const ParameterBlock stored = Block();
  EXPECT_EQ(stored.blendMode, 8);
  // The run kept the offset it placed on the 300-pixel-wide image.
  EXPECT_DOUBLE_EQ(stored.tileOffsetFracX, double((tileWidth - 5) * 300 / 192) / 300);
  EXPECT_NE(host_->image().pixels, original_.pixels);
  EXPECT_TRUE(host_->image().pixels == Headless().pixels) << "the dialog's run and the headless run differ";
}

// Each shape's handle, and Gold Brick's two. CTRL on Gold Brick's bottom-left
// handle is left to the model's tests: under Wine every pointer event takes
// the modifier keys from the X server, which never saw a key sent through
// the input queue, so CTRL cannot be held through a real drag there.
TEST_F(MainDialogUi, HandlesResizeEachShape) {
  struct Case {
    const char* what;
    int32_t symmetry;
    int32_t handle;   // vertex index
    POINT by;
    std::function<void(const ParameterBlock& before, const ParameterBlock& after)> check;
  };
  auto vertex = [](const ParameterBlock& b, int i) { return b.selectionVertices[i]; };
  const Case cases[] = {
      {"rectangle follows both ways", 3, 2, {8, 6},
       [&](const ParameterBlock& b, const ParameterBlock& a) {
         EXPECT_EQ(vertex(a, 2).x, vertex(b, 2).x + 8);
         EXPECT_EQ(vertex(a, 2).y, vertex(b, 2).y + 6);
       }},
      {"square follows the width", 8, 2, {8, 20},
       [&](const ParameterBlock& b, const ParameterBlock& a) {
         EXPECT_EQ(vertex(a, 2).x, vertex(b, 2).x + 8);
         EXPECT_EQ(vertex(a, 2).y, vertex(b, 2).y + 8);
       }},
      {"triangle: straight down changes nothing", 14, 1, {0, 10},
       [&](const ParameterBlock& b, const ParameterBlock& a) {
         EXPECT_EQ(vertex(a, 1).x, vertex(b, 1).x);
         EXPECT_EQ(vertex(a, 1).y, vertex(b, 1).y);
       }},
      {"Gold Brick top-right: the edge", 1, 3, {6, 4},
       [&](const ParameterBlock& b, const ParameterBlock& a) {
         EXPECT_EQ(vertex(a, 3).x, vertex(b, 3).x + 6);
         EXPECT_EQ(vertex(a, 2).x, vertex(b, 2).x + 6);
         EXPECT_EQ(vertex(a, 3).y, vertex(b, 3).y);
       }},
      {"Gold Brick bottom-left: shear and height", 1, 1, {-4, 5},
       [&](const ParameterBlock& b, const ParameterBlock& a) {
         EXPECT_EQ(vertex(a, 1).x, vertex(b, 1).x - 4);
         EXPECT_EQ(vertex(a, 1).y, vertex(b, 1).y + 5);
         EXPECT_EQ(vertex(a, 0).x, vertex(b, 0).x);
       }},
  };
  for (const Case& c : cases) {
    SetImage(3);
    RunDialog(
        [&](ParameterBlock* block) {
          block->symmetry = c.symmetry;
          block->selectionNormalised.shear = c.symmetry == 1 ? 0.25 : 0.0;
        },
        [&](HWND dialog) {
          HWND source = GetDlgItem(dialog, kSourcePane);
          const ParameterBlock before = Block();
          const POINT at{vertex(before, c.handle).x, vertex(before, c.handle).y};
          EXPECT_TRUE(uitest::Drag(source, at, POINT{at.x + c.by.x, at.y + c.by.y}, 2));
          c.check(before, Block());
          EXPECT_TRUE(uitest::PressKey(VK_ESCAPE));
        });
    if (HasFailure()) ADD_FAILURE() << c.what;
  }
}

TEST_F(MainDialogUi, FeatherThatCannotFitIsLoweredWithAWarning) {
  const filterhost::RunReport report = RunDialog(nullptr, [&](HWND dialog) {
    HWND source = GetDlgItem(dialog, kSourcePane);
    const POINT from = Centre(Block());
    // Against the picture's left edge one pixel of border is left: 10 % of
    // the square's largest feather asks for two.
    POINT paneOnScreen{0, 0};
    ClientToScreen(source, &paneOnScreen);
    EXPECT_TRUE(uitest::Drag(source, from, POINT{std::max(from.x - 150, 1 - paneOnScreen.x), from.y}, 2));
    EXPECT_TRUE(uitest::TypeText("10"));
    EXPECT_TRUE(uitest::PumpUntil([&] { return !host_->messages().empty(); }));
    EXPECT_LT(Block().feather, 10);
    EXPECT_EQ(Block().featherPixels, 1);
    EXPECT_TRUE(uitest::PressKey(VK_ESCAPE));
  });
  ASSERT_FALSE(host_->messages().empty());
  EXPECT_EQ(host_->messages().front().text, "The feather border must be contained within the image.");
  EXPECT_EQ(report.result, 1);
}

TEST_F(MainDialogUi, CmykImageDisablesSaveTile) {
  SetImage(4);
  RunDialog(nullptr, [&](HWND dialog) {
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kSaveTile)));
    EXPECT_TRUE(uitest::PressKey(VK_ESCAPE));
  });
}

// Hosts of every kind: no platformData, a window of another thread, and
// Parameters before every run, which opens the dialog each time.
TEST_F(MainDialogUi, EveryKindOfHostGetsTheDialog) {
  for (filterhost::HostWindow window : {filterhost::HostWindow::None, filterhost::HostWindow::OtherThread}) {
    SetImage(3);
    host_->behaviour().window = window;
    const filterhost::RunReport report = RunDialog(nullptr, [&](HWND dialog) {
      if (window == filterhost::HostWindow::None) { EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr); }
      EXPECT_TRUE(uitest::Click(dialog, dialogtest::kApplyButton));
    });
    EXPECT_EQ(report.result, 0);
    EXPECT_TRUE(host_->image().pixels == Headless().pixels);
  }
  host_->behaviour().window = filterhost::HostWindow::Given;
  host_->behaviour().parametersEveryRun = true;
  for (int run = 0; run < 2; ++run) {
    SetImage(3);
    uitest::ModalScript modal([&](HWND dialog) { EXPECT_TRUE(uitest::Click(dialog, dialogtest::kApplyButton)); });
    EXPECT_EQ(host_->Run(false).result, 0) << "run " << run;
    EXPECT_TRUE(modal.ran()) << "run " << run;
  }
}

// The keyboard walks the controls in creation order: Feather (its value box),
// Opacity, Mode, Source, button 332, OK, Cancel, Save Tile, Symmetry, and
// round again.
TEST_F(MainDialogUi, TabWalksTheControlsInCreationOrder) {
  RunDialog(nullptr, [&](HWND dialog) {
    // The control a focused window belongs to: a slider's value box is its child.
    auto focused = [&] {
      HWND focus = GetFocus();
      while (focus != nullptr && GetParent(focus) != dialog) focus = GetParent(focus);
      return focus != nullptr ? GetDlgCtrlID(focus) : -1;
    };
    const int order[] = {343, 344, 340, 330, 332, 1, 2, 327, 328, 343};
    EXPECT_EQ(focused(), order[0]);
    for (size_t i = 1; i < sizeof order / sizeof order[0]; ++i) {
      EXPECT_TRUE(uitest::PressKey(VK_TAB));
      EXPECT_EQ(focused(), order[i]) << "after " << i << " tabs";
    }
    EXPECT_TRUE(uitest::PressKey(VK_ESCAPE));
  });
}

// The outline is drawn inverting: moving the selection away and back, with
// its feather border shown, leaves the pane exactly as it was.
TEST_F(MainDialogUi, OutlineMovedAwayAndBackLeavesNoTrace) {
  RunDialog([](ParameterBlock* block) { block->feather = 40; },
            [&](HWND dialog) {
              HWND source = GetDlgItem(dialog, kSourcePane);
              ASSERT_GT(Block().featherPixels, 0);
              const Picture before = uitest::CaptureClient(source);
              const POINT from = Centre(Block());
              EXPECT_TRUE(uitest::Drag(source, from, POINT{from.x + 12, from.y + 7}, 3));
              EXPECT_NE(uitest::CaptureClient(source).pixels, before.pixels);
              EXPECT_TRUE(uitest::Drag(source, POINT{from.x + 12, from.y + 7}, from, 3));
              EXPECT_EQ(uitest::CaptureClient(source).pixels, before.pixels);
              EXPECT_TRUE(uitest::PressKey(VK_ESCAPE));
            });
}

// Over the result picture the pointer is the hover cursor, over the band
// around it not; while the pattern is dragged it is hidden (no cursor).
TEST_F(MainDialogUi, ResultPaneCursors) {
  RunDialog(nullptr, [&](HWND dialog) {
    HWND result = GetDlgItem(dialog, kResultPane);
    HCURSOR hover = LoadCursorA(GetModuleHandleA("Quiltora.8bf"), MAKEINTRESOURCEA(3000));
    ASSERT_NE(hover, nullptr);
    const IntRect picture = Block().resultPaneImageRect;
    EXPECT_TRUE(uitest::MoveMouse(result, POINT{picture.left + 20, picture.top + 20}));
    EXPECT_EQ(GetCursor(), hover);
    EXPECT_TRUE(uitest::MoveMouse(result, POINT{picture.left + 20, picture.top - 4}));
    EXPECT_NE(GetCursor(), hover);
    // A press in the band starts no drag.
    EXPECT_TRUE(uitest::Drag(result, POINT{picture.left + 20, picture.top - 4}, POINT{picture.left + 40, picture.top + 30}, 2));
    EXPECT_EQ(Block().tileOffsetX, 0);
    EXPECT_EQ(Block().tileOffsetY, 0);
    EXPECT_TRUE(uitest::Drag(result, POINT{picture.left + 20, picture.top + 20}, POINT{picture.left + 26, picture.top + 23}, 2,
                             [&](int, POINT) { EXPECT_EQ(GetCursor(), nullptr); }));
    EXPECT_EQ(Block().tileOffsetX, 6);
    EXPECT_EQ(Block().tileOffsetY, 3);
    EXPECT_TRUE(uitest::PressKey(VK_ESCAPE));
  });
}

// Whatever allocation of the host's fails, a run whose dialog does not open
// ends with a negative code for the host to report, or with 1 after a
// message the user saw; never silently.
TEST_F(MainDialogUi, FailureBeforeTheDialogIsNeverSilent) {
  SetImage(3);
  host_->ClearMessages();
  const int allocations = host_->allocations();
  RunDialog(nullptr, [](HWND dialog) { EXPECT_TRUE(uitest::PressKey(VK_ESCAPE)) << dialog; });
  const int needed = host_->allocations() - allocations;
  ASSERT_GT(needed, 0);
  int refused = 0;
  for (int n = 1; n <= needed; ++n) {
    filterhost::Host host(*module_);
    host.behaviour().window = filterhost::HostWindow::Given;
    host.behaviour().givenWindow = reinterpret_cast<intptr_t>(owner_);
    host.SetImage(original_);
    host.ClearMessages();
    host.faults().failAllocationsFrom = n;
    bool opened = false;
    uitest::ModalScript modal([&](HWND dialog) {
      if (GetDlgItem(dialog, kSourcePane) == nullptr) return;  // a message box: the host's watcher answers it
      opened = true;
      uitest::PressKey(VK_ESCAPE);
    });
    const filterhost::RunReport report = host.Run(true);
    if (opened) continue;
    ++refused;
    EXPECT_TRUE(report.result < 0 || (report.result == 1 && report.messagesShown > 0))
        << "allocation " << n << " failed: result " << report.result;
  }
  EXPECT_GT(refused, 0) << needed << " allocations, every one of them refused, and the dialog opened each time";
}

}  // namespace
}  // namespace quiltora
