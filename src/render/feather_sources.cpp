// Placeholder bodies until the tile builders are in; every builder reports 0.
#include "symmetry/leaves.h"

namespace quiltora {

int16_t GoldBrick::FeatherSource(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t CrabClaws::FeatherSource(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t Wings::FeatherSource(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t HitherAndYon::FeatherSource(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t CardTricks::FeatherSource(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t HoneyBees::FeatherSource(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t PricklyPear::FeatherSource(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t Pinwheel::FeatherSource(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t PrimrosePath::FeatherSource(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t Sunflower::FeatherSource(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t SpiderWeb::FeatherSource(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t Lightning::FeatherSource(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t StormAtSea::FeatherSource(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t WindingWays::FeatherSource(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t MonkeyWrench::FeatherSource(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t Whirlpool::FeatherSource(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }
int16_t Turnstile::FeatherSource(const uint8_t*, int32_t, int16_t, int16_t, uint8_t*, int32_t, int16_t) { return 0; }

}  // namespace quiltora
