// The distance mask: the rasterised outline of each source polygon and the
// rings around it, checked against a brute-force 4-neighbour distance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "render/feather_mask.h"

namespace quiltora {
namespace {

struct PolygonCase {
  const char* name;
  std::vector<PolygonVertex> vertices;
};

const std::vector<PolygonCase>& Polygons() {
  static const std::vector<PolygonCase> polygons = {
      {"half square", {{0, 0}, {0, 40}, {40, 40}}},
      {"parallelogram leaning right", {{0, 0}, {13, 30}, {53, 30}, {40, 0}}},
      {"parallelogram leaning left", {{13, 0}, {0, 30}, {40, 30}, {53, 0}}},
      {"steep parallelogram", {{0, 0}, {45, 12}, {57, 12}, {12, 0}}},
      {"rhombus", {{0, 0}, {34, 0}, {51, 30}, {17, 30}}},
      {"kite", {{0, 0}, {0, 39}, {24, 39}, {35, 20}}},
  };
  return polygons;
}

// Distance from point (px, py) to the segment a-b.
double SegmentDistance(double px, double py, const PolygonVertex& a, const PolygonVertex& b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length = dx * dx + dy * dy;
  double t = length == 0 ? 0 : ((px - a.x) * dx + (py - a.y) * dy) / length;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

bool InsidePolygon(double px, double py, const std::vector<PolygonVertex>& polygon) {
  bool inside = false;
  for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    const PolygonVertex& a = polygon[i];
    const PolygonVertex& b = polygon[j];
    if ((a.y > py) != (b.y > py) && px < (b.x - a.x) * (py - a.y) / double(b.y - a.y) + a.x) {
      inside = !inside;
    }
  }
  return inside;
}

TEST(FeatherMask, RingsFollowTheFourNeighbourDistanceToTheOutline) {
  for (const PolygonCase& polygon : Polygons()) {
    for (int32_t f : {1, 3, 10}) {
      SCOPED_TRACE(std::string(polygon.name) + " f " + std::to_string(f));
      int32_t right = 0, bottom = 0;
      for (const PolygonVertex& v : polygon.vertices) {
        right = std::max(right, v.x);
        bottom = std::max(bottom, v.y);
      }
      const int32_t margin = f + 5;
      const int32_t width = right + 1 + 2 * margin - 3;  // not a multiple of 4: padded rows
      const int32_t height = bottom + 1 + 2 * margin;
      const FeatherMask mask = BuildFeatherMask(width, height, margin, margin,
                                                polygon.vertices.data(),
                                                int32_t(polygon.vertices.size()), f);
      ASSERT_TRUE(mask.IsValid());
      EXPECT_EQ(mask.rowBytes % 4, 0);
      EXPECT_GE(mask.rowBytes, width);
      // The outline: every vertex is on it.
      std::vector<std::pair<int32_t, int32_t>> outline;
      for (int32_t y = -margin; y < height - margin; ++y) {
        for (int32_t x = -margin; x < width - margin; ++x) {
          if (mask.At(x, y) == f + 1) outline.emplace_back(x, y);
        }
      }
      for (const PolygonVertex& v : polygon.vertices) {
        EXPECT_EQ(mask.At(v.x, v.y), f + 1) << "vertex " << v.x << "," << v.y;
      }
      int32_t mismatches = 0;
      for (int32_t y = -margin; y < height - margin; ++y) {
        for (int32_t x = -margin; x < width - margin; ++x) {
          int32_t distance = INT32_MAX;
          for (const auto& [ox, oy] : outline) {
            distance = std::min(distance, std::abs(x - ox) + std::abs(y - oy));
          }
          const int32_t value = mask.At(x, y);
          double edgeDistance = 1e9;
          const auto& v = polygon.vertices;
          for (size_t k = 0; k < v.size(); ++k) {
            edgeDistance =
                std::min(edgeDistance, SegmentDistance(x, y, v[k], v[(k + 1) % v.size()]));
          }
          // Inside or outside as the polygon says, away from the drawn edge.
          const bool inside = InsidePolygon(x, y, v);
          if (distance > 0 && edgeDistance >= 1.0) {
            EXPECT_EQ(value > f + 1, inside) << x << "," << y;
          }
          const int32_t expected = distance == 0 ? f + 1
                                   : value > f + 1 ? std::min(f + 1 + distance, 2 * f + 1)
                                                   : std::max(f + 1 - distance, 0);
          if (value != expected && ++mismatches < 5) {
            ADD_FAILURE() << "at " << x << "," << y << " value " << value << " expected "
                          << expected << " (distance " << distance << ")";
          }
        }
      }
      EXPECT_EQ(mismatches, 0);
    }
  }
}

// Beside the outline the inside weight and the outside weight of the next
// pixel across sum to 2f + 1, the bands' linear ramp.
TEST(FeatherMask, InsideAndOutsideAcrossAStraightEdgeSumToTheFullWeight) {
  const PolygonVertex square[4] = {{0, 0}, {0, 20}, {20, 20}, {20, 0}};
  const int32_t f = 4;
  const FeatherMask mask = BuildFeatherMask(35, 35, 7, 7, square, 4, f);
  ASSERT_TRUE(mask.IsValid());
  for (int32_t k = 0; k < f; ++k) {
    EXPECT_EQ(mask.At(k, 10), f + 1 + k);
    EXPECT_EQ(mask.At(-1 - k, 10), f - k);
    EXPECT_EQ(mask.At(k, 10) + mask.At(-1 - k, 10), 2 * f + 1);
  }
  EXPECT_EQ(mask.At(10, 10), 2 * f + 1);
  EXPECT_EQ(mask.At(-f - 1, 10), 0);
  // A pixel diagonally beside a corner is two steps from it.
  EXPECT_EQ(mask.At(-1, -1), f - 1);
}

TEST(FeatherMask, AnAllocationThatFailsGivesNoMask) {
  const PolygonVertex triangle[3] = {{0, 0}, {0, 20}, {20, 20}};
  for (int32_t allowed : {0, 1}) {
    SetFeatherAllocationFailure(allowed);
    EXPECT_FALSE(BuildFeatherMask(40, 40, 8, 8, triangle, 3, 3).IsValid()) << allowed;
  }
  SetFeatherAllocationFailure(-1);
  EXPECT_TRUE(BuildFeatherMask(40, 40, 8, 8, triangle, 3, 3).IsValid());
  EXPECT_FALSE(BuildFeatherMask(0, 40, 8, 8, triangle, 3, 3).IsValid());
  EXPECT_FALSE(BuildFeatherMask(70000, 70000, 8, 8, triangle, 3, 3).IsValid());
}

}  // namespace
}  // namespace quiltora
