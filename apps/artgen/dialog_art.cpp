// The main dialog's pictures: the background with its labels and wells, the
// picture buttons, and the result pane's hover cursor. Every position comes
// from the dialog's control table.
#include <cmath>

#include "art.h"
#include "cursor_art.h"
#include "dialog/main_layout.h"
#include "dialog_parts.h"
#include "palette.h"
#include "resources/resource_ids.h"

namespace artgen {
namespace {

using quiltora::ControlPlace;

// Label sizes, pixels per em: capitals 8 pixels high, small letters 6.
constexpr double kLabelSize = 11;
constexpr double kTitleSize = 27;

void Label(Canvas* canvas, const ArtFonts& fonts, double x, double baseline, const std::string& text, bool centred) {
  const double left = centred ? x - fonts.sansBold.Width(text, kLabelSize) / 2 : x;
  EngravedText(canvas, fonts.sansBold, left, baseline, text, kLabelSize, palette::kInk);
}

// Right-aligned to x.
void LabelBefore(Canvas* canvas, const ArtFonts& fonts, double x, double baseline, const std::string& text) {
  Label(canvas, fonts, x - fonts.sansBold.Width(text, kLabelSize), baseline, text, false);
}

void Title(Canvas* canvas, const ArtFonts& fonts, bool lettered) {
  const double centre = quiltora::kSymmetryButton.left + quiltora::kSymmetryButton.width / 2.0;
  const std::string title = "Quiltora";
  const double width = fonts.serifBold.Width(title, kTitleSize);
  if (lettered)
    EngravedText(canvas, fonts.serifBold, std::round(centre - width / 2), 33, title, kTitleSize, palette::kInk);
  // Quilt-block stars either side.
  QuiltStar(canvas, centre - width / 2 - 24, 23, 8);
  QuiltStar(canvas, centre + width / 2 + 24, 23, 8);
}

}  // namespace

Canvas MainBackground(const ArtFonts& fonts, bool lettered) {
  using namespace quiltora;
  Canvas canvas = Ground(0, 0, kMainClientWidth, kMainClientHeight);
  Title(&canvas, fonts, lettered);
  auto label = [lettered](const char* text) { return std::string(lettered ? text : ""); };

  // The two panes sit in sunken wells.
  Well(&canvas, kSourcePane, 4);
  Well(&canvas, kResultPane, 4);

  // Middle column: the symmetry button, then the tile size and preview.
  Well(&canvas, kSymmetryButton, 4);
  const double middle = kSymmetryButton.left + kSymmetryButton.width / 2.0;
  Label(&canvas, fonts, middle, 141, label("Symmetry"), true);
  Label(&canvas, fonts, middle, 156, label("Tile"), true);
  const ControlPlace tileBlock{0, kTileSizeLabel.left, kTileSizeLabel.top, kTilePreview.width,
                               kTilePreview.top + kTilePreview.height - kTileSizeLabel.top};
  Well(&canvas, tileBlock, 3);

  // Sliders on a panel with their labels before them.
  Panel(&canvas, 4, 292, 213, 358);
  Groove(&canvas, kOpacitySlider);
  Groove(&canvas, kFeatherSlider);
  LabelBefore(&canvas, fonts, kOpacitySlider.left - 5, kOpacitySlider.top + 13, label("Opacity"));
  LabelBefore(&canvas, fonts, kFeatherSlider.left - 5, kFeatherSlider.top + 13, label("Feather"));

  // The drop lists' arrows sit in the pockets of their pennants.
  Pennant(&canvas, fonts,
          ControlPlace{kSourceList.id, kSourceList.left, kSourceList.top, kSourceList.width, kComboClosedHeight},
          label("Source"), palette::kIndigo);
  Pennant(&canvas, fonts,
          ControlPlace{kModeList.id, kModeList.left, kModeList.top, kModeList.width, kComboClosedHeight}, label("Mode"),
          palette::kBrick);
  return canvas;
}

namespace {

// The Apply tick, the Cancel cross and the Save Tile block, centred on (cx, cy).
void TickGlyph(Canvas* canvas, double cx, double cy) {
  const Colour green = Hex(0x3C7A4A);
  canvas->Fill(LineShape({cx - 9, cy + 0.5}, {cx - 3, cy + 6.5}, 4.2), green);
  canvas->Fill(LineShape({cx - 3, cy + 6.5}, {cx + 9.5, cy - 7}, 4.2), green);
}

void CrossGlyph(Canvas* canvas, double cx, double cy) {
  canvas->Fill(LineShape({cx - 7, cy - 7}, {cx + 7, cy + 7}, 4.2), palette::kBrick);
  canvas->Fill(LineShape({cx + 7, cy - 7}, {cx - 7, cy + 7}, 4.2), palette::kBrick);
}

void SaveTileGlyph(Canvas* canvas, double cx, double cy) {
  const double s = 8;  // one patch
  const Colour patches[4] = {palette::kIndigo, palette::kMustard, palette::kMustard, palette::kIndigo};
  for (int i = 0; i < 4; ++i) {
    const double x = cx - 11 + (i % 2) * s, y = cy - 9 + (i / 2) * s;
    canvas->Fill(RectShape(x, y, x + s, y + s), patches[i]);
  }
  canvas->Fill(Minus(RectShape(cx - 12, cy - 10, cx + 6, cy + 8), RectShape(cx - 11, cy - 9, cx + 5, cy + 7)),
               palette::kShadow);
  // A down arrow into a tray: saved to a file.
  const Colour arrow = palette::kInk;
  canvas->Fill(RectShape(cx + 6.5, cy - 4, cx + 10.5, cy + 3), arrow);
  canvas->Fill(PolygonShape({{cx + 3.5, cy + 2}, {cx + 13.5, cy + 2}, {cx + 8.5, cy + 8}}), arrow);
  canvas->Fill(RectShape(cx + 2, cy + 10, cx + 15, cy + 12), arrow);
}

}  // namespace

void DialogArt(const ArtFonts& fonts, std::vector<ArtPiece>* pieces) {
  using namespace quiltora;
  const Canvas background = MainBackground(fonts, true);
  pieces->push_back(BitmapPiece(IDB_BACKGROUND, "background-220.bmp", "220 background", background));

  struct Face {
    const ControlPlace& place;
    int32_t normalId;
    const char* name;
    const char* label;
    void (*glyph)(Canvas*, double, double);
  };
  const Face faces[] = {{kOkButton, IDB_OK, "apply", "Apply", TickGlyph},
                        {kSaveTileButton, IDB_SAVE_TILE, "save-tile", "Save Tile", SaveTileGlyph},
                        {kCancelButton, IDB_CANCEL, "cancel", "Cancel", CrossGlyph}};
  for (const Face& face : faces) {
    for (const bool pressed : {false, true}) {
      Canvas button = Ground(face.place.left, face.place.top, face.place.width, face.place.height);
      const Point shift = ButtonBody(&button, pressed);
      face.glyph(&button, 36 + shift.x, 23 + shift.y);
      fonts.sansBold.DrawCentred(&button, 36 + shift.x, 51 + shift.y, face.label, kLabelSize, palette::kInk);
      const std::string state = pressed ? "pressed" : "normal";
      pieces->push_back(BitmapPiece(face.normalId + (pressed ? 1 : 0),
                                    std::string(face.name) + (pressed ? "-pressed-" : "-") +
                                        std::to_string(face.normalId + (pressed ? 1 : 0)) + ".bmp",
                                    std::to_string(face.normalId + (pressed ? 1 : 0)) + " " + face.label + " " + state,
                                    std::move(button)));
    }
  }
  for (const bool pressed : {false, true}) {
    Canvas badge = Ground(kBadgeButton.left, kBadgeButton.top, kBadgeButton.width, kBadgeButton.height);
    CrossStitchBadge(&badge, pressed);
    const int32_t id = pressed ? IDB_BADGE_PRESSED : IDB_BADGE;
    pieces->push_back(BitmapPiece(id, std::string(pressed ? "badge-pressed-" : "badge-") + std::to_string(id) + ".bmp",
                                  std::to_string(id) + (pressed ? " badge pressed" : " badge normal"),
                                  std::move(badge)));
  }
  pieces->push_back(ResultHoverCursor());
}

ArtPiece ResultHoverCursor() {
  // A four-way arrow: the pattern under the pointer can be dragged.
  Canvas glyph(kCursorSize, kCursorSize);
  const Colour ink = Hex(0x000000);
  const double c = 16;
  glyph.Fill(RectShape(c - 1, 6, c + 1, 26), ink);
  glyph.Fill(RectShape(6, c - 1, 26, c + 1), ink);
  glyph.Fill(PolygonShape({{c, 2}, {c + 5, 8}, {c - 5, 8}}), ink);
  glyph.Fill(PolygonShape({{c, 30}, {c - 5, 24}, {c + 5, 24}}), ink);
  glyph.Fill(PolygonShape({{2, c}, {8, c - 5}, {8, c + 5}}), ink);
  glyph.Fill(PolygonShape({{30, c}, {24, c + 5}, {24, c - 5}}), ink);
  return CursorPiece(IDCUR_RESULT_HOVER, "drag-3000.cur", "3000 result hover", glyph);
}

}  // namespace artgen
