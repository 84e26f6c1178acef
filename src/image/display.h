// Display records: the relation between a pane's device coordinates and a
// picture buffer's pixels, one scale pair and one origin on each side.
#pragma once

#include <cstdint>

#include "abi/parameter_block.h"  // IntRect, IntPoint
#include "image/image_buffer.h"

namespace quiltora {

// The display library's rectangle: inclusive on all sides, "bottom" the larger
// vertical value; empty when right < left or bottom < top.
struct DisplayRect {
  int32_t left, bottom, right, top;
};

struct DisplayRecord {
  uint8_t attributes[6];  // 200, 0, 0, 0, 255, 255; nothing reads them
  int32_t drawMode;       // 1; drawing always copies
  int32_t reserved[2];
  int32_t displayScaleX, displayScaleY;
  int32_t imageScaleX, imageScaleY;  // negative: the axis is turned over
  int32_t codeX, codeY;
  IntPoint displayOrigin;
  IntPoint imageOrigin;
};

// Orientation code of a scale pair: 0 when either side is 0; 1 equal, 2
// opposite; else 3 both positive, 4 display > 0 >= image, 5 display <= 0 <
// image, 6 both <= 0. Codes 2, 4 and 5 turn the axis over.
int32_t ScaleCode(int32_t display, int32_t image);

// A new record: scales 1, codes 1, origins (0, 0), drawMode 1; null when memory is short.
DisplayRecord* DisplayRecordNew();
int32_t DisplayRecordFree(DisplayRecord* record);

// Stores the scale pairs and their codes; false when either code is 0.
bool DisplaySetScale(DisplayRecord* record, int32_t displayX, int32_t displayY, int32_t imageX, int32_t imageY);

// Store an origin; each returns the previous one.
IntPoint DisplaySetDisplayOrigin(DisplayRecord* record, IntPoint origin);
IntPoint DisplaySetImageOrigin(DisplayRecord* record, IntPoint origin);

// Point mapping. Only the direction of the scale pairs counts, not their size.
IntPoint DisplayToImage(const DisplayRecord& record, IntPoint device);
IntPoint ImageToDisplay(const DisplayRecord& record, IntPoint image);

// The buffer rectangle spanned by the device points (x, y) and
// (x + width - 1, y + height - 1).
DisplayRect DisplayMapRect(const DisplayRecord& record, int32_t x, int32_t y, int32_t width, int32_t height);

// (0, 0) to (width - 1, height - 1); a null buffer is reported and gives an empty rectangle.
DisplayRect BufferBoundsRect(const ImageBuffer* buffer);

}  // namespace quiltora
