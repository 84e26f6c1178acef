// Whether the rectangle the run requests from the host (the source bounds,
// with one more column and row for bilinear reads) stays inside the source,
// for every symmetry, frames pushed against every border and all feathers.
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "run_geometry.h"

namespace quiltora {
namespace {

// The known ways the geometry reaches one row past the image.
enum class Overrun {
  kNone,
  // FitFeather compares the bottom with the height itself, so a feather that
  // ends exactly on row H is kept and the request takes row H.
  kFeatherOnRowH,
  // The triangle's extent is two rows taller than its side's height, which can
  // put the extent's last row on row H of an image the frame was fitted into.
  kTriangleExtentOnRowH,
  kUnexpected
};

struct Request {
  int32_t top, left, bottom, right;  // bottom and right exclusive
};

Request RequestFor(TileSymmetry* object) {
  Rect16 bounds{};
  object->GetSourceBounds(&bounds);
  return Request{bounds.top, bounds.left, bounds.bottom + 1, bounds.right + 1};
}

Overrun Classify(int32_t number, const TileSymmetry& object, const Request& request,
                 int32_t width, int32_t height) {
  const bool inside = request.top >= 0 && request.left >= 0 && request.bottom <= height &&
                      request.right <= width;
  if (inside) return Overrun::kNone;
  if (request.top < 0 || request.left < 0 || request.right > width ||
      request.bottom != height + 1) {
    return Overrun::kUnexpected;
  }
  if (number != 1 && object.featherPixels > 0 &&
      object.y + object.extentHeight + object.featherPixels == height) {
    return Overrun::kFeatherOnRowH;
  }
  if (number == 14 && object.y + object.extentHeight == height) {
    return Overrun::kTriangleExtentOnRowH;
  }
  return Overrun::kUnexpected;
}

// Frame edges: pushed past, onto and just inside each border, fractional
// positions as a normalised frame gives them, and the middle.
std::vector<double> Starts(int32_t imageSize, double frameSize) {
  return {-3.0, 0.0, 1.5, imageSize / 3.0, imageSize - 1.0 - frameSize,
          imageSize - 0.5 - frameSize, imageSize + 2.0 - frameSize};
}

std::vector<double> Sizes(int32_t minimum, int32_t imageSize) {
  return {static_cast<double>(minimum), minimum + 0.5, minimum + 1.0, imageSize / 3.0,
          imageSize - 2.0, imageSize - 1.5, imageSize + 5.0};
}

using Seen = std::set<std::pair<int32_t, Overrun>>;

TEST(SourceBoundsSweep, RequestsStayInsideExceptKnownCorners) {
  const int32_t imageSizes[] = {12, 14, 17, 23, 50, 99, 401};
  const int32_t featherPercents[] = {0, 1, 50, 100};
  Seen seen;
  int32_t unexpected = 0;
  for (int16_t number = 1; number <= 17; ++number) {
    TileSymmetry* object = CreateSymmetry(number);
    ASSERT_NE(object, nullptr);
    const int32_t minimum = number >= 13 ? 12 : 10;
    const std::vector<double> shears =
        number == 1 ? std::vector<double>{0.0, 0.25, -0.25} : std::vector<double>{0.0};
    for (int32_t width : imageSizes) {
      for (int32_t height : imageSizes) {
        for (double frameWidth : Sizes(minimum, width)) {
          for (double frameHeight : Sizes(minimum, height)) {
            for (double left : Starts(width, frameWidth)) {
              for (double top : Starts(height, frameHeight)) {
                for (double shear : shears) {
                  for (int32_t percent : featherPercents) {
                    const SelectionFrame frame{top, left, top + frameHeight, left + frameWidth,
                                               shear};
                    testing::PrepareLikeRun(object, width, height, frame, percent);
                    const Request request = RequestFor(object);
                    const Overrun kind = Classify(number, *object, request, width, height);
                    if (kind == Overrun::kNone) continue;
                    seen.insert({number, kind});
                    if (kind == Overrun::kUnexpected && ++unexpected <= 5) {
                      ADD_FAILURE() << "symmetry " << number << " image " << width << "x"
                                    << height << " frame (" << top << ", " << left << ", "
                                    << frame.bottom << ", " << frame.right << ", " << shear
                                    << ") feather " << percent << "% requests (" << request.top
                                    << ", " << request.left << ", " << request.bottom << ", "
                                    << request.right << ")";
                    }
                  }
                }
              }
            }
          }
        }
      }
    }
  }
  DestroySymmetry();
  EXPECT_EQ(unexpected, 0);
  // The corner cases left as the geometry defines them.
  Seen expected;
  for (int32_t number : {2, 3, 4, 5, 6, 8, 9, 11, 12, 13, 15, 16}) {
    expected.insert({number, Overrun::kFeatherOnRowH});
  }
  expected.insert({14, Overrun::kTriangleExtentOnRowH});
  EXPECT_EQ(seen, expected);
}

struct CornerCase {
  int16_t number;
  int32_t width, height;
  SelectionFrame frame;
  int32_t percent;
  Overrun expected;
};

// One reproduction of each corner case, with the request it makes.
TEST(SourceBoundsSweep, CornerCasesReachRowH) {
  const CornerCase cases[] = {
      // 10 × 10 rectangle on rows 3..12 of a 14-row image: with feather 1 the
      // bounds end on row 14, one past the last.
      {3, 14, 14, SelectionFrame{3.0, 2.0, 13.0, 12.0, 0.0}, 25, Overrun::kFeatherOnRowH},
      // Square of side 26 from row 22 with its largest feather 12: 22 + 26 + 12 = 60.
      {8, 100, 60, SelectionFrame{22.0, 30.0, 48.0, 56.0, 0.0}, 100, Overrun::kFeatherOnRowH},
      // Side 15 lowered to 14: extent 14 × 14 from row 3 ends on row 16 of 17.
      {14, 17, 17, SelectionFrame{3.0, 1.0, 16.0, 16.0, 0.0}, 0, Overrun::kTriangleExtentOnRowH},
  };
  for (const CornerCase& c : cases) {
    TileSymmetry* object = CreateSymmetry(c.number);
    ASSERT_NE(object, nullptr);
    testing::PrepareLikeRun(object, c.width, c.height, c.frame, c.percent);
    const Request request = RequestFor(object);
    EXPECT_EQ(Classify(c.number, *object, request, c.width, c.height), c.expected)
        << "symmetry " << c.number;
    EXPECT_EQ(request.bottom, c.height + 1) << "symmetry " << c.number;
  }
  DestroySymmetry();
}

}  // namespace
}  // namespace quiltora
