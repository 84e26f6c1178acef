#include "image/display.h"

#include <algorithm>
#include <new>
#include <utility>

#include "image/ripmem.h"

namespace quiltora {
namespace {

int32_t Oriented(int32_t code, int32_t v) { return code == 2 || code == 4 || code == 5 ? -v : v; }

IntPoint Map(const DisplayRecord& record, IntPoint p, IntPoint from, IntPoint to) {
  return IntPoint{Oriented(record.codeX, p.x - from.x) + to.x, Oriented(record.codeY, p.y - from.y) + to.y};
}

}  // namespace

int32_t ScaleCode(int32_t display, int32_t image) {
  if (display == 0 || image == 0) return 0;
  if (display == image) return 1;
  if (int64_t(display) == -int64_t(image)) return 2;
  if (display > 0 && image > 0) return 3;
  if (display > 0) return 4;
  if (image > 0) return 5;
  return 6;
}

DisplayRecord* DisplayRecordNew() {
  void* memory = RipAlloc(sizeof(DisplayRecord));
  if (memory == nullptr) return nullptr;
  auto* record = new (memory) DisplayRecord{{200, 0, 0, 0, 255, 255}, 1, {0, 0}, 1, 1, 1, 1, 1, 1, {0, 0}, {0, 0}};
  return record;
}

int32_t DisplayRecordFree(DisplayRecord* record) {
  if (record != nullptr) RipFree(record);
  return 1;
}

bool DisplaySetScale(DisplayRecord* record, int32_t displayX, int32_t displayY, int32_t imageX, int32_t imageY) {
  record->displayScaleX = displayX;
  record->displayScaleY = displayY;
  record->imageScaleX = imageX;
  record->imageScaleY = imageY;
  record->codeX = ScaleCode(displayX, imageX);
  record->codeY = ScaleCode(displayY, imageY);
  return record->codeX != 0 && record->codeY != 0;
}

IntPoint DisplaySetDisplayOrigin(DisplayRecord* record, IntPoint origin) {
  return std::exchange(record->displayOrigin, origin);
}

IntPoint DisplaySetImageOrigin(DisplayRecord* record, IntPoint origin) {
  return std::exchange(record->imageOrigin, origin);
}

IntPoint DisplayToImage(const DisplayRecord& record, IntPoint device) {
  return Map(record, device, record.displayOrigin, record.imageOrigin);
}

IntPoint ImageToDisplay(const DisplayRecord& record, IntPoint image) {
  return Map(record, image, record.imageOrigin, record.displayOrigin);
}

DisplayRect DisplayMapRect(const DisplayRecord& record, int32_t x, int32_t y, int32_t width, int32_t height) {
  IntPoint a = DisplayToImage(record, {x, y});
  IntPoint b = DisplayToImage(record, {x + width - 1, y + height - 1});
  return DisplayRect{std::min(a.x, b.x), std::max(a.y, b.y), std::max(a.x, b.x), std::min(a.y, b.y)};
}

DisplayRect BufferBoundsRect(const ImageBuffer* buffer) {
  if (buffer == nullptr) {
    ReportAssertion("ripcoord", __LINE__);
    return DisplayRect{0, -1, -1, 0};
  }
  return DisplayRect{0, buffer->height - 1, buffer->width - 1, 0};
}

}  // namespace quiltora
