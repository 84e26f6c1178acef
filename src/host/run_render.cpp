#include "host/run_render.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "common/checked.h"
#include "composite/blend.h"
#include "composite/tile_image.h"
#include "files/loaded_source.h"
#include "files/source_reload.h"
#include "host/parameters.h"
#include "host/run_state.h"
#include "image/image_buffer.h"
#include "render/pixel_copy.h"
#include "render/tile_job.h"
#include "render/tile_rows.h"
#include "symmetry/placement.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora {
namespace {

// Where the source request was cut to fit the image (the geometry may reach
// one row or column past the source); the builders still get the whole
// rectangle, its missing rows and columns repeating the nearest edge.
IntRect gWantedSource{};

// The run's tile, when its symmetry holds it as rows rather than pixels.
TileRows* gTileRows = nullptr;

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

// Asks the host for the source pixels of the tile, cut to the image.
void RequestImageSource() {
  gWantedSource = WantedSourceRect(*gSymmetry);
  const plugin::Rect& area = gFilterRecord->filterRect;
  const int32_t top = std::clamp<int32_t>(gWantedSource.top, 0, FilterHeight(gFilterRecord) - 1);
  const int32_t left = std::clamp<int32_t>(gWantedSource.left, 0, FilterWidth(gFilterRecord) - 1);
  const int32_t bottom = std::clamp<int32_t>(gWantedSource.bottom, top + 1, FilterHeight(gFilterRecord));
  const int32_t right = std::clamp<int32_t>(gWantedSource.right, left + 1, FilterWidth(gFilterRecord));
  gFilterRecord->inRect = plugin::Rect{int16_t(area.top + top), int16_t(area.left + left), int16_t(area.top + bottom),
                                       int16_t(area.left + right)};
}

// The delivered source rows, completed with repeated edges when the request
// had to be cut, so that every address the builders form lies in memory.
int16_t ImageSource(SourceWindow* window) {
  const plugin::Rect& area = gFilterRecord->filterRect;
  const plugin::Rect& in = gFilterRecord->inRect;
  const IntRect delivered{in.left - area.left, in.top - area.top, in.right - area.left, in.bottom - area.top};
  const PixelView pixels{static_cast<const uint8_t*>(gFilterRecord->inData), gFilterRecord->inRowBytes,
                         gFilterRecord->imageMode};
  return CutSourceWindow(pixels, delivered, gWantedSource, window);
}

// The bordered copy of the loaded picture's source bounds, in the image's layout.
int16_t LoadedSource(ParameterBlock* block, SourceWindow* window) {
  ImageBuffer* picture = ImageFromRef(block->loadedSource);
  if (picture == nullptr) return plugin::kMemFullErr;
  Rect16 bounds{};
  gSymmetry->GetSourceBounds(&bounds);
  window->copy.reset(CopyLoadedSourceArea(picture, IntRect{bounds.left, bounds.top, bounds.right, bounds.bottom},
                                          gFilterRecord->imageMode));
  if (!window->copy) return plugin::kMemFullErr;
  window->view =
      PixelView{ImageBufferPixel(window->copy.get(), 1, 1), window->copy->rowBytes, gFilterRecord->imageMode};
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

// The tile job at full resolution, with the run's progress; a stop is 1,
// every failure -108.
int16_t BuildFromSource(ParameterBlock* block) {
  SourceWindow window;
  int16_t status = gSourceKind == kSourceLoadedFile ? LoadedSource(block, &window) : ImageSource(&window);
  if (status == 0) {
    TileJob job;
    job.symmetry = gSymmetry;
    job.tile = gTile;
    job.featherWork = gFeatherWork;
    job.source = window.view;
    job.tileMode = gFilterRecord->imageMode;
    job.destWidth = FilterWidth(gFilterRecord);
    job.destHeight = FilterHeight(gFilterRecord);
    job.progress = &RunProgress();
    job.rows = gTileRows;
    // The loaded picture's ink is stored inverted in the tile (see loaded_source.h).
    job.invertTile = gFilterRecord->imageMode == plugin::kModeCMYK && gSourceKind == kSourceLoadedFile;
    switch (RunTileJob(job)) {
      case TileJobResult::kBuilt: status = plugin::kNoErr; break;
      case TileJobResult::kStopped: status = plugin::kStopped; break;
      default: status = plugin::kMemFullErr; break;
    }
  }
  PlacePattern(*block);
  return status;
}

}  // namespace

int16_t SetUpRun(ParameterBlock* block) {
  ReleaseRunTileRows();
  if (CreateRunImages() != 0) return plugin::kMemFullErr;
  gTileRows = new (std::nothrow) TileRows;
  if (gTileRows == nullptr) return plugin::kMemFullErr;
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
  const int16_t status = BuildFromSource(block);
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
  const auto* in = static_cast<const uint8_t*>(gFilterRecord->inData);
  auto* outData = static_cast<uint8_t*>(gFilterRecord->outData);
  // The next row's tile bytes are fetched while the host moves on: between
  // calls the host's own copies would otherwise stall the first reads.
  const int32_t nextRow = tileRow + 1 == gTile->height ? 0 : tileRow + 1;
  if (gTileRows != nullptr && gTileRows->held()) {
    if (!gTileRows->Lock()) return plugin::kMemFullErr;
    if (in != nullptr && outData != nullptr) {
      TilePiece pieces[kMaxRowPieces];
      const int count = gTileRows->ForwardPieces(tileRow, pieces);
      BlendRowPieces(gTile, pieces, count, in, outData, tileColumn, gFilterRecord->imageMode);
    }
    gTileRows->Prefetch(nextRow);
    gTileRows->Unlock();
  } else {
    if (gTile->Lock() == nullptr) return plugin::kMemFullErr;
    if (in != nullptr && outData != nullptr)
      BlendRow(gTile, in, outData, tileColumn, tileRow, gFilterRecord->imageMode, gFilterRecord->imageMode);
    PrefetchBytes(gTile->pixels + int64_t(nextRow) * gTile->rowBytes, size_t(gTile->width) * gTile->bytesPerPixel);
    gTile->Unlock();
  }
  ++out.top;
  ++out.bottom;
  gFilterRecord->inRect = out;
  if (out.top >= gFilterRecord->filterRect.bottom) gFilterRecord->inRect = out = plugin::kEmptyRect;
  return plugin::kNoErr;
}

void ReleaseRunTileRows() {
  delete gTileRows;
  gTileRows = nullptr;
}

int32_t CopyRunTile(uint8_t* buffer, int32_t bufferSize, int32_t info[6]) {
  const bool asRows = gTileRows != nullptr && gTileRows->held();
  if (gTile == nullptr || gTile->width <= 0 || gTile->height <= 0 || (gTile->memory.kind == kMemoryNone && !asRows))
    return 0;
  const TileImage& tile = *gTile;
  int32_t rowLength = 0, bytes = 0;
  if (!CheckedMul32(tile.width, tile.bytesPerPixel, &rowLength) || !CheckedMul32(rowLength, tile.height, &bytes))
    return 0;
  if (info != nullptr) {
    const int32_t values[6] = {tile.width, tile.height, tile.bytesPerPixel, tile.rowShift, tile.originX, tile.originY};
    std::copy(values, values + 6, info);
  }
  if (buffer == nullptr || bufferSize < bytes) return bytes;
  if (asRows) {
    if (!gTileRows->Lock()) return 0;
    for (int32_t y = 0; y < tile.height; ++y) gTileRows->CopyRow(y, buffer + int64_t(y) * rowLength);
    gTileRows->Unlock();
    return bytes;
  }
  const uint8_t* pixels = gTile->Lock();
  if (pixels == nullptr) return 0;
  for (int32_t y = 0; y < tile.height; ++y)
    std::memcpy(buffer + int64_t(y) * rowLength, pixels + int64_t(y) * tile.rowBytes, size_t(rowLength));
  gTile->Unlock();
  return bytes;
}

}  // namespace quiltora
