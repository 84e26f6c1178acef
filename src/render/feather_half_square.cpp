// Half-square members: Crab Claws (cm), Spider Web (cmm) and Primrose Path
// (p4g). Each row of the triangle splits into a few spans, each served by
// the images of the edges it lies near.
#include <algorithm>

#include "abi/plugin_api.h"
#include "render/feather_members.h"

namespace quiltora {

namespace {

// Image bits of each member, in the order of HalfSquareImages.
constexpr uint32_t kCrabDiagonalBefore = 1u << 0;  // (x + N, y + N)
constexpr uint32_t kCrabLeft = 1u << 1;            // (y, x + N)
constexpr uint32_t kCrabBottom = 1u << 2;          // (y − N, x)
constexpr uint32_t kCrabDiagonalAfter = 1u << 3;   // (x − N, y − N)
constexpr uint32_t kSpiderHalfTurn = 1u << 0;      // (N − 1 − x, N − 1 − y)
constexpr uint32_t kPrimroseBottom = 1u << 0;      // (y − N, N − 1 − x)
constexpr uint32_t kPrimroseLeft = 1u << 1;        // (N − 1 − y, x + N)

struct SpanList {
  FeatherSpan* spans;
  int32_t count = 0;
  void Add(int32_t first, int32_t last, uint32_t images) {
    if (last >= first) spans[count++] = FeatherSpan{first, last, images};
  }
};

void CrabClawsSpans(int32_t side, int32_t f, int32_t y, SpanList* list) {
  if (y < f) {
    list->Add(0, y, kCrabDiagonalBefore | kCrabLeft);
  } else if (y < side - f) {
    list->Add(0, f - 1, kCrabLeft);
    list->Add(f, y, 0);
  } else {
    list->Add(0, f - 1, kCrabLeft | kCrabBottom);
    list->Add(f, side - f - 1, kCrabBottom);
    list->Add(side - f, y, kCrabBottom | kCrabDiagonalAfter);
  }
}

void SpiderWebSpans(int32_t f, int32_t y, SpanList* list) {
  const int32_t reach = SpanEnd(1.414 * f - 0.4999999);
  if (y <= reach) {
    list->Add(0, y, kSpiderHalfTurn);
  } else {
    list->Add(0, y - reach - 1, 0);
    list->Add(y - reach, y, kSpiderHalfTurn);
  }
}

void PrimrosePathSpans(int32_t side, int32_t f, int32_t y, SpanList* list) {
  const uint32_t bottom = y > side - f - 2 ? kPrimroseBottom : 0;
  if (y < f + 2) {
    list->Add(0, y, bottom | kPrimroseLeft);
  } else {
    list->Add(0, f + 1, bottom | kPrimroseLeft);
    list->Add(f + 2, y, bottom);
  }
}

struct RowSpans {
  int32_t count;
  FeatherSpan spans[kHalfSquareMaxSpans];
};

}  // namespace

int32_t HalfSquareRowSpans(HalfSquareMember member, int32_t side, int32_t f, int32_t y,
                           FeatherSpan* spans) {
  SpanList list{spans};
  switch (member) {
    case HalfSquareMember::kCrabClaws: CrabClawsSpans(side, f, y, &list); break;
    case HalfSquareMember::kSpiderWeb: SpiderWebSpans(f, y, &list); break;
    case HalfSquareMember::kPrimrosePath: PrimrosePathSpans(side, f, y, &list); break;
  }
  return list.count;
}

void HalfSquareImages(HalfSquareMember member, int32_t side,
                      WholeImage (&images)[kHalfSquareMaxImages]) {
  const int32_t n = side;
  for (WholeImage& image : images) image = WholeImage{0, 0, 0, 0, 0, 0};
  switch (member) {
    case HalfSquareMember::kCrabClaws:
      images[0] = WholeImage{1, 0, n, 0, 1, n};
      images[1] = WholeImage{0, 1, 0, 1, 0, n};
      images[2] = WholeImage{0, 1, -n, 1, 0, 0};
      images[3] = WholeImage{1, 0, -n, 0, 1, -n};
      break;
    case HalfSquareMember::kSpiderWeb:
      images[0] = WholeImage{-1, 0, n - 1, 0, -1, n - 1};
      break;
    case HalfSquareMember::kPrimrosePath:
      // Positions outside the source's feather rectangle are more than f
      // from the outline, so their mask is 0 and the blend drops them.
      images[0] = WholeImage{0, 1, -n, -1, 0, n - 1};
      images[1] = WholeImage{0, -1, n - 1, 1, 0, n};
      break;
  }
}

int16_t FeatherHalfSquare(HalfSquareMember member, int32_t side, int32_t f, const FeatherBuffers& buffers,
                          const std::function<FeatherMask()>& makeMask) {
  f = std::min(f, side / 2);
  if (f <= 0 || side <= 0) return plugin::kNoErr;
  std::unique_ptr<RowSpans[]> table = AllocateFeatherArray<RowSpans>(side);
  if (table == nullptr) return plugin::kMemFullErr;
  const FeatherMask mask = makeMask();
  if (!mask.IsValid()) return plugin::kNoErr;
  WholeImage images[kHalfSquareMaxImages];
  HalfSquareImages(member, side, images);
  for (int32_t y = 0; y < side; ++y) {
    table[y].count = HalfSquareRowSpans(member, side, f, y, table[y].spans);
  }
  for (int32_t y = 0; y < side; ++y) {
    for (int32_t k = 0; k < table[y].count; ++k) {
      const FeatherSpan& span = table[y].spans[k];
      if (span.images == 0) {
        CopyFeatherSpan(buffers, y, span.first, span.last);
      } else {
        BlendFeatherSpan(buffers, mask, y, span.first, span.last, images, span.images);
      }
    }
  }
  return plugin::kNoErr;
}

}  // namespace quiltora
