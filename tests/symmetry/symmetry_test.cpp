// The symmetry objects: factory, catalogue, tile sizes, the margin
// rectangles, frame fitting and the placement of a stored selection.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <typeinfo>
#include <vector>

#include "symmetry/catalogue.h"
#include "symmetry/frame.h"
#include "symmetry/leaves.h"
#include "symmetry/placement.h"

namespace quiltora {
namespace {

class SymmetryFactory : public ::testing::Test {
 protected:
  void TearDown() override { DestroySymmetry(); }
};

TEST_F(SymmetryFactory, EveryNumberMakesItsLeaf) {
  const char* const names[] = {"Gold Brick",   "Crab Claws",    "Wings",        "Hither & Yon",
                               "Card Tricks",  "Honey Bees",    "Prickly Pear", "Pinwheel",
                               "Primrose Path", "Sunflower",    "Spider Web",   "Lightning",
                               "Storm at Sea", "Winding Ways",  "Monkey Wrench", "Whirlpool",
                               "Turnstile"};
  const char* const groups[] = {"p1", "cm",  "pm",  "p2",   "pg",   "pgg", "pmm", "p4", "p4g",
                                "p4m", "cmm", "pmg", "p3",  "p3m1", "p31m", "p6", "p6m"};
  for (int16_t number = 1; number <= 17; ++number) {
    TileSymmetry* object = CreateSymmetry(number);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object, gSymmetry);
    EXPECT_EQ(object->number, number);
    ParameterBlock block{};
    object->StoreSelection(block);  // writes the leaf's own number
    EXPECT_EQ(block.symmetry, number);
    const SymmetryInfo* info = FindSymmetryInfo(number);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->number, number);
    EXPECT_STREQ(info->name, names[number - 1]);
    EXPECT_STREQ(info->planeGroup, groups[number - 1]);
  }
  EXPECT_EQ(FindSymmetryInfo(0), nullptr);
  EXPECT_EQ(FindSymmetryInfo(18), nullptr);
}

// Bitmaps 2000..2016 hold the icons in alphabetical order of the names drawn
// in them, so the catalogue's icon of each symmetry follows from its name.
TEST(SymmetryCatalogue, IconsAreTheNamesInAlphabeticalOrder) {
  std::vector<std::string> sorted;
  for (const SymmetryInfo& info : kSymmetries) sorted.push_back(info.name);
  std::sort(sorted.begin(), sorted.end());
  for (const SymmetryInfo& info : kSymmetries) {
    const auto place = std::find(sorted.begin(), sorted.end(), info.name) - sorted.begin();
    EXPECT_EQ(info.iconBitmap, 2000 + place) << info.name;
  }
}

// The feather column agrees with what the objects do with a feather percent.
TEST_F(SymmetryFactory, CatalogueFeatherColumnMatchesTheObjects) {
  for (const SymmetryInfo& info : kSymmetries) {
    TileSymmetry* object = CreateSymmetry(info.number);
    ASSERT_NE(object, nullptr);
    PlaceFrame(object, SelectionFrame{100, 100, 300, 300, 0.1}, 400, 400);
    PrepareTileGeometry(object, 400, 400, 100);
    EXPECT_EQ(object->featherPixels > 0, info.feather) << info.name;
    EXPECT_EQ(TakesFeather(info.number), info.feather) << info.name;
  }
  EXPECT_FALSE(TakesFeather(0));
}

TEST_F(SymmetryFactory, UnknownNumbersLeaveNoObject) {
  for (int16_t number : {0, 18, -1, 255}) {
    ASSERT_NE(CreateSymmetry(8), nullptr);
    EXPECT_EQ(CreateSymmetry(number), nullptr) << number;
    EXPECT_EQ(gSymmetry, nullptr) << number;
  }
  CreateSymmetry(3);
  DestroySymmetry();
  EXPECT_EQ(gSymmetry, nullptr);
}

TEST_F(SymmetryFactory, RunFallsBackToPinwheelForUnknownNumbers) {
  int16_t used = 0;
  EXPECT_EQ(CreateSymmetryForRun(5, &used), CreateSymmetryResult::kCreated);
  EXPECT_EQ(used, 5);
  EXPECT_NE(dynamic_cast<CardTricks*>(gSymmetry), nullptr);
  for (int32_t number : {0, 18, -7, 70000}) {
    EXPECT_EQ(CreateSymmetryForRun(number, &used), CreateSymmetryResult::kFellBack) << number;
    EXPECT_EQ(used, 8);
    EXPECT_NE(dynamic_cast<Pinwheel*>(gSymmetry), nullptr);
  }
}

TEST_F(SymmetryFactory, RowShiftIsZeroExceptGoldBrick) {
  auto* pinwheel = dynamic_cast<Pinwheel*>(CreateSymmetry(8));
  ASSERT_NE(pinwheel, nullptr);
  pinwheel->side = 30;
  pinwheel->rowShift = 99;
  pinwheel->ComputeTileSize();
  pinwheel->ComputeRowShift();
  EXPECT_EQ(pinwheel->rowShift, 0);
  EXPECT_EQ(pinwheel->tileWidth, 60);
  EXPECT_EQ(pinwheel->tileHeight, 60);

  auto* brick = dynamic_cast<GoldBrick*>(CreateSymmetry(1));
  ASSERT_NE(brick, nullptr);
  brick->shear = -7;
  brick->ComputeRowShift();
  EXPECT_EQ(brick->rowShift, -7);
}

// Sets the shape's size fields: w and h for rectangles and the parallelogram,
// s (in w) for the others.
void SetSize(TileSymmetry* object, int32_t w, int32_t h) {
  if (auto* r = dynamic_cast<RectangleSource*>(object)) { r->width = w; r->height = h; }
  if (auto* p = dynamic_cast<ParallelogramSource*>(object)) { p->width = w; p->height = h; p->shear = 5; }
  if (auto* s = dynamic_cast<HalfSquareSource*>(object)) s->side = w;
  if (auto* s = dynamic_cast<SquareSource*>(object)) s->side = w;
  if (auto* s = dynamic_cast<TriangleSource*>(object)) s->side = w;
  if (auto* s = dynamic_cast<HalfTriangleSource*>(object)) s->side = w;
  if (auto* s = dynamic_cast<RhombusSource*>(object)) s->side = w;
  if (auto* s = dynamic_cast<KiteSource*>(object)) s->side = w;
}

int32_t SideOf(const TileSymmetry* object) {
  if (auto* s = dynamic_cast<const TriangleSource*>(object)) return s->side;
  if (auto* s = dynamic_cast<const HalfTriangleSource*>(object)) return s->side;
  if (auto* s = dynamic_cast<const RhombusSource*>(object)) return s->side;
  if (auto* s = dynamic_cast<const KiteSource*>(object)) return s->side;
  return -1;
}

struct TileSizeCase {
  int16_t number;
  int32_t w, h;  // or s in w
  int32_t tileWidth, tileHeight;
  int32_t sideAfter;  // the lowered side of the hexagonal shapes, else -1
};

TEST_F(SymmetryFactory, TileSizes) {
  const TileSizeCase cases[] = {
      {1, 40, 30, 40, 30, -1},     {2, 25, 0, 25, 25, -1},      {3, 40, 30, 80, 30, -1},
      {4, 40, 30, 80, 30, -1},     {5, 40, 30, 80, 30, -1},     {6, 40, 30, 80, 60, -1},
      {7, 40, 30, 80, 60, -1},     {8, 25, 0, 50, 50, -1},      {9, 25, 0, 50, 50, -1},
      {10, 25, 0, 50, 50, -1},     {11, 25, 0, 50, 50, -1},     {12, 40, 30, 160, 30, -1},
      // 2 × (trunc(40 × 1.1547005 × 1.5 − 0.5) + 1) = 138.
      {13, 40, 0, 138, 80, 40},
      // 100 → 99: 2 × (297 / 2) by 2 × (trunc(99 × 0.8660254 − 0.5) + 1).
      {14, 100, 0, 296, 172, 99},
      {15, 101, 0, 300, 174, 100}, {16, 60, 0, 180, 104, 60},
      // 51 → 50: 6s by 2 × (trunc(50 × 1.7320508 − 0.5) + 1).
      {17, 51, 0, 300, 174, 50},
  };
  for (const TileSizeCase& c : cases) {
    TileSymmetry* object = CreateSymmetry(c.number);
    ASSERT_NE(object, nullptr);
    SetSize(object, c.w, c.h);
    object->ComputeTileSize();
    EXPECT_EQ(object->tileWidth, c.tileWidth) << "symmetry " << c.number;
    EXPECT_EQ(object->tileHeight, c.tileHeight) << "symmetry " << c.number;
    EXPECT_EQ(SideOf(object), c.sideAfter) << "symmetry " << c.number;
  }
}

// The catalogue's rule, which the command line solves for a repeat size, is
// what every symmetry object measures, over odd and even sizes of both kinds.
TEST_F(SymmetryFactory, ObjectsMeasureTheirTilesByTheCataloguesRule) {
  for (int16_t number = 1; number <= 17; ++number) {
    const TileRule rule = TileRuleOf(number);
    for (int32_t w = 10; w <= 400; w += 13) {
      const int32_t h = 421 - w;
      TileSymmetry* object = CreateSymmetry(number);
      ASSERT_NE(object, nullptr);
      SetSize(object, w, h);
      object->ComputeTileSize();
      const TileSize want = TileSizeOf(rule, w, h, w);
      ASSERT_EQ(object->tileWidth, want.width) << "symmetry " << number << " size " << w << "," << h;
      ASSERT_EQ(object->tileHeight, want.height) << "symmetry " << number << " size " << w << "," << h;
      if (SideOf(object) != -1) {
        ASSERT_EQ(SideOf(object), want.side) << "symmetry " << number << " side " << w;
      }
      // One size gives both sides exactly when the object keeps a side.
      const bool oneSize = dynamic_cast<RectangleSource*>(object) == nullptr &&
                           dynamic_cast<ParallelogramSource*>(object) == nullptr;
      ASSERT_EQ(TileRuleHasOneSize(rule), oneSize) << "symmetry " << number;
    }
  }
}

// The lowered side stays lowered: a second measurement without new geometry shrinks the tile.
TEST_F(SymmetryFactory, WindingWaysLowersItsSideEveryTime) {
  auto* object = dynamic_cast<WindingWays*>(CreateSymmetry(14));
  ASSERT_NE(object, nullptr);
  object->side = 100;
  object->ComputeTileSize();
  object->ComputeTileSize();
  EXPECT_EQ(object->side, 98);
  EXPECT_LT(object->tileWidth, 296);
}

TEST_F(SymmetryFactory, LeavesWithoutFeatherReportZero) {
  for (int16_t number : {7, 10, 14, 17}) {
    TileSymmetry* object = CreateSymmetry(number);
    ASSERT_NE(object, nullptr);
    PlaceFrame(object, SelectionFrame{100, 100, 300, 300, 0}, 400, 400);
    object->featherPixels = 9;
    PrepareTileGeometry(object, 400, 400, 100);
    EXPECT_EQ(object->featherPixels, 0) << "symmetry " << number;
  }
  // The same placement gives the others a feather.
  TileSymmetry* object = CreateSymmetry(3);
  PlaceFrame(object, SelectionFrame{100, 100, 300, 300, 0}, 400, 400);
  PrepareTileGeometry(object, 400, 400, 100);
  EXPECT_EQ(object->featherPixels, 99);
}

TEST(SymmetryMargins, RectanglesFromMargins) {
  Wings object;
  object.extentWidth = 40;
  object.extentHeight = 30;
  object.ResetEdgeMins();
  object.edgeMinBottom = 2;
  object.edgeMinLeft = 9;
  object.featherPixels = 6;
  object.ComputeEdgeRect();
  object.ComputeFeatherMargins();
  object.ComputeFeatherRect();
  Rect16 edge{};
  object.GetEdgeRect(&edge);
  // The larger row bound comes first.
  EXPECT_EQ(edge.top, 32);
  EXPECT_EQ(edge.left, -9);
  EXPECT_EQ(edge.bottom, 0);
  EXPECT_EQ(edge.right, 40);
  EXPECT_EQ(object.featherMarginBottom, 6);
  EXPECT_EQ(object.featherMarginLeft, 9);
  Rect16 feather{};
  object.GetFeatherRect(&feather);
  EXPECT_EQ(feather.top, 36);
  EXPECT_EQ(feather.left, -9);
  EXPECT_EQ(feather.bottom, -6);
  EXPECT_EQ(feather.right, 46);
}

TEST(SymmetryMargins, BlendMarginsAreFeatherMarginsPlusFive) {
  Pinwheel object;
  object.extentWidth = 20;
  object.extentHeight = 20;
  object.featherPixels = 6;
  object.ResetEdgeMins();
  object.ComputeFeatherMargins();
  object.ComputeBlendMargins();
  object.ComputeBlendRect();
  EXPECT_EQ(object.blendMarginBottom, 11);
  EXPECT_EQ(object.blendMarginLeft, 11);
  EXPECT_EQ(object.blendMarginTop, 11);
  EXPECT_EQ(object.blendMarginRight, 11);
  Rect16 blend{};
  object.GetBlendRect(&blend);
  EXPECT_EQ(blend.top, 31);
  EXPECT_EQ(blend.left, -11);
  EXPECT_EQ(blend.bottom, -11);
  EXPECT_EQ(blend.right, 31);
}

struct FitFrameCase {
  int32_t symmetryNumber;
  int32_t width, height;
  SelectionFrame in;
  SelectionFrame out;
};

TEST(FitFrame, Cases) {
  const FitFrameCase cases[] = {
      // Moves left keeping its width of 55.
      {8, 200, 100, {20, 150, 50, 205, 0.3}, {20, 144, 50, 199, 0.3}},
      // Too narrow: grown to the minimum, shear dropped.
      {8, 200, 100, {20, 50, 50, 56, 0.3}, {20, 50, 50, 60, 0.0}},
      {13, 200, 100, {20, 50, 50, 56, 0.3}, {20, 50, 50, 62, 0.0}},
      {13, 200, 100, {20, 50, 25, 70, 0.3}, {20, 50, 32, 70, 0.0}},
      // Wider than the image: exactly columns 1..W-1.
      {8, 50, 40, {5, 0, 25, 60, 0}, {5, 1, 25, 49, 0}},
      // Moved right onto column 1 while too wide: still cut to 1..W-1.
      {8, 12, 40, {5, -3, 25, 8, 0}, {5, 1, 25, 11, 0}},
      // Above the top: moved down keeping its height.
      {8, 200, 100, {-5.5, 10, 20, 40, 0}, {1, 10, 26.5, 40, 0}},
      {8, 200, 100, {90, 10, 130, 40, 0}, {59, 10, 99, 40, 0}},
      // Inside already: unchanged.
      {15, 200, 100, {1, 1, 99, 199, -0.2}, {1, 1, 99, 199, -0.2}},
  };
  for (const FitFrameCase& c : cases) {
    TileSymmetry* object = CreateSymmetry(int16_t(c.symmetryNumber));
    ASSERT_NE(object, nullptr);
    object->SetSourceSize(c.width, c.height);
    SelectionFrame frame = c.in;
    FitFrame(*object, &frame);
    EXPECT_DOUBLE_EQ(frame.top, c.out.top);
    EXPECT_DOUBLE_EQ(frame.left, c.out.left);
    EXPECT_DOUBLE_EQ(frame.bottom, c.out.bottom);
    EXPECT_DOUBLE_EQ(frame.right, c.out.right);
    EXPECT_DOUBLE_EQ(frame.shear, c.out.shear);
  }
  DestroySymmetry();
}

TEST(FrameConversion, NormaliseAndBack) {
  const SelectionFrame pixels{30, 40, 90, 160, -0.25};
  SelectionFrame normal{};
  NormaliseFrame(pixels, &normal, 200, 120);
  EXPECT_DOUBLE_EQ(normal.top, 0.25);
  EXPECT_DOUBLE_EQ(normal.left, 0.2);
  EXPECT_DOUBLE_EQ(normal.bottom, 0.75);
  EXPECT_DOUBLE_EQ(normal.right, 0.8);
  EXPECT_DOUBLE_EQ(normal.shear, -0.25);
  SelectionFrame back{};
  DenormaliseFrame(normal, &back, 200, 120);
  EXPECT_DOUBLE_EQ(back.left, 40);
  EXPECT_DOUBLE_EQ(back.bottom, 90);
}

TEST(StoredSelection, FallsBackWhenProportionsDiffer) {
  ParameterBlock block{};
  block.sourceWidth = 300;
  block.sourceHeight = 150;
  block.selectionNormalised = SelectionFrame{0.1, 0.2, 0.5, 0.6, 0.0};
  const SelectionFrame onNarrower = StoredFrameFor(block, 200, 150);  // 2.0 against 1.33
  EXPECT_DOUBLE_EQ(onNarrower.left, 1.0 / 3.0);
  EXPECT_DOUBLE_EQ(onNarrower.bottom, 2.0 / 3.0);
  const SelectionFrame kept = StoredFrameFor(block, 240, 150);  // 1.6
  EXPECT_DOUBLE_EQ(kept.left, 0.2);
  EXPECT_DOUBLE_EQ(kept.bottom, 0.5);
  block.sourceHeight = 0;  // never recorded
  EXPECT_DOUBLE_EQ(StoredFrameFor(block, 240, 150).left, 1.0 / 3.0);
}

TEST(StoredSelection, PlacesInPixelsOfTheSource) {
  ParameterBlock block{};
  block.sourceWidth = 200;
  block.sourceHeight = 100;
  block.selectionNormalised = SelectionFrame{0.1, 0.25, 0.6, 0.75, 0.0};
  Wings object;
  PlaceStoredSelection(&object, block, 400, 200);
  EXPECT_EQ(object.x, 100);
  EXPECT_EQ(object.y, 20);
  EXPECT_EQ(object.width, 200);
  EXPECT_EQ(object.height, 100);
  EXPECT_EQ(object.sourceWidth, 400);
}

}  // namespace
}  // namespace quiltora
