// The distance mask of the feather: one byte per pixel around a source
// polygon that weighs each pixel by how far it lies inside or outside the
// outline, and the allocations the feather makes during one call.
#pragma once

#include <cstdint>
#include <memory>
#include <new>

#include "common/checked.h"

namespace quiltora {

// A vertex of a source polygon: column and row of a pixel corner, origin at
// the shape's top-left.
struct PolygonVertex {
  int32_t x;
  int32_t y;
};

// Mask values for feather f: 0 outside and farther than f from the outline;
// f + 1 − d outside at 4-neighbour distance d; f + 1 on the outline;
// f + 1 + d inside at distance d, at most 2f + 1. Rows are padded to 4 bytes.
struct FeatherMask {
  std::unique_ptr<uint8_t[]> values;
  int32_t width = 0;
  int32_t height = 0;
  int32_t rowBytes = 0;
  int32_t originX = 0;  // the shape's origin in mask columns and rows
  int32_t originY = 0;

  bool IsValid() const { return values != nullptr; }
  // The value at a position relative to the shape's origin; 0 off the mask.
  uint8_t At(int32_t x, int32_t y) const {
    const int32_t column = x + originX;
    const int32_t row = y + originY;
    if (column < 0 || row < 0 || column >= width || row >= height) return 0;
    return values[static_cast<size_t>(row) * static_cast<size_t>(rowBytes) +
                  static_cast<size_t>(column)];
  }
};

// The mask over a blend rectangle of width × height pixels whose top-left
// lies marginLeft columns and marginTop rows before the shape's origin. The
// polygon (at most 8 vertices, closed automatically) is drawn one pixel wide
// and filled by our own rasteriser, so every platform gets the same mask.
// A feather above 127 is taken as 127 so that 2f + 1 fits in a byte. Returns
// an invalid mask when the memory cannot be had.
FeatherMask BuildFeatherMask(int32_t width, int32_t height, int32_t marginLeft, int32_t marginTop,
                             const PolygonVertex* polygon, int32_t vertexCount, int32_t f);

// A zero-filled array of count elements for the feather, or null when the
// size overflows or the memory cannot be had.
template <typename T>
std::unique_ptr<T[]> AllocateFeatherArray(int64_t count);

// Test seam: the next `allowed` feather allocations succeed and the one after
// fails, once; -1 turns failures off.
void SetFeatherAllocationFailure(int32_t allowed);

// Whether the next feather allocation may go ahead (consumes the seam's count).
bool FeatherAllocationAllowed();

template <typename T>
std::unique_ptr<T[]> AllocateFeatherArray(int64_t count) {
  int32_t bytes = 0;
  if (!CheckedMul32(count, static_cast<int64_t>(sizeof(T)), &bytes)) return nullptr;
  if (!FeatherAllocationAllowed()) return nullptr;
  return std::unique_ptr<T[]>(new (std::nothrow) T[static_cast<size_t>(count)]());
}

}  // namespace quiltora
