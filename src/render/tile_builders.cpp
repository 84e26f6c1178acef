// BuildTile of the 17 symmetries: each leaf hands its geometry to the
// builder of its lattice.
#include "abi/plugin_api.h"
#include "render/hex_builders.h"
#include "render/rect_builders.h"
#include "render/tile_row_builders.h"
#include "symmetry/leaves.h"

namespace quiltora {

namespace {

// The buffers as the rectangular builders read them: from the buffer's origin.
TileBuffers BoxBuffers(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode,
                       uint8_t* tile, int32_t tileRowBytes, int16_t tileMode) {
  return TileBuffers{source, sourceRowBytes, sourceMode, tile, tileRowBytes, tileMode};
}

// The sheared and hexagonal builders read the shape from its own origin, at
// column edgeMinLeft and row edgeMinTop of the buffer.
TileBuffers ShapeBuffers(const TileSymmetry& symmetry, const uint8_t* source,
                         int32_t sourceRowBytes, int16_t sourceMode, uint8_t* tile,
                         int32_t tileRowBytes, int16_t tileMode) {
  const uint8_t* origin = source + static_cast<int64_t>(symmetry.edgeMinTop) * sourceRowBytes +
                          static_cast<int64_t>(symmetry.edgeMinLeft) * BytesPerPixel(sourceMode);
  return TileBuffers{origin, sourceRowBytes, sourceMode, tile, tileRowBytes, tileMode};
}

BuildRun RunOf(const TileSymmetry& symmetry, ProgressSink& progress) {
  return BuildRun{&progress, symmetry.destHeight};
}

}  // namespace

#define QUILTORA_BOX_BUFFERS \
  BoxBuffers(source, sourceRowBytes, sourceMode, tile, tileRowBytes, tileMode)
#define QUILTORA_SHAPE_BUFFERS \
  ShapeBuffers(*this, source, sourceRowBytes, sourceMode, tile, tileRowBytes, tileMode)
#define QUILTORA_BUILD_TILE(Leaf)                                                             \
  int16_t Leaf::BuildTile(const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode, \
                          ProgressSink& progress, uint8_t* tile, int32_t tileRowBytes,       \
                          int16_t tileMode)

QUILTORA_BUILD_TILE(GoldBrick) {
  return BuildShearedTile(QUILTORA_SHAPE_BUFFERS, width, height, shear,
                          RunOf(*this, progress));
}

QUILTORA_BUILD_TILE(CrabClaws) {
  return BuildSquareTile(kNumber, QUILTORA_BOX_BUFFERS, side, RunOf(*this, progress));
}

QUILTORA_BUILD_TILE(Wings) {
  return BuildRectangleTile(kNumber, QUILTORA_BOX_BUFFERS, width, height,
                            RunOf(*this, progress));
}

QUILTORA_BUILD_TILE(HitherAndYon) {
  return BuildRectangleTile(kNumber, QUILTORA_BOX_BUFFERS, width, height,
                            RunOf(*this, progress));
}

QUILTORA_BUILD_TILE(CardTricks) {
  return BuildRectangleTile(kNumber, QUILTORA_BOX_BUFFERS, width, height,
                            RunOf(*this, progress));
}

QUILTORA_BUILD_TILE(HoneyBees) {
  return BuildRectangleTile(kNumber, QUILTORA_BOX_BUFFERS, width, height,
                            RunOf(*this, progress));
}

QUILTORA_BUILD_TILE(PricklyPear) {
  return BuildRectangleTile(kNumber, QUILTORA_BOX_BUFFERS, width, height,
                            RunOf(*this, progress));
}

QUILTORA_BUILD_TILE(Pinwheel) {
  return BuildSquareTile(kNumber, QUILTORA_BOX_BUFFERS, side, RunOf(*this, progress));
}

QUILTORA_BUILD_TILE(PrimrosePath) {
  return BuildSquareTile(kNumber, QUILTORA_BOX_BUFFERS, side, RunOf(*this, progress));
}

QUILTORA_BUILD_TILE(Sunflower) {
  return BuildSquareTile(kNumber, QUILTORA_BOX_BUFFERS, side, RunOf(*this, progress));
}

QUILTORA_BUILD_TILE(SpiderWeb) {
  return BuildSquareTile(kNumber, QUILTORA_BOX_BUFFERS, side, RunOf(*this, progress));
}

QUILTORA_BUILD_TILE(Lightning) {
  return BuildRectangleTile(kNumber, QUILTORA_BOX_BUFFERS, width, height,
                            RunOf(*this, progress));
}

QUILTORA_BUILD_TILE(StormAtSea) {
  return BuildHexTile(kNumber, QUILTORA_SHAPE_BUFFERS, side, 0, 0, RunOf(*this, progress));
}

// side was already lowered by one when the tile size was computed.
QUILTORA_BUILD_TILE(WindingWays) {
  return BuildHexTile(kNumber, QUILTORA_SHAPE_BUFFERS, side, 0, 0, RunOf(*this, progress));
}

// The kite members need an even side and keep the lowered one.
QUILTORA_BUILD_TILE(MonkeyWrench) {
  side -= side & 1;
  return BuildHexTile(kNumber, QUILTORA_SHAPE_BUFFERS, side, 0, 0, RunOf(*this, progress));
}

QUILTORA_BUILD_TILE(Whirlpool) {
  side -= side & 1;
  return BuildHexTile(kNumber, QUILTORA_SHAPE_BUFFERS, side, 0, 0, RunOf(*this, progress));
}

// Samples are clamped to the image, its last column and row counted from
// the shape's origin.
QUILTORA_BUILD_TILE(Turnstile) {
  return BuildHexTile(kNumber, QUILTORA_SHAPE_BUFFERS, side, sourceWidth - x - 1, sourceHeight - y - 1,
                      RunOf(*this, progress));
}

#undef QUILTORA_BUILD_TILE
#undef QUILTORA_SHAPE_BUFFERS
#undef QUILTORA_BOX_BUFFERS

int16_t BuildTileRows(TileSymmetry& symmetry, const uint8_t* source, int32_t sourceRowBytes, int16_t sourceMode,
                      PixelImage* feathered, ProgressSink& progress, int16_t tileMode, TileRows* rows) {
  if (feathered != nullptr) {
    source = feathered->pixels;
    sourceRowBytes = feathered->rowBytes;
    sourceMode = feathered->pixelMode;
  }
  rows->Begin(symmetry.tileWidth, symmetry.tileHeight, tileMode);
  const TileBuffers box = BoxBuffers(source, sourceRowBytes, sourceMode, nullptr, 0, tileMode);
  const TileBuffers shape = ShapeBuffers(symmetry, source, sourceRowBytes, sourceMode, nullptr, 0, tileMode);
  const BuildRun run = RunOf(symmetry, progress);
  const int16_t number = symmetry.number;
  int16_t status = plugin::kMemFullErr;
  if ((number >= 3 && number <= 7) || number == 12) {
    const auto& rectangle = static_cast<const RectangleSource&>(symmetry);
    status = BuildRectangleRows(number, box, feathered, rectangle.width, rectangle.height, run, rows);
  } else if (number == 8) {
    status = BuildSquareRows(number, box, feathered, static_cast<const SquareSource&>(symmetry).side, run, rows);
  } else if (number >= 9 && number <= 11) {
    status = BuildSquareRows(number, box, feathered, static_cast<const HalfSquareSource&>(symmetry).side, run, rows);
  } else if (number == 13) {
    status = BuildHexRows(number, shape, static_cast<const RhombusSource&>(symmetry).side, 0, 0, run, rows);
  } else if (number == 14) {
    status = BuildHexRows(number, shape, static_cast<const TriangleSource&>(symmetry).side, 0, 0, run, rows);
  } else if (number == 15 || number == 16) {
    // The kite members need an even side and keep the lowered one.
    auto& kite = static_cast<KiteSource&>(symmetry);
    kite.side -= kite.side & 1;
    status = BuildHexRows(number, shape, kite.side, 0, 0, run, rows);
  } else if (number == 17) {
    const auto& triangle = static_cast<const HalfTriangleSource&>(symmetry);
    status = BuildHexRows(number, shape, triangle.side, symmetry.sourceWidth - symmetry.x - 1,
                          symmetry.sourceHeight - symmetry.y - 1, run, rows);
  }
  if (status == 0 && !rows->Finish()) status = plugin::kMemFullErr;
  return status;
}

}  // namespace quiltora
