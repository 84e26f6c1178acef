#include "render/feather_test_support.h"

#include <cstring>

#include "symmetry/leaves.h"

namespace quiltora::test {

FeatherImage::FeatherImage(int32_t w, int32_t h, int32_t bpp, uint8_t fill)
    : width(w), height(h), bytesPerPixel(bpp),
      pixels(static_cast<size_t>(w) * static_cast<size_t>(h) * static_cast<size_t>(bpp), fill) {}

FeatherImage MakeImage(int32_t width, int32_t height, int32_t bpp,
                       const std::function<uint8_t(int32_t, int32_t, int32_t)>& value) {
  FeatherImage image(width, height, bpp);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      for (int32_t c = 0; c < bpp; ++c) image.At(x, y)[c] = value(x, y, c);
    }
  }
  return image;
}

TileSymmetry* PrepareSymmetry(int16_t number, const SelectionFrame& frame, int32_t imageWidth, int32_t imageHeight,
                              int32_t percent) {
  TileSymmetry* symmetry = CreateSymmetry(number);
  if (symmetry == nullptr) return nullptr;
  symmetry->SetSourceSize(imageWidth, imageHeight);
  symmetry->SetFromFrame(frame);
  symmetry->SetSourceSize(imageWidth, imageHeight);
  symmetry->PrepareRun();
  symmetry->ComputeTileSize();
  symmetry->ComputeSourceExtent();
  symmetry->ComputeRowShift();
  symmetry->SetFeatherPercent(percent);
  symmetry->ResetEdgeMins();
  symmetry->ComputeEdgeRect();
  symmetry->ComputeFeatherMargins();
  symmetry->ComputeFeatherRect();
  return symmetry;
}

FeatherCall RunFeather(const FeatherImage& image, int16_t mode) {
  TileSymmetry& symmetry = *gSymmetry;
  FeatherCall call;
  symmetry.GetSourceBounds(&call.bounds);
  const Rect16& b = call.bounds;
  const int32_t bpp = image.bytesPerPixel;
  // The run asks the host for bounds.bottom + 1 and bounds.right + 1.
  call.source = FeatherImage(b.right - b.left + 1, b.bottom - b.top + 1, bpp);
  for (int32_t y = 0; y < call.source.height; ++y) {
    std::memcpy(call.source.At(0, y), image.At(b.left, b.top + y),
                static_cast<size_t>(call.source.RowBytes()));
  }
  Rect16 edge{};
  symmetry.GetEdgeRect(&edge);
  call.work = FeatherImage(edge.right - edge.left, edge.top - edge.bottom, bpp);
  const int32_t firstRow = symmetry.featherMarginTop - symmetry.edgeMinTop;
  const int32_t firstColumn = symmetry.featherMarginLeft - symmetry.edgeMinLeft;
  for (int32_t y = 0; y < call.work.height; ++y) {
    std::memcpy(call.work.At(0, y), call.source.At(firstColumn, firstRow + y),
                static_cast<size_t>(call.work.RowBytes()));
  }
  call.copy = call.work;
  if (symmetry.featherPixels != 0) {
    call.status = symmetry.FeatherSource(call.source.pixels.data(), call.source.RowBytes(), mode,
                                         call.work.pixels.data(), call.work.RowBytes(), mode);
  }
  return call;
}

FeatherImage BuildTileFrom(const FeatherImage& work, int16_t mode) {
  TileSymmetry& symmetry = *gSymmetry;
  FeatherImage tile(symmetry.tileWidth, symmetry.tileHeight, work.bytesPerPixel);
  symmetry.BuildTile(work.pixels.data(), work.RowBytes(), mode, SilentProgress(), tile.pixels.data(), tile.RowBytes(),
                     mode);
  return tile;
}

FeatherBuffers BuffersOver(const FeatherImage& source, FeatherImage* work, int32_t originX,
                           int32_t originY, int16_t mode) {
  FeatherBuffers buffers{};
  buffers.layout = MakePixelLayout(mode, mode);
  buffers.sourceRowBytes = source.RowBytes();
  buffers.sourceOrigin = source.At(originX, originY);
  buffers.workRowBytes = work->RowBytes();
  buffers.workOrigin = work->At(0, 0);
  buffers.readLeft = -originX;
  buffers.readTop = -originY;
  buffers.readRight = source.width - originX - 1;
  buffers.readBottom = source.height - originY - 1;
  buffers.workLeft = 0;
  buffers.workTop = 0;
  buffers.workRight = work->width - 1;
  buffers.workBottom = work->height - 1;
  return buffers;
}

}  // namespace quiltora::test
