#include "dialog/symmetry_picker.h"

#include <cstdlib>

namespace quiltora {
namespace {

constexpr int32_t kColumns = 6;
constexpr int32_t kPictureUnits = 50;
constexpr int32_t kGridTopUnits = 10;
constexpr int32_t kDefaultSymmetry = 8;

// a × b / c rounded half away from zero, as the system's MulDiv.
int32_t MulDivRounded(int32_t a, int32_t b, int32_t c) {
  const int64_t product = int64_t(a) * b;
  const int64_t half = c / 2;
  return int32_t(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

IntRect PictureUnits(int32_t id) {
  const int32_t index = id - kFirstPictureId;
  const int32_t left = index % kColumns * kPictureUnits;
  const int32_t top = kGridTopUnits + index / kColumns * kPictureUnits;
  return IntRect{left, top, left + kPictureUnits, top + kPictureUnits};
}

IntRect UnitsToPixels(const IntRect& units, int32_t baseUnitX, int32_t baseUnitY) {
  return IntRect{MulDivRounded(units.left, baseUnitX, 4), MulDivRounded(units.top, baseUnitY, 8),
                 MulDivRounded(units.right, baseUnitX, 4), MulDivRounded(units.bottom, baseUnitY, 8)};
}

int32_t PictureAt(IntPoint point, int32_t baseUnitX, int32_t baseUnitY) {
  for (int32_t id = kFirstPictureId; id <= kLastPictureId; ++id) {
    const IntRect r = UnitsToPixels(PictureUnits(id), baseUnitX, baseUnitY);
    if (point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom) return id;
  }
  return 0;
}

PictureDrawing LayOutPicture(int32_t width, int32_t height, int32_t iconWidth, int32_t iconHeight) {
  const int32_t x = std::abs(iconWidth - width) / 2;
  const int32_t y = std::abs(iconHeight - height) / 2;
  return PictureDrawing{IntPoint{x, y}, IntRect{x, y + 1, x + iconWidth - 6, y + iconHeight - 4}};
}

SymmetryPickerModel::SymmetryPickerModel(int32_t symmetry)
    : chosen_(PictureIdOf(symmetry >= 1 && symmetry <= 17 ? symmetry : kDefaultSymmetry)) {}

Repaint SymmetryPickerModel::Choose(int32_t id) {
  if (!IsPictureId(id)) return {};
  const int32_t old = chosen_;
  chosen_ = id;
  return Repaint{old, id};
}

Repaint SymmetryPickerModel::Press(int32_t id, bool inside) {
  if (!inside || !IsPictureId(id)) return {};
  pressed_ = true;
  return Choose(id);
}

Repaint SymmetryPickerModel::Move(int32_t id, bool inside, bool buttonDown) {
  if (!buttonDown) pressed_ = false;
  if (!inside || !pressed_ || id == chosen_) return {};
  return Choose(id);
}

}  // namespace quiltora
