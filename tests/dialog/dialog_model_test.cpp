// The main dialog's behaviour on the settings record, driven as its window
// procedures drive it: opening, the selection rebuilt per symmetry, moving
// and resizing it, the feather, the pattern drag, the commands and the close.
// A recording surface stands in for the windows; it keeps the outlines the
// dialog has drawn in inverting mode, so that every step can be checked to
// leave exactly the current outline on the screen.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "composite/tile_image.h"
#include "dialog/main_dialog_model.h"
#include "dialog/pane_state.h"
#include "host/parameters.h"
#include "host/run_state.h"
#include "image/image_buffer.h"
#include "image/memory_block.h"
#include "symmetry/catalogue.h"
#include "symmetry/outline.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora {
namespace {

std::string OutlineText(const ParameterBlock& b, const FeatherOutline& feather) {
  std::string s;
  for (int32_t i = 0; i < b.selectionVertexCount; ++i)
    s += "(" + std::to_string(b.selectionVertices[i].x) + "," + std::to_string(b.selectionVertices[i].y) + ")";
  if (b.showFeatherOutline && b.featherPixels != 0)
    for (int32_t i = 0; i < feather.count; ++i)
      s += "f(" + std::to_string(feather.points[i].x) + "," + std::to_string(feather.points[i].y) + ")";
  return s;
}

class RecordingSurface : public DialogSurface {
 public:
  void XorSelection() override {
    if (!visible) return;  // a window not yet shown draws nothing
    const std::string outline = OutlineText(*model->block(), model->featherOutline());
    if (--screen[outline] < 0) screen[outline] = 1;
    if (screen[outline] == 0) screen.erase(outline);
  }
  void EnableFeatherSlider(bool enable) override { featherEnabled = enable; }
  void SetFeatherSlider(int32_t value) override { sliderValues.push_back(value); }
  void ShowTileSize(int32_t width, int32_t height) override { label = {width, height}; }
  void RedrawTilePreview() override { ++tileRedraws; }
  void RedrawResultPane() override { ++resultRedraws; }
  void WarnFeatherLowered() override { ++warnings; }

  // The pane's paint: the picture afresh, then the outline once.
  void Paint() {
    visible = true;
    screen.clear();
    XorSelection();
  }
  // Exactly the current outline is on the screen.
  bool ShowsOnlyCurrent() const {
    const std::string current = OutlineText(*model->block(), model->featherOutline());
    return screen.size() == 1 && screen.begin()->first == current && screen.begin()->second == 1;
  }

  MainDialogModel* model = nullptr;
  bool visible = false;
  std::map<std::string, int> screen;
  bool featherEnabled = true;
  std::vector<int32_t> sliderValues;
  std::pair<int32_t, int32_t> label{-1, -1};
  int tileRedraws = 0;
  int resultRedraws = 0;
  int warnings = 0;
};

uint8_t Probe(int32_t x, int32_t y, int32_t c) { return uint8_t(x * 7 + y * 13 + c * 61 + (x * y) % 11); }

class DialogModelTest : public ::testing::Test {
 protected:
  // An image of width × height; the preview at most 192 on its long side, as the run reads it.
  void StartRun(int32_t width, int32_t height, int32_t previewWidth, int32_t previewHeight) {
    savedSources_ = CurrentMemorySources();
    SetMemorySources(MemorySources{true, nullptr, nullptr});
    record_.filterRect = plugin::Rect{0, 0, int16_t(height), int16_t(width)};
    record_.imageMode = plugin::kModeRGB;
    gFilterRecord = &record_;
    block_ = ParameterBlock{};
    block_.magic = kParameterMagic;
    block_.version = kParameterVersion;
    ResetParameters(&block_);
    data_ = reinterpret_cast<char*>(&block_);
    record_.parameters = &data_;
    ImageBuffer* preview = ImageBufferCreate(kFormatBGR24, previewWidth, previewHeight);
    for (int32_t y = 0; y < previewHeight; ++y)
      for (int32_t x = 0; x < previewWidth; ++x)
        for (int32_t c = 0; c < 3; ++c) ImageBufferPixel(preview, x, y)[c] = Probe(x, y, c);
    block_.previewImage = RefFromImage(preview);
  }
  void OpenDialog() {
    surface_.model = &model_;
    ASSERT_EQ(model_.Open(), 0);
    ASSERT_TRUE(model_.OpenResultPane(200, 200));
    ASSERT_TRUE(model_.OpenSourcePane(200, 200));
    surface_.Paint();
  }
  void TearDown() override {
    model_.Close();
    ReleaseImageRef(&block_.previewImage);
    SetMemorySources(savedSources_);
    gFilterRecord = nullptr;
  }
  IntRect Bounds() const {
    IntRect r{};
    SelectionBounds(block_.selectionVertices, block_.selectionVertexCount, &r);
    return r;
  }
  IntPoint Vertex(int32_t i) const { return block_.selectionVertices[i]; }
  IntPoint Centre() const {
    const IntRect r = Bounds();
    return IntPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void Drag(IntPoint from, IntPoint to, bool control = false) {
    model_.SourcePress(from);
    model_.SourceMove(to, control);
    model_.SourceRelease();
  }
  std::vector<uint8_t> Work() const {
    const ImageBuffer* work = ImageFromRef(block_.resultPaneWork);
    return std::vector<uint8_t>(work->pixels, work->pixels + work->imageBytes);
  }

  plugin::FilterRecord record_{};
  ParameterBlock block_{};
  char* data_ = nullptr;
  MemorySources savedSources_;
  RecordingSurface surface_;
  MainDialogModel model_{&record_, &surface_};
};

TEST_F(DialogModelTest, OpensOnTheDefaultsWithPicturesPlacedAndPreviewsBuilt) {
  StartRun(300, 200, 192, 128);
  OpenDialog();
  EXPECT_EQ(block_.imageWidth, 300);
  EXPECT_EQ(block_.sourceHeight, 200);
  // The 192 × 128 preview keeps its size in both panes.
  EXPECT_EQ(block_.sourcePaneImageRect.left, 3);
  EXPECT_EQ(block_.sourcePaneImageRect.top, 35);
  EXPECT_EQ(block_.sourcePaneImageRect.right, 195);
  EXPECT_EQ(block_.sourcePaneImageRect.bottom, 163);
  EXPECT_EQ(block_.resultPaneImageRect.top, 35);
  EXPECT_DOUBLE_EQ(block_.sourcePaneScaleX, 192.0 / 300);
  // The result picture is the preview upside down.
  const ImageBuffer* image = ImageFromRef(block_.resultPaneImage);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(ImageBufferPixel(image, 5, 127)[1], Probe(5, 0, 1));
  // The default selection, a square of 66 source pixels in the middle, is
  // Pinwheel's square of 42 pane pixels at (117, 67) × 0.64 in the picture.
  EXPECT_TRUE(block_.selectionInitialised);
  EXPECT_EQ(Vertex(0).x, 3 + 75);
  EXPECT_EQ(Vertex(0).y, 35 + 43);
  EXPECT_EQ(Bounds().right - Bounds().left, 42);
  EXPECT_TRUE(surface_.featherEnabled);
  // Tile built, its size shown, the pattern composited.
  ASSERT_NE(gTile, nullptr);
  EXPECT_GT(gTile->width, 0);
  EXPECT_GT(surface_.label.first, 0);
  EXPECT_GT(surface_.tileRedraws, 0);
  EXPECT_NE(Work(), std::vector<uint8_t>(image->pixels, image->pixels + image->imageBytes));
  EXPECT_TRUE(surface_.ShowsOnlyCurrent());
}

TEST_F(DialogModelTest, RebuildGivesEverySymmetryItsShapeInThePlaceOfTheLast) {
  StartRun(300, 200, 192, 128);
  OpenDialog();
  block_.selectionNormalised.shear = 0.25;  // kept for the parallelogram
  for (int32_t n = 1; n <= kSymmetryCount; ++n) {
    const IntRect before = Bounds();
    block_.symmetry = n;
    model_.RebuildSelection();
    const IntRect after = Bounds();
    EXPECT_EQ(after.left, before.left) << n;
    EXPECT_EQ(after.top, before.top) << n;
    EXPECT_EQ(after.right - after.left, before.right - before.left) << n;
    EXPECT_EQ(surface_.featherEnabled, TakesFeather(n)) << n;
    ASSERT_NE(gSymmetry, nullptr);
    EXPECT_EQ(gSymmetry->number, n);
    EXPECT_TRUE(surface_.ShowsOnlyCurrent()) << n;
    if (n == 1) {
      EXPECT_EQ(Vertex(1).x - Vertex(0).x, (after.bottom - after.top) / 4) << "stored shear";
    }
  }
}

TEST_F(DialogModelTest, MovingStopsAtTheBoundsAndRefreshesEveryMove) {
  StartRun(192, 128, 192, 128);  // pane pixels are source pixels
  OpenDialog();
  EXPECT_EQ(model_.SourcePress(Centre()), PaneCursor::kMove);
  const int tiles = surface_.tileRedraws;
  model_.SourceMove(IntPoint{Centre().x + 1000, Centre().y}, false);
  EXPECT_EQ(Bounds().right, block_.sourcePaneBounds.right);
  EXPECT_GT(surface_.tileRedraws, tiles);
  EXPECT_TRUE(surface_.ShowsOnlyCurrent());
  model_.SourceRelease();
  // Committed: the selection's last column is the picture's last.
  model_.Accept();
  EXPECT_EQ(block_.selectionX + block_.selectionWidth, 191);
  EXPECT_EQ(block_.selectionRect.right, 191);
}

TEST_F(DialogModelTest, PressOutsideCapturesButMovesNothing) {
  StartRun(192, 128, 192, 128);
  OpenDialog();
  const std::string before = OutlineText(block_, model_.featherOutline());
  EXPECT_EQ(model_.SourcePress(IntPoint{4, 36}), PaneCursor::kUnchanged);
  EXPECT_EQ(model_.dragTarget(), kDragNothing);
  int tiles = surface_.tileRedraws;
  model_.SourceMove(IntPoint{30, 60}, false);
  model_.SourceMove(IntPoint{40, 60}, false);
  EXPECT_EQ(OutlineText(block_, model_.featherOutline()), before);
  EXPECT_GE(surface_.tileRedraws, tiles + 2) << "live update refreshes on every move";
  block_.liveUpdate = 0;
  tiles = surface_.tileRedraws;
  model_.SourceMove(IntPoint{50, 60}, false);
  EXPECT_EQ(surface_.tileRedraws, tiles);
}

TEST_F(DialogModelTest, GoldBrickHandlesAndControl) {
  StartRun(192, 128, 192, 128);
  OpenDialog();
  block_.symmetry = 1;
  block_.selectionNormalised.shear = 0.25;
  model_.RebuildSelection();
  const IntPoint topLeft = Vertex(0), topRight = Vertex(3), bottomLeft = Vertex(1);
  EXPECT_EQ(model_.SourcePress(Centre()), PaneCursor::kMove);
  EXPECT_EQ(model_.SourcePress(bottomLeft), PaneCursor::kSizeDiagonal);
  EXPECT_EQ(model_.SourcePress(topRight), PaneCursor::kSizeHorizontal);
  // Top-right handle: the edge gets longer, nothing else moves.
  model_.SourceMove(IntPoint{topRight.x + 6, topRight.y + 3}, false);
  model_.SourceRelease();
  EXPECT_EQ(Vertex(3).x, topRight.x + 6);
  EXPECT_EQ(Vertex(3).y, topRight.y);
  EXPECT_EQ(Vertex(1).x, bottomLeft.x);
  EXPECT_TRUE(surface_.ShowsOnlyCurrent());
  // Bottom-left handle: the bottom edge follows, changing shear and height.
  Drag(bottomLeft, IntPoint{bottomLeft.x - 4, bottomLeft.y + 5});
  EXPECT_EQ(Vertex(1).x, bottomLeft.x - 4);
  EXPECT_EQ(Vertex(1).y, bottomLeft.y + 5);
  EXPECT_EQ(Vertex(0).x, topLeft.x);
  // The committed span is the new shear.
  EXPECT_EQ(block_.selectionSpan, bottomLeft.x - 4 - topLeft.x);
  // With CTRL: a rectangle whose left and bottom follow.
  const IntRect box = Bounds();
  Drag(Vertex(1), IntPoint{Vertex(1).x - 3, Vertex(1).y + 2}, true);
  EXPECT_EQ(Vertex(0).x, box.left - 3);
  EXPECT_EQ(Vertex(1).x, Vertex(0).x);
  EXPECT_EQ(Vertex(1).y, box.bottom - 1 + 2);
  EXPECT_TRUE(surface_.ShowsOnlyCurrent());
}

TEST_F(DialogModelTest, FeatherLoweredToFitWarnsAndMovesTheSlider) {
  StartRun(192, 128, 192, 128);
  OpenDialog();
  // Fits: no warning; the border is drawn with the outline.
  model_.FeatherMoved(20);
  EXPECT_EQ(surface_.warnings, 0);
  EXPECT_EQ(block_.feather, 20);
  EXPECT_GT(block_.featherPixels, 0);
  EXPECT_EQ(block_.sourcePaneBounds.left, block_.sourcePaneImageRect.left + block_.featherPixels + 1);
  EXPECT_TRUE(surface_.ShowsOnlyCurrent());
  // Near the picture's left edge only 5 pixels of border fit.
  model_.SourcePress(Centre());
  model_.SourceMove(IntPoint{Centre().x - 1000, Centre().y}, false);
  model_.SourceRelease();
  surface_.sliderValues.clear();
  model_.FeatherMoved(100);
  EXPECT_EQ(surface_.warnings, 1);
  EXPECT_LT(block_.feather, 100);
  ASSERT_FALSE(surface_.sliderValues.empty());
  EXPECT_EQ(surface_.sliderValues.back(), block_.feather);
  EXPECT_TRUE(surface_.ShowsOnlyCurrent());
  // A symmetry without a feather disables the slider and keeps no border.
  block_.symmetry = 10;
  model_.RebuildSelection();
  EXPECT_FALSE(surface_.featherEnabled);
  EXPECT_EQ(block_.featherPixels, 0);
}

TEST_F(DialogModelTest, PatternDragKeepsTheOffsetModuloTheTile) {
  StartRun(192, 128, 192, 128);
  OpenDialog();
  const std::vector<uint8_t> undragged = Work();
  const int32_t tileWidth = gTile->width, tileHeight = gTile->height;
  const IntRect& picture = block_.resultPaneImageRect;
  // The band around the picture starts no drag.
  EXPECT_FALSE(model_.PatternPress(IntPoint{picture.left - 1, picture.top + 5}));
  EXPECT_FALSE(model_.OverResultPicture(IntPoint{picture.right, picture.top}));
  struct Case {
    IntPoint by;
    int32_t offsetX, offsetY;
  };
  const Case cases[] = {
      {{tileWidth, 0}, 0, 0},                     // a whole tile: where it was
      {{0, -tileHeight}, 0, 0},
      {{-3, 0}, tileWidth - 3, 0},                // never negative
      {{5, 2 * tileHeight + 1}, 2, 1},            // from the last stored offset
  };
  for (const Case& c : cases) {
    const IntPoint start{picture.left + 10, picture.top + 10};
    ASSERT_TRUE(model_.PatternPress(start));
    const int redraws = surface_.resultRedraws, tiles = surface_.tileRedraws;
    model_.PatternMove(IntPoint{start.x + c.by.x, start.y + c.by.y});
    EXPECT_EQ(surface_.resultRedraws, redraws + 1);
    EXPECT_EQ(surface_.tileRedraws, tiles) << "a drag recomposites only";
    model_.PatternRelease();
    EXPECT_EQ(block_.tileOffsetX, c.offsetX) << c.by.x << ", " << c.by.y;
    EXPECT_EQ(block_.tileOffsetY, c.offsetY) << c.by.x << ", " << c.by.y;
  }
  EXPECT_NE(Work(), undragged);
  // Dragged back by (2, 1): the first picture again.
  ASSERT_TRUE(model_.PatternPress(IntPoint{picture.left + 10, picture.top + 10}));
  model_.PatternMove(IntPoint{picture.left + 8, picture.top + 9});
  model_.PatternRelease();
  EXPECT_EQ(Work(), undragged);
  // The offset goes to the record as fractions of the result picture.
  model_.Accept();
  EXPECT_DOUBLE_EQ(block_.tileOffsetFracX, 0.0);
}

TEST_F(DialogModelTest, OpacityAndModeRecompositeOnly) {
  StartRun(192, 128, 192, 128);
  OpenDialog();
  const int tiles = surface_.tileRedraws;
  const std::vector<uint8_t> normal = Work();
  model_.ModeChosen(8);
  EXPECT_EQ(block_.blendMode, 9);  // Screen
  const std::vector<uint8_t> screen = Work();
  EXPECT_NE(screen, normal);
  model_.ModeChosen(-1);  // no item chosen
  EXPECT_EQ(block_.blendMode, 9);
  model_.OpacityMoved(50);
  EXPECT_EQ(block_.opacity, 50);
  EXPECT_NE(Work(), screen);
  EXPECT_EQ(surface_.tileRedraws, tiles);
}

TEST_F(DialogModelTest, OriginalImageResetsTheSelection) {
  StartRun(300, 200, 192, 128);
  OpenDialog();
  Drag(Centre(), IntPoint{Centre().x + 20, Centre().y});
  const int32_t movedX = Vertex(0).x;
  model_.OriginalImageChosen();
  model_.SourceChanged();
  EXPECT_EQ(Vertex(0).x, 3 + 75);
  EXPECT_NE(movedX, Vertex(0).x);
  EXPECT_EQ(block_.sourceKind, kSourceImage);
}

TEST_F(DialogModelTest, StoredLoadedSourceWithoutItsPictureFallsBackToTheImage) {
  StartRun(300, 200, 192, 128);
  block_.sourceKind = kSourceLoadedFile;
  block_.sourceWidth = 640;
  block_.sourceArea = IntRect{100, 100, 400, 300};
  block_.selectionX = 500;
  block_.selectionInitialised = 1;
  block_.selectionVertexCount = 99;  // not an outline the pane can hold
  OpenDialog();
  EXPECT_EQ(block_.sourceKind, kSourceImage);
  EXPECT_EQ(block_.sourceWidth, 300);
  EXPECT_DOUBLE_EQ(block_.selectionNormalised.left, 117.0 / 300);  // back in the middle
  EXPECT_EQ(block_.selectionVertexCount, 5);
}

// The pane shows only the area of a loaded picture: the default selection,
// centred in the area, is drawn centred on the pane's picture at the area's
// scale, and OK gives it back in the picture's own pixels.
TEST_F(DialogModelTest, ALoadedPicturesAreaIsScaledAsShown) {
  struct Case {
    const char* what;
    int32_t width, height;
    IntRect area;
  };
  const Case cases[] = {
      {"larger on both sides", 600, 400, {150, 100, 450, 300}},
      {"wider only", 600, 120, {150, 0, 450, 120}},
  };
  for (const Case& c : cases) {
    StartRun(300, 200, 192, 128);
    OpenDialog();
    ImageBuffer* picture = ImageBufferCreate(kFormatBGR24, c.width, c.height);
    ASSERT_NE(picture, nullptr);
    block_.loadedSource = RefFromImage(picture);
    block_.sourceKind = kSourceLoadedFile;
    block_.sourceWidth = c.width;
    block_.sourceHeight = c.height;
    block_.sourceArea = c.area;
    ResetSelection(&block_);
    const int32_t x = block_.selectionX, y = block_.selectionY, side = block_.selectionWidth;
    ASSERT_TRUE(model_.SourceChanged());
    const IntRect image = block_.sourcePaneImageRect, r = Bounds();
    const double scale = double(image.right - image.left) / (c.area.right - c.area.left);
    EXPECT_NEAR((r.left + r.right) / 2.0, (image.left + image.right) / 2.0, 1.0) << c.what;
    EXPECT_NEAR((r.top + r.bottom) / 2.0, (image.top + image.bottom) / 2.0, 1.0) << c.what;
    EXPECT_NEAR(r.right - r.left, side * scale, 1.0) << c.what;
    model_.Accept();
    EXPECT_NEAR(block_.selectionX, x, 1) << c.what;
    EXPECT_NEAR(block_.selectionY, y, 1) << c.what;
    EXPECT_NEAR(block_.selectionWidth, side, 2) << c.what;
    model_.Close();
  }
}

TEST_F(DialogModelTest, CloseReleasesEverything) {
  StartRun(192, 128, 192, 128);
  OpenDialog();
  block_.loadedSource = RefFromImage(ImageBufferCreate(kFormatBGR24, 8, 8));
  model_.Close();
  EXPECT_EQ(gTile, nullptr);
  EXPECT_EQ(gFeatherWork, nullptr);
  EXPECT_EQ(gSymmetry, nullptr);
  for (ObjectRef ref : {block_.loadedSource, block_.sourcePaneImage, block_.resultPaneImage, block_.resultPaneWork})
    EXPECT_EQ(ImageFromRef(ref), nullptr);
  EXPECT_NE(ImageFromRef(block_.previewImage), nullptr) << "the run's preview stays for Finish";
}

TEST(CommitSelection, PanePixelsBecomeSourcePixels) {
  struct Case {
    const char* what;
    int32_t symmetry, sourceKind;
    double scale;
    std::vector<IntPoint> outline;
    int32_t x, y, w, h, span;
  };
  // The pane picture at (3, 35); source 400 × 300.
  const Case cases[] = {
      {"half size", 8, kSourceImage, 0.5, {{13, 45}, {13, 75}, {43, 75}, {43, 45}, {13, 45}}, 20, 20, 60, 60, -1},
      {"rounded half up", 3, kSourceImage, 2.0, {{4, 36}, {4, 45}, {13, 45}, {13, 36}, {4, 36}}, 1, 1, 5, 5, -1},
      {"loaded picture: plus the area", 3, kSourceLoadedFile, 1.0, {{13, 45}, {13, 75}, {43, 75}, {43, 45}, {13, 45}},
       10 + 50, 10 + 40, 30, 30, -1},
      {"parallelogram span", 1, kSourceImage, 0.5, {{13, 45}, {23, 75}, {53, 75}, {43, 45}, {13, 45}}, 20, 20, 80, 60,
       20},
  };
  for (const Case& c : cases) {
    ParameterBlock b{};
    b.symmetry = c.symmetry;
    b.sourceKind = c.sourceKind;
    b.sourcePaneScaleX = b.sourcePaneScaleY = c.scale;
    b.sourcePaneImageRect = IntRect{3, 35, 195, 185};
    b.resultPaneImageRect = IntRect{3, 35, 195, 185};
    b.sourceArea = IntRect{50, 40, 450, 340};
    b.sourceWidth = 400;
    b.sourceHeight = 300;
    b.selectionSpan = -1;
    b.tileOffsetX = 48;
    b.selectionVertexCount = int32_t(c.outline.size());
    for (size_t i = 0; i < c.outline.size(); ++i) b.selectionVertices[i] = c.outline[i];
    CommitSelection(&b);
    EXPECT_EQ(b.selectionX, c.x) << c.what;
    EXPECT_EQ(b.selectionY, c.y) << c.what;
    EXPECT_EQ(b.selectionWidth, c.w) << c.what;
    EXPECT_EQ(b.selectionHeight, c.h) << c.what;
    EXPECT_EQ(b.selectionSize, c.w) << c.what;
    EXPECT_EQ(b.selectionSpan, c.span) << c.what;
    EXPECT_EQ(b.selectionRect.right, c.x + c.w) << c.what;
    EXPECT_DOUBLE_EQ(b.selectionNormalised.left, c.x / 400.0) << c.what;
    EXPECT_DOUBLE_EQ(b.selectionNormalised.bottom, (c.y + c.h) / 300.0) << c.what;
    EXPECT_DOUBLE_EQ(b.selectionNormalised.shear, double(c.span) / c.h) << c.what;
    EXPECT_DOUBLE_EQ(b.tileOffsetFracX, 48.0 / 192) << c.what;
  }
}

TEST(CommitSelection, NothingWithoutAPaneScaleAndNoShearWithoutHeight) {
  ParameterBlock b{};
  b.selectionX = 77;
  b.selectionVertexCount = 5;
  CommitSelection(&b);
  EXPECT_EQ(b.selectionX, 77);
  b.sourcePaneScaleX = b.sourcePaneScaleY = 1.0;
  b.sourceWidth = b.sourceHeight = 100;
  b.symmetry = 1;
  b.selectionVertices[1] = IntPoint{6, 0};  // a flat outline: no height
  CommitSelection(&b);
  EXPECT_EQ(b.selectionHeight, 0);
  EXPECT_EQ(b.selectionNormalised.shear, 0.0);
}

TEST(SelectionPaneRect, StoredSelectionInPanePixels) {
  ParameterBlock b{};
  b.sourcePaneImageRect = IntRect{5, 37, 193, 162};  // 188 × 125
  b.sourceKind = kSourceImage;
  b.selectionNormalised = SelectionFrame{0.25, 0.5, 0.75, 0.75, 0.0};
  IntRect r = SelectionPaneRect(b);
  EXPECT_EQ(r.left, 5 + 94);
  EXPECT_EQ(r.top, 37 + 31);   // 31.25
  EXPECT_EQ(r.right, 5 + 141);
  EXPECT_EQ(r.bottom, 37 + 94);  // 93.75 rounds up
  b.sourceKind = kSourceLoadedFile;
  b.sourcePaneScaleX = b.sourcePaneScaleY = 0.5;
  b.sourceArea = IntRect{100, 60, 400, 260};
  b.selectionX = 151;
  b.selectionY = 60;
  b.selectionWidth = 41;
  b.selectionHeight = 40;
  r = SelectionPaneRect(b);
  EXPECT_EQ(r.left, 5 + 26);  // 25.5 rounds up
  EXPECT_EQ(r.top, 37);
  EXPECT_EQ(r.right, 5 + 26 + 21);
  EXPECT_EQ(r.bottom, 37 + 20);
}

}  // namespace
}  // namespace quiltora
