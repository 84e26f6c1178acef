#include "render/preview.h"

#include <algorithm>
#include <cstring>

#include "common/integer.h"
#include "common/pixels.h"
#include "common/progress.h"
#include "composite/blend.h"
#include "composite/tile_image.h"
#include "image/image_buffer.h"
#include "render/tile_job.h"
#include "symmetry/frame.h"
#include "symmetry/placement.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora {

double gPreviewScale = 1.0;

namespace {

// Steps below this many result pixels per tile pixel come only from broken
// records; they keep the scale of 1.
constexpr double kSmallestPreviewScale = 1.0 / 4096;

int16_t PixelModeOfFormat(int32_t format) {
  switch (format) {
    case kFormatBGR24: return kPixelThree;
    case kFormatFour32: return kPixelFour;
    case kFormatGray8: return kPixelGray;
    default: return 0;
  }
}

// The selection polygon's least and greatest x and y, in source-pane-picture
// pixels, as the committed selection takes them.
SelectionFrame PaneFrame(const ParameterBlock& block) {
  const int32_t count = std::clamp(block.selectionVertexCount, 0, 5);
  if (count == 0) return SelectionFrame{0, 0, 0, 0, 0};
  IntRect b{block.selectionVertices[0].x, block.selectionVertices[0].y, block.selectionVertices[0].x,
            block.selectionVertices[0].y};
  for (int32_t i = 1; i < count; ++i) {
    const IntPoint& v = block.selectionVertices[i];
    b = IntRect{std::min(b.left, v.x), std::min(b.top, v.y), std::max(b.right, v.x), std::max(b.bottom, v.y)};
  }
  const IntRect& pane = block.sourcePaneImageRect;
  return SelectionFrame{double(b.top) - pane.top, double(b.left) - pane.left, double(b.bottom) - pane.top,
                        double(b.right) - pane.left, 0.0};
}

// The object's geometry in source-pane-picture pixels, taken from the
// selection as drawn (scale 1), ready for a build.
void PlaceOnPane(TileSymmetry* object, const ImageBuffer& pane, const ParameterBlock& block) {
  SelectionFrame frame = PaneFrame(block);
  object->SetSourceSize(pane.width, pane.height);
  FitFrame(*object, &frame);
  const int32_t shear =
      block.selectionVertexCount >= 2 ? WrapSub(block.selectionVertices[1].x, block.selectionVertices[0].x) : 0;
  object->SetScaled(int32_t(frame.left), int32_t(frame.top), int16_t(int32_t(frame.right - frame.left)),
                    int16_t(int32_t(frame.bottom - frame.top)), shear, 1.0);
  PrepareTileGeometry(object, pane.width, pane.height, block.feather);
}

// A loaded picture smaller than the image is shown smaller in the result
// pane: result pixels per tile pixel along the tile's longer side.
double PreviewScaleFor(const ParameterBlock& block, const TileSymmetry& object, const ImageBuffer* result) {
  if (!block.sourceSmallerThanImage || result == nullptr) return 1.0;
  double scale = 0.0;
  if (object.tileHeight >= object.tileWidth) {
    const double tile = object.tileHeight;
    scale = tile / block.sourcePaneScaleY * result->height / block.imageHeight / tile;
  } else {
    const double tile = object.tileWidth;
    scale = tile / block.sourcePaneScaleX * result->width / block.imageWidth / tile;
  }
  return scale >= kSmallestPreviewScale && scale <= 1.0 ? scale : 1.0;
}

bool PicturesMatch(const ImageBuffer& image, const ImageBuffer& work, const TileImage& tile) {
  return image.format == work.format && image.width == work.width && image.height == work.height &&
         PixelModeOfFormat(image.format) == tile.pixelMode && tile.bytesPerPixel == BytesPerPixel(tile.pixelMode);
}

}  // namespace

int16_t BuildPreviewTile(ParameterBlock* block, int16_t* failure) {
  if (block == nullptr || gSymmetry == nullptr || gTile == nullptr || gFeatherWork == nullptr) return 0;
  const ImageBuffer* pane = ImageFromRef(block->sourcePaneImage);
  const int16_t mode = pane != nullptr ? PixelModeOfFormat(pane->format) : 0;
  if (mode == 0 || pane->width <= 0 || pane->height <= 0) return 0;
  const ImageBuffer* result = ImageFromRef(block->resultPaneImage);
  gTile->byteOrderFlag = 0;
  gTile->Release();
  PlaceOnPane(gSymmetry, *pane, *block);

  SourceWindow window;
  const IntRect whole{0, 0, pane->width, pane->height};
  if (CutSourceWindow(PixelView{pane->pixels, pane->rowBytes, mode}, whole, WantedSourceRect(*gSymmetry), &window) !=
      0) {
    if (failure != nullptr) *failure = kPreviewNoTile;
    return 0;
  }
  TileJob job;
  job.symmetry = gSymmetry;
  job.tile = gTile;
  job.featherWork = gFeatherWork;
  job.source = window.view;
  job.tileMode = mode;
  job.destWidth = result != nullptr ? result->width : 0;
  job.destHeight = result != nullptr ? result->height : 0;
  job.progress = &SilentProgress();
  job.buildWithoutFeatherOnFailure = true;  // the feather's own shortage leaves its copy unblended
  const TileJobResult built = RunTileJob(job);
  if (built != TileJobResult::kBuilt) {
    if (failure != nullptr) *failure = built == TileJobResult::kNoFeatherWork ? kPreviewNoFeatherWork : kPreviewNoTile;
    return 0;
  }
  gPreviewScale = PreviewScaleFor(*block, *gSymmetry, result);
  gTile->Reset(gSymmetry->x, gSymmetry->y);
  block->selectionX = gSymmetry->x;
  block->selectionY = gSymmetry->y;
  block->tileOffsetX = block->tileOffsetY = 0;
  return 1;
}

void CompositePreview(ParameterBlock* block) {
  if (block == nullptr || gTile == nullptr) return;
  TileImage& tile = *gTile;
  tile.SetBlend(uint8_t(block->opacity & 0xFF), int16_t(block->blendMode));
  if (tile.opacity == 0) return;
  ImageBuffer* image = ImageFromRef(block->resultPaneImage);
  ImageBuffer* work = ImageFromRef(block->resultPaneWork);
  if (image == nullptr || work == nullptr || tile.memory.kind == kMemoryNone || !PicturesMatch(*image, *work, tile))
    return;
  tile.SetOrigin(block->selectionX, block->selectionY);
  ScopedPixelLock lock(&tile);
  if (!lock) return;
  const int64_t tileBytes = int64_t(tile.rowBytes) * tile.height;
  // Four-channel previews hold CMYK ink; the blends work on the inverted values.
  const bool inverted = image->format == kFormatFour32;
  if (inverted) {
    InvertBytes(image->pixels, image->imageBytes);
    InvertBytes(tile.pixels, tileBytes);
    // The colour modes write three of the four bytes; the fourth keeps the
    // picture's, as the run keeps the host's, instead of what the last
    // composite left (which the inversion below would flip every time).
    std::memcpy(work->pixels, image->pixels, size_t(image->imageBytes));
  }
  const double step = 1.0 / gPreviewScale;
  const int32_t whole = int32_t(step);
  RowSteps steps;
  steps.pixelCount = std::min(tile.destWidth, image->width);
  steps.fractionStep = int32_t((step - whole) * 100000);
  steps.wholeStep = int32_t(step - 1.0) * tile.bytesPerPixel;
  tile.byteOrderFlag = 1;
  for (int32_t i = 0; i < work->height; ++i) {
    const int32_t memoryRow = work->height - 1 - i;
    int32_t tileColumn = 0, tileRow = 0;
    tile.MapToTile(int32_t(i / gPreviewScale), &tileColumn, &tileRow);
    BlendSteppedRow(&tile, ImageBufferPixel(image, 0, memoryRow), ImageBufferPixel(work, 0, memoryRow), tileColumn,
                    tileRow, tile.pixelMode, steps);
  }
  if (inverted) {
    InvertBytes(image->pixels, image->imageBytes);
    InvertBytes(tile.pixels, tileBytes);
    InvertBytes(work->pixels, work->imageBytes);
  }
}

}  // namespace quiltora
