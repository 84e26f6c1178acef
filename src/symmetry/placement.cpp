#include "symmetry/placement.h"

#include <cmath>

#include "symmetry/frame.h"

namespace quiltora {

SelectionFrame StoredFrameFor(const ParameterBlock& block, int32_t width, int32_t height) {
  const SelectionFrame middle{1.0 / 3.0, 1.0 / 3.0, 2.0 / 3.0, 2.0 / 3.0, 0.0};
  // A record without a stored size cannot vouch for its proportions.
  if (block.sourceWidth <= 0 || block.sourceHeight <= 0 || width <= 0 || height <= 0) {
    return middle;
  }
  const double stored = static_cast<double>(block.sourceWidth) / block.sourceHeight;
  const double current = static_cast<double>(width) / height;
  return std::fabs(stored - current) > 0.5 ? middle : block.selectionNormalised;
}

void PlaceFrame(TileSymmetry* object, SelectionFrame frame, int32_t width, int32_t height) {
  object->SetSourceSize(width, height);
  FitFrame(*object, &frame);
  object->SetFromFrame(frame);
}

void PlaceStoredSelection(TileSymmetry* object, const ParameterBlock& block, int32_t width,
                          int32_t height) {
  SelectionFrame frame{};
  DenormaliseFrame(StoredFrameFor(block, width, height), &frame, width, height);
  PlaceFrame(object, frame, width, height);
}

void PrepareTileGeometry(TileSymmetry* object, int32_t width, int32_t height,
                         int32_t featherPercent) {
  object->SetSourceSize(width, height);
  object->PrepareRun();
  object->ComputeTileSize();
  object->ComputeSourceExtent();
  object->ComputeRowShift();
  object->SetFeatherPercent(featherPercent);
  object->ResetEdgeMins();
  object->ComputeEdgeRect();
  object->ComputeFeatherMargins();
  object->ComputeFeatherRect();
}

}  // namespace quiltora
