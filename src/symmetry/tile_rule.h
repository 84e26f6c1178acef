// How big a tile a symmetry builds from the sizes of its source shape: the
// rules the symmetry objects apply when they measure their tile, and the
// command line solves when asked for a repeat of a given size. Which rule a
// symmetry follows is its row of the catalogue.
#pragma once

#include <cstdint>

namespace quiltora {

enum class TileRule : int8_t {
  kShape,         // w × h: the sheared brick (its rows shift by the shear)
  kSide,          // s × s
  kTwoWide,       // 2w × h
  kFourWide,      // 4w × h
  kTwoByTwo,      // 2w × 2h
  kTwoSides,      // 2s × 2s
  kRhombus,       // 2 × (trunc(s × 1.1547005 × 3 / 2 − 0.5) + 1) × 2s
  kTriangle,      // s lowered by one, then 2 × (3s / 2) × 2 × (trunc(s × 0.8660254 − 0.5) + 1)
  kKite,          // an odd s lowered to even, then as the triangle
  kHalfTriangle,  // an odd s lowered to even, then 6s × 2 × (trunc(s × 1.7320508 − 0.5) + 1)
};

// A tile's size, and the side the object keeps (lowered by the hexagonal
// rules; 0 for the shapes measured by width and height).
struct TileSize {
  int32_t width = 0;
  int32_t height = 0;
  int32_t side = 0;
};

namespace tile_rule {

// trunc toward zero into int32, saturating (no undefined conversions).
constexpr int32_t Trunc(double value) {
  if (!(value > -2147483648.0)) return value != value ? 0 : INT32_MIN;
  if (value >= 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(value);
}

// Products wrap at 32 bits as the module's integers do, without overflow.
constexpr int32_t Times(int32_t factor, int32_t value) {
  return static_cast<int32_t>(static_cast<uint32_t>(factor) * static_cast<uint32_t>(value));
}

constexpr int32_t Lowered(int32_t side) { return static_cast<int32_t>(static_cast<uint32_t>(side) - 1u); }

constexpr int32_t TriangularHeight(int32_t side, double factor) {
  return Times(2, Trunc(side * factor - 0.5) + 1);
}

}  // namespace tile_rule

// True when one size s gives both sides of the tile; false when the width
// follows from w and the height from h.
constexpr bool TileRuleHasOneSize(TileRule rule) {
  return rule != TileRule::kShape && rule != TileRule::kTwoWide && rule != TileRule::kFourWide &&
         rule != TileRule::kTwoByTwo;
}

// The tile made from a shape of width w and height h, or of side s.
constexpr TileSize TileSizeOf(TileRule rule, int32_t w, int32_t h, int32_t s) {
  using tile_rule::Times;
  using tile_rule::TriangularHeight;
  switch (rule) {
    case TileRule::kShape: return TileSize{w, h, 0};
    case TileRule::kSide: return TileSize{s, s, s};
    case TileRule::kTwoWide: return TileSize{Times(2, w), h, 0};
    case TileRule::kFourWide: return TileSize{Times(4, w), h, 0};
    case TileRule::kTwoByTwo: return TileSize{Times(2, w), Times(2, h), 0};
    case TileRule::kTwoSides: return TileSize{Times(2, s), Times(2, s), s};
    case TileRule::kRhombus:
      return TileSize{Times(2, tile_rule::Trunc(s * 1.1547005 * 3.0 / 2.0 - 0.5) + 1), Times(2, s), s};
    case TileRule::kTriangle:
    case TileRule::kKite: {
      const int32_t kept = rule == TileRule::kTriangle || (s & 1) != 0 ? tile_rule::Lowered(s) : s;
      return TileSize{Times(2, Times(3, kept) / 2), TriangularHeight(kept, 0.8660254), kept};
    }
    case TileRule::kHalfTriangle: {
      const int32_t kept = (s & 1) != 0 ? tile_rule::Lowered(s) : s;
      return TileSize{Times(6, kept), TriangularHeight(kept, 1.7320508), kept};
    }
  }
  return TileSize{};
}

}  // namespace quiltora
