// The 17 symmetries, one leaf class each: its number (the settings record's
// `symmetry` and its row of the catalogue), the size of its tile and its two
// tile-building operations.
#pragma once

#include "symmetry/catalogue.h"
#include "symmetry/shapes.h"

namespace quiltora {

// The leaf's number, checked against the catalogue's shape, and the operations
// every leaf implements. BuildTile and FeatherSource live with the tile
// builders; the others are in leaves.cpp.
#define QUILTORA_LEAF(Leaf, Number)                                                                            \
  static constexpr int16_t kNumber = Number;                                                                   \
  static_assert(kSymmetries[Number - 1].shape == kShape, "the catalogue names the shape class");               \
  Leaf() { number = kNumber; }                                                                                 \
  void LoadSelection(const ParameterBlock& block) override;                                                    \
  void StoreSelection(ParameterBlock& block) override;                                                         \
  void ReservedA(int32_t first, int32_t second) override;                                                      \
  int16_t BuildTile(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode, ProgressSink& progress, \
                    uint8_t* tile, int32_t tileRowBytes, int16_t tileMode) override;                           \
  int16_t FeatherSource(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work,      \
                        int32_t workRowBytes, int16_t workMode) override;

class GoldBrick : public ParallelogramSource {
 public:
  QUILTORA_LEAF(GoldBrick, 1)
};

class CrabClaws : public HalfSquareSource {
 public:
  QUILTORA_LEAF(CrabClaws, 2)
  void ComputeTileSize() override;
};

class Wings : public RectangleSource {
 public:
  QUILTORA_LEAF(Wings, 3)
  void ComputeTileSize() override;
};

class HitherAndYon : public RectangleSource {
 public:
  QUILTORA_LEAF(HitherAndYon, 4)
  void ComputeTileSize() override;
};

class CardTricks : public RectangleSource {
 public:
  QUILTORA_LEAF(CardTricks, 5)
  void ComputeTileSize() override;
};

class HoneyBees : public RectangleSource {
 public:
  QUILTORA_LEAF(HoneyBees, 6)
};

class PricklyPear : public RectangleSource {
 public:
  QUILTORA_LEAF(PricklyPear, 7)
  // Takes no feather: featherPixels = 0 whatever the percent.
  void SetFeatherPercent(int32_t percent) override;
};

class Pinwheel : public SquareSource {
 public:
  QUILTORA_LEAF(Pinwheel, 8)
};

class PrimrosePath : public HalfSquareSource {
 public:
  QUILTORA_LEAF(PrimrosePath, 9)
};

class Sunflower : public HalfSquareSource {
 public:
  QUILTORA_LEAF(Sunflower, 10)
  // Takes no feather: featherPixels = 0 whatever the percent.
  void SetFeatherPercent(int32_t percent) override;
};

class SpiderWeb : public HalfSquareSource {
 public:
  QUILTORA_LEAF(SpiderWeb, 11)
};

class Lightning : public RectangleSource {
 public:
  QUILTORA_LEAF(Lightning, 12)
  void ComputeTileSize() override;
};

class StormAtSea : public RhombusSource {
 public:
  QUILTORA_LEAF(StormAtSea, 13)
};

class WindingWays : public TriangleSource {
 public:
  QUILTORA_LEAF(WindingWays, 14)
  // Takes no feather: featherPixels = 0 whatever the percent.
  void SetFeatherPercent(int32_t percent) override;
};

class MonkeyWrench : public KiteSource {
 public:
  QUILTORA_LEAF(MonkeyWrench, 15)
};

class Whirlpool : public KiteSource {
 public:
  QUILTORA_LEAF(Whirlpool, 16)
};

class Turnstile : public HalfTriangleSource {
 public:
  QUILTORA_LEAF(Turnstile, 17)
  // Takes no feather: featherPixels = 0 whatever the percent.
  void SetFeatherPercent(int32_t percent) override;
};

#undef QUILTORA_LEAF

}  // namespace quiltora
