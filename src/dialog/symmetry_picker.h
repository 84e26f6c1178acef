// The Symmetry dialog's arithmetic and state, without windows: where its
// seventeen pictures lie, which one a point hits, where a picture draws its
// icon and the blue frame, and the choice made by clicking or by dragging
// across the grid with the button held.
#pragma once

#include <cstdint>

#include "abi/parameter_block.h"

namespace quiltora {

constexpr int32_t kPictureIdOffset = 353;  // picture id = symmetry number + 353
constexpr int32_t kFirstPictureId = 354;
constexpr int32_t kLastPictureId = 370;

inline int32_t PictureIdOf(int32_t symmetry) { return symmetry + kPictureIdOffset; }
inline int32_t SymmetryOfPicture(int32_t id) { return id - kPictureIdOffset; }
inline bool IsPictureId(int32_t id) { return id >= kFirstPictureId && id <= kLastPictureId; }

// A picture's place in the dialog template, in dialog units (right and bottom
// exclusive): six to a row, 50 units square, the first row 10 units down.
IntRect PictureUnits(int32_t id);

// Dialog units to pixels for a dialog of those base units, as the system
// maps a template: x × baseX / 4 and y × baseY / 8, rounded.
IntRect UnitsToPixels(const IntRect& units, int32_t baseUnitX, int32_t baseUnitY);

// The picture under a point of the dialog's client area, or 0.
int32_t PictureAt(IntPoint point, int32_t baseUnitX, int32_t baseUnitY);

// How a picture of w × h pixels paints an icon of W × H: the w × h block at
// the icon's corner goes to (x, y) = (|W - w| / 2, |H - h| / 2), and the
// chosen picture's frame is (x, y + 1, x + W - 6, y + H - 4), 2 pixels of pure blue.
struct PictureDrawing {
  IntPoint iconAt;
  IntRect frame;
};
PictureDrawing LayOutPicture(int32_t width, int32_t height, int32_t iconWidth, int32_t iconHeight);

// The choice while the dialog is open. Each call that changes it names the
// pictures to repaint (0: none), the old one first.
struct Repaint {
  int32_t first = 0;
  int32_t second = 0;
};

class SymmetryPickerModel {
 public:
  // Opens on the block's symmetry (one outside 1..17 opens on the default 8).
  explicit SymmetryPickerModel(int32_t symmetry);

  int32_t chosen() const { return chosen_; }
  bool pressed() const { return pressed_; }

  // The button went down on picture id, inside its client area.
  Repaint Press(int32_t id, bool inside);
  // The pointer moved over picture id. buttonDown is the button's state in
  // the move: a release the pictures never saw (outside every picture, or
  // outside the dialog) ends the press there, so a pointer passing over the
  // grid afterwards chooses nothing.
  Repaint Move(int32_t id, bool inside, bool buttonDown);
  void Release() { pressed_ = false; }
  // Chooses picture id outright (a picture asking the dialog to); ids that
  // are no picture change nothing.
  Repaint Set(int32_t id) { return Choose(id); }

  // OK: the symmetry chosen.
  int32_t Accept() const { return SymmetryOfPicture(chosen_); }

 private:
  Repaint Choose(int32_t id);
  int32_t chosen_;
  bool pressed_ = false;
};

}  // namespace quiltora
