#include "symmetry/frame.h"

namespace quiltora {

void NormaliseFrame(const SelectionFrame& in, SelectionFrame* out, double width, double height) {
  *out = SelectionFrame{in.top / height, in.left / width, in.bottom / height, in.right / width, in.shear};
}

void DenormaliseFrame(const SelectionFrame& in, SelectionFrame* out, double width, double height) {
  *out = SelectionFrame{in.top * height, in.left * width, in.bottom * height, in.right * width, in.shear};
}

}  // namespace quiltora
