#include "render/tile_job.h"

#include <algorithm>
#include <cstring>

#include "abi/plugin_api.h"
#include "common/checked.h"
#include "common/pixels.h"
#include "render/tile_row_builders.h"
#include "symmetry/catalogue.h"

namespace quiltora {
namespace {

bool Contains(const IntRect& outer, const IntRect& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// The work image holds the edge rectangle (the source extent grown by the
// edge minimums), unpadded, in the tile's mode; filled from the source, whose
// bounds reach the feather margins beyond the edge minimums.
bool FillFeatherWork(const TileJob& job, int32_t bytesPerPixel) {
  TileSymmetry& symmetry = *job.symmetry;
  Rect16 edge{};
  symmetry.GetEdgeRect(&edge);
  PixelImage& work = *job.featherWork;
  work.width = edge.right - edge.left;
  work.height = edge.top - edge.bottom;
  work.bytesPerPixel = int16_t(bytesPerPixel);
  work.pixelMode = job.tileMode;
  if (work.width <= 0 || work.height <= 0 || !CheckedMul32(work.width, bytesPerPixel, &work.rowBytes) ||
      !CheckedMul32(work.width, work.height, &work.pixelCount))
    return false;
  if (work.Allocate() != 0 || work.Lock() == nullptr) return false;
  const int32_t firstRow = symmetry.featherMarginTop - symmetry.edgeMinTop;
  const int32_t firstColumn = symmetry.featherMarginLeft - symmetry.edgeMinLeft;
  const uint8_t* from =
      job.source.pixels + int64_t(firstRow) * job.source.rowBytes + int64_t(firstColumn) * bytesPerPixel;
  for (int32_t y = 0; y < work.height; ++y)
    std::memcpy(work.pixels + int64_t(y) * work.rowBytes, from + int64_t(y) * job.source.rowBytes,
                size_t(work.rowBytes));
  return true;
}

// Tile geometry from the symmetry object; rows padded to 4 bytes.
bool SetTileGeometry(const TileJob& job, int32_t bytesPerPixel) {
  TileImage& tile = *job.tile;
  tile.width = job.symmetry->tileWidth;
  tile.height = job.symmetry->tileHeight;
  tile.rowShift = job.symmetry->rowShift;
  tile.destWidth = job.destWidth;
  tile.destHeight = job.destHeight;
  tile.pixelMode = job.tileMode;
  tile.bytesPerPixel = int16_t(bytesPerPixel);
  int32_t bits = 0;
  if (tile.width <= 0 || tile.height <= 0 || !CheckedMul32(tile.width, bytesPerPixel * 8, &bits)) return false;
  tile.rowBytes = int32_t((int64_t(bits) + 31) / 32 * 4);
  return CheckedMul32(tile.width, tile.height, &tile.pixelCount);
}

bool AllocateTile(const TileJob& job, int32_t bytesPerPixel) {
  TileImage& tile = *job.tile;
  return SetTileGeometry(job, bytesPerPixel) && tile.Allocate() == 0 && tile.Lock() != nullptr;
}

// The tile as rows: only its geometry in the tile image.
TileJobResult BuildRows(const TileJob& job, int32_t bytesPerPixel, const PixelView& source, bool feathered) {
  if (!SetTileGeometry(job, bytesPerPixel)) return TileJobResult::kNoTile;
  TileSymmetry& symmetry = *job.symmetry;
  symmetry.destWidth = job.destWidth;
  symmetry.destHeight = job.destHeight;
  const int16_t status = BuildTileRows(symmetry, source.pixels, source.rowBytes, source.pixelMode,
                                       feathered ? job.featherWork : nullptr, *job.progress, job.tileMode, job.rows);
  if (status == plugin::kStopped) return TileJobResult::kStopped;
  if (status != 0) return TileJobResult::kOutOfMemory;
  if (job.invertTile) job.rows->InvertStores();
  return TileJobResult::kBuilt;
}

TileJobResult Build(const TileJob& job, int32_t bytesPerPixel) {
  TileSymmetry& symmetry = *job.symmetry;
  PixelView source = job.source;
  const bool asRows = job.rows != nullptr && TileRows::Holds(symmetry.number);
  if (symmetry.featherPixels != 0) {
    if (!FillFeatherWork(job, bytesPerPixel)) return TileJobResult::kNoFeatherWork;
    PixelImage& work = *job.featherWork;
    const int16_t status = symmetry.FeatherSource(source.pixels, source.rowBytes, source.pixelMode, work.pixels,
                                                  work.rowBytes, work.pixelMode);
    if (status != 0 && !job.buildWithoutFeatherOnFailure) return TileJobResult::kOutOfMemory;
    source = PixelView{work.pixels, work.rowBytes, work.pixelMode};
    if (asRows) return BuildRows(job, bytesPerPixel, source, true);
  } else if (asRows && source.pixelMode == job.tileMode) {
    // The stores copy source rows as they are: only a source in the tile's layout.
    return BuildRows(job, bytesPerPixel, source, false);
  }
  if (!AllocateTile(job, bytesPerPixel)) return TileJobResult::kNoTile;
  symmetry.destWidth = job.destWidth;
  symmetry.destHeight = job.destHeight;
  TileImage& tile = *job.tile;
  const int16_t status = symmetry.BuildTile(source.pixels, source.rowBytes, source.pixelMode, *job.progress,
                                            tile.pixels, tile.rowBytes, job.tileMode);
  if (status == plugin::kStopped) return TileJobResult::kStopped;
  if (status != 0) return TileJobResult::kOutOfMemory;
  if (job.invertTile) InvertBytes(tile.pixels, int64_t(tile.rowBytes) * tile.height);
  return TileJobResult::kBuilt;
}

}  // namespace

IntRect WantedSourceRect(TileSymmetry& symmetry) {
  Rect16 bounds{};
  symmetry.GetSourceBounds(&bounds);
  return IntRect{bounds.left, bounds.top, bounds.right + 1, bounds.bottom + 1};
}

int16_t CutSourceWindow(const PixelView& picture, const IntRect& have, const IntRect& wanted, SourceWindow* window) {
  const int32_t bytesPerPixel = BytesPerPixel(picture.pixelMode);
  const int32_t haveWidth = have.right - have.left, haveHeight = have.bottom - have.top;
  const int32_t wantWidth = wanted.right - wanted.left, wantHeight = wanted.bottom - wanted.top;
  if (picture.pixels == nullptr || bytesPerPixel == 0 || haveWidth <= 0 || haveHeight <= 0 || wantWidth <= 0 ||
      wantHeight <= 0)
    return plugin::kMemFullErr;
  window->copy.reset();
  if (Contains(have, wanted)) {
    window->view = PixelView{picture.pixels + int64_t(wanted.top - have.top) * picture.rowBytes +
                                 int64_t(wanted.left - have.left) * bytesPerPixel,
                             picture.rowBytes, picture.pixelMode};
    return plugin::kNoErr;
  }
  window->copy.reset(ImageBufferCreate(ImageFormatOfMode(picture.pixelMode), wantWidth, wantHeight));
  if (!window->copy) return plugin::kMemFullErr;
  for (int32_t y = 0; y < wantHeight; ++y) {
    const int32_t fromRow = std::clamp(wanted.top + y - have.top, 0, haveHeight - 1);
    const uint8_t* from = picture.pixels + int64_t(fromRow) * picture.rowBytes;
    uint8_t* to = ImageBufferPixel(window->copy.get(), 0, y);
    for (int32_t x = 0; x < wantWidth; ++x) {
      const int32_t fromColumn = std::clamp(wanted.left + x - have.left, 0, haveWidth - 1);
      std::memcpy(to + int64_t(x) * bytesPerPixel, from + int64_t(fromColumn) * bytesPerPixel, size_t(bytesPerPixel));
    }
  }
  window->view = PixelView{window->copy->pixels, window->copy->rowBytes, picture.pixelMode};
  return plugin::kNoErr;
}

TileJobResult RunTileJob(const TileJob& job) {
  job.tile->Release();
  if (job.rows != nullptr) job.rows->Release();
  if (!TakesFeather(job.symmetry->number)) job.symmetry->featherPixels = 0;
  const int32_t bytesPerPixel = BytesPerPixel(job.tileMode);
  const TileJobResult result = Build(job, bytesPerPixel);
  if (job.tile->pixels != nullptr) job.tile->Unlock();
  if (result != TileJobResult::kBuilt && result != TileJobResult::kStopped) job.tile->Release();
  // Rows are whole or nothing.
  if (result != TileJobResult::kBuilt && job.rows != nullptr) job.rows->Release();
  if (job.featherWork->pixels != nullptr) job.featherWork->Unlock();
  job.featherWork->Release();
  return result;
}

void InvertBytes(uint8_t* bytes, int64_t count) {
  for (int64_t i = 0; i < count; ++i) bytes[i] = uint8_t(255 - bytes[i]);
}

}  // namespace quiltora
