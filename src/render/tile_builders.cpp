// Placeholder bodies until the tile builders are in; every builder reports 0.
#include "symmetry/leaves.h"

namespace quiltora {

int16_t GoldBrick::BuildTile(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t CrabClaws::BuildTile(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t Wings::BuildTile(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t HitherAndYon::BuildTile(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t CardTricks::BuildTile(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t HoneyBees::BuildTile(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t PricklyPear::BuildTile(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t Pinwheel::BuildTile(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t PrimrosePath::BuildTile(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t Sunflower::BuildTile(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t SpiderWeb::BuildTile(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t Lightning::BuildTile(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t StormAtSea::BuildTile(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t WindingWays::BuildTile(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t MonkeyWrench::BuildTile(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t Whirlpool::BuildTile(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t Turnstile::BuildTile(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }

}  // namespace quiltora
