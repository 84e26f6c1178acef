// Edge-scan members: Gold Brick (p1), Storm at Sea (p3), Monkey Wrench
// (p31m) and Whirlpool (p6). Their slanted edges move along the rows, so the
// spans of each row and the images serving them come from a handful of edges
// and row conditions advanced once per row.
#include <algorithm>
#include <cmath>

#include "common/fixed.h"
#include "render/feather_members.h"

namespace quiltora {

namespace {

constexpr double kZoneTolerance = 0.0000001;

uint32_t Bits(std::initializer_list<int> indexes) {
  uint32_t bits = 0;
  for (int index : indexes) bits |= 1u << index;
  return bits;
}

void AddEdge(EdgeScan* scan, double position, double slope, EdgeKind kind, uint32_t images = 0) {
  scan->edges[scan->edgeCount++] = ScanEdge{position, slope, kind, images};
}

void AddCondition(EdgeScan* scan, double threshold, bool topZone, uint32_t images) {
  scan->conditions[scan->conditionCount++] = RowCondition{threshold, topZone, images};
}

int32_t EdgeEnd(const EdgeScan& scan, double position) {
  return scan.kiteSpanEnds ? SpanEnd(position - 0.5 + 0.0000001) : SpanEnd(position - 0.4999999);
}

// All images less those of the zones that do not hold for a span starting
// at column start of row y.
uint32_t SpanImages(const EdgeScan& scan, int32_t y, int32_t start) {
  uint32_t images = scan.allImages;
  const double middle = start + 0.5;
  for (int32_t k = 0; k < scan.edgeCount; ++k) {
    const ScanEdge& edge = scan.edges[k];
    const double p = edge.position - kZoneTolerance;
    if (edge.kind == EdgeKind::kLeftZone && middle >= p) images &= ~edge.images;
    if (edge.kind == EdgeKind::kRightZone && middle < p) images &= ~edge.images;
  }
  const double row = y + 0.5;
  for (int32_t k = 0; k < scan.conditionCount; ++k) {
    const RowCondition& condition = scan.conditions[k];
    const bool lose = condition.topZone ? row > condition.threshold : row < condition.threshold;
    if (lose) images &= ~condition.images;
  }
  return images;
}

void ScanRow(const EdgeScan& scan, int32_t y, int32_t clipLeft, int32_t clipRight,
             const std::function<void(int32_t, const FeatherSpan&)>& visit) {
  int32_t order[8];
  for (int32_t k = 0; k < scan.edgeCount; ++k) order[k] = k;
  std::stable_sort(order, order + scan.edgeCount, [&scan](int32_t a, int32_t b) {
    return scan.edges[a].position < scan.edges[b].position;
  });
  int32_t left = -1, right = -1;
  for (int32_t k = 0; k < scan.edgeCount; ++k) {
    const EdgeKind kind = scan.edges[order[k]].kind;
    if (kind == EdgeKind::kLeftBound) left = k;
    if (kind == EdgeKind::kRightBound && right < 0) right = k;
  }
  if (left < 0 || right < 0) return;
  if (!(scan.edges[order[right]].position > scan.edges[order[left]].position)) return;
  int32_t end = EdgeEnd(scan, scan.edges[order[left]].position);
  for (int32_t k = left + 1; k <= right; ++k) {
    int32_t start = end + 1;
    if (scan.startAtZero) start = std::max(start, 0);
    end = EdgeEnd(scan, scan.edges[order[k]].position);
    if (end < start) continue;
    const int32_t first = std::max(start, clipLeft);
    const int32_t last = std::min(end, clipRight);
    if (last >= first) visit(y, FeatherSpan{first, last, SpanImages(scan, y, start)});
  }
}

}  // namespace

void ScanFeatherSpans(EdgeScan scan, int32_t clipLeft, int32_t clipRight,
                      const std::function<void(int32_t, const FeatherSpan&)>& visit) {
  for (int32_t y = scan.firstRow; y <= scan.lastRow; ++y) {
    ScanRow(scan, y, clipLeft, clipRight, visit);
    for (int32_t k = 0; k < scan.edgeCount; ++k) scan.edges[k].position += scan.edges[k].slope;
  }
}

void FeatherEdgeScan(const EdgeScan& scan, const FeatherBuffers& buffers, const FeatherMask& mask,
                     const WholeImage* wholeImages, const AffineMap* fixedImages) {
  ScanFeatherSpans(scan, buffers.workLeft, buffers.workRight,
                   [&](int32_t y, const FeatherSpan& span) {
                     if (y < buffers.workTop || y > buffers.workBottom) return;
                     if (span.images == 0) {
                       CopyFeatherSpan(buffers, y, span.first, span.last);
                     } else if (wholeImages != nullptr) {
                       BlendFeatherSpan(buffers, mask, y, span.first, span.last, wholeImages,
                                        span.images);
                     } else {
                       BlendFeatherSpanFixed(buffers, mask, y, span.first, span.last, fixedImages,
                                             span.images);
                     }
                   });
}

bool GoldBrickReach(int32_t height, int32_t shear, int32_t f, ShearedReach* reach) {
  if (height <= 0 || height > 32767 || std::abs(shear) > 32767 || f <= 0) return false;
  const int32_t slope = FixDiv(IntToFix(std::abs(shear)), IntToFix(height));
  const double exactSlope = slope / 65536.0;
  const double exactRoot = std::sqrt(exactSlope * exactSlope + 1.0);
  if (f * exactRoot >= 16384.0) return false;
  // slope² + 1 stays within 16.16 only below a slope of 128; steeper
  // parallelograms take the root in f64.
  const int32_t root = slope < IntToFix(128) ? FixSqrt(WrapAdd(FixMul(slope, slope), 65536))
                                             : DoubleToFix(exactRoot);
  const int32_t r = FixMul(IntToFix(f), root);
  reach->bandWidth = r / 65536.0;
  reach->across = FixToInt(WrapAdd(r, 65536));
  reach->along = FixToInt(WrapAdd(FixMul(IntToFix(f), slope), 65536));
  return true;
}

EdgeScan GoldBrickScan(int32_t width, int32_t height, int32_t shear, int32_t f, double bandWidth) {
  EdgeScan scan;
  const double k = static_cast<double>(shear) / height;
  const double left = shear >= 0 ? 0.0 : -shear;
  const double t = 0.5;
  AddEdge(&scan, left + k * t, k, EdgeKind::kLeftBound);
  AddEdge(&scan, left + bandWidth + k * t, k, EdgeKind::kLeftZone, Bits({6, 7, 0}));
  AddEdge(&scan, left + width - bandWidth + k * t, k, EdgeKind::kRightZone, Bits({2, 3, 4}));
  AddEdge(&scan, left + width + k * t, k, EdgeKind::kRightBound);
  AddCondition(&scan, f, true, Bits({0, 1, 2}));
  AddCondition(&scan, height - f, false, Bits({4, 5, 6}));
  scan.allImages = 0xFF;
  scan.firstRow = 0;
  scan.lastRow = height - 1;
  return scan;
}

void GoldBrickImages(int32_t width, int32_t height, int32_t shear, WholeImage (&images)[8]) {
  const int32_t w = width, h = height, s = shear;
  images[0] = Translation(w + s, h);
  images[1] = Translation(s, h);
  images[2] = Translation(s - w, h);
  images[3] = Translation(-w, 0);
  images[4] = Translation(-w - s, -h);
  images[5] = Translation(-s, -h);
  images[6] = Translation(w - s, -h);
  images[7] = Translation(w, 0);
}

EdgeScan StormAtSeaScan(int32_t side, int32_t f, int32_t firstRow, int32_t lastRow,
                        int32_t edgeLeft, int32_t edgeRight) {
  EdgeScan scan;
  const double n = side;
  const double s = 1.1547005 * n;
  const double g = 1.1547005 * f;
  const double m = 0.5772503;  // the slanted edges' slope as the scan uses it
  const double t = firstRow + 0.5;
  AddEdge(&scan, edgeLeft, 0.0, EdgeKind::kLeftBound);
  AddEdge(&scan, edgeRight, 0.0, EdgeKind::kRightBound);
  AddEdge(&scan, m * t - 2.0, m, EdgeKind::kLeftBound);
  AddEdge(&scan, m * t + g, m, EdgeKind::kLeftZone, Bits({0, 8, 9}));
  AddEdge(&scan, m * t + (s - g), m, EdgeKind::kRightZone, Bits({3, 4, 5}));
  AddEdge(&scan, m * t + (s + 2.0), m, EdgeKind::kRightBound);
  AddEdge(&scan, g - m * t, -m, EdgeKind::kLeftZone, Bits({0, 1, 9}));
  AddEdge(&scan, m * (n - t) + (1.5 * s - g), -m, EdgeKind::kRightZone, Bits({4, 5, 6}));
  AddCondition(&scan, f, true, Bits({0, 1, 2}));
  AddCondition(&scan, n - f, false, Bits({5, 6, 7}));
  scan.allImages = 0x3FF;
  scan.firstRow = firstRow;
  scan.lastRow = lastRow;
  return scan;
}

void StormAtSeaImages(int32_t side, AffineMap (&images)[10]) {
  const double n = side;
  const double s = 1.1547005 * n;
  const double p = 1.5 * s;
  const double q = 0.8660254;
  auto fix = [](double value) { return DoubleToFix(value); };
  const AffineMap turnA{-32768, -56755, 56755, -32768, 0, 0};
  const AffineMap turnB{-32768, 56755, -56755, -32768, 0, 0};
  auto at = [](AffineMap map, int32_t ox, int32_t oy) {
    map.e = ox;
    map.f = oy;
    return map;
  };
  images[0] = AffineMap{65536, 0, 0, 65536, fix(p), fix(n)};
  images[1] = turnA;
  images[2] = at(turnB, fix(q * n + 0.5 * p), fix(q * p - 0.5 * n));
  images[3] = at(turnA, fix(0.5 * p + q * n), fix(0.5 * n - q * p));
  images[4] = at(turnB, fix(0.5 * 3 * s), fix(q * 3 * s));
  images[5] = AffineMap{65536, 0, 0, 65536, fix(-p), fix(-n)};
  images[6] = at(turnA, fix(0.5 * p + q * 3 * n), fix(1.5 * n - q * p));
  images[7] = at(turnB, fix(0.5 * p - q * n), fix(q * p + 0.5 * n));
  images[8] = at(turnA, fix(q * 2 * n), fix(n));
  images[9] = turnB;
}

EdgeScan KiteScan(bool whirlpool, int32_t side, int32_t f, int32_t lastRow, int32_t edgeLeft,
                  int32_t edgeRight) {
  EdgeScan scan;
  const double n = side;
  const double q = 0.8660254 * n;
  const double t = 0.5;
  const double lowerRight = -0.5773503 * (t - (0.5 * q + 1.0)) + (0.75 * n + 1.7320508);
  const double zone = -0.5773503 * (t - (0.5 * q - 0.5 * f)) + (0.75 * n - 0.8660254 * f);
  const double threshold = static_cast<double>(static_cast<int32_t>(q - f));
  if (!whirlpool) {
    AddEdge(&scan, 0.0, 0.0, EdgeKind::kLeftBound);
    AddEdge(&scan, 1.7320508 * t + 4.0, 1.7320508, EdgeKind::kRightBound);
    AddEdge(&scan, lowerRight, -0.5773503, EdgeKind::kRightBound);
    AddEdge(&scan, zone, -0.5773503, EdgeKind::kRightZone, Bits({0}));
    AddEdge(&scan, edgeLeft, 0.0, EdgeKind::kLeftBound);
    AddEdge(&scan, edgeRight, 0.0, EdgeKind::kRightBound);
    AddCondition(&scan, threshold, false, Bits({1}));
    scan.allImages = Bits({0, 1});
  } else {
    AddEdge(&scan, -2.0, 0.0, EdgeKind::kLeftBound);
    AddEdge(&scan, 1.7320508 * t + 4.0, 1.7320508, EdgeKind::kRightBound);
    AddEdge(&scan, lowerRight, -0.5773503, EdgeKind::kRightBound);
    AddEdge(&scan, f, 0.0, EdgeKind::kLeftZone, Bits({0, 5}));
    AddEdge(&scan, 1.7320508 * (t - 1.1547005 * f), 1.7320508, EdgeKind::kRightZone, Bits({1, 2}));
    AddEdge(&scan, zone, -0.5773503, EdgeKind::kRightZone, Bits({2, 3}));
    AddEdge(&scan, 0.5 * f - 1.7320508 * (t - 0.8660254 * f), -1.7320508, EdgeKind::kLeftZone);
    AddCondition(&scan, threshold, false, Bits({4, 5}));
    scan.allImages = Bits({0, 1, 2, 3, 4, 5});
    scan.startAtZero = true;
  }
  scan.kiteSpanEnds = true;
  scan.firstRow = 0;
  scan.lastRow = lastRow;
  return scan;
}

void KiteImages(bool whirlpool, int32_t side, int32_t extentHeight, AffineMap (&images)[6]) {
  const int32_t n = 3 * side / 2;
  const int32_t e = extentHeight;
  auto product = [](int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
  };
  const AffineMap turnBack{-32768, 56756, -56756, -32768,
                           WrapSub(product(32768, n), product(56756, e)),
                           WrapAdd(product(56756, n), product(32768, e))};
  const AffineMap turnOn{-32768, -56756, 56756, -32768, product(113512, e), product(65536, e)};
  for (AffineMap& image : images) image = AffineMap{0, 0, 0, 0, 0, 0};
  if (!whirlpool) {
    images[0] = turnBack;
    images[1] = turnOn;
    return;
  }
  images[0] = AffineMap{32768, 56756, -56756, 32768, 0, 0};
  images[1] = AffineMap{32768, -56756, 56756, 32768, 0, 0};
  images[2] = AffineMap{-65536, 0, 0, -65536, product(65536, n), product(65536, e)};
  images[3] = turnBack;
  images[4] = turnOn;
  images[5] = AffineMap{-65536, 0, 0, -65536, 0, product(131072, e)};
}

}  // namespace quiltora
