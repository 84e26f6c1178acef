// The 17 symmetries, one leaf class each: its number (the settings record's
// `symmetry`), the name drawn in its icon, its plane group, the size of its
// tile and its two tile-building operations.
#pragma once

#include "symmetry/shapes.h"

namespace quiltora {

// Operations every leaf implements. BuildTile and FeatherSource live with the
// tile builders; the others are in leaves.cpp.
#define QUILTORA_LEAF_OPERATIONS                                                        \
  void LoadSelection(const ParameterBlock& block) override;                             \
  void StoreSelection(ParameterBlock& block) override;                                  \
  void ReservedA(int32_t first, int32_t second) override;                               \
  int16_t BuildTile(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode,  \
                    int16_t progressMode, uint8_t* tile, int32_t tileRowBytes,          \
                    int16_t tileMode) override;                                         \
  int16_t FeatherSource(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode, \
                        int16_t progressMode, uint8_t* work, int32_t workRowBytes,      \
                        int16_t workMode) override;

class GoldBrick : public ParallelogramSource {
 public:
  static constexpr int16_t kNumber = 1;
  static constexpr const char* kName = "Gold Brick";
  static constexpr const char* kPlaneGroup = "p1";
  QUILTORA_LEAF_OPERATIONS
};

class CrabClaws : public HalfSquareSource {
 public:
  static constexpr int16_t kNumber = 2;
  static constexpr const char* kName = "Crab Claws";
  static constexpr const char* kPlaneGroup = "cm";
  QUILTORA_LEAF_OPERATIONS
  void ComputeTileSize() override;
};

class Wings : public RectangleSource {
 public:
  static constexpr int16_t kNumber = 3;
  static constexpr const char* kName = "Wings";
  static constexpr const char* kPlaneGroup = "pm";
  QUILTORA_LEAF_OPERATIONS
  void ComputeTileSize() override;
};

class HitherAndYon : public RectangleSource {
 public:
  static constexpr int16_t kNumber = 4;
  static constexpr const char* kName = "Hither & Yon";
  static constexpr const char* kPlaneGroup = "p2";
  QUILTORA_LEAF_OPERATIONS
  void ComputeTileSize() override;
};

class CardTricks : public RectangleSource {
 public:
  static constexpr int16_t kNumber = 5;
  static constexpr const char* kName = "Card Tricks";
  static constexpr const char* kPlaneGroup = "pg";
  QUILTORA_LEAF_OPERATIONS
  void ComputeTileSize() override;
};

class HoneyBees : public RectangleSource {
 public:
  static constexpr int16_t kNumber = 6;
  static constexpr const char* kName = "Honey Bees";
  static constexpr const char* kPlaneGroup = "pgg";
  QUILTORA_LEAF_OPERATIONS
};

class PricklyPear : public RectangleSource {
 public:
  static constexpr int16_t kNumber = 7;
  static constexpr const char* kName = "Prickly Pear";
  static constexpr const char* kPlaneGroup = "pmm";
  QUILTORA_LEAF_OPERATIONS
  // Takes no feather: featherPixels = 0 whatever the percent.
  void SetFeatherPercent(int32_t percent) override;
};

class Pinwheel : public SquareSource {
 public:
  static constexpr int16_t kNumber = 8;
  static constexpr const char* kName = "Pinwheel";
  static constexpr const char* kPlaneGroup = "p4";
  QUILTORA_LEAF_OPERATIONS
};

class PrimrosePath : public HalfSquareSource {
 public:
  static constexpr int16_t kNumber = 9;
  static constexpr const char* kName = "Primrose Path";
  static constexpr const char* kPlaneGroup = "p4g";
  QUILTORA_LEAF_OPERATIONS
};

class Sunflower : public HalfSquareSource {
 public:
  static constexpr int16_t kNumber = 10;
  static constexpr const char* kName = "Sunflower";
  static constexpr const char* kPlaneGroup = "p4m";
  QUILTORA_LEAF_OPERATIONS
  // Takes no feather: featherPixels = 0 whatever the percent.
  void SetFeatherPercent(int32_t percent) override;
};

class SpiderWeb : public HalfSquareSource {
 public:
  static constexpr int16_t kNumber = 11;
  static constexpr const char* kName = "Spider Web";
  static constexpr const char* kPlaneGroup = "cmm";
  QUILTORA_LEAF_OPERATIONS
};

class Lightning : public RectangleSource {
 public:
  static constexpr int16_t kNumber = 12;
  static constexpr const char* kName = "Lightning";
  static constexpr const char* kPlaneGroup = "pmg";
  QUILTORA_LEAF_OPERATIONS
  void ComputeTileSize() override;
};

class StormAtSea : public RhombusSource {
 public:
  static constexpr int16_t kNumber = 13;
  static constexpr const char* kName = "Storm at Sea";
  static constexpr const char* kPlaneGroup = "p3";
  QUILTORA_LEAF_OPERATIONS
};

class WindingWays : public TriangleSource {
 public:
  static constexpr int16_t kNumber = 14;
  static constexpr const char* kName = "Winding Ways";
  static constexpr const char* kPlaneGroup = "p3m1";
  QUILTORA_LEAF_OPERATIONS
  // Takes no feather: featherPixels = 0 whatever the percent.
  void SetFeatherPercent(int32_t percent) override;
};

class MonkeyWrench : public KiteSource {
 public:
  static constexpr int16_t kNumber = 15;
  static constexpr const char* kName = "Monkey Wrench";
  static constexpr const char* kPlaneGroup = "p31m";
  QUILTORA_LEAF_OPERATIONS
};

class Whirlpool : public KiteSource {
 public:
  static constexpr int16_t kNumber = 16;
  static constexpr const char* kName = "Whirlpool";
  static constexpr const char* kPlaneGroup = "p6";
  QUILTORA_LEAF_OPERATIONS
};

class Turnstile : public HalfTriangleSource {
 public:
  static constexpr int16_t kNumber = 17;
  static constexpr const char* kName = "Turnstile";
  static constexpr const char* kPlaneGroup = "p6m";
  QUILTORA_LEAF_OPERATIONS
  // Takes no feather: featherPixels = 0 whatever the percent.
  void SetFeatherPercent(int32_t percent) override;
};

#undef QUILTORA_LEAF_OPERATIONS

// Name and plane group of symmetry 1..17; null for any other number.
const char* SymmetryName(int32_t number);
const char* SymmetryPlaneGroup(int32_t number);

}  // namespace quiltora
