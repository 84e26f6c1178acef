#include "render/tile_rows.h"

#include <algorithm>
#include <cstring>

#include "common/checked.h"
#include "common/pixels.h"
#include "render/pixel_copy.h"

namespace quiltora {
namespace {

bool AllocatePlain(PixelImage* image, int32_t width, int32_t height, int16_t pixelMode) {
  image->Release();
  image->width = width;
  image->height = height;
  image->pixelMode = pixelMode;
  image->bytesPerPixel = BytesPerPixel(pixelMode);
  if (width <= 0 || height <= 0 || !CheckedMul32(width, image->bytesPerPixel, &image->rowBytes) ||
      !CheckedMul32(width, height, &image->pixelCount))
    return false;
  return image->Allocate() == 0 && image->Lock() != nullptr;
}

// Unlocks an image that may be locked.
void UnlockIfLocked(PixelImage* image) {
  if (image->pixels != nullptr) image->Unlock();
}

}  // namespace

bool TileRows::Holds(int16_t number) { return number >= 3 && number <= 17; }

void TileRows::Begin(int32_t width, int32_t height, int16_t pixelMode) {
  Release();
  width_ = width;
  height_ = height;
  pixelMode_ = pixelMode;
  bytesPerPixel_ = BytesPerPixel(pixelMode);
}

PixelImage* TileRows::AllocateStore(int store, int32_t width, int32_t height) {
  PixelImage* image = &stores_[store];
  return AllocatePlain(image, width, height, pixelMode_) ? image : nullptr;
}

void TileRows::AdoptStore(int store, PixelImage* image) {
  PixelImage& to = stores_[store];
  to.Release();
  to.memory = image->memory;
  to.pixels = image->pixels;
  to.pixelMode = image->pixelMode;
  to.rowBytes = image->rowBytes;
  to.pixelCount = image->pixelCount;
  to.height = image->height;
  to.width = image->width;
  to.bytesPerPixel = image->bytesPerPixel;
  image->memory = MemoryBlock{};
  image->pixels = nullptr;
}

void TileRows::Place(const RowPlacement& placement) {
  if (placementCount_ < kMaxRowPlacements) placements_[placementCount_++] = placement;
}

bool TileRows::Finish() {
  const bool ready = AllocatePlain(&scratch_, width_, 1, pixelMode_);
  for (PixelImage& image : stores_) UnlockIfLocked(&image);
  UnlockIfLocked(&scratch_);
  held_ = ready;
  return ready;
}

void TileRows::Release() {
  for (PixelImage& image : stores_) image.Release();
  scratch_.Release();
  held_ = false;
  placementCount_ = 0;
  width_ = height_ = 0;
}

bool TileRows::Lock() {
  bool locked = scratch_.Lock() != nullptr;
  for (PixelImage& image : stores_)
    if (image.memory.kind != kMemoryNone) locked = locked && image.Lock() != nullptr;
  if (!locked) Unlock();
  return locked;
}

void TileRows::Unlock() {
  for (PixelImage& image : stores_) UnlockIfLocked(&image);
  UnlockIfLocked(&scratch_);
}

const uint8_t* TileRows::StoredPixel(int store, int32_t row, int32_t column) const {
  const PixelImage& image = stores_[store];
  return image.pixels + int64_t(row) * image.rowBytes + int64_t(column) * bytesPerPixel_;
}

int TileRows::Pieces(int32_t row, StoredPiece* pieces) const {
  StoredPiece placed[kMaxRowPlacements];
  int32_t edges[2 * kMaxRowPlacements];
  int placedCount = 0, edgeCount = 0;
  for (int k = 0; k < placementCount_; ++k) {
    const RowPlacement& p = placements_[k];
    const int32_t r = (row - p.rowBase) * p.rowSign;
    if (r < p.firstRow || r > p.lastRow) continue;
    const int32_t first = p.columns == StoredColumns::kPastDiagonal ? r + 1 : 0;
    const int32_t end = p.columns == StoredColumns::kToDiagonal ? std::min(r + 1, p.rowWidth) : p.rowWidth;
    if (end <= first) continue;
    StoredPiece& piece = placed[placedCount++];
    piece = StoredPiece{p.store, r, first, end - first, p.column + first, p.mirrored, k};
    if (p.mirrored) {
      piece.leftColumn = end - 1;
      piece.column = p.column - (end - 1);
    }
    edges[edgeCount++] = piece.column;
    edges[edgeCount++] = piece.column + piece.count;
  }
  std::sort(edges, edges + edgeCount);
  edgeCount = int(std::unique(edges, edges + edgeCount) - edges);
  // Between two edges every column shows the piece the builder wrote last:
  // the larger stored row, then the later placement.
  int count = 0;
  for (int e = 0; e + 1 < edgeCount; ++e) {
    const int32_t from = edges[e], to = edges[e + 1];
    const StoredPiece* top = nullptr;
    for (int k = 0; k < placedCount; ++k) {
      const StoredPiece& p = placed[k];
      if (from < p.column || from >= p.column + p.count) continue;
      if (top == nullptr || p.row > top->row || (p.row == top->row && p.placement > top->placement)) top = &p;
    }
    if (top == nullptr) continue;
    StoredPiece* last = count > 0 ? &pieces[count - 1] : nullptr;
    if (last != nullptr && last->placement == top->placement && last->column + last->count == from) {
      last->count += to - from;
      continue;
    }
    const int32_t offset = from - top->column;
    pieces[count++] = StoredPiece{top->store, top->row, top->backward ? top->leftColumn - offset : top->leftColumn + offset,
                                  to - from, from, top->backward, top->placement};
  }
  return count;
}

int TileRows::ForwardPieces(int32_t row, TilePiece* pieces) {
  StoredPiece stored[kMaxRowPieces];
  const int count = Pieces(row, stored);
  const PixelLayout plain = MakePixelLayout(pixelMode_, pixelMode_);
  uint8_t* scratch = scratch_.pixels;
  int out = 0;
  for (int k = 0; k < count; ++k) {
    const StoredPiece& piece = stored[k];
    if (piece.count <= 0) continue;
    if (!piece.backward) {
      pieces[out++] = TilePiece{StoredPixel(piece.store, piece.row, piece.leftColumn), piece.count};
      continue;
    }
    const uint8_t* from = StoredPixel(piece.store, piece.row, piece.leftColumn - (piece.count - 1));
    CopyRowMirrored(from, scratch + int64_t(piece.count - 1) * bytesPerPixel_, piece.count, plain);
    pieces[out++] = TilePiece{scratch, piece.count};
    scratch += int64_t(piece.count) * bytesPerPixel_;
  }
  return out;
}

void TileRows::CopyRow(int32_t row, uint8_t* out) {
  TilePiece pieces[kMaxRowPieces];
  const int count = ForwardPieces(row, pieces);
  for (int k = 0; k < count; ++k) {
    const size_t bytes = size_t(pieces[k].count) * size_t(bytesPerPixel_);
    std::memmove(out, pieces[k].pixels, bytes);
    out += bytes;
  }
}

void TileRows::Prefetch(int32_t row) const {
  StoredPiece stored[kMaxRowPieces];
  const int count = Pieces(row, stored);
  for (int k = 0; k < count; ++k) {
    const StoredPiece& piece = stored[k];
    if (piece.count <= 0) continue;
    const int32_t first = piece.backward ? piece.leftColumn - (piece.count - 1) : piece.leftColumn;
    PrefetchBytes(StoredPixel(piece.store, piece.row, first), size_t(piece.count) * size_t(bytesPerPixel_));
  }
}

void TileRows::InvertStores() {
  if (!Lock()) return;
  for (PixelImage& image : stores_) {
    if (image.pixels == nullptr) continue;
    for (int32_t y = 0; y < image.height; ++y) {
      uint8_t* row = image.pixels + int64_t(y) * image.rowBytes;
      for (int32_t x = 0; x < image.width * image.bytesPerPixel; ++x) row[x] = uint8_t(255 - row[x]);
    }
  }
  Unlock();
}

}  // namespace quiltora
