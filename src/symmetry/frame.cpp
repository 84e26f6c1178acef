#include "symmetry/frame.h"

#include "symmetry/catalogue.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora {

namespace {

// Moves [low, high] into [1, limit - 1] keeping its length; when it is longer
// than that span it becomes the span. The length is tested rather than the
// moved low end, so that a long span moved right does not end past the border.
void FitSpan(double* low, double* high, int32_t limit) {
  const double last = limit - 1;
  if (*high > last) {
    *low -= *high - last;
    *high = last;
  } else if (*low < 1.0) {
    *high += 1.0 - *low;
    *low = 1.0;
  }
  if (*high - *low > last - 1.0) {
    *low = 1.0;
    *high = last;
  }
}

}  // namespace

void NormaliseFrame(const SelectionFrame& in, SelectionFrame* out, double width, double height) {
  *out = SelectionFrame{in.top / height, in.left / width, in.bottom / height, in.right / width, in.shear};
}

void DenormaliseFrame(const SelectionFrame& in, SelectionFrame* out, double width, double height) {
  *out = SelectionFrame{in.top * height, in.left * width, in.bottom * height, in.right * width, in.shear};
}

void FitFrame(const TileSymmetry& object, SelectionFrame* frame) {
  // The hexagonal symmetries lower their side before measuring the tile, so
  // their frames start larger.
  const SymmetryInfo* info = FindSymmetryInfo(object.number);
  const double minimum = info != nullptr && IsHexagonal(info->shape) ? 12.0 : 10.0;
  if (frame->right - frame->left < minimum) {
    frame->right = frame->left + minimum;
    frame->shear = 0.0;
  }
  if (frame->bottom - frame->top < minimum) {
    frame->bottom = frame->top + minimum;
    frame->shear = 0.0;
  }
  FitSpan(&frame->left, &frame->right, object.sourceWidth);
  FitSpan(&frame->top, &frame->bottom, object.sourceHeight);
}

}  // namespace quiltora
