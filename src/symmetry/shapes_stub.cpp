#include "symmetry/shapes.h"

namespace quiltora {

void RectangleSource::LoadSelection(const ParameterBlock&) {}
void RectangleSource::StoreSelection(ParameterBlock&) {}
void RectangleSource::SetFromRect(const Rect16&) {}
void RectangleSource::SetFromFrame(const SelectionFrame&) {}
void RectangleSource::GetRect(Rect16*) {}
void RectangleSource::GetFrame(SelectionFrame*) {}
int16_t RectangleSource::LimitFeather() { return 0; }
int16_t RectangleSource::IsOutsideImage() { return 0; }
void RectangleSource::SetDefault() {}
void RectangleSource::SetScaled(int32_t, int32_t, int32_t, int32_t, int32_t, double) {}
void RectangleSource::Scale(double) {}
void RectangleSource::ComputeTileSize() {}
void RectangleSource::ComputeSourceExtent() {}
void RectangleSource::SetFeatherPercent(int32_t) {}
void RectangleSource::GetFeatherReach(int32_t*, int32_t*) {}
void RectangleSource::GetSourceBounds(Rect16*) {}

void HalfSquareSource::LoadSelection(const ParameterBlock&) {}
void HalfSquareSource::StoreSelection(ParameterBlock&) {}
void HalfSquareSource::SetFromRect(const Rect16&) {}
void HalfSquareSource::SetFromFrame(const SelectionFrame&) {}
void HalfSquareSource::GetRect(Rect16*) {}
void HalfSquareSource::GetFrame(SelectionFrame*) {}
int16_t HalfSquareSource::LimitFeather() { return 0; }
int16_t HalfSquareSource::IsOutsideImage() { return 0; }
void HalfSquareSource::SetDefault() {}
void HalfSquareSource::SetScaled(int32_t, int32_t, int32_t, int32_t, int32_t, double) {}
void HalfSquareSource::Scale(double) {}
void HalfSquareSource::ComputeTileSize() {}
void HalfSquareSource::ComputeSourceExtent() {}
void HalfSquareSource::SetFeatherPercent(int32_t) {}
void HalfSquareSource::GetFeatherReach(int32_t*, int32_t*) {}
void HalfSquareSource::GetSourceBounds(Rect16*) {}

void SquareSource::LoadSelection(const ParameterBlock&) {}
void SquareSource::StoreSelection(ParameterBlock&) {}
void SquareSource::SetFromRect(const Rect16&) {}
void SquareSource::SetFromFrame(const SelectionFrame&) {}
void SquareSource::GetRect(Rect16*) {}
void SquareSource::GetFrame(SelectionFrame*) {}
int16_t SquareSource::LimitFeather() { return 0; }
int16_t SquareSource::IsOutsideImage() { return 0; }
void SquareSource::SetDefault() {}
void SquareSource::SetScaled(int32_t, int32_t, int32_t, int32_t, int32_t, double) {}
void SquareSource::Scale(double) {}
void SquareSource::ComputeTileSize() {}
void SquareSource::ComputeSourceExtent() {}
void SquareSource::SetFeatherPercent(int32_t) {}
void SquareSource::GetFeatherReach(int32_t*, int32_t*) {}
void SquareSource::GetSourceBounds(Rect16*) {}

void TriangleSource::LoadSelection(const ParameterBlock&) {}
void TriangleSource::StoreSelection(ParameterBlock&) {}
void TriangleSource::SetFromRect(const Rect16&) {}
void TriangleSource::SetFromFrame(const SelectionFrame&) {}
void TriangleSource::GetRect(Rect16*) {}
void TriangleSource::GetFrame(SelectionFrame*) {}
int16_t TriangleSource::LimitFeather() { return 0; }
int16_t TriangleSource::IsOutsideImage() { return 0; }
void TriangleSource::SetDefault() {}
void TriangleSource::SetScaled(int32_t, int32_t, int32_t, int32_t, int32_t, double) {}
void TriangleSource::Scale(double) {}
void TriangleSource::ComputeTileSize() {}
void TriangleSource::ComputeSourceExtent() {}
void TriangleSource::SetFeatherPercent(int32_t) {}
void TriangleSource::GetFeatherReach(int32_t*, int32_t*) {}
void TriangleSource::GetSourceBounds(Rect16*) {}

void HalfTriangleSource::LoadSelection(const ParameterBlock&) {}
void HalfTriangleSource::StoreSelection(ParameterBlock&) {}
void HalfTriangleSource::SetFromRect(const Rect16&) {}
void HalfTriangleSource::SetFromFrame(const SelectionFrame&) {}
void HalfTriangleSource::GetRect(Rect16*) {}
void HalfTriangleSource::GetFrame(SelectionFrame*) {}
int16_t HalfTriangleSource::LimitFeather() { return 0; }
int16_t HalfTriangleSource::IsOutsideImage() { return 0; }
void HalfTriangleSource::SetDefault() {}
void HalfTriangleSource::SetScaled(int32_t, int32_t, int32_t, int32_t, int32_t, double) {}
void HalfTriangleSource::Scale(double) {}
void HalfTriangleSource::ComputeTileSize() {}
void HalfTriangleSource::ComputeSourceExtent() {}
void HalfTriangleSource::SetFeatherPercent(int32_t) {}
void HalfTriangleSource::GetFeatherReach(int32_t*, int32_t*) {}
void HalfTriangleSource::GetSourceBounds(Rect16*) {}

void RhombusSource::LoadSelection(const ParameterBlock&) {}
void RhombusSource::StoreSelection(ParameterBlock&) {}
void RhombusSource::SetFromRect(const Rect16&) {}
void RhombusSource::SetFromFrame(const SelectionFrame&) {}
void RhombusSource::GetRect(Rect16*) {}
void RhombusSource::GetFrame(SelectionFrame*) {}
int16_t RhombusSource::LimitFeather() { return 0; }
int16_t RhombusSource::IsOutsideImage() { return 0; }
void RhombusSource::SetDefault() {}
void RhombusSource::SetScaled(int32_t, int32_t, int32_t, int32_t, int32_t, double) {}
void RhombusSource::Scale(double) {}
void RhombusSource::ComputeTileSize() {}
void RhombusSource::ComputeSourceExtent() {}
void RhombusSource::SetFeatherPercent(int32_t) {}
void RhombusSource::GetFeatherReach(int32_t*, int32_t*) {}
void RhombusSource::GetSourceBounds(Rect16*) {}

void KiteSource::LoadSelection(const ParameterBlock&) {}
void KiteSource::StoreSelection(ParameterBlock&) {}
void KiteSource::SetFromRect(const Rect16&) {}
void KiteSource::SetFromFrame(const SelectionFrame&) {}
void KiteSource::GetRect(Rect16*) {}
void KiteSource::GetFrame(SelectionFrame*) {}
int16_t KiteSource::LimitFeather() { return 0; }
int16_t KiteSource::IsOutsideImage() { return 0; }
void KiteSource::SetDefault() {}
void KiteSource::SetScaled(int32_t, int32_t, int32_t, int32_t, int32_t, double) {}
void KiteSource::Scale(double) {}
void KiteSource::ComputeTileSize() {}
void KiteSource::ComputeSourceExtent() {}
void KiteSource::SetFeatherPercent(int32_t) {}
void KiteSource::GetFeatherReach(int32_t*, int32_t*) {}
void KiteSource::GetSourceBounds(Rect16*) {}

void ParallelogramSource::LoadSelection(const ParameterBlock&) {}
void ParallelogramSource::StoreSelection(ParameterBlock&) {}
void ParallelogramSource::SetFromRect(const Rect16&) {}
void ParallelogramSource::SetFromFrame(const SelectionFrame&) {}
void ParallelogramSource::GetRect(Rect16*) {}
void ParallelogramSource::GetFrame(SelectionFrame*) {}
int16_t ParallelogramSource::LimitFeather() { return 0; }
int16_t ParallelogramSource::IsOutsideImage() { return 0; }
void ParallelogramSource::SetDefault() {}
void ParallelogramSource::SetScaled(int32_t, int32_t, int32_t, int32_t, int32_t, double) {}
void ParallelogramSource::Scale(double) {}
void ParallelogramSource::ComputeTileSize() {}
void ParallelogramSource::ComputeSourceExtent() {}
void ParallelogramSource::SetFeatherPercent(int32_t) {}
void ParallelogramSource::GetFeatherReach(int32_t*, int32_t*) {}
void ParallelogramSource::GetSourceBounds(Rect16*) {}
void ParallelogramSource::ComputeRowShift() { rowShift = shear; }
void ParallelogramSource::FitFeatherSheared() {}
void ParallelogramSource::ShearedFeatherReach(int32_t, int32_t*, int32_t*, double*, double*) const {}

}  // namespace quiltora
