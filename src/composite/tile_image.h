// The tile image: a block of pixels plus the placement of the pattern it
// repeats over the filter area, its opacity and blend mode. Work images are
// plain PixelImages with the same memory handling.
#pragma once

#include <cstdint>

#include "abi/parameter_block.h"
#include "common/pixels.h"
#include "image/memory_block.h"

namespace quiltora {

enum BlendMode : int16_t {
  kBlendNormal = 1,
  kBlendDarken = 2,
  kBlendLighten = 3,
  kBlendHue = 4,
  kBlendSaturation = 5,
  kBlendColor = 6,
  kBlendLuminosity = 7,
  kBlendMultiply = 8,
  kBlendScreen = 9,
};

// Owns its pixel memory: destroying the record releases it.
struct PixelImage {
  MemoryBlock memory;
  uint8_t* pixels = nullptr;  // first row, valid while locked
  int16_t pixelMode = 0;
  int32_t rowBytes = 0;
  int32_t pixelCount = 0;
  int32_t height = 0;
  int32_t width = 0;
  int16_t bytesPerPixel = 0;

  PixelImage() = default;
  PixelImage(const PixelImage&) = delete;
  PixelImage& operator=(const PixelImage&) = delete;
  ~PixelImage() { Release(); }

  // Allocates max(rowBytes × height, bytesPerPixel × pixelCount) bytes: the
  // first is the tile's size, the second a work image's; each covers the
  // other's use. Any earlier block is released first. Returns 0, or the
  // allocator's error (-108 when the size does not fit in 32 bits).
  int16_t Allocate();
  // Frees the pixel memory if any; pixels becomes null.
  void Release();
  // Locks the memory and stores the address in pixels; null when nothing is
  // allocated or the lock failed.
  uint8_t* Lock();
  // Unlocks the memory; pixels becomes null, as the address may move.
  void Unlock();
};

struct TileImage : PixelImage {
  int32_t destHeight = 0;  // the area the pattern fills
  int32_t destWidth = 0;
  int32_t spare = 0;
  int32_t originX = 0;  // where a tile starts, relative to the filter area
  int32_t originY = 0;
  int32_t offsetX = 0;  // the user's shift of the pattern, part of the origin
  int32_t offsetY = 0;
  uint8_t opacity = 0;  // percent
  int16_t blendMode = 0;
  int32_t rowShift = 0;       // horizontal shift from one band of tile rows to the next
  uint8_t byteOrderFlag = 0;  // 1: colour bytes blue, green, red; 0: red, green, blue

  // Opacity 100, Normal, origin (x, y), no offset.
  void Reset(int32_t x, int32_t y);
  void SetBlend(uint8_t newOpacity, int16_t newBlendMode);
  // Opacity, blend mode and offset from the settings record; origin = the
  // record's selection position + offset.
  void LoadFromBlock(const ParameterBlock& block);
  // Opacity, blend mode and the offset (in pixels and as fractions of the
  // destination size) into the settings record.
  void StoreToBlock(ParameterBlock* block) const;
  // offset = trunc(destination size × fraction), saturated to 32 bits.
  void SetOffsetFromFractions(double fractionX, double fractionY);
  // Offsets into [0, width) and [0, height); 0 when the tile has no size.
  void WrapOffsets();
  void SetOrigin(int32_t dx, int32_t dy);
  void MoveOffsets(int32_t dx, int32_t dy);
  // Tile column and row shown at column 0 of image row y (relative to the
  // filter area), on the lattice origin + k × (width, 0) + j × (rowShift, height).
  void MapToTile(int32_t y, int32_t* tileColumn, int32_t* tileRow) const;
};

// Locks an image for one scope.
class ScopedPixelLock {
 public:
  explicit ScopedPixelLock(PixelImage* image) : image_(image), pixels_(image != nullptr ? image->Lock() : nullptr) {}
  ScopedPixelLock(const ScopedPixelLock&) = delete;
  ScopedPixelLock& operator=(const ScopedPixelLock&) = delete;
  ~ScopedPixelLock() {
    if (pixels_ != nullptr) image_->Unlock();
  }
  uint8_t* pixels() const { return pixels_; }
  explicit operator bool() const { return pixels_ != nullptr; }

 private:
  PixelImage* image_;
  uint8_t* pixels_;
};

// The run's images. The spare work image is created and released with the
// others but never given pixels.
extern TileImage* gTile;
extern PixelImage* gFeatherWork;
extern PixelImage* gSpareWork;

// Releases any earlier images, then creates all three afresh, the tile reset
// to (0, 0). Returns 0, or -108 with all three null.
int16_t CreateRunImages();
// Releases the images with their pixel memory and nulls the pointers.
void ReleaseRunImages();

}  // namespace quiltora
