#include "composite/tile_image.h"

#include <cmath>
#include <limits>
#include <new>

#include "abi/plugin_api.h"
#include "common/checked.h"
#include "common/integer.h"

namespace quiltora {

TileImage* gTile = nullptr;
PixelImage* gFeatherWork = nullptr;
PixelImage* gSpareWork = nullptr;

namespace {

// trunc(x) saturated to int32; NaN gives 0.
int32_t SaturatingTrunc(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (x <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(x);
}

}  // namespace

int16_t PixelImage::Allocate() {
  Release();
  int32_t tileBytes = 0;
  int32_t workBytes = 0;
  if (!CheckedMul32(rowBytes, height, &tileBytes) || !CheckedMul32(bytesPerPixel, pixelCount, &workBytes))
    return plugin::kMemFullErr;
  return MemoryBlockAllocate(tileBytes > workBytes ? tileBytes : workBytes, &memory);
}

void PixelImage::Release() {
  pixels = nullptr;
  if (memory.kind != kMemoryNone) MemoryBlockFree(&memory);
}

uint8_t* PixelImage::Lock() {
  pixels = MemoryBlockLock(&memory);
  return pixels;
}

void PixelImage::Unlock() {
  MemoryBlockUnlock(&memory);
  pixels = nullptr;
}

void TileImage::Reset(int32_t x, int32_t y) {
  opacity = 100;
  blendMode = kBlendNormal;
  originX = x;
  originY = y;
  offsetX = 0;
  offsetY = 0;
}

void TileImage::SetBlend(uint8_t newOpacity, int16_t newBlendMode) {
  opacity = newOpacity;
  blendMode = newBlendMode;
}

void TileImage::LoadFromBlock(const ParameterBlock& block) {
  opacity = static_cast<uint8_t>(block.opacity & 0xFF);
  blendMode = static_cast<int16_t>(block.blendMode);
  SetOffsetFromFractions(block.tileOffsetFracX, block.tileOffsetFracY);
  originX = WrapAdd(block.selectionX, offsetX);
  originY = WrapAdd(block.selectionY, offsetY);
}

void TileImage::StoreToBlock(ParameterBlock* block) const {
  // A tile without a destination has no fraction to keep; 0 keeps the record readable.
  block->tileOffsetFracX = destWidth != 0 ? static_cast<double>(offsetX) / destWidth : 0.0;
  block->tileOffsetFracY = destHeight != 0 ? static_cast<double>(offsetY) / destHeight : 0.0;
  block->opacity = opacity;
  block->blendMode = blendMode;
  block->tileOffsetX = offsetX;
  block->tileOffsetY = offsetY;
}

void TileImage::SetOffsetFromFractions(double fractionX, double fractionY) {
  // A fraction stored as offset / size comes back a hair below the offset
  // (15 / 22 × 22 = 14.999...). Scaling away from zero by 2^-40 undoes that
  // round-off and nothing else: an offset over a picture size, scaled to
  // another size, never lies that close below a whole number.
  constexpr double kRoundOff = 1.0 + 1.0 / 1099511627776.0;
  offsetX = SaturatingTrunc(destWidth * fractionX * kRoundOff);
  offsetY = SaturatingTrunc(destHeight * fractionY * kRoundOff);
}

void TileImage::WrapOffsets() {
  offsetX = static_cast<int32_t>(FloorMod(offsetX, width));
  offsetY = static_cast<int32_t>(FloorMod(offsetY, height));
}

void TileImage::SetOrigin(int32_t dx, int32_t dy) {
  originX = WrapAdd(dx, offsetX);
  originY = WrapAdd(dy, offsetY);
}

void TileImage::MoveOffsets(int32_t dx, int32_t dy) {
  offsetX = WrapAdd(offsetX, dx);
  offsetY = WrapAdd(offsetY, dy);
}

void TileImage::MapToTile(int32_t y, int32_t* tileColumn, int32_t* tileRow) const {
  if (width <= 0 || height <= 0) {
    *tileColumn = 0;
    *tileRow = 0;
    return;
  }
  const int64_t dy = static_cast<int64_t>(y) - originY;
  *tileRow = static_cast<int32_t>(FloorMod(dy, height));
  const int64_t band = FloorDiv(dy, height);
  // Reduced first so that the product stays far inside 64 bits.
  const int64_t bandShift = FloorMod(static_cast<int64_t>(rowShift), width) * FloorMod(band, width);
  *tileColumn = static_cast<int32_t>(FloorMod(-(static_cast<int64_t>(originX) + bandShift), width));
}

int16_t CreateRunImages() {
  ReleaseRunImages();
  gTile = new (std::nothrow) TileImage;
  gFeatherWork = new (std::nothrow) PixelImage;
  gSpareWork = new (std::nothrow) PixelImage;
  if (gTile == nullptr || gFeatherWork == nullptr || gSpareWork == nullptr) {
    ReleaseRunImages();
    return plugin::kMemFullErr;
  }
  gTile->Reset(0, 0);
  return 0;
}

void ReleaseRunImages() {
  delete gTile;
  delete gFeatherWork;
  delete gSpareWork;
  gTile = nullptr;
  gFeatherWork = nullptr;
  gSpareWork = nullptr;
}

}  // namespace quiltora
