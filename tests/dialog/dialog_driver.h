// Running the real module's main dialog under the test host, for the window
// tests, the preview timing and the screenshots: an image editor's window,
// pictures to filter, the kept settings, and a run whose dialog a script
// drives from inside its own modal loop.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "abi/parameter_block.h"
#include "filterhost.h"

namespace dialogtest {

// Where the controls sit (client pixels of the dialog).
constexpr POINT kApplyButton{444 + 36, 299 + 30};
constexpr POINT kCancelButton{372 + 36, 299 + 30};
constexpr int kSourcePaneId = 345;
constexpr int kResultPaneId = 346;
constexpr int kTilePreviewId = 348;
constexpr int kTileSizeLabelId = 349;
constexpr int kSaveTileId = 327;

// A visible top-level window standing for the image editor.
HWND MakeEditorWindow();

// A picture with edges and gradients in every channel.
filterhost::Image ProbeImage(int32_t width, int32_t height, int32_t channels);
// The sample picture as gray (1), RGB (3) or CMYK ink (4); false when it cannot be read.
bool LoadSample(const std::string& path, int32_t channels, filterhost::Image* image);

// The settings the host keeps, as they are this moment: the dialog writes
// them as it goes.
quiltora::ParameterBlock KeptBlock(const filterhost::Host& host);
void PatchKeptBlock(filterhost::Host* host, const std::function<void(quiltora::ParameterBlock*)>& change);

// Parameters, then `settings` applied to the kept block, then the run with
// the dialog, which `script` drives. *ran tells whether the dialog opened.
filterhost::RunReport RunWithDialog(filterhost::Host* host, const std::function<void(quiltora::ParameterBlock*)>& settings,
                                    const std::function<void(HWND dialog)>& script, bool* ran);

// The picture the result pane shows, as the module holds it now.
struct ResultPicture {
  int32_t width = 0, height = 0, channels = 0;
  POINT at{};                   // its top-left corner in the pane
  std::vector<uint8_t> pixels;  // top row first, picture-buffer byte order
};
bool CopyResultPicture(const filterhost::Module& module, ResultPicture* out);

// 0xRRGGBB of a picture-buffer pixel of 1 (gray) or 3 (blue, green, red) bytes.
uint32_t ShownColour(const uint8_t* pixel, int32_t channels);

// A key held down (or let go) through the input queue.
bool HoldKey(WORD key, bool down);

}  // namespace dialogtest
