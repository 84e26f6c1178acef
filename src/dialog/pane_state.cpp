#include "dialog/pane_state.h"

#include <algorithm>
#include <cmath>

#include "symmetry/frame.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora {
namespace {

int32_t TruncSaturated(double value) {
  if (std::isnan(value)) return 0;
  if (value <= -2147483648.0) return INT32_MIN;
  if (value >= 2147483647.0) return INT32_MAX;
  return int32_t(value);
}

bool UsableScale(double scale) { return std::isfinite(scale) && scale > 0.0; }

// The outline's least and greatest x and y (not one past).
IntRect OutlineExtremes(const ParameterBlock& block) {
  const int32_t count = std::clamp(block.selectionVertexCount, 0, 5);
  if (count == 0) return IntRect{0, 0, 0, 0};
  const IntPoint* v = block.selectionVertices;
  IntRect b{v[0].x, v[0].y, v[0].x, v[0].y};
  for (int32_t i = 1; i < count; ++i)
    b = IntRect{std::min(b.left, v[i].x), std::min(b.top, v[i].y), std::max(b.right, v[i].x),
                std::max(b.bottom, v[i].y)};
  return b;
}

}  // namespace

int32_t RoundHalfUp(double value) { return TruncSaturated(value + 0.5); }

IntRect SelectionPaneRect(const ParameterBlock& block) {
  const IntRect& image = block.sourcePaneImageRect;
  IntRect out{};
  if (block.sourceKind == kSourceLoadedFile) {
    const double sx = block.sourcePaneScaleX, sy = block.sourcePaneScaleY;
    out.left = RoundHalfUp(double(block.selectionX - block.sourceArea.left) * sx);
    out.top = RoundHalfUp(double(block.selectionY - block.sourceArea.top) * sy);
    out.right = out.left + RoundHalfUp(block.selectionWidth * sx);
    out.bottom = out.top + RoundHalfUp(block.selectionHeight * sy);
  } else {
    SelectionFrame frame{};
    DenormaliseFrame(block.selectionNormalised, &frame, image.right - image.left, image.bottom - image.top);
    out = IntRect{RoundHalfUp(frame.left), RoundHalfUp(frame.top), RoundHalfUp(frame.right), RoundHalfUp(frame.bottom)};
  }
  return IntRect{out.left + image.left, out.top + image.top, out.right + image.left, out.bottom + image.top};
}

IntRect FeatherInsetRect(const IntRect& in, int32_t featherPixels) {
  return IntRect{in.left + featherPixels + 1, in.top + featherPixels + 1, in.right - featherPixels,
                 in.bottom - featherPixels};
}

void CommitSelection(ParameterBlock* block) {
  const double sx = block->sourcePaneScaleX, sy = block->sourcePaneScaleY;
  if (!UsableScale(sx) || !UsableScale(sy)) return;
  IntRect b = OutlineExtremes(*block);
  const IntRect& image = block->sourcePaneImageRect;
  b = IntRect{b.left - image.left, b.top - image.top, b.right - image.left, b.bottom - image.top};
  int32_t x = RoundHalfUp(b.left / sx);
  int32_t y = RoundHalfUp(b.top / sy);
  const int32_t w = RoundHalfUp((b.right - b.left) / sx);
  const int32_t h = RoundHalfUp((b.bottom - b.top) / sy);
  if (block->sourceKind == kSourceLoadedFile) {
    x += block->sourceArea.left;
    y += block->sourceArea.top;
  }
  block->selectionX = x;
  block->selectionY = y;
  block->selectionHeight = h;
  block->selectionWidth = w;
  block->selectionSize = w;
  block->selectionExtra = 0;
  if (block->symmetry == 1 && block->selectionVertexCount >= 2)
    block->selectionSpan = TruncSaturated((block->selectionVertices[1].x - block->selectionVertices[0].x) / sx);
  // The record keeps its rectangle in 16 bits.
  const IntRect rect{int16_t(x), int16_t(y), int16_t(x + w), int16_t(y + h)};
  block->selectionRect = rect;
  // A selection without height has no shear to speak of.
  const double shear = block->selectionHeight != 0 ? double(block->selectionSpan) / block->selectionHeight : 0.0;
  const SelectionFrame frame{double(rect.top), double(rect.left), double(rect.bottom), double(rect.right), shear};
  const int32_t resultWidth = block->resultPaneImageRect.right - block->resultPaneImageRect.left;
  const int32_t resultHeight = block->resultPaneImageRect.bottom - block->resultPaneImageRect.top;
  block->tileOffsetFracX = resultWidth != 0 ? double(block->tileOffsetX) / resultWidth : 0.0;
  block->tileOffsetFracY = resultHeight != 0 ? double(block->tileOffsetY) / resultHeight : 0.0;
  if (block->sourceWidth > 0 && block->sourceHeight > 0)
    NormaliseFrame(frame, &block->selectionNormalised, block->sourceWidth, block->sourceHeight);
}

bool CommittedTileSize(ParameterBlock* block, TileSymmetry* object, int32_t* width, int32_t* height) {
  if (object == nullptr) return false;
  const int32_t keptX = block->selectionX, keptY = block->selectionY;
  CommitSelection(block);
  SelectionFrame frame{};
  DenormaliseFrame(block->selectionNormalised, &frame, block->sourceWidth, block->sourceHeight);
  object->SetSourceSize(block->sourceWidth, block->sourceHeight);
  FitFrame(*object, &frame);
  object->SetFromFrame(frame);
  object->ComputeTileSize();
  *width = object->tileWidth;
  *height = object->tileHeight;
  block->selectionX = keptX;
  block->selectionY = keptY;
  return true;
}

}  // namespace quiltora
