// What distinguishes the 17 symmetries, in one table: the number the
// settings record keeps, the quilt block's name drawn in the icon, the plane
// group of the pattern, the shape of the source area, whether the seams take
// a feather border, and the icon bitmap. The symmetry objects, the tile
// builders, the feather, the dialog and the command's --list all read it.
#pragma once

#include <cstdint>

#include "symmetry/tile_rule.h"

namespace quiltora {

enum class SourceShape : uint8_t {
  kParallelogram,
  kHalfSquare,  // right isosceles triangle: the lower-left half of a square
  kRectangle,
  kSquare,
  kRhombus,       // 60/120 degrees
  kTriangle,      // equilateral
  kKite,          // 60, 90, 120, 90 degrees
  kHalfTriangle,  // 30-60-90
};

struct SymmetryInfo {
  int16_t number;          // the settings record's `symmetry`, 1..17
  const char* name;        // the quilt block, as the icon shows it
  const char* planeGroup;  // wallpaper group of the pattern
  SourceShape shape;
  bool feather;        // false: mirror seams only, never feathered
  int16_t iconBitmap;  // bitmap resource; 2000..2016 hold the names in alphabetical order
  TileRule tile;       // the tile's size from the shape's (tile_rule.h)
};

inline constexpr int32_t kSymmetryCount = 17;

inline constexpr SymmetryInfo kSymmetries[kSymmetryCount] = {
    {1, "Gold Brick", "p1", SourceShape::kParallelogram, true, 2002, TileRule::kShape},
    {2, "Crab Claws", "cm", SourceShape::kHalfSquare, true, 2001, TileRule::kSide},
    {3, "Wings", "pm", SourceShape::kRectangle, true, 2016, TileRule::kTwoWide},
    {4, "Hither & Yon", "p2", SourceShape::kRectangle, true, 2003, TileRule::kTwoWide},
    {5, "Card Tricks", "pg", SourceShape::kRectangle, true, 2000, TileRule::kTwoWide},
    {6, "Honey Bees", "pgg", SourceShape::kRectangle, true, 2004, TileRule::kTwoByTwo},
    {7, "Prickly Pear", "pmm", SourceShape::kRectangle, false, 2008, TileRule::kTwoByTwo},
    {8, "Pinwheel", "p4", SourceShape::kSquare, true, 2007, TileRule::kTwoSides},
    {9, "Primrose Path", "p4g", SourceShape::kHalfSquare, true, 2009, TileRule::kTwoSides},
    {10, "Sunflower", "p4m", SourceShape::kHalfSquare, false, 2012, TileRule::kTwoSides},
    {11, "Spider Web", "cmm", SourceShape::kHalfSquare, true, 2010, TileRule::kTwoSides},
    {12, "Lightning", "pmg", SourceShape::kRectangle, true, 2005, TileRule::kFourWide},
    {13, "Storm at Sea", "p3", SourceShape::kRhombus, true, 2011, TileRule::kRhombus},
    {14, "Winding Ways", "p3m1", SourceShape::kTriangle, false, 2015, TileRule::kTriangle},
    {15, "Monkey Wrench", "p31m", SourceShape::kKite, true, 2006, TileRule::kKite},
    {16, "Whirlpool", "p6", SourceShape::kKite, true, 2014, TileRule::kKite},
    {17, "Turnstile", "p6m", SourceShape::kHalfTriangle, false, 2013, TileRule::kHalfTriangle},
};

// The row of symmetry number; null for a number outside 1..17.
constexpr const SymmetryInfo* FindSymmetryInfo(int32_t number) {
  return number >= 1 && number <= kSymmetryCount ? &kSymmetries[number - 1] : nullptr;
}

// The tile-size rule of symmetry number; the sheared brick's for a number
// outside 1..17.
constexpr TileRule TileRuleOf(int32_t number) {
  const SymmetryInfo* info = FindSymmetryInfo(number);
  return info != nullptr ? info->tile : TileRule::kShape;
}

// True for a symmetry whose seams take a feather border; false for 7, 10, 14,
// 17 and for numbers outside 1..17.
constexpr bool TakesFeather(int32_t number) {
  const SymmetryInfo* info = FindSymmetryInfo(number);
  return info != nullptr && info->feather;
}

// The shapes of the hexagonal lattices (symmetries 13 to 17).
constexpr bool IsHexagonal(SourceShape shape) {
  return shape == SourceShape::kRhombus || shape == SourceShape::kTriangle || shape == SourceShape::kKite ||
         shape == SourceShape::kHalfTriangle;
}

// The shape as a user reads it ("square", "30-60-90 triangle").
constexpr const char* ShapeName(SourceShape shape) {
  switch (shape) {
    case SourceShape::kParallelogram: return "parallelogram";
    case SourceShape::kHalfSquare: return "right isosceles triangle";
    case SourceShape::kRectangle: return "rectangle";
    case SourceShape::kSquare: return "square";
    case SourceShape::kRhombus: return "rhombus";
    case SourceShape::kTriangle: return "equilateral triangle";
    case SourceShape::kKite: return "kite";
    case SourceShape::kHalfTriangle: return "30-60-90 triangle";
  }
  return "";
}

}  // namespace quiltora
