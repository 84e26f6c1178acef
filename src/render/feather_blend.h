// What the feather members share: the source and work buffers seen from the
// shape's origin, the positions of a pixel's images, and the weighted blend
// of a span of pixels with its images.
#pragma once

#include <cstdint>

#include "render/feather_mask.h"
#include "render/hex_machinery.h"
#include "render/pixel_copy.h"

namespace quiltora {

class TileSymmetry;

// Source and work image addressed by positions relative to the shape's
// origin. Reads never leave [readLeft, readRight] × [readTop, readBottom];
// writes never leave the work image's [workLeft, workRight] × [workTop,
// workBottom] (all inclusive).
struct FeatherBuffers {
  const uint8_t* sourceOrigin;  // first channel byte of the origin pixel
  int32_t sourceRowBytes;
  uint8_t* workOrigin;
  int32_t workRowBytes;
  PixelLayout layout;
  int32_t readLeft, readTop, readRight, readBottom;
  int32_t workLeft, workTop, workRight, workBottom;

  const uint8_t* SourceAt(int32_t x, int32_t y) const {
    return sourceOrigin + static_cast<int64_t>(y) * sourceRowBytes +
           static_cast<int64_t>(x) * layout.sourceStep;
  }
  uint8_t* WorkAt(int32_t x, int32_t y) const {
    return workOrigin + static_cast<int64_t>(y) * workRowBytes +
           static_cast<int64_t>(x) * layout.tileStep;
  }
  bool CanRead(int32_t x, int32_t y) const {
    return x >= readLeft && x <= readRight && y >= readTop && y <= readBottom;
  }
};

// The buffers of one FeatherSource call. The shape's origin lies at
// (sourceOriginX, sourceOriginY) of the source buffer and at (edgeMinLeft,
// edgeMinTop) of the work image, which covers the object's edge rectangle.
// The source may be read sourceOriginX columns left and sourceOriginY rows up
// of the origin, and extentWidth + featherMarginRight columns right and
// extentHeight + featherMarginBottom rows down of it (both ends included).
FeatherBuffers MakeFeatherBuffers(const TileSymmetry& symmetry, const uint8_t* source,
                                  int32_t sourceRowBytes, int16_t sourceMode, uint8_t* work,
                                  int32_t workRowBytes, int16_t workMode, int32_t sourceOriginX,
                                  int32_t sourceOriginY);

// A whole-pixel image: column = xx·x + xy·y + x0, row = yx·x + yy·y + y0.
struct WholeImage {
  int32_t xx, xy, x0;
  int32_t yx, yy, y0;
};

// A translation by (dx, dy) pixels.
inline WholeImage Translation(int32_t dx, int32_t dy) { return WholeImage{1, 0, dx, 0, 1, dy}; }

// Copies pixels first..last of row y from the source to the work image.
void CopyFeatherSpan(const FeatherBuffers& buffers, int32_t y, int32_t first, int32_t last);

// Pixels first..last of row y become, per channel, S / T with S = M(p)·src(p)
// + Σ M(q)·src(q) and T = M(p) + Σ M(q) over the images q of the set bits of
// imageSet (0 when T = 0). An image with mask 0, or outside the readable
// source, adds nothing and is not read.
void BlendFeatherSpan(const FeatherBuffers& buffers, const FeatherMask& mask, int32_t y,
                      int32_t first, int32_t last, const WholeImage* images, uint32_t imageSet);

// The same with images in 16.16 taken at pixel centres, each clamped to the
// work image's extent from the origin ([0, workRight] × [0, workBottom]) and
// valued by a bilinear sample there, or by the pixel itself on the last
// column or row.
void BlendFeatherSpanFixed(const FeatherBuffers& buffers, const FeatherMask& mask, int32_t y,
                           int32_t first, int32_t last, const AffineMap* images,
                           uint32_t imageSet);

}  // namespace quiltora
