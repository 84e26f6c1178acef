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

void TileRows::TransposeStoreLazily(int32_t side) {
  stores_[1].Release();
  transposedSide_ = side;
  ForgetBands();
}

bool TileRows::Finish() {
  bool ready = AllocatePlain(&scratch_, width_, 1, pixelMode_);
  if (ready && transposedSide_ > 0)
    ready = AllocatePlain(&bandPixels_, transposedSide_, kBandSlots * kBandRows, pixelMode_);
  for (PixelImage& image : stores_) UnlockIfLocked(&image);
  UnlockIfLocked(&scratch_);
  UnlockIfLocked(&bandPixels_);
  held_ = ready;
  return ready;
}

void TileRows::Release() {
  for (PixelImage& image : stores_) image.Release();
  scratch_.Release();
  bandPixels_.Release();
  transposedSide_ = 0;
  ForgetBands();
  held_ = false;
  placementCount_ = 0;
  width_ = height_ = 0;
}

bool TileRows::Lock() {
  bool locked = scratch_.Lock() != nullptr;
  for (PixelImage* image : {&stores_[0], &stores_[1], &bandPixels_})
    if (image->memory.kind != kMemoryNone) locked = locked && image->Lock() != nullptr;
  if (!locked) Unlock();
  return locked;
}

void TileRows::Unlock() {
  for (PixelImage& image : stores_) UnlockIfLocked(&image);
  UnlockIfLocked(&scratch_);
  UnlockIfLocked(&bandPixels_);
}

void TileRows::ForgetBands() {
  for (Band& band : bands_) band = Band{};
}

uint8_t* TileRows::BandRow(const Band& band, int32_t row) const {
  const int64_t slot = &band - bands_;
  return bandPixels_.pixels + (slot * kBandRows + row % kBandRows) * int64_t(bandPixels_.rowBytes);
}

const TileRows::Band& TileRows::TransposedBand(int32_t row, bool reversed) {
  const int32_t index = row / kBandRows;
  // A tile row reads at most two transposed rows: the least recently read
  // slot is never the other one this row reads.
  Band* slot = &bands_[0];
  for (Band& band : bands_) {
    if (band.index == index) {
      band.lastUse = readCount_;
      return band;
    }
    if (band.lastUse < slot->lastUse) slot = &band;
  }
  *slot = Band{index, reversed, readCount_};
  const int32_t first = index * kBandRows;
  const PixelImage& square = stores_[0];
  const int32_t columns = std::min(kBandRows, transposedSide_ - first);
  const uint8_t* strip = square.pixels + int64_t(first) * bytesPerPixel_;
  const size_t stripBytes = size_t(columns) * size_t(bytesPerPixel_);
  // The strip's rows lie far apart in memory: each is asked for kAhead rows
  // before it is transposed.
  constexpr int32_t kStep = 16, kAhead = 48;
  for (int32_t i = 0; i < std::min(kAhead, transposedSide_); ++i)
    PrefetchBytes(strip + int64_t(i) * square.rowBytes, stripBytes);
  for (int32_t i = 0; i < transposedSide_; i += kStep) {
    const int32_t rowsHere = std::min(kStep, transposedSide_ - i);
    for (int32_t a = i + kAhead; a < std::min(i + kAhead + kStep, transposedSide_); ++a)
      PrefetchBytes(strip + int64_t(a) * square.rowBytes, stripBytes);
    uint8_t* to = BandRow(*slot, first) + int64_t(reversed ? transposedSide_ - i - rowsHere : i) * bytesPerPixel_;
    TransposePixels(strip + int64_t(i) * square.rowBytes, square.rowBytes, to, bandPixels_.rowBytes, rowsHere, columns,
                    bytesPerPixel_, reversed);
  }
  return *slot;
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

const uint8_t* TileRows::PieceSource(StoredPiece* piece) {
  if (piece->store != 1 || transposedSide_ == 0) return StoredPixel(piece->store, piece->row, 0);
  const Band& band = TransposedBand(piece->row, piece->backward);
  if (band.reversed) {
    piece->leftColumn = transposedSide_ - 1 - piece->leftColumn;
    piece->backward = !piece->backward;
  }
  return BandRow(band, piece->row);
}

int TileRows::ForwardPieces(int32_t row, TilePiece* pieces) {
  StoredPiece stored[kMaxRowPieces];
  const int count = Pieces(row, stored);
  const PixelLayout plain = MakePixelLayout(pixelMode_, pixelMode_);
  uint8_t* scratch = scratch_.pixels;
  ++readCount_;
  int out = 0;
  for (int k = 0; k < count; ++k) {
    StoredPiece& piece = stored[k];
    if (piece.count <= 0) continue;
    const uint8_t* storedRow = PieceSource(&piece);
    if (!piece.backward) {
      pieces[out++] = TilePiece{storedRow + int64_t(piece.leftColumn) * bytesPerPixel_, piece.count};
      continue;
    }
    const uint8_t* from = storedRow + int64_t(piece.leftColumn - (piece.count - 1)) * bytesPerPixel_;
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
    if (piece.count <= 0 || (piece.store == 1 && transposedSide_ > 0)) continue;
    const int32_t first = piece.backward ? piece.leftColumn - (piece.count - 1) : piece.leftColumn;
    PrefetchBytes(StoredPixel(piece.store, piece.row, first), size_t(piece.count) * size_t(bytesPerPixel_));
  }
}

void TileRows::InvertStores() {
  if (!Lock()) return;
  ForgetBands();
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
