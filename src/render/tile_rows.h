// A tile held as the rows it is made of. The rectangular, square and
// hexagonal symmetries repeat a few stored rows over their tile, forward or
// mirrored: every tile row is a handful of pieces of them. A run keeps only
// the stores (the source rectangle, whose transpose is made a band at a time
// as it is read, or the computed block of a hexagonal member) and puts each
// tile row together as the output reads it, instead of a tile two to eight
// times their size that has to be written whole and read back from main
// memory. The bytes are the tile's exactly.
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
  // Makes store 1 the transpose of store 0's side × side top-left square
  // without holding it: its rows are transposed a band at a time as tile rows
  // read them, from store 0 while that is still in the cache, into a few band
  // buffers that stay there, so the transpose is never written to or read
  // back from main memory. A band is laid out in the direction its first
  // reader wants, so a mirrored placement of it reads forward.
  void TransposeStoreLazily(int32_t side);
  void Place(const RowPlacement& placement);
  // Finishes the build: the scratch row for mirrored pieces (and the band
  // buffers of a lazy transpose) is had and every store unlocked. False when
  // they cannot be had.
  bool Finish();

  // Frees every store.
  void Release();
  bool held() const { return held_; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  int16_t bytesPerPixel() const { return bytesPerPixel_; }

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
  // A band of kBandRows transposed rows in one of the band buffers.
  struct Band {
    int32_t index = -1;  // first row / kBandRows; −1 when empty
    bool reversed = false;
    uint32_t lastUse = 0;
  };
  // 128 rows: each source row is read in longer runs per transpose than with
  // 64, and one band of a 2600-pixel RGB square still fits a 1 MiB cache
  // (256 measured slower).
  static constexpr int32_t kBandRows = 128;
  // Two readers of a tile row may want rows of two different bands.
  static constexpr int kBandSlots = 2;
  int Pieces(int32_t row, StoredPiece* pieces) const;
  const uint8_t* StoredPixel(int store, int32_t row, int32_t column) const;
  // Where piece's pixels are read from: store 1 of a lazy transpose is
  // served from a band, which may be laid out reversed (piece then turned
  // into the forward or backward run over the band row).
  const uint8_t* PieceSource(StoredPiece* piece);
  // The band slot holding transposed row `row`, transposed into the least
  // recently read slot when no slot holds it.
  const Band& TransposedBand(int32_t row, bool reversed);
  uint8_t* BandRow(const Band& band, int32_t row) const;
  void ForgetBands();

  bool held_ = false;
  int32_t width_ = 0, height_ = 0;
  int16_t pixelMode_ = 0, bytesPerPixel_ = 0;
  PixelImage stores_[2];
  PixelImage scratch_;
  int32_t transposedSide_ = 0;  // 0: store 1, when there is one, is held whole
  PixelImage bandPixels_;
  Band bands_[kBandSlots];
  uint32_t readCount_ = 0;  // tile rows put together; marks the bands each one reads
  int placementCount_ = 0;
  RowPlacement placements_[kMaxRowPlacements];
};

}  // namespace quiltora
