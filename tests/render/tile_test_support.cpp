#include "render/tile_test_support.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "symmetry/leaves.h"

namespace quiltora::test {

namespace {

int32_t BytesFor(int16_t mode) { return mode == 1 ? 1 : mode == 3 ? 3 : 4; }

int32_t HexHeightRows(double factor, int32_t side) {
  return static_cast<int32_t>(factor * side - 0.5) + 1;
}

}  // namespace

Picture::Picture(int32_t w, int32_t h, int16_t pixelMode, uint8_t fill)
    : width(w), height(h), mode(pixelMode), bytesPerPixel(BytesFor(pixelMode)) {
  rowBytes = (w * bytesPerPixel + 3) / 4 * 4;
  pixels.assign(static_cast<size_t>(rowBytes) * h, fill);
}

void ExpectedTileSize(const Geometry& g, int32_t* width, int32_t* height) {
  // In 64 bits: a side of a billion stands for a corrupted record.
  const int64_t s = g.size, even = g.size - (g.size & 1);
  int64_t w = 2 * s, h = 2 * s;  // 8 to 11
  switch (g.number) {
    case 1: w = s; h = g.height; break;
    case 2: w = s; h = s; break;
    case 3: case 4: case 5: w = 2 * s; h = g.height; break;
    case 6: case 7: w = 2 * s; h = 2 * g.height; break;
    case 12: w = 4 * s; h = g.height; break;
    case 13:
      w = 2 * (static_cast<int64_t>(s * 1.1547005 * 3.0 / 2.0 - 0.5) + 1);
      h = 2 * s;
      break;
    case 14: w = 2 * (3 * s / 2); h = 2 * HexHeightRows(0.8660254, g.size); break;
    case 15: case 16:
      w = 3 * even;
      h = 2 * static_cast<int64_t>(HexHeightRows(0.8660254, static_cast<int32_t>(even)));
      break;
    case 17: w = 6 * s; h = 2 * static_cast<int64_t>(HexHeightRows(1.7320508, g.size)); break;
    default: break;
  }
  *width = static_cast<int32_t>(std::min<int64_t>(w, INT32_MAX));
  *height = static_cast<int32_t>(std::min<int64_t>(h, INT32_MAX));
}

void SourceSizeFor(const Geometry& g, int32_t* width, int32_t* height) {
  const int32_t s = g.size;
  switch (g.number) {
    case 1: *width = s + std::abs(g.shear); *height = g.height; break;
    case 3: case 4: case 5: case 6: case 7: case 12: *width = s; *height = g.height; break;
    case 13:
      *width = static_cast<int32_t>(s * 1.1547005 * 3.0 / 2.0 - 0.5) + 2;
      *height = s + 1;
      break;
    case 14: *width = 3 * s / 2; *height = HexHeightRows(0.8660254, s) + 1; break;
    case 15: case 16: *width = 3 * s / 2; *height = HexHeightRows(0.8660254, s) + 1; break;
    case 17: *width = s + 1; *height = HexHeightRows(1.7320508, s) + 1; break;
    default: *width = s; *height = s; break;
  }
}

TileSymmetry* MakeSymmetry(const Geometry& g, int32_t sourceWidth, int32_t sourceHeight,
                           int32_t destHeight) {
  TileSymmetry* symmetry = CreateSymmetry(g.number);
  if (symmetry == nullptr) return nullptr;
  if (auto* p = dynamic_cast<ParallelogramSource*>(symmetry)) {
    p->width = g.size;
    p->height = g.height;
    p->shear = g.shear;
  } else if (auto* r = dynamic_cast<RectangleSource*>(symmetry)) {
    r->width = g.size;
    r->height = g.height;
  } else if (auto* h = dynamic_cast<HalfSquareSource*>(symmetry)) {
    h->side = g.size;
  } else if (auto* q = dynamic_cast<SquareSource*>(symmetry)) {
    q->side = g.size;
  } else if (auto* t = dynamic_cast<TriangleSource*>(symmetry)) {
    t->side = g.size;
  } else if (auto* ht = dynamic_cast<HalfTriangleSource*>(symmetry)) {
    ht->side = g.size;
  } else if (auto* rh = dynamic_cast<RhombusSource*>(symmetry)) {
    rh->side = g.size;
  } else if (auto* k = dynamic_cast<KiteSource*>(symmetry)) {
    k->side = g.size;
  }
  symmetry->x = 0;
  symmetry->y = 0;
  symmetry->sourceWidth = sourceWidth;
  symmetry->sourceHeight = sourceHeight;
  symmetry->destHeight = destHeight;
  symmetry->ResetEdgeMins();
  ExpectedTileSize(g, &symmetry->tileWidth, &symmetry->tileHeight);
  return symmetry;
}

BuiltTile BuildWith(const Geometry& g, const Picture& source, int16_t tileMode, uint8_t fill, int32_t destHeight) {
  TileSymmetry* symmetry = MakeSymmetry(g, source.width, source.height, destHeight);
  BuiltTile built;
  built.tile = Picture(symmetry->tileWidth, symmetry->tileHeight, tileMode, fill);
  built.result = symmetry->BuildTile(source.pixels.data(), source.rowBytes, source.mode, SilentProgress(),
                                     built.tile.pixels.data(), built.tile.rowBytes, tileMode);
  return built;
}

Picture PositionPicture(int32_t width, int32_t height) {
  Picture picture(width, height, 3);
  for (int32_t r = 0; r < height; ++r) {
    for (int32_t c = 0; c < width; ++c) {
      uint8_t* p = picture.At(r, c);
      p[0] = static_cast<uint8_t>(c);
      p[1] = static_cast<uint8_t>(r);
      p[2] = 255;
    }
  }
  return picture;
}

Picture NoisePicture(int32_t width, int32_t height, int16_t mode, uint32_t seed) {
  Picture picture(width, height, mode);
  uint32_t state = seed * 2654435761u + 1;
  for (uint8_t& byte : picture.pixels) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<uint8_t>(state >> 24);
  }
  return picture;
}

Picture SmoothPicture(int32_t width, int32_t height,
                      const std::function<double(double, double)>& value) {
  Picture picture(width, height, 1);
  for (int32_t r = 0; r < height; ++r) {
    for (int32_t c = 0; c < width; ++c) {
      const double v = std::round(value(c, r));
      *picture.At(r, c) = static_cast<uint8_t>(std::fmin(255.0, std::fmax(0.0, v)));
    }
  }
  return picture;
}

}  // namespace quiltora::test
