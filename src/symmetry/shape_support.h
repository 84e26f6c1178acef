// Arithmetic shared by the shape classes: truncation of f64 values to the
// i32 fields, the per-shape epsilons, and bounding-box helpers for the
// operations that work on any shape's box.
#pragma once

#include <cmath>
#include <cstdint>

#include "abi/parameter_block.h"
#include "symmetry/tile_rule.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora {
namespace shape {

// Epsilons added before truncating f64 geometry, so that values a rounding
// step below a whole number still give it.
constexpr double kEpsilon = 1e-7;           // rectangles, squares, half triangle, parallelogram
constexpr double kEpsilonWide = 0.001;      // equilateral triangle, kite
constexpr double kEpsilonRhombus = 0.01;

// trunc toward zero into int32; values beyond the range saturate (no UB).
inline int32_t Trunc(double value) {
  if (!(value > -2147483648.0)) return value != value ? 0 : INT32_MIN;
  if (value >= 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(value);
}

// trunc(value + epsilon) with the epsilon added to the magnitude: a value a
// rounding step short of a whole number gives that number on either side of
// zero, so a shear of -10.0 stays -10 rather than becoming -9.
inline int32_t TruncNear(double value, double epsilon) {
  return value >= 0.0 ? Trunc(value + epsilon) : -Trunc(-value + epsilon);
}

// Stores a tile size measured by the symmetries' one rule.
inline void SetTileSize(TileSymmetry* object, const TileSize& size) {
  object->tileWidth = size.width;
  object->tileHeight = size.height;
}

inline int16_t Narrow(int32_t value) { return static_cast<int16_t>(value); }

// (top, left, bottom, right) of a box, bottom and right exclusive.
inline Rect16 BoxRect(int32_t left, int32_t top, int32_t width, int32_t height) {
  return Rect16{Narrow(top), Narrow(left), Narrow(top + height), Narrow(left + width)};
}

inline SelectionFrame BoxFrame(int32_t left, int32_t top, int32_t width, int32_t height,
                               double shear) {
  return SelectionFrame{static_cast<double>(top), static_cast<double>(left),
                        static_cast<double>(top + height), static_cast<double>(left + width),
                        shear};
}

inline SelectionFrame RectFrame(const Rect16& rect, double shear) {
  return SelectionFrame{static_cast<double>(rect.top), static_cast<double>(rect.left),
                        static_cast<double>(rect.bottom), static_cast<double>(rect.right), shear};
}

// The middle third of the object's image.
inline SelectionFrame MiddleThird(const TileSymmetry& object) {
  return SelectionFrame{object.sourceHeight / 3.0, object.sourceWidth / 3.0,
                        object.sourceHeight * 2.0 / 3.0, object.sourceWidth * 2.0 / 3.0, 0.0};
}

// 1 when the box grown by the feather leaves the object's image.
inline int16_t BoxOutside(const TileSymmetry& object, int32_t left, int32_t top, int32_t width,
                          int32_t height) {
  const int32_t f = object.featherPixels;
  const bool outside = left - f < 0 || top - f < 0 || left + width + f > object.sourceWidth ||
                       top + height + f > object.sourceHeight;
  return outside ? 1 : 0;
}

// Lowers featherPixels to largest; -1 when it did, 0 otherwise.
inline int16_t LowerFeather(TileSymmetry* object, int32_t largest) {
  if (object->featherPixels <= largest) return 0;
  object->featherPixels = largest < 0 ? 0 : largest;
  return -1;
}

}  // namespace shape
}  // namespace quiltora
