#include "symmetry/leaves.h"

#include "symmetry/shape_support.h"

namespace quiltora {

// Every leaf loads through its shape and stores its own number besides.
#define QUILTORA_LEAF_SELECTION(Leaf, Shape)                                  \
  void Leaf::LoadSelection(const ParameterBlock& block) { Shape::LoadSelection(block); } \
  void Leaf::StoreSelection(ParameterBlock& block) {                          \
    Shape::StoreSelection(block);                                             \
    block.symmetry = kNumber;                                                 \
  }                                                                           \
  void Leaf::ReservedA(int32_t, int32_t) {}

QUILTORA_LEAF_SELECTION(GoldBrick, ParallelogramSource)
QUILTORA_LEAF_SELECTION(CrabClaws, HalfSquareSource)
QUILTORA_LEAF_SELECTION(Wings, RectangleSource)
QUILTORA_LEAF_SELECTION(HitherAndYon, RectangleSource)
QUILTORA_LEAF_SELECTION(CardTricks, RectangleSource)
QUILTORA_LEAF_SELECTION(HoneyBees, RectangleSource)
QUILTORA_LEAF_SELECTION(PricklyPear, RectangleSource)
QUILTORA_LEAF_SELECTION(Pinwheel, SquareSource)
QUILTORA_LEAF_SELECTION(PrimrosePath, HalfSquareSource)
QUILTORA_LEAF_SELECTION(Sunflower, HalfSquareSource)
QUILTORA_LEAF_SELECTION(SpiderWeb, HalfSquareSource)
QUILTORA_LEAF_SELECTION(Lightning, RectangleSource)
QUILTORA_LEAF_SELECTION(StormAtSea, RhombusSource)
QUILTORA_LEAF_SELECTION(WindingWays, TriangleSource)
QUILTORA_LEAF_SELECTION(MonkeyWrench, KiteSource)
QUILTORA_LEAF_SELECTION(Whirlpool, KiteSource)
QUILTORA_LEAF_SELECTION(Turnstile, HalfTriangleSource)

#undef QUILTORA_LEAF_SELECTION

// Tiles of one source width across: cm.
void CrabClaws::ComputeTileSize() { shape::SetTileSize(this, TileSizeOf(TileRule::kSide, 0, 0, side)); }

// Two source widths across, one height down: pm, p2, pg.
void Wings::ComputeTileSize() { shape::SetTileSize(this, TileSizeOf(TileRule::kTwoWide, width, height, 0)); }

void HitherAndYon::ComputeTileSize() { shape::SetTileSize(this, TileSizeOf(TileRule::kTwoWide, width, height, 0)); }

void CardTricks::ComputeTileSize() { shape::SetTileSize(this, TileSizeOf(TileRule::kTwoWide, width, height, 0)); }

// Four source widths across: pmg.
void Lightning::ComputeTileSize() { shape::SetTileSize(this, TileSizeOf(TileRule::kFourWide, width, height, 0)); }

void PricklyPear::SetFeatherPercent(int32_t) { featherPixels = 0; }
void Sunflower::SetFeatherPercent(int32_t) { featherPixels = 0; }
void WindingWays::SetFeatherPercent(int32_t) { featherPixels = 0; }
void Turnstile::SetFeatherPercent(int32_t) { featherPixels = 0; }

}  // namespace quiltora
