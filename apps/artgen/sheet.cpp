#include "sheet.h"

#include <algorithm>

#include "dialog/main_layout.h"
#include "dialog_parts.h"
#include "symmetry/catalogue.h"

namespace artgen {
namespace {

constexpr int32_t kScale = 2;
constexpr int32_t kMargin = 24;
constexpr int32_t kGap = 24;
constexpr int32_t kCaption = 20;
constexpr int32_t kHeading = 30;
constexpr int32_t kSheetWidth = 2 * quiltora::kMainClientWidth * kScale + 3 * kMargin;
const Colour kSheetGround = Hex(0x2B2F36);
const Colour kCaptionInk = Hex(0xE6E6E6);

// A light and dark check under pictures with see-through pixels.
void Checks(Canvas* sheet, int32_t x, int32_t y, int32_t w, int32_t h) {
  for (int32_t j = 0; j < h; ++j)
    for (int32_t i = 0; i < w; ++i)
      sheet->Set(x + i, y + j, ((i / 8 + j / 8) % 2) != 0 ? Hex(0xD0D0D0) : Hex(0xF4F4F4));
}

const ArtPiece* Find(const std::vector<ArtPiece>& pieces, int32_t id) {
  for (const ArtPiece& piece : pieces)
    if (piece.id == id) return &piece;
  return nullptr;
}

// The control rectangles over the enlarged background: an outline, a faint
// fill and the control id.
void ControlOverlay(Canvas* picture, const ArtFonts& fonts) {
  const Colour colours[] = {Hex(0xFF2D55), Hex(0x00C7BE), Hex(0xFFCC00), Hex(0x5856D6),
                            Hex(0x34C759), Hex(0xFF9500), Hex(0x007AFF)};
  int32_t index = 0;
  for (const quiltora::ControlPlace& control : quiltora::kMainControls) {
    const Colour c = colours[index++ % std::size(colours)];
    const bool combo = control.id == quiltora::kSourceList.id || control.id == quiltora::kModeList.id;
    const int32_t height = combo ? kComboClosedHeight : control.height;
    const int32_t x0 = control.left * kScale, y0 = control.top * kScale;
    const int32_t x1 = (control.left + control.width) * kScale, y1 = (control.top + height) * kScale;
    picture->FillRect(x0, y0, x1, y1, WithAlpha(c, 45));
    picture->FillRect(x0, y0, x1, y0 + 2, c);
    picture->FillRect(x0, y1 - 2, x1, y1, c);
    picture->FillRect(x0, y0, x0 + 2, y1, c);
    picture->FillRect(x1 - 2, y0, x1, y1, c);
    const std::string label = std::to_string(control.id);
    picture->FillRect(x0 + 2, y0 + 2, x0 + 6 + int32_t(fonts.sansBold.Width(label, 11)), y0 + 16, c);
    fonts.sansBold.Draw(picture, x0 + 4, y0 + 13, label, 11, Hex(0x000000));
  }
}

// The client area as the dialog paints it: the background, each picture
// button's face at its place, the symmetry button showing its icon's
// top-left part from (2, 1), and the panes and the size label in the
// system's face colour.
Canvas MockUp(const std::vector<ArtPiece>& pieces, bool pressed) {
  using namespace quiltora;
  const ArtPiece* background = Find(pieces, 220);
  if (background == nullptr) return Canvas(kMainClientWidth, kMainClientHeight);
  Canvas client = background->picture;
  const Colour face = Hex(0xF0F0F0);
  for (const ControlPlace& pane :
       {kSourcePane, kResultPane, kTilePreview, kTileSizeLabel, kOpacitySlider, kFeatherSlider})
    client.FillRect(pane.left, pane.top, pane.left + pane.width, pane.top + pane.height, face);
  const struct {
    const ControlPlace& place;
    int32_t normal;
  } buttons[] = {{kOkButton, 200}, {kSaveTileButton, 202}, {kCancelButton, 204}, {kBadgeButton, 218}};
  for (const auto& button : buttons)
    if (const ArtPiece* art = Find(pieces, button.normal + (pressed ? 1 : 0)))
      client.Draw(art->picture.Crop(0, 0, button.place.width, button.place.height), button.place.left,
                  button.place.top);
  if (const ArtPiece* icon = Find(pieces, kSymmetries[pressed ? 12 : 7].iconBitmap)) {
    const ControlPlace& b = kSymmetryButton;
    client.FillRect(b.left, b.top, b.left + b.width, b.top + b.height, face);
    const int32_t x = std::abs(kIconWidth - b.width) / 2, y = std::abs(kIconHeight - b.height) / 2;
    client.Draw(icon->picture.Crop(0, 0, b.width - x, b.height - y), b.left + x, b.top + y);
  }
  return client;
}

// The Symmetry picker's grid: 50 x 50 dialog units a cell, here 75 x 81
// pixels (a font of 6 x 13 base units), each filled light gray with the
// icon's top-left block copied to (|80 - w| / 2, |75 - h| / 2), the chosen
// one framed by a 2-pixel blue pen on (x, y + 1, x + 80 - 6, y + 75 - 4).
Canvas Picker(const std::vector<ArtPiece>& pieces, int32_t chosen) {
  using namespace quiltora;
  constexpr int32_t kCellWidth = 75, kCellHeight = 81;
  Canvas grid(6 * kCellWidth, 3 * kCellHeight, Hex(0xF0F0F0));
  for (int32_t n = 1; n <= kSymmetryCount; ++n) {
    const int32_t left = (n - 1) % 6 * kCellWidth, top = (n - 1) / 6 * kCellHeight;
    grid.FillRect(left, top, left + kCellWidth, top + kCellHeight, Hex(0xC0C0C0));
    const ArtPiece* icon = Find(pieces, kSymmetries[n - 1].iconBitmap);
    if (icon == nullptr) continue;
    const int32_t x = std::abs(kIconWidth - kCellWidth) / 2, y = std::abs(kIconHeight - kCellHeight) / 2;
    grid.Draw(icon->picture.Crop(0, 0, std::min(kCellWidth, kIconWidth), std::min(kCellHeight, kIconHeight)), left + x,
              top + y);
    if (n != chosen) continue;
    const Colour blue = Hex(0x0000FF);
    const int32_t l = left + x, t = top + y + 1, r = left + x + kIconWidth - 6, b = top + y + kIconHeight - 4;
    grid.FillRect(l - 1, t - 1, r + 1, t + 1, blue);
    grid.FillRect(l - 1, b - 2, r + 1, b, blue);
    grid.FillRect(l - 1, t - 1, l + 1, b, blue);
    grid.FillRect(r - 2, t - 1, r, b, blue);
  }
  return grid;
}

class Sheet {
 public:
  Sheet(const ArtFonts& fonts, int32_t height) : fonts_(fonts), canvas_(kSheetWidth, height, kSheetGround) {}
  // A picture at (x, y) with its caption below; returns its height with the caption.
  int32_t Put(const Canvas& picture, bool checks, int32_t x, int32_t y, const std::string& caption) {
    if (checks) Checks(&canvas_, x, y, picture.width(), picture.height());
    canvas_.Draw(picture, x, y);
    fonts_.sans.Draw(&canvas_, x, y + picture.height() + 14, caption, 12, kCaptionInk);
    return picture.height() + kCaption;
  }
  void Heading(int32_t y, const std::string& text) {
    fonts_.sansBold.Draw(&canvas_, kMargin, y + 18, text, 16, kCaptionInk);
  }
  Canvas Take() { return std::move(canvas_); }

 private:
  const ArtFonts& fonts_;
  Canvas canvas_;
};

}  // namespace

Canvas ArtSheet(const std::vector<ArtPiece>& pieces, const ArtFonts& fonts) {
  // Rows: the background twice, then the buttons and cursors, then the icons.
  const int32_t backgroundHeight = quiltora::kMainClientHeight * kScale + kCaption;
  const int32_t smallRow = 72 * kScale + kCaption;
  const int32_t iconRow = quiltora::kIconHeight * kScale + kCaption;
  const int32_t iconsPerRow = (kSheetWidth - 2 * kMargin + kGap) / (quiltora::kIconWidth * kScale + kGap);
  const int32_t iconRows = (quiltora::kSymmetryCount + iconsPerRow - 1) / iconsPerRow;
  const int32_t pickerRow = 3 * 81 * kScale + kCaption;
  const int32_t height = kMargin + 2 * (kHeading + backgroundHeight + kGap) + kHeading + pickerRow + kGap + kHeading +
                         smallRow + kGap + kHeading + iconRows * (iconRow + kGap) + kMargin;
  Sheet sheet(fonts, height);
  int32_t y = kMargin;

  sheet.Heading(y, "Background 220, and with the main dialog's control rectangles over it");
  y += kHeading;
  if (const ArtPiece* background = Find(pieces, 220)) {
    const Canvas big = background->picture.Enlarged(kScale);
    sheet.Put(big, false, kMargin, y, background->title + " (515 x 363)");
    Canvas overlaid = big;
    ControlOverlay(&overlaid, fonts);
    sheet.Put(overlaid, false, 2 * kMargin + big.width(), y,
              "control rectangles by id (the drop lists 330 and 340 closed)");
  }
  y += backgroundHeight + kGap;

  sheet.Heading(
      y, "As the dialog shows them: the background with the buttons, normal and pressed, and the symmetry button");
  y += kHeading;
  sheet.Put(MockUp(pieces, false).Enlarged(kScale), false, kMargin, y, "normal, symmetry 8");
  sheet.Put(MockUp(pieces, true).Enlarged(kScale), false, 2 * kMargin + quiltora::kMainClientWidth * kScale, y,
            "every picture button pressed, symmetry 13");
  y += backgroundHeight + kGap;

  sheet.Heading(y, "The Symmetry picker's grid with symmetry 8 chosen, and the symmetry button with symmetry 8");
  y += kHeading;
  const Canvas picker = Picker(pieces, 8).Enlarged(kScale);
  sheet.Put(picker, false, kMargin, y, "cells of 50 x 50 dialog units at 6 x 13 base units: 75 x 81 pixels");
  const quiltora::ControlPlace& button = quiltora::kSymmetryButton;
  sheet.Put(MockUp(pieces, false)
                .Crop(button.left - 8, button.top - 8, button.width + 16, button.height + 16)
                .Enlarged(2 * kScale),
            false, 2 * kMargin + picker.width(), y, "the symmetry button, 4 x");
  y += picker.height() + kCaption + kGap;

  sheet.Heading(y, "Buttons normal and pressed, cursors, pattern");
  y += kHeading;
  int32_t x = kMargin;
  for (const ArtPiece& piece : pieces) {
    if (piece.id == 220 || (piece.id >= 2000 && piece.id <= 2016)) continue;
    const Canvas big = piece.picture.Enlarged(kScale);
    sheet.Put(big, piece.kind == ArtKind::kCursor, x, y, piece.title);
    x += std::max(big.width(), 150) + kGap;
  }
  y += smallRow + kGap;

  sheet.Heading(y, "Symmetry icons by symmetry number: bitmap, name (number); the button shows the top-left 74 x 71");
  y += kHeading;
  for (int32_t i = 0; i < quiltora::kSymmetryCount; ++i) {
    const ArtPiece* icon = Find(pieces, quiltora::kSymmetries[i].iconBitmap);
    if (icon == nullptr) continue;
    const int32_t column = i % iconsPerRow, row = i / iconsPerRow;
    sheet.Put(icon->picture.Enlarged(kScale), false, kMargin + column * (quiltora::kIconWidth * kScale + kGap),
              y + row * (iconRow + kGap), icon->title);
  }
  return sheet.Take();
}

}  // namespace artgen
