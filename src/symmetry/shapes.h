// The eight source shapes. Each implements the geometry of one shape: its
// size from a frame, its bounding box, its largest feather and the source
// pixels it needs. The f64 fields keep the unrounded sizes; every other
// operation uses the i32 ones.
#pragma once

#include "symmetry/catalogue.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora {

// The operations every shape class implements with its own geometry.
#define QUILTORA_SHAPE_OPERATIONS                                                   \
  void LoadSelection(const ParameterBlock& block) override;                         \
  void StoreSelection(ParameterBlock& block) override;                              \
  void SetFromRect(const Rect16& rect) override;                                    \
  void SetFromFrame(const SelectionFrame& frame) override;                          \
  void GetRect(Rect16* rect) override;                                              \
  void GetFrame(SelectionFrame* frame) override;                                    \
  int16_t LimitFeather() override;                                                  \
  int16_t IsOutsideImage() override;                                                \
  void SetDefault() override;                                                       \
  void SetScaled(int32_t x, int32_t y, int32_t width, int32_t height, int32_t shear, \
                 double scale) override;                                            \
  void Scale(double factor) override;                                               \
  void ComputeTileSize() override;                                                  \
  void ComputeSourceExtent() override;                                              \
  void SetFeatherPercent(int32_t percent) override;                                 \
  void GetFeatherReach(int32_t* reachX, int32_t* reachY) override;                  \
  void GetSourceBounds(Rect16* bounds) override;

// A width × height rectangle.
class RectangleSource : public TileSymmetry {
 public:
  static constexpr SourceShape kShape = SourceShape::kRectangle;
  QUILTORA_SHAPE_OPERATIONS
  int32_t height = 0;
  int32_t width = 0;
  double fheight = 0.0;
  double fwidth = 0.0;
};

// Right isosceles triangle: the lower-left half of a side × side square.
class HalfSquareSource : public TileSymmetry {
 public:
  static constexpr SourceShape kShape = SourceShape::kHalfSquare;
  QUILTORA_SHAPE_OPERATIONS
  int32_t side = 0;
  double fside = 0.0;
};

// A side × side square.
class SquareSource : public TileSymmetry {
 public:
  static constexpr SourceShape kShape = SourceShape::kSquare;
  QUILTORA_SHAPE_OPERATIONS
  int32_t side = 0;
  double fside = 0.0;
};

// Equilateral triangle of edge side, top edge horizontal, apex down.
class TriangleSource : public TileSymmetry {
 public:
  static constexpr SourceShape kShape = SourceShape::kTriangle;
  QUILTORA_SHAPE_OPERATIONS
  int32_t side = 0;
  double fside = 0.0;
};

// 30-60-90 right triangle with bottom (short) leg side.
class HalfTriangleSource : public TileSymmetry {
 public:
  static constexpr SourceShape kShape = SourceShape::kHalfTriangle;
  QUILTORA_SHAPE_OPERATIONS
  int32_t side = 0;
  double fside = 0.0;
};

// 60/120-degree rhombus of height side, leaning right.
class RhombusSource : public TileSymmetry {
 public:
  static constexpr SourceShape kShape = SourceShape::kRhombus;
  QUILTORA_SHAPE_OPERATIONS
  int32_t side = 0;
  double fside = 0.0;
};

// Kite with angles 60, 90, 120, 90 degrees; side is the 60-to-120 diagonal.
class KiteSource : public TileSymmetry {
 public:
  static constexpr SourceShape kShape = SourceShape::kKite;
  QUILTORA_SHAPE_OPERATIONS
  int32_t side = 0;
  double fside = 0.0;
};

// Parallelogram with horizontal edges of length width; the bottom edge lies
// shear pixels right of the top edge (left when negative).
class ParallelogramSource : public TileSymmetry {
 public:
  static constexpr SourceShape kShape = SourceShape::kParallelogram;
  QUILTORA_SHAPE_OPERATIONS
  void ComputeRowShift() override;

  // Shrinks featherPixels so the bounding box grown by it keeps off the border.
  void FitFeatherSheared();
  // The feather's reach beside a slanted edge for feather f, in 16.16: fa, fb
  // receive P = f × sqrt(c² + 1) and Q = f × c (c = |shear| / height) as f64
  // pixels, a and b the whole pixels of P + 1 and Q + 1.
  void ShearedFeatherReach(int32_t f, int32_t* a, int32_t* b, double* fa, double* fb) const;

  int32_t height = 0;
  int32_t width = 0;
  int32_t shear = 0;
  double fheight = 0.0;
  double fwidth = 0.0;
  double fshear = 0.0;
};

#undef QUILTORA_SHAPE_OPERATIONS

}  // namespace quiltora
