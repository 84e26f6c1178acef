#include "host/run_render.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "common/checked.h"
#include "common/integer.h"
#include "composite/blend.h"
#include "composite/tile_image.h"
#include "files/loaded_source.h"
#include "files/source_reload.h"
#include "host/parameters.h"
#include "host/run_state.h"
#include "image/image_buffer.h"
#include "symmetry/catalogue.h"
#include "symmetry/leaves.h"
#include "symmetry/placement.h"

namespace quiltora {
namespace {

// The source pixels the builders read: an address with its row length.
struct SourcePixels {
  const uint8_t* pixels = nullptr;
  int32_t rowBytes = 0;
  ImageBufferPtr copy;  // set when the pixels had to be copied
};

// Where the source request was cut to fit the image (the geometry may reach
// one row or column past the source); the builders still get the whole
// rectangle, its missing rows and columns repeating the nearest edge.
Rect16 gWantedSource{};

// The part of a loaded picture that serves as source, inside the picture.
Rect16 SourceAreaIn(const ParameterBlock& block, const ImageBuffer& picture) {
  IntRect area = block.sourceArea;
  area.left = std::clamp(area.left, 0, picture.width);
  area.right = std::clamp(area.right, area.left, picture.width);
  area.top = std::clamp(area.top, 0, picture.height);
  area.bottom = std::clamp(area.bottom, area.top, picture.height);
  if (area.right == area.left || area.bottom == area.top) area = IntRect{0, 0, picture.width, picture.height};
  return Rect16{int16_t(area.top), int16_t(area.left), int16_t(area.bottom), int16_t(area.right)};
}

// Asks the host for the source pixels of the tile (with the column and row
// past the bounds that the bilinear reads may touch), cut to the image.
void RequestImageSource() {
  Rect16 bounds{};
  gSymmetry->GetSourceBounds(&bounds);
  gWantedSource = Rect16{bounds.top, bounds.left, ClampTo16(bounds.bottom + 1), ClampTo16(bounds.right + 1)};
  const plugin::Rect& area = gFilterRecord->filterRect;
  const int32_t top = std::clamp<int32_t>(gWantedSource.top, 0, FilterHeight(gFilterRecord) - 1);
  const int32_t left = std::clamp<int32_t>(gWantedSource.left, 0, FilterWidth(gFilterRecord) - 1);
  const int32_t bottom = std::clamp<int32_t>(gWantedSource.bottom, top + 1, FilterHeight(gFilterRecord));
  const int32_t right = std::clamp<int32_t>(gWantedSource.right, left + 1, FilterWidth(gFilterRecord));
  gFilterRecord->inRect = plugin::Rect{int16_t(area.top + top), int16_t(area.left + left), int16_t(area.top + bottom),
                                       int16_t(area.left + right)};
}

// The delivered source rows; copied with repeated edges when the request had
// to be cut, so that every address the builders form lies in memory.
int16_t ImageSource(int32_t bytesPerPixel, SourcePixels* source) {
  const plugin::Rect& area = gFilterRecord->filterRect;
  const plugin::Rect in = gFilterRecord->inRect;
  const int32_t gotTop = in.top - area.top, gotLeft = in.left - area.left;
  const int32_t gotWidth = in.right - in.left, gotHeight = in.bottom - in.top;
  const int32_t wantWidth = gWantedSource.right - gWantedSource.left;
  const int32_t wantHeight = gWantedSource.bottom - gWantedSource.top;
  const auto* delivered = static_cast<const uint8_t*>(gFilterRecord->inData);
  if (delivered == nullptr || gotWidth <= 0 || gotHeight <= 0) return plugin::kMemFullErr;
  if (gotTop == gWantedSource.top && gotLeft == gWantedSource.left && gotWidth == wantWidth &&
      gotHeight == wantHeight) {
    source->pixels = delivered;
    source->rowBytes = gFilterRecord->inRowBytes;
    return plugin::kNoErr;
  }
  source->copy.reset(ImageBufferCreate(ImageFormatOfMode(gFilterRecord->imageMode), wantWidth, wantHeight));
  if (!source->copy) return plugin::kMemFullErr;
  for (int32_t y = 0; y < wantHeight; ++y) {
    const int32_t fromRow = std::clamp(gWantedSource.top + y - gotTop, 0, gotHeight - 1);
    const uint8_t* from = delivered + int64_t(fromRow) * gFilterRecord->inRowBytes;
    uint8_t* to = ImageBufferPixel(source->copy.get(), 0, y);
    for (int32_t x = 0; x < wantWidth; ++x) {
      const int32_t fromColumn = std::clamp(gWantedSource.left + x - gotLeft, 0, gotWidth - 1);
      std::memcpy(to + int64_t(x) * bytesPerPixel, from + int64_t(fromColumn) * bytesPerPixel, size_t(bytesPerPixel));
    }
  }
  source->pixels = source->copy->pixels;
  source->rowBytes = source->copy->rowBytes;
  return plugin::kNoErr;
}

// The bordered copy of the loaded picture's source bounds, in the image's layout.
int16_t LoadedSource(ParameterBlock* block, SourcePixels* source) {
  ImageBuffer* picture = ImageFromRef(block->loadedSource);
  if (picture == nullptr) return plugin::kMemFullErr;
  Rect16 bounds{};
  gSymmetry->GetSourceBounds(&bounds);
  source->copy.reset(CopyLoadedSourceArea(picture, IntRect{bounds.left, bounds.top, bounds.right, bounds.bottom},
                                          gFilterRecord->imageMode));
  if (!source->copy) return plugin::kMemFullErr;
  source->pixels = ImageBufferPixel(source->copy.get(), 1, 1);
  source->rowBytes = source->copy->rowBytes;
  return plugin::kNoErr;
}

// Copies the source into the feather work image and feathers it there; the
// builders then read the work image.
int16_t FeatherIntoWorkImage(int32_t bytesPerPixel, SourcePixels* source) {
  Rect16 edge{};
  gSymmetry->GetEdgeRect(&edge);
  const int32_t width = edge.right - edge.left;
  const int32_t height = edge.top - edge.bottom;
  PixelImage& work = *gFeatherWork;
  work.width = width;
  work.height = height;
  work.bytesPerPixel = int16_t(bytesPerPixel);
  work.pixelMode = gFilterRecord->imageMode;
  if (width <= 0 || height <= 0 || !CheckedMul32(width, bytesPerPixel, &work.rowBytes) ||
      !CheckedMul32(width, height, &work.pixelCount))
    return plugin::kMemFullErr;
  if (work.Allocate() != 0 || work.Lock() == nullptr) return plugin::kMemFullErr;
  // The work image holds the edge rectangle: the source bounds less what the
  // feather margins reach beyond the edge minimums.
  const int32_t firstRow = gSymmetry->featherMarginTop - gSymmetry->edgeMinTop;
  const int32_t firstColumn = gSymmetry->featherMarginLeft - gSymmetry->edgeMinLeft;
  const uint8_t* from = source->pixels + int64_t(firstRow) * source->rowBytes + int64_t(firstColumn) * bytesPerPixel;
  for (int32_t y = 0; y < height; ++y)
    std::memcpy(work.pixels + int64_t(y) * work.rowBytes, from + int64_t(y) * source->rowBytes, size_t(work.rowBytes));
  const int16_t status = gSymmetry->FeatherSource(source->pixels, source->rowBytes, gFilterRecord->imageMode,
                                                  work.pixels, work.rowBytes, gFilterRecord->imageMode);
  source->pixels = work.pixels;
  source->rowBytes = work.rowBytes;
  return status;
}

// Tile geometry from the symmetry object; rows padded to 4 bytes.
int16_t AllocateTile(int32_t bytesPerPixel) {
  TileImage& tile = *gTile;
  tile.width = gSymmetry->tileWidth;
  tile.height = gSymmetry->tileHeight;
  tile.rowShift = gSymmetry->rowShift;
  tile.destWidth = FilterWidth(gFilterRecord);
  tile.destHeight = FilterHeight(gFilterRecord);
  tile.pixelMode = gFilterRecord->imageMode;
  tile.bytesPerPixel = int16_t(bytesPerPixel);
  int32_t bits = 0;
  if (tile.width <= 0 || tile.height <= 0 || !CheckedMul32(tile.width, bytesPerPixel * 8, &bits))
    return plugin::kMemFullErr;
  tile.rowBytes = int32_t((int64_t(bits) + 31) / 32 * 4);
  if (!CheckedMul32(tile.width, tile.height, &tile.pixelCount)) return plugin::kMemFullErr;
  if (tile.Allocate() != 0 || tile.Lock() == nullptr) return plugin::kMemFullErr;
  return plugin::kNoErr;
}

// The pattern's origin: the object's place in the source area plus the
// stored offset, wrapped into one tile.
void PlacePattern(const ParameterBlock& block) {
  TileImage& tile = *gTile;
  const int32_t dx = gSymmetry->x - (gSourceRect.left - gFullSourceRect.left);
  const int32_t dy = gSymmetry->y - (gSourceRect.top - gFullSourceRect.top);
  tile.SetOffsetFromFractions(block.tileOffsetFracX, block.tileOffsetFracY);
  tile.WrapOffsets();
  tile.SetOrigin(dx, dy);
}

void InvertTile() {
  TileImage& tile = *gTile;
  for (int32_t y = 0; y < tile.height; ++y) {
    uint8_t* row = tile.pixels + int64_t(y) * tile.rowBytes;
    for (int32_t i = 0; i < tile.width * tile.bytesPerPixel; ++i) row[i] = uint8_t(255 - row[i]);
  }
}

int16_t BuildWithFeatherAndTile(ParameterBlock* block) {
  const int32_t bytesPerPixel = gFilterRecord->inHiPlane - gFilterRecord->inLoPlane + 1;
  if (!TakesFeather(gSymmetryNumber)) gSymmetry->featherPixels = 0;
  const bool feathering = gSymmetry->featherPixels != 0;
  SourcePixels source;
  int16_t status =
      gSourceKind == kSourceLoadedFile ? LoadedSource(block, &source) : ImageSource(bytesPerPixel, &source);
  if (status == 0 && feathering) status = FeatherIntoWorkImage(bytesPerPixel, &source);
  if (status == 0) status = AllocateTile(bytesPerPixel);
  if (status == 0) {
    gSymmetry->destWidth = FilterWidth(gFilterRecord);
    gSymmetry->destHeight = FilterHeight(gFilterRecord);
    status = gSymmetry->BuildTile(source.pixels, source.rowBytes, gFilterRecord->imageMode, RunProgress(),
                                  gTile->pixels, gTile->rowBytes, gFilterRecord->imageMode);
    if (status == 0 && gFilterRecord->imageMode == plugin::kModeCMYK && gSourceKind == kSourceLoadedFile) InvertTile();
    gTile->Unlock();
  }
  PlacePattern(*block);
  if (gFeatherWork->pixels != nullptr) gFeatherWork->Unlock();
  gFeatherWork->Release();
  // A status left by the dialog's preview build (2 or 8) means memory ran short there.
  return status;
}

}  // namespace

int16_t SetUpRun(ParameterBlock* block) {
  if (CreateRunImages() != 0) return plugin::kMemFullErr;
  int16_t used = 8;
  if (CreateSymmetryForRun(block->symmetry, &used) == CreateSymmetryResult::kOutOfMemory) return plugin::kMemFullErr;
  gSymmetryNumber = used;
  const int32_t width = FilterWidth(gFilterRecord);
  const int32_t height = FilterHeight(gFilterRecord);
  gSourceRect = gFullSourceRect = Rect16{0, 0, int16_t(height), int16_t(width)};
  gTile->destWidth = width;
  gTile->destHeight = height;
  gSourceKind = kSourceImage;
  if (block->sourceKind == kSourceLoadedFile) {
    ImageBuffer* picture = EnsureLoadedSource(block);
    if (picture == nullptr) {
      block->sourceKind = kSourceImage;
    } else {
      gSourceKind = kSourceLoadedFile;
      gFullSourceRect = Rect16{0, 0, int16_t(picture->height), int16_t(picture->width)};
      gSourceRect = SourceAreaIn(*block, *picture);
    }
  }
  gFeather = block->feather;
  gTile->blendMode = int16_t(block->blendMode);
  // The selection is kept as fractions of the whole source (the pane shows the
  // whole picture), so the object is placed on the whole source: its
  // coordinates are the picture's, as the source bounds and the pattern
  // placement read them.
  const int32_t sourceWidth = gFullSourceRect.right - gFullSourceRect.left;
  const int32_t sourceHeight = gFullSourceRect.bottom - gFullSourceRect.top;
  PlaceStoredSelection(gSymmetry, *block, sourceWidth, sourceHeight);
  gTile->LoadFromBlock(*block);
  PrepareTileGeometry(gSymmetry, sourceWidth, sourceHeight, gFeather);
  if (gSourceKind == kSourceImage) RequestImageSource();
  return plugin::kNoErr;
}

int16_t BuildRunTile(ParameterBlock* block) {
  gRunState = kStateWriteRows;
  if (gTile == nullptr || gSymmetry == nullptr || gFeatherWork == nullptr || block == nullptr) {
    gFilterRecord->inRect = gFilterRecord->outRect = plugin::kEmptyRect;
    return plugin::kMemFullErr;
  }
  gTile->Release();
  gTile->byteOrderFlag = 0;
  gResult = 0;
  int16_t status = BuildWithFeatherAndTile(block);
  if (status == 0 || status == plugin::kStopped) {
    if (status == 0) {
      const plugin::Rect& area = gFilterRecord->filterRect;
      gFilterRecord->outRect = plugin::Rect{area.top, area.left, int16_t(area.top + 1), area.right};
      gFilterRecord->inRect = gFilterRecord->outRect;
    } else {
      gFilterRecord->inRect = gFilterRecord->outRect = plugin::kEmptyRect;
    }
  } else {
    gFilterRecord->inRect = gFilterRecord->outRect = plugin::kEmptyRect;
    gTile->Release();
  }
  gResult = status;
  return status == 0 || status == plugin::kStopped ? status : int16_t(plugin::kMemFullErr);
}

int16_t WriteOutputRow() {
  ReportProgress(gProgressDone, gProgressTotal);
  ++gProgressDone;
  if (CheckAbort() != 0) return plugin::kStopped;
  if (gTile == nullptr) return plugin::kMemFullErr;
  plugin::Rect& out = gFilterRecord->outRect;
  const int32_t y = out.top - gFilterRecord->filterRect.top;
  int32_t tileColumn = 0, tileRow = 0;
  gTile->MapToTile(y, &tileColumn, &tileRow);
  if (gTile->Lock() == nullptr) return plugin::kMemFullErr;
  if (gFilterRecord->inData != nullptr && gFilterRecord->outData != nullptr)
    BlendRow(gTile, static_cast<const uint8_t*>(gFilterRecord->inData), static_cast<uint8_t*>(gFilterRecord->outData),
             tileColumn, tileRow, gFilterRecord->imageMode, gFilterRecord->imageMode);
  gTile->Unlock();
  ++out.top;
  ++out.bottom;
  gFilterRecord->inRect = out;
  if (out.top >= gFilterRecord->filterRect.bottom) gFilterRecord->inRect = out = plugin::kEmptyRect;
  return plugin::kNoErr;
}

int32_t CopyRunTile(uint8_t* buffer, int32_t bufferSize, int32_t info[6]) {
  if (gTile == nullptr || gTile->width <= 0 || gTile->height <= 0 || gTile->memory.kind == kMemoryNone) return 0;
  const TileImage& tile = *gTile;
  int32_t rowLength = 0, bytes = 0;
  if (!CheckedMul32(tile.width, tile.bytesPerPixel, &rowLength) || !CheckedMul32(rowLength, tile.height, &bytes))
    return 0;
  if (info != nullptr) {
    const int32_t values[6] = {tile.width, tile.height, tile.bytesPerPixel, tile.rowShift, tile.originX, tile.originY};
    std::copy(values, values + 6, info);
  }
  if (buffer == nullptr || bufferSize < bytes) return bytes;
  const uint8_t* pixels = gTile->Lock();
  if (pixels == nullptr) return 0;
  for (int32_t y = 0; y < tile.height; ++y)
    std::memcpy(buffer + int64_t(y) * rowLength, pixels + int64_t(y) * tile.rowBytes, size_t(rowLength));
  gTile->Unlock();
  return bytes;
}

}  // namespace quiltora
