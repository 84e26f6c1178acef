#include "image/image_buffer.h"

#include <algorithm>
#include <cstring>

#include "common/checked.h"
#include "image/ripmem.h"

namespace quiltora {
namespace {

using RowOperation = void (*)(uint8_t* dst, const uint8_t* src, int32_t pixels);

void CopyBytes1(uint8_t* dst, const uint8_t* src, int32_t pixels) { std::memcpy(dst, src, size_t(pixels)); }
void CopyBytes3(uint8_t* dst, const uint8_t* src, int32_t pixels) { std::memcpy(dst, src, size_t(pixels) * 3); }
void CopyBytes4(uint8_t* dst, const uint8_t* src, int32_t pixels) { std::memcpy(dst, src, size_t(pixels) * 4); }

void BgrToGray(uint8_t* dst, const uint8_t* src, int32_t pixels) {
  for (int32_t x = 0; x < pixels; ++x, src += 3)
    dst[x] = static_cast<uint8_t>((3 * src[2] + 6 * src[1] + src[0]) / 10);
}

void GrayToBgr(uint8_t* dst, const uint8_t* src, int32_t pixels) {
  for (int32_t x = 0; x < pixels; ++x, dst += 3) dst[0] = dst[1] = dst[2] = src[x];
}

RowOperation ChooseRowOperation(int32_t srcFormat, int32_t dstFormat) {
  if (srcFormat == dstFormat) {
    switch (srcFormat) {
      case kFormatBGR24: return CopyBytes3;
      case kFormatGray8: return CopyBytes1;
      case kFormatFour32: return CopyBytes4;
      default: return nullptr;
    }
  }
  if (srcFormat == kFormatBGR24 && dstFormat == kFormatGray8) return BgrToGray;
  if (srcFormat == kFormatGray8 && dstFormat == kFormatBGR24) return GrayToBgr;
  return nullptr;
}

// Clips the span [pos, pos + size) to [0, limit), moving the partner span's
// start by the same amount. The partner also loses what was cut at the start,
// so that a later clip of the partner can never push this span past its limit.
void ClipSpan(int32_t limit, int32_t* pos, int32_t* size, int32_t* partnerPos, int32_t* partnerSize) {
  if (*pos < 0) {
    *size += *pos;
    *partnerSize += *pos;
    *partnerPos -= *pos;
    *pos = 0;
  }
  if (*size > limit - *pos) *size = limit - *pos;
}

ImageBuffer* MakeHeader(ImageBuffer* buffer, int32_t format, int32_t width, int32_t height,
                        int32_t rowBytes, uint8_t* pixels) {
  buffer->format = format;
  buffer->width = width;
  buffer->height = height;
  buffer->planes = 1;
  buffer->bitsPerPixel = FormatBitsPerPixel(format);
  buffer->rowBytes = rowBytes;
  buffer->imageBytes = rowBytes * height;
  buffer->pixels = pixels;
  buffer->extra = nullptr;
  buffer->reserved = 0;
  return buffer;
}

// rowBytes × height when the buffer size is sound; -1 otherwise.
int32_t ImageBytes(int32_t format, int32_t width, int32_t height, int32_t* rowBytes) {
  *rowBytes = ImageRowBytes(format, width);
  int32_t bytes = 0;
  if (*rowBytes < 0 || !CheckedMul32(*rowBytes, height, &bytes)) return -1;
  return bytes;
}

}  // namespace

int32_t ImageFormatOfMode(int32_t imageMode) {
  switch (imageMode) {
    case 1: return kFormatGray8;
    case 3: return kFormatBGR24;
    case 4: return kFormatFour32;
    default: return 0;
  }
}

int32_t FormatBitsPerPixel(int32_t format) {
  switch (format) {
    case kFormatBGR24: return 24;
    case kFormatFour32: return 32;
    case kFormatGray8: return 8;
    default: return 0;
  }
}

int32_t ImageRowBytes(int32_t format, int32_t width) {
  int32_t bits = 0;
  if (!CheckedMul32(width, FormatBitsPerPixel(format), &bits)) return -1;
  int64_t bytes = (static_cast<int64_t>(bits) + 7) / 8;
  int64_t padded = (bytes + 3) / 4 * 4;
  return padded > INT32_MAX ? -1 : static_cast<int32_t>(padded);
}

ImageBuffer* ImageBufferCreate(int32_t format, int32_t width, int32_t height) {
  int32_t rowBytes = 0;
  int32_t bytes = ImageBytes(format, width, height, &rowBytes);
  if (bytes < 0) return nullptr;
  auto* buffer = static_cast<ImageBuffer*>(RipAlloc(sizeof(ImageBuffer) + size_t(bytes)));
  if (buffer == nullptr) return nullptr;
  return MakeHeader(buffer, format, width, height, rowBytes, reinterpret_cast<uint8_t*>(buffer + 1));
}

ImageBuffer* ImageBufferWrap(int32_t format, int32_t width, int32_t height, uint8_t* pixels) {
  int32_t rowBytes = 0;
  if (ImageBytes(format, width, height, &rowBytes) < 0) return nullptr;
  auto* buffer = static_cast<ImageBuffer*>(RipAlloc(sizeof(ImageBuffer)));
  if (buffer == nullptr) return nullptr;
  return MakeHeader(buffer, format, width, height, rowBytes, pixels);
}

int32_t ImageBufferRelease(ImageBuffer* buffer) {
  if (buffer == nullptr) return 0;
  if (buffer->extra != nullptr) RipFree(buffer->extra);
  RipFree(buffer);
  return 1;
}

ImageBuffer* ImageBufferDuplicate(const ImageBuffer* buffer) {
  if (buffer == nullptr) return nullptr;
  ImageBuffer* copy = ImageBufferCreate(buffer->format, buffer->width, buffer->height);
  if (copy != nullptr) std::memcpy(copy->pixels, buffer->pixels, size_t(buffer->imageBytes));
  return copy;
}

uint8_t* ImageBufferPixel(const ImageBuffer* buffer, int32_t x, int32_t y) {
  return buffer->pixels + static_cast<ptrdiff_t>(x) * buffer->bitsPerPixel / 8 +
         static_cast<ptrdiff_t>(y) * buffer->rowBytes;
}

int32_t ImageBufferCopyRect(const void*, ImageBuffer* dst, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                            const ImageBuffer* src, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                            int32_t mode) {
  if (mode != 1 || dst == nullptr || src == nullptr) return 0;
  RowOperation operation = ChooseRowOperation(src->format, dst->format);
  if (operation == nullptr) return 0;
  ClipSpan(dst->width, &dx, &dw, &sx, &sw);
  ClipSpan(dst->height, &dy, &dh, &sy, &sh);
  ClipSpan(src->width, &sx, &sw, &dx, &dw);
  ClipSpan(src->height, &sy, &sh, &dy, &dh);
  int32_t width = std::min(dw, sw);
  int32_t height = std::min(dh, sh);
  if (width <= 0 || height <= 0) return 0;
  for (int32_t row = 0; row < height; ++row)
    operation(ImageBufferPixel(dst, dx, dy + row), ImageBufferPixel(src, sx, sy + row), width);
  return 1;
}

void ReleaseImageRef(ObjectRef* ref) {
  ImageBufferRelease(ImageFromRef(*ref));
  DropObject(*ref);
  *ref = 0;
}

}  // namespace quiltora
