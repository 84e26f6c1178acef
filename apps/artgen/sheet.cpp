#include "sheet.h"

#include <algorithm>

namespace artgen {
namespace {

constexpr int32_t kScale = 2;
constexpr int32_t kMargin = 24;
constexpr int32_t kGap = 20;
constexpr int32_t kCaption = 18;
constexpr int32_t kSheetWidth = 2 * 515 * kScale + 3 * kMargin;
const Colour kSheetGround = Hex(0x2B2F36);
const Colour kCaptionInk = Hex(0xE6E6E6);

// Places pictures left to right, a new row when one would run past the edge.
class Flow {
 public:
  explicit Flow(int32_t width) : width_(width), x_(kMargin), y_(kMargin) {}
  // Top-left corner for a w x h block.
  Point Place(int32_t w, int32_t h) {
    if (x_ > kMargin && x_ + w > width_ - kMargin) NewRow();
    const Point at{double(x_), double(y_)};
    x_ += w + kGap;
    rowHeight_ = std::max(rowHeight_, h);
    return at;
  }
  void NewRow() {
    y_ += rowHeight_ + kGap;
    x_ = kMargin;
    rowHeight_ = 0;
  }
  int32_t bottom() const { return y_ + rowHeight_ + kMargin; }

 private:
  int32_t width_, x_, y_, rowHeight_ = 0;
};

// A light and dark check under pictures with see-through pixels.
void Checks(Canvas* sheet, int32_t x, int32_t y, int32_t w, int32_t h) {
  for (int32_t j = 0; j < h; ++j)
    for (int32_t i = 0; i < w; ++i) sheet->Set(x + i, y + j, ((i / 8 + j / 8) % 2) != 0 ? Hex(0xD0D0D0) : Hex(0xF4F4F4));
}

struct Item {
  const ArtPiece* piece;
  Point at;
};

}  // namespace

Canvas ArtSheet(const std::vector<ArtPiece>& pieces, const ArtFonts& fonts) {
  // First pass finds the height, the second draws.
  std::vector<Item> items;
  Flow flow(kSheetWidth);
  for (const ArtPiece& piece : pieces) {
    const int32_t w = std::max(piece.picture.width() * kScale, 120);
    items.push_back(Item{&piece, flow.Place(w, piece.picture.height() * kScale + kCaption)});
  }
  Canvas sheet(kSheetWidth, flow.bottom(), kSheetGround);
  for (const Item& item : items) {
    const ArtPiece& piece = *item.piece;
    const int32_t x = int32_t(item.at.x), y = int32_t(item.at.y);
    const Canvas big = piece.picture.Enlarged(kScale);
    if (piece.kind == ArtKind::kCursor) Checks(&sheet, x, y, big.width(), big.height());
    sheet.Draw(big, x, y);
    fonts.sans.Draw(&sheet, x, y + big.height() + 13, piece.title, 11, kCaptionInk);
  }
  return sheet;
}

}  // namespace artgen
