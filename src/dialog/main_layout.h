// Where the main dialog's controls sit in its client area, in pixels. The
// dialog creates its controls here and the background picture is drawn to
// fit them, so both read this one table. Portable: no window headers.
#pragma once

#include <cstdint>

namespace quiltora {

// The client area is the background picture's size.
constexpr int32_t kMainClientWidth = 515;
constexpr int32_t kMainClientHeight = 363;

struct ControlPlace {
  int32_t id;
  int32_t left, top, width, height;
};

// In creation order. The combo boxes' heights are their dropped heights;
// closed, only their 20-pixel-wide arrow button shows.
constexpr ControlPlace kFeatherSlider{343, 62, 331, 146, 18};
constexpr ControlPlace kOpacitySlider{344, 62, 305, 146, 18};
constexpr ControlPlace kModeList{340, 462, 29, 20, 179};
constexpr ControlPlace kSourceList{330, 31, 25, 20, 179};
constexpr ControlPlace kSourcePane{345, 8, 81, 200, 200};
constexpr ControlPlace kResultPane{346, 308, 81, 200, 200};
constexpr ControlPlace kBadgeButton{332, 85, 1, 54, 55};
constexpr ControlPlace kOkButton{1, 444, 299, 72, 63};
constexpr ControlPlace kCancelButton{2, 372, 299, 72, 63};
constexpr ControlPlace kSaveTileButton{327, 300, 299, 72, 63};
constexpr ControlPlace kSymmetryButton{328, 221, 52, 76, 72};
constexpr ControlPlace kTileSizeLabel{349, 226, 162, 65, 15};
constexpr ControlPlace kTilePreview{348, 226, 178, 65, 65};

constexpr ControlPlace kMainControls[] = {kFeatherSlider,  kOpacitySlider, kModeList,   kSourceList,   kSourcePane,
                                          kResultPane,     kBadgeButton,   kOkButton,   kCancelButton, kSaveTileButton,
                                          kSymmetryButton, kTileSizeLabel, kTilePreview};

// The symmetry icons are 80 x 75; the symmetry button shows their top-left
// 74 x 71, and the picker frames the same part in blue.
constexpr int32_t kIconWidth = 80;
constexpr int32_t kIconHeight = 75;
constexpr int32_t kIconShownWidth = 74;
constexpr int32_t kIconShownHeight = 71;

}  // namespace quiltora
