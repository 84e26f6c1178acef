#include "encode.h"

#include <stb_image_write.h>

namespace artgen {
namespace {

void Put16(Bytes* out, uint32_t value) {
  out->push_back(uint8_t(value));
  out->push_back(uint8_t(value >> 8));
}

void Put32(Bytes* out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

uint32_t RowBytes(int32_t width, int32_t bits) { return (uint32_t(width) * uint32_t(bits) + 31) / 32 * 4; }

void PutInfoHeader(Bytes* out, int32_t width, int32_t height, int32_t bits, uint32_t imageBytes, uint32_t colours) {
  Put32(out, 40);
  Put32(out, uint32_t(width));
  Put32(out, uint32_t(height));
  Put16(out, 1);
  Put16(out, uint32_t(bits));
  Put32(out, 0);  // no compression
  Put32(out, imageBytes);
  Put32(out, 2835);  // 72 dots per inch
  Put32(out, 2835);
  Put32(out, colours);
  Put32(out, 0);
}

void PutFileHeader(Bytes* out, uint32_t fileBytes, uint32_t pixelOffset) {
  out->push_back('B');
  out->push_back('M');
  Put32(out, fileBytes);
  Put32(out, 0);
  Put32(out, pixelOffset);
}

// Rows of one bit per pixel, bottom row first; set(x, y) says which bits are 1.
template <typename Set>
void PutBitRows(Bytes* out, int32_t width, int32_t height, Set set) {
  const uint32_t rowBytes = RowBytes(width, 1);
  for (int32_t y = height - 1; y >= 0; --y) {
    Bytes row(rowBytes, 0);
    for (int32_t x = 0; x < width; ++x)
      if (set(x, y)) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
    out->insert(out->end(), row.begin(), row.end());
  }
}

bool Shown(Colour c) { return c.a >= 128; }
bool Light(Colour c) { return c.r * 299 + c.g * 587 + c.b * 114 >= 128000; }

}  // namespace

Bytes EncodeBmp24(const Canvas& picture) {
  const int32_t w = picture.width(), h = picture.height();
  const uint32_t rowBytes = RowBytes(w, 24);
  const uint32_t imageBytes = rowBytes * uint32_t(h);
  Bytes out;
  PutFileHeader(&out, 54 + imageBytes, 54);
  PutInfoHeader(&out, w, h, 24, imageBytes, 0);
  for (int32_t y = h - 1; y >= 0; --y) {
    for (int32_t x = 0; x < w; ++x) {
      const Colour c = picture.At(x, y);
      out.insert(out.end(), {c.b, c.g, c.r});
    }
    out.resize(out.size() + rowBytes - uint32_t(w) * 3, 0);
  }
  return out;
}

Bytes EncodeBmp1(const std::vector<bool>& bits, int32_t width, int32_t height) {
  const uint32_t imageBytes = RowBytes(width, 1) * uint32_t(height);
  Bytes out;
  PutFileHeader(&out, 62 + imageBytes, 62);
  PutInfoHeader(&out, width, height, 1, imageBytes, 2);
  Put32(&out, 0x000000);
  Put32(&out, 0xFFFFFF);
  PutBitRows(&out, width, height, [&](int32_t x, int32_t y) { return bits[size_t(y) * size_t(width) + size_t(x)]; });
  return out;
}

Bytes EncodeCursor(const Canvas& picture, int32_t hotspotX, int32_t hotspotY) {
  const int32_t w = picture.width(), h = picture.height();
  const uint32_t maskBytes = RowBytes(w, 1) * uint32_t(h);
  auto hidden = [&](int32_t x, int32_t y) { return !Shown(picture.At(x, y)); };

  Bytes mono;
  PutInfoHeader(&mono, w, 2 * h, 1, 2 * maskBytes, 2);
  Put32(&mono, 0x000000);
  Put32(&mono, 0xFFFFFF);
  PutBitRows(&mono, w, h, [&](int32_t x, int32_t y) { return Shown(picture.At(x, y)) && Light(picture.At(x, y)); });
  PutBitRows(&mono, w, h, hidden);

  Bytes colour;
  PutInfoHeader(&colour, w, 2 * h, 32, uint32_t(w * h * 4) + maskBytes, 0);
  for (int32_t y = h - 1; y >= 0; --y) {
    for (int32_t x = 0; x < w; ++x) {
      const Colour c = picture.At(x, y);
      colour.insert(colour.end(), {c.b, c.g, c.r, c.a});
    }
  }
  PutBitRows(&colour, w, h, [&](int32_t x, int32_t y) { return picture.At(x, y).a == 0; });

  Bytes out;
  Put16(&out, 0);
  Put16(&out, 2);  // cursor
  Put16(&out, 2);
  uint32_t offset = 6 + 2 * 16;
  for (const Bytes* image : {&mono, &colour}) {
    out.push_back(uint8_t(w));
    out.push_back(uint8_t(h));
    out.push_back(image == &mono ? 2 : 0);
    out.push_back(0);
    Put16(&out, uint32_t(hotspotX));
    Put16(&out, uint32_t(hotspotY));
    Put32(&out, uint32_t(image->size()));
    Put32(&out, offset);
    offset += uint32_t(image->size());
  }
  out.insert(out.end(), mono.begin(), mono.end());
  out.insert(out.end(), colour.begin(), colour.end());
  return out;
}

Bytes EncodePng(const Canvas& picture) {
  std::vector<uint8_t> rgba;
  rgba.reserve(picture.pixels().size() * 4);
  for (const Colour& c : picture.pixels()) rgba.insert(rgba.end(), {c.r, c.g, c.b, c.a});
  Bytes out;
  stbi_write_png_to_func(
      [](void* context, void* data, int size) {
        auto* bytes = static_cast<Bytes*>(context);
        bytes->insert(bytes->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
      },
      &out, picture.width(), picture.height(), 4, rgba.data(), picture.width() * 4);
  return out;
}

}  // namespace artgen
