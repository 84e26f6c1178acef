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

// Pixels are blended in square blocks: a partner may lie across the diagonal
// (a row read down a column), and a block keeps those reads within a few
// cache lines and pages.
constexpr int32_t kBlock = 32;

// Where a partner pixel lies for pixel (r, c): base + r × rowStep + c × columnStep.
struct PartnerWalk {
  const uint8_t* base;
  int64_t rowStep;
  int64_t columnStep;
};

PartnerWalk WalkOf(const FeatherBuffers& buffers, const PartnerMap& map) {
  const int64_t down = buffers.sourceRowBytes;
  const int64_t right = buffers.layout.sourceStep;
  return PartnerWalk{buffers.SourceAt(map.columnOffset, map.rowOffset),
                     map.rowFromRow * down + map.columnFromRow * right,
                     map.rowFromColumn * down + map.columnFromColumn * right};
}

// Σ FixMul(weight, byte << 16) summed with WrapAdd, then >> 16: for a byte
// FixMul(w, byte << 16) is w × byte with 32-bit wrap, and only bits 16 to 23
// of the sum reach the byte, so plain unsigned arithmetic gives the same byte.
template <int kChannels>
inline void WriteTwo(uint8_t* out, uint32_t own, const uint8_t* self, uint32_t other,
                     const uint8_t* partner) {
  for (int channel = 0; channel < kChannels; ++channel)
    out[channel] = static_cast<uint8_t>((own * self[channel] + other * partner[channel]) >> 16);
}

template <int kChannels>
inline void WriteFour(uint8_t* out, const uint32_t* weights, const uint8_t* p0, const uint8_t* p1,
                      const uint8_t* p2, const uint8_t* p3) {
  for (int channel = 0; channel < kChannels; ++channel)
    out[channel] = static_cast<uint8_t>((weights[0] * p0[channel] + weights[1] * p1[channel] +
                                         weights[2] * p2[channel] + weights[3] * p3[channel]) >>
                                        16);
}

// The weights of a band pixel k pixels from the edge: (f + k + 1) / (2f + 1)
// for itself and (f − k) / (2f + 1) for its partner.
void BandWeights(int32_t f, int32_t k, uint32_t* own, uint32_t* other) {
  *own = static_cast<uint32_t>(FixDiv(IntToFix(f + k + 1), IntToFix(2 * f + 1)));
  *other = static_cast<uint32_t>(FixDiv(IntToFix(f - k), IntToFix(2 * f + 1)));
}

// One band: rows firstRow..endRow − 1, columns firstColumn..endColumn − 1;
// pixel (r, c) is blended by its distance k from the band's edge
// (k = depthSign × (r or c) + depthBase).
template <int kChannels>
void BlendBand(const FeatherBuffers& buffers, const PartnerMap& map, int32_t f, int32_t firstRow,
               int32_t endRow, int32_t firstColumn, int32_t endColumn, bool byRow,
               int32_t depthBase, int32_t depthSign) {
  const PartnerWalk walk = WalkOf(buffers, map);
  const int32_t sourceStep = buffers.layout.sourceStep;
  const int32_t workStep = buffers.layout.tileStep;
  for (int32_t blockRow = firstRow; blockRow < endRow; blockRow += kBlock) {
    const int32_t blockRowEnd = std::min(endRow, blockRow + kBlock);
    for (int32_t blockColumn = firstColumn; blockColumn < endColumn; blockColumn += kBlock) {
      const int32_t blockColumnEnd = std::min(endColumn, blockColumn + kBlock);
      uint32_t own[kBlock], other[kBlock];  // by column - blockColumn, for the side bands
      if (!byRow) {
        for (int32_t c = blockColumn; c < blockColumnEnd; ++c)
          BandWeights(f, depthBase + depthSign * c, &own[c - blockColumn], &other[c - blockColumn]);
      }
      for (int32_t r = blockRow; r < blockRowEnd; ++r) {
        const uint8_t* self = buffers.SourceAt(blockColumn, r);
        const uint8_t* partner = walk.base + r * walk.rowStep + blockColumn * walk.columnStep;
        uint8_t* out = buffers.WorkAt(blockColumn, r);
        if (byRow) {
          uint32_t o = 0, p = 0;
          BandWeights(f, depthBase + depthSign * r, &o, &p);
          for (int32_t c = blockColumn; c < blockColumnEnd; ++c) {
            WriteTwo<kChannels>(out, o, self, p, partner);
            self += sourceStep;
            partner += walk.columnStep;
            out += workStep;
          }
        } else {
          for (int32_t c = blockColumn; c < blockColumnEnd; ++c) {
            WriteTwo<kChannels>(out, own[c - blockColumn], self, other[c - blockColumn], partner);
            self += sourceStep;
            partner += walk.columnStep;
            out += workStep;
          }
        }
      }
    }
  }
}

template <int kChannels>
void BlendBands(const PartnerMaps& maps, int32_t width, int32_t height, int32_t f,
                const FeatherBuffers& buffers) {
  BlendBand<kChannels>(buffers, maps.top, f, 0, f, f, width - f, true, 0, 1);
  BlendBand<kChannels>(buffers, maps.bottom, f, height - f, height, f, width - f, true, height - 1,
                       -1);
  BlendBand<kChannels>(buffers, maps.left, f, f, height - f, 0, f, false, 0, 1);
  BlendBand<kChannels>(buffers, maps.right, f, f, height - f, width - f, width, false, width - 1,
                       -1);
}

struct Corner {
  int32_t firstRow, firstColumn;
  bool bottom, right;  // which edges the corner square touches
  const PartnerMap* vertical;
  const PartnerMap* horizontal;
  const PartnerMap* diagonal;
};

// FixMul of two non-negative 16.16 values whose product stays below 2^47:
// its four partial products add up to the floor of the product over 65536.
inline uint32_t NonNegativeFixMul(uint32_t a, uint32_t b) {
  return static_cast<uint32_t>((static_cast<uint64_t>(a) * b) >> 16);
}

// One corner square: u and v count from its innermost pixel, so the
// rectangle's corner pixel has u = v = f − 1. Its weights are
// FixMul(FixMul(low, 2f − v or v), FixMul(low, 2f − u or u)); the inner
// products are low × the whole number, all non-negative and small.
template <int kChannels>
void BlendCorner(const Corner& corner, int32_t f, const FeatherBuffers& buffers, uint32_t low) {
  const PartnerWalk vertical = WalkOf(buffers, *corner.vertical);
  const PartnerWalk horizontal = WalkOf(buffers, *corner.horizontal);
  const PartnerWalk diagonal = WalkOf(buffers, *corner.diagonal);
  const int32_t sourceStep = buffers.layout.sourceStep;
  const int32_t workStep = buffers.layout.tileStep;
  for (int32_t blockRow = 0; blockRow < f; blockRow += kBlock) {
    const int32_t blockRowEnd = std::min(f, blockRow + kBlock);
    for (int32_t blockColumn = 0; blockColumn < f; blockColumn += kBlock) {
      const int32_t blockColumnEnd = std::min(f, blockColumn + kBlock);
      for (int32_t i = blockRow; i < blockRowEnd; ++i) {
        const int32_t r = corner.firstRow + i;
        const int32_t v = corner.bottom ? i : f - 1 - i;
        const uint32_t far = low * static_cast<uint32_t>(2 * f - v);
        const uint32_t near = low * static_cast<uint32_t>(v);
        const int32_t c0 = corner.firstColumn + blockColumn;
        const uint8_t* self = buffers.SourceAt(c0, r);
        const uint8_t* p1 = vertical.base + r * vertical.rowStep + c0 * vertical.columnStep;
        const uint8_t* p2 = horizontal.base + r * horizontal.rowStep + c0 * horizontal.columnStep;
        const uint8_t* p3 = diagonal.base + r * diagonal.rowStep + c0 * diagonal.columnStep;
        uint8_t* out = buffers.WorkAt(c0, r);
        for (int32_t j = blockColumn; j < blockColumnEnd; ++j) {
          const int32_t u = corner.right ? j : f - 1 - j;
          const uint32_t across = low * static_cast<uint32_t>(2 * f - u);
          const uint32_t along = low * static_cast<uint32_t>(u);
          const uint32_t weights[4] = {NonNegativeFixMul(across, far), NonNegativeFixMul(along, far),
                                       NonNegativeFixMul(across, near), NonNegativeFixMul(along, near)};
          WriteFour<kChannels>(out, weights, self, p1, p2, p3);
          self += sourceStep;
          p1 += vertical.columnStep;
          p2 += horizontal.columnStep;
          p3 += diagonal.columnStep;
          out += workStep;
        }
      }
    }
  }
}

template <int kChannels>
void FeatherLatticeOf(const PartnerMaps& maps, int32_t width, int32_t height, int32_t f,
                      const FeatherBuffers& buffers) {
  BlendBands<kChannels>(maps, width, height, f, buffers);
  const uint32_t low = static_cast<uint32_t>(FixDiv(65536, IntToFix(2 * f)));
  const Corner corners[4] = {
      {0, 0, false, false, &maps.left, &maps.top, &maps.topLeft},
      {0, width - f, false, true, &maps.right, &maps.top, &maps.topRight},
      {height - f, 0, true, false, &maps.left, &maps.bottom, &maps.bottomLeft},
      {height - f, width - f, true, true, &maps.right, &maps.bottom, &maps.bottomRight},
  };
  for (const Corner& corner : corners) BlendCorner<kChannels>(corner, f, buffers, low);
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
  switch (buffers.layout.channels) {
    case 1: FeatherLatticeOf<1>(maps, width, height, f, buffers); break;
    case 3: FeatherLatticeOf<3>(maps, width, height, f, buffers); break;
    default: FeatherLatticeOf<4>(maps, width, height, f, buffers); break;
  }
}

}  // namespace quiltora
