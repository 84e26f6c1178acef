// Rectangle and square members: each band row or column blends with one
// partner by weights fixed per distance from the edge, each corner square
// with three partners.
#include <algorithm>

#include "common/fixed.h"
#include "render/feather_members.h"

namespace quiltora {

namespace {

constexpr int kMaxChannels = 4;

PartnerMap Map(int32_t rowFromRow, int32_t rowFromColumn, int32_t rowOffset,
               int32_t columnFromRow, int32_t columnFromColumn, int32_t columnOffset) {
  return PartnerMap{rowFromRow, rowFromColumn, rowOffset, columnFromRow, columnFromColumn,
                    columnOffset};
}

const uint8_t* PartnerPixel(const FeatherBuffers& buffers, const PartnerMap& map, int32_t r,
                            int32_t c) {
  const int32_t row = map.rowFromRow * r + map.rowFromColumn * c + map.rowOffset;
  const int32_t column = map.columnFromRow * r + map.columnFromColumn * c + map.columnOffset;
  return buffers.SourceAt(column, row);
}

// Σ FixMul(weight, byte << 16) >> 16 per channel.
void WriteWeighted(const FeatherBuffers& buffers, int32_t r, int32_t c, const int32_t* weights,
                   const uint8_t* const* pixels, int32_t count) {
  uint8_t* out = buffers.WorkAt(c, r);
  for (int32_t channel = 0; channel < buffers.layout.channels; ++channel) {
    int32_t sum = 0;
    for (int32_t k = 0; k < count; ++k) {
      sum = FixAdd(sum, FixMul(weights[k], IntToFix(pixels[k][channel])));
    }
    out[channel] = static_cast<uint8_t>(sum >> 16);
  }
}

// Pixel (r, c) = own × itself + other × its partner across one edge.
void BlendBandPixel(const FeatherBuffers& buffers, const PartnerMap& partner, int32_t own,
                    int32_t other, int32_t r, int32_t c) {
  const int32_t weights[2] = {own, other};
  const uint8_t* pixels[2] = {buffers.SourceAt(c, r), PartnerPixel(buffers, partner, r, c)};
  WriteWeighted(buffers, r, c, weights, pixels, 2);
}

void BlendBands(const PartnerMaps& maps, int32_t width, int32_t height, int32_t f,
                const FeatherBuffers& buffers) {
  for (int32_t k = 0; k < f; ++k) {
    const int32_t own = FixDiv(IntToFix(f + k + 1), IntToFix(2 * f + 1));
    const int32_t other = FixDiv(IntToFix(f - k), IntToFix(2 * f + 1));
    for (int32_t c = f; c < width - f; ++c) {
      BlendBandPixel(buffers, maps.top, own, other, k, c);
      BlendBandPixel(buffers, maps.bottom, own, other, height - 1 - k, c);
    }
    for (int32_t r = f; r < height - f; ++r) {
      BlendBandPixel(buffers, maps.left, own, other, r, k);
      BlendBandPixel(buffers, maps.right, own, other, r, width - 1 - k);
    }
  }
}

struct Corner {
  int32_t firstRow, firstColumn;
  bool bottom, right;  // which edges the corner square touches
  const PartnerMap* vertical;
  const PartnerMap* horizontal;
  const PartnerMap* diagonal;
};

// One corner square: u and v count from its innermost pixel, so the
// rectangle's corner pixel has u = v = f − 1.
void BlendCorner(const Corner& corner, int32_t f, const FeatherBuffers& buffers) {
  const int32_t low = FixDiv(65536, IntToFix(2 * f));
  auto weight = [low](int32_t a, int32_t b) {
    return FixMul(FixMul(low, IntToFix(b)), FixMul(low, IntToFix(a)));
  };
  for (int32_t i = 0; i < f; ++i) {
    const int32_t r = corner.firstRow + i;
    const int32_t v = corner.bottom ? i : f - 1 - i;
    for (int32_t j = 0; j < f; ++j) {
      const int32_t c = corner.firstColumn + j;
      const int32_t u = corner.right ? j : f - 1 - j;
      const int32_t weights[4] = {weight(2 * f - v, 2 * f - u), weight(2 * f - v, u),
                                  weight(v, 2 * f - u), weight(v, u)};
      const uint8_t* pixels[4] = {buffers.SourceAt(c, r),
                                  PartnerPixel(buffers, *corner.vertical, r, c),
                                  PartnerPixel(buffers, *corner.horizontal, r, c),
                                  PartnerPixel(buffers, *corner.diagonal, r, c)};
      WriteWeighted(buffers, r, c, weights, pixels, 4);
    }
  }
}

}  // namespace

PartnerMaps LatticePartners(LatticeMember member, int32_t width, int32_t height) {
  const int32_t w = width, h = height;
  // The mirror and glide images shared by several members.
  const PartnerMap down = Map(1, 0, h, 0, 1, 0), up = Map(1, 0, -h, 0, 1, 0);
  const PartnerMap mirrorLeft = Map(1, 0, 0, 0, -1, -1),
                   mirrorRight = Map(1, 0, 0, 0, -1, 2 * w - 1);
  const PartnerMap turnLeft = Map(-1, 0, h - 1, 0, -1, -1);
  const PartnerMap turnRight = Map(-1, 0, h - 1, 0, -1, 2 * w - 1);
  const PartnerMap glideLeft = Map(-1, 0, h - 1, 0, 1, w), glideRight = Map(-1, 0, h - 1, 0, 1, -w);
  const PartnerMap halfTurnTopLeft = Map(-1, 0, -1, 0, -1, -1);
  const PartnerMap halfTurnTopRight = Map(-1, 0, -1, 0, -1, 2 * w - 1);
  const PartnerMap halfTurnBottomLeft = Map(-1, 0, 2 * h - 1, 0, -1, -1);
  const PartnerMap halfTurnBottomRight = Map(-1, 0, 2 * h - 1, 0, -1, 2 * w - 1);
  switch (member) {
    case LatticeMember::kWings:
      return PartnerMaps{down, up, mirrorLeft, mirrorRight,
                         Map(1, 0, h, 0, -1, -1), Map(1, 0, h, 0, -1, 2 * w - 1),
                         Map(1, 0, -h, 0, -1, -1), Map(1, 0, -h, 0, -1, 2 * w - 1)};
    case LatticeMember::kHitherAndYon:
      return PartnerMaps{down, up, turnLeft, turnRight, halfTurnTopLeft, halfTurnTopRight,
                         halfTurnBottomLeft, halfTurnBottomRight};
    case LatticeMember::kCardTricks:
      return PartnerMaps{down, up, glideLeft, glideRight,
                         Map(-1, 0, -1, 0, 1, w), Map(-1, 0, -1, 0, 1, -w),
                         Map(-1, 0, 2 * h - 1, 0, 1, w), Map(-1, 0, 2 * h - 1, 0, 1, -w)};
    case LatticeMember::kHoneyBees:
      return PartnerMaps{Map(1, 0, h, 0, -1, w - 1), Map(1, 0, -h, 0, -1, w - 1), glideLeft,
                         glideRight, halfTurnTopLeft, halfTurnTopRight, halfTurnBottomLeft,
                         halfTurnBottomRight};
    case LatticeMember::kLightning:
      return PartnerMaps{down, up, mirrorLeft, turnRight, Map(1, 0, h, 0, -1, -1),
                         halfTurnTopRight, Map(1, 0, -h, 0, -1, -1), halfTurnBottomRight};
    case LatticeMember::kPinwheel:
      return PartnerMaps{Map(0, 1, 0, -1, 0, -1), Map(0, 1, 0, -1, 0, 2 * w - 1),
                         Map(0, -1, -1, 1, 0, 0), Map(0, -1, 2 * w - 1, 1, 0, 0),
                         halfTurnTopLeft, halfTurnTopRight, halfTurnBottomLeft,
                         halfTurnBottomRight};
  }
  return PartnerMaps{};
}

void FeatherLattice(LatticeMember member, int32_t width, int32_t height, int32_t f,
                    const FeatherBuffers& buffers) {
  f = std::min(f, std::min(width, height) / 2);
  if (f <= 0 || buffers.layout.channels <= 0 || buffers.layout.channels > kMaxChannels) return;
  const PartnerMaps maps = LatticePartners(member, width, height);
  BlendBands(maps, width, height, f, buffers);
  const Corner corners[4] = {
      {0, 0, false, false, &maps.left, &maps.top, &maps.topLeft},
      {0, width - f, false, true, &maps.right, &maps.top, &maps.topRight},
      {height - f, 0, true, false, &maps.left, &maps.bottom, &maps.bottomLeft},
      {height - f, width - f, true, true, &maps.right, &maps.bottom, &maps.bottomRight},
  };
  for (const Corner& corner : corners) BlendCorner(corner, f, buffers);
}

}  // namespace quiltora
