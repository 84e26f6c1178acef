// A tile held as the rows it is made of. The rectangular, square and
// hexagonal symmetries repeat a few stored rows over their tile, forward or
// mirrored: every tile row is a handful of pieces of them. A run keeps only
// the stores (the source rectangle, its transpose, or the computed block of a
// hexagonal member) and puts each tile row together as the output reads it,
// instead of a tile two to eight times their size that has to be written
// whole and read back from main memory. The bytes are the tile's exactly.
#pragma once

#include <cstdint>

#include "common/progress.h"
#include "composite/blend.h"
#include "composite/tile_image.h"

namespace quiltora {

// The columns of stored row r that a placement shows.
enum class StoredColumns : uint8_t {
  kAll,           // 0 .. rowWidth − 1
  kToDiagonal,    // 0 .. r
  kPastDiagonal,  // r + 1 .. rowWidth − 1
};

// Stored rows r in [firstRow, lastRow] of one store, rowWidth columns each,
// land on tile row rowBase + rowSign × r; stored column c on tile column
// column + c, or column − c when mirrored. Where placements overlap, the one
// written last by the builder wins: the larger stored row, then the later
// placement.
struct RowPlacement {
  int store;
  StoredColumns columns;
  bool mirrored;
  int32_t rowBase, rowSign;
  int32_t firstRow, lastRow;
  int32_t column;
  int32_t rowWidth;
};

constexpr int kMaxRowPlacements = 16;
// The most pieces a tile row can be cut into: placements may cover parts of each other.
constexpr int kMaxRowPieces = 2 * kMaxRowPlacements;

class TileRows {
 public:
  TileRows() = default;
  TileRows(const TileRows&) = delete;
  TileRows& operator=(const TileRows&) = delete;
  ~TileRows() { Release(); }

  // Whether symmetry number's run tile is held as rows: the rectangular and
  // square members whose stores are smaller than their tile (3 to 12) and
  // the hexagonal ones (13 to 17).
  static bool Holds(int16_t number);

  // Starts a tile of width × height pixels of pixelMode: every store and
  // placement goes. The stores are then filled by the row builders.
  void Begin(int32_t width, int32_t height, int16_t pixelMode);
  // Store k (0 or 1), width × height pixels, allocated (rows unpadded) and
  // locked; null when it cannot be had.
  PixelImage* AllocateStore(int store, int32_t width, int32_t height);
  // Makes store k the given image's pixels, which it takes over.
  void AdoptStore(int store, PixelImage* image);
  void Place(const RowPlacement& placement);
  // Finishes the build: the scratch row for mirrored pieces is had and every
  // store unlocked. False when the scratch row cannot be had.
  bool Finish();

  // Frees every store.
  void Release();
  bool held() const { return held_; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  int16_t bytesPerPixel() const { return bytesPerPixel_; }
  PixelImage& store(int k) { return stores_[k]; }

  // Locks the stores and the scratch row for one output row; false when a
  // lock failed (every lock is then undone).
  bool Lock();
  void Unlock();
  // Tile row `row` as at most kMaxRowPieces pieces left to right, mirrored
  // ones copied into the scratch row first; returns their count. Needs Lock.
  int ForwardPieces(int32_t row, TilePiece* pieces);
  // Writes tile row `row` into out, width × bytes per pixel bytes. Needs Lock.
  void CopyRow(int32_t row, uint8_t* out);
  // Starts fetching the stored bytes tile row `row` will read into the cache,
  // so that they are there when the output asks for it. Needs Lock.
  void Prefetch(int32_t row) const;
  // 255 − value for every stored byte (a CMYK tile from a loaded picture).
  // Needs a finished build.
  void InvertStores();

 private:
  struct StoredPiece {
    int store;
    int32_t row, leftColumn, count, column;
    bool backward;
    int32_t placement;
  };
  int Pieces(int32_t row, StoredPiece* pieces) const;
  const uint8_t* StoredPixel(int store, int32_t row, int32_t column) const;

  bool held_ = false;
  int32_t width_ = 0, height_ = 0;
  int16_t pixelMode_ = 0, bytesPerPixel_ = 0;
  PixelImage stores_[2];
  PixelImage scratch_;
  int placementCount_ = 0;
  RowPlacement placements_[kMaxRowPlacements];
};

}  // namespace quiltora
