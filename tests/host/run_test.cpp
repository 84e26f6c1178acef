// Whole runs through the real module's export: requests, rows written, the
// pattern itself, repeats, stops.
#include <gtest/gtest.h>

#include <cstring>

#include "abi/parameter_block.h"
#include "filterhost.h"

namespace {

using filterhost::Host;
using filterhost::Image;
using quiltora::ParameterBlock;

// An asymmetric picture: every pixel differs from its mirror images.
Image Probe(int32_t width, int32_t height, int32_t channels) {
  Image image(width, height, channels);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      for (int32_t c = 0; c < channels; ++c) image.At(x, y)[c] = uint8_t(x * 7 + y * 13 + c * 61 + (x * y) % 11);
  return image;
}

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module_.Load(filterhost::ModuleBesideExecutable())) << module_.error();
    host_ = std::make_unique<Host>(module_);
  }
  void TearDown() override { host_.reset(); }

  ParameterBlock Block() const {
    ParameterBlock block{};
    std::vector<uint8_t> bytes = host_->ParameterBytes();
    if (bytes.size() >= sizeof block) std::memcpy(&block, bytes.data(), sizeof block);
    return block;
  }
  void Store(const ParameterBlock& block) {
    std::vector<uint8_t> bytes = host_->ParameterBytes();
    std::memcpy(bytes.data(), &block, sizeof block);
    host_->RestoreParameterBytes(bytes);
  }
  // Parameters, then the given edits, then a repeat run (no dialog).
  template <typename Edit>
  filterhost::RunReport RunWith(Edit edit) {
    EXPECT_EQ(host_->Parameters(), 0);
    ParameterBlock block = Block();
    block.showDialog = 0;
    edit(block);
    Store(block);
    return host_->Render();
  }

  filterhost::Module module_;
  std::unique_ptr<Host> host_;
};

void ExpectRowsWrittenOnce(const filterhost::RunReport& report, const plugin::Rect& area) {
  ASSERT_EQ(int(report.outRects.size()), area.bottom - area.top + 1);  // the first request is Start's pixel
  for (size_t k = 1; k < report.outRects.size(); ++k) {
    const plugin::Rect& row = report.outRects[k];
    EXPECT_EQ(row.top, area.top + int(k) - 1);
    EXPECT_EQ(row.bottom, row.top + 1);
    EXPECT_EQ(row.left, area.left);
    EXPECT_EQ(row.right, area.right);
  }
}

TEST_F(RunTest, EverySymmetryAndModeWritesEachRowOfTheAreaOnce) {
  struct Size {
    int32_t width, height, left, top, right, bottom;
  };
  const Size sizes[] = {{50, 50, 0, 0, 50, 50}, {71, 63, 4, 6, 67, 61}};
  for (int32_t channels : {1, 3, 4})
    for (const Size& size : sizes)
      for (int32_t symmetry = 1; symmetry <= 17; ++symmetry) {
        SCOPED_TRACE("symmetry " + std::to_string(symmetry) + ", " + std::to_string(channels) + " channels, " +
                     std::to_string(size.width) + " wide");
        const Image original = Probe(size.width, size.height, channels);
        host_->SetImage(original);
        host_->SetFilterRect(size.left, size.top, size.right, size.bottom);
        filterhost::RunReport report = RunWith([&](ParameterBlock& b) { b.symmetry = symmetry; });
        ASSERT_EQ(report.result, 0);
        ASSERT_TRUE(report.violations.empty()) << report.violations.front();
        ExpectRowsWrittenOnce(report, host_->record().filterRect);
        EXPECT_EQ(report.continueCalls, 1 + (size.bottom - size.top));
        const Image& result = host_->image();
        int changed = 0;
        for (int32_t y = 0; y < size.height; ++y)
          for (int32_t x = 0; x < size.width; ++x) {
            const bool inside = x >= size.left && x < size.right && y >= size.top && y < size.bottom;
            const bool same = std::memcmp(result.At(x, y), original.At(x, y), size_t(channels)) == 0;
            if (!inside) {
              ASSERT_TRUE(same) << "pixel outside the filter area written at " << x << "," << y;
            }
            changed += !same;
          }
        EXPECT_GT(changed, 0);
      }
}

// The tile of symmetries 3, 7 and 8 from their tables, laid on the lattice.
struct Model {
  int32_t symmetry, x, y, w, h;

  int32_t TileWidth() const { return 2 * w; }
  int32_t TileHeight() const { return symmetry == 3 ? h : 2 * h; }
  // The source pixel (row, column) that lands on tile (i, j).
  std::pair<int32_t, int32_t> SourceOf(int32_t i, int32_t j) const {
    auto mirror = [](int32_t v, int32_t n) { return v < n ? v : 2 * n - 1 - v; };
    switch (symmetry) {
      case 3: return {i, mirror(j, w)};
      case 7: return {mirror(i, h), mirror(j, w)};
      default: {  // 8: a quarter turn per quadrant about the tile's centre
        const int32_t n = w;
        if (i < n && j < n) return {i, j};
        if (i < n) return {2 * n - 1 - j, i};           // (r, c) → (c, 2N − 1 − r)
        if (j < n) return {j, 2 * n - 1 - i};           // (r, c) → (2N − 1 − c, r)
        return {2 * n - 1 - i, 2 * n - 1 - j};
      }
    }
  }
};

TEST_F(RunTest, PatternMatchesAModelOfTheTileAndTheLattice) {
  const int32_t width = 97, height = 83, left = 5, top = 7, right = 90, bottom = 80;
  const int32_t areaWidth = right - left, areaHeight = bottom - top;
  const Model models[] = {{3, 30, 20, 25, 20}, {7, 11, 9, 17, 13}, {8, 40, 30, 21, 21}};
  for (const Model& model : models) {
    SCOPED_TRACE("symmetry " + std::to_string(model.symmetry));
    const Image original = Probe(width, height, 3);
    host_->SetImage(original);
    host_->SetFilterRect(left, top, right, bottom);
    filterhost::RunReport report = RunWith([&](ParameterBlock& b) {
      b.symmetry = model.symmetry;
      b.sourceWidth = areaWidth;
      b.sourceHeight = areaHeight;
      b.selectionNormalised = quiltora::SelectionFrame{double(model.y) / areaHeight, double(model.x) / areaWidth,
                                                       double(model.y + model.h) / areaHeight,
                                                       double(model.x + model.w) / areaWidth, 0.0};
    });
    ASSERT_EQ(report.result, 0);
    const Image& result = host_->image();
    auto floorMod = [](int32_t a, int32_t n) { return ((a % n) + n) % n; };
    for (int32_t r = 0; r < areaHeight; ++r)
      for (int32_t c = 0; c < areaWidth; ++c) {
        const int32_t i = floorMod(r - model.y, model.TileHeight());
        const int32_t j = floorMod(c - model.x, model.TileWidth());
        const auto [sr, sc] = model.SourceOf(i, j);
        const uint8_t* expected = original.At(left + model.x + sc, top + model.y + sr);
        ASSERT_EQ(std::memcmp(result.At(left + c, top + r), expected, 3), 0)
            << "at row " << r << ", column " << c << " (tile " << i << "," << j << ")";
      }
  }
}

TEST_F(RunTest, FeatherRunsForEverySymmetryThatTakesOneEvenAgainstTheBorders) {
  const int32_t width = 83, height = 71;
  struct Place {
    const char* name;
    double top, left, bottom, right;  // fractions of the source
  };
  const Place places[] = {{"middle", 0.3, 0.3, 0.7, 0.7},
                          {"top left", 0.0, 0.0, 0.45, 0.45},
                          {"bottom right", 0.55, 0.55, 1.0, 1.0}};
  for (int32_t symmetry : {1, 2, 3, 4, 5, 6, 8, 9, 11, 12, 13, 15, 16})
    for (int32_t channels : {1, 3, 4})
      for (const Place& place : places) {
        SCOPED_TRACE("symmetry " + std::to_string(symmetry) + ", " + std::to_string(channels) + " channels, " +
                     place.name);
        auto render = [&](int32_t feather) {
          host_->SetImage(Probe(width, height, channels));
          filterhost::RunReport report = RunWith([&](ParameterBlock& b) {
            b.symmetry = symmetry;
            b.feather = feather;
            b.selectionNormalised = quiltora::SelectionFrame{place.top, place.left, place.bottom, place.right, 0.0};
          });
          EXPECT_EQ(report.result, 0);
          EXPECT_TRUE(report.violations.empty()) << report.violations.front();
          return host_->image().pixels;
        };
        const std::vector<uint8_t> plain = render(0);
        const std::vector<uint8_t> feathered = render(100);
        if (std::string(place.name) == "middle") {
          EXPECT_NE(plain, feathered) << "the feather changed nothing";
        }
      }
}

TEST_F(RunTest, RepeatsRenderTheSameAndKeepTheStoredPatternSettings) {
  host_->SetImage(Probe(88, 66, 3));
  filterhost::RunReport first = RunWith([](ParameterBlock& b) {
    b.symmetry = 12;
    b.opacity = 60;
    b.blendMode = 8;
    b.tileOffsetFracX = 0.25;
    b.tileOffsetFracY = -0.1;
  });
  ASSERT_EQ(first.result, 0);
  const Image once = host_->image();
  ParameterBlock stored = Block();
  EXPECT_EQ(stored.opacity, 60);
  EXPECT_EQ(stored.blendMode, 8);
  EXPECT_EQ(stored.tileOffsetX, 22);
  // -6 rows, wrapped into one tile before the pattern was placed.
  EXPECT_GT(stored.tileOffsetY, 0);
  EXPECT_DOUBLE_EQ(stored.tileOffsetFracY, stored.tileOffsetY / 66.0);
  EXPECT_NEAR(stored.tileOffsetFracX, 0.25, 1e-9);
  EXPECT_EQ(stored.showDialog, 0);

  host_->SetImage(Probe(88, 66, 3));
  ASSERT_EQ(host_->Render().result, 0);  // a repeat: no Parameters
  EXPECT_EQ(host_->image().pixels, once.pixels);
}

TEST_F(RunTest, AStopEndsTheRunWithWholeRowsAndStillStoresTheSettings) {
  for (int stopAt : {1, 5, 40, 70}) {
    SCOPED_TRACE("stop at check " + std::to_string(stopAt));
    const Image original = Probe(60, 55, 3);
    host_->SetImage(original);
    host_->faults().stopAtAbortCheck = 0;
    ASSERT_EQ(host_->Parameters(), 0);
    ParameterBlock block = Block();
    block.showDialog = 0;
    block.opacity = 77;
    Store(block);
    host_->faults().stopAtAbortCheck = host_->abortChecks() + stopAt;
    filterhost::RunReport report = host_->Render();
    EXPECT_EQ(report.result, 1);
    EXPECT_TRUE(report.finishCalled);
    EXPECT_EQ(Block().opacity, 77);
  }
}

TEST_F(RunTest, ALoadedBmpDrivesTheRunInEveryMode) {
  // A 24-bit picture written by hand: 64 × 40, bottom-up rows.
  const int32_t pw = 64, ph = 40, rowBytes = pw * 3;
  std::vector<uint8_t> file(54 + size_t(rowBytes) * ph);
  auto put32 = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) file[at + i] = uint8_t(v >> (8 * i)); };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, uint32_t(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, pw);
  put32(22, ph);
  file[26] = 1;
  file[28] = 24;
  for (size_t i = 54; i < file.size(); ++i) file[i] = uint8_t(i * 31 % 251);
  const std::string path = ::testing::TempDir() + "quiltora_run_source.bmp";
  FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(file.data(), 1, file.size(), out);
  std::fclose(out);

  for (int32_t channels : {1, 3, 4}) {
    SCOPED_TRACE(std::to_string(channels) + " channels");
    const Image original = Probe(70, 60, channels);
    host_->SetImage(original);
    filterhost::RunReport report = RunWith([&](ParameterBlock& b) {
      b.symmetry = 4;
      b.sourceKind = 1;
      std::snprintf(b.sourcePath, sizeof b.sourcePath, "%s", path.c_str());
      b.sourceWidth = pw;
      b.sourceHeight = ph;
      b.sourceArea = quiltora::IntRect{2, 3, 62, 38};
      b.selectionNormalised = quiltora::SelectionFrame{10.0 / ph, 10.0 / pw, 30.0 / ph, 40.0 / pw, 0.0};
    });
    ASSERT_EQ(report.result, 0);
    EXPECT_EQ(Block().sourceKind, 1) << "the picture was used, not the image";
    EXPECT_NE(host_->image().pixels, original.pixels);
  }
  // A picture that can no longer be read: the run falls back to the image silently.
  host_->SetImage(Probe(70, 60, 3));
  host_->ClearMessages();
  filterhost::RunReport report = RunWith([&](ParameterBlock& b) {
    b.sourceKind = 1;
    std::snprintf(b.sourcePath, sizeof b.sourcePath, "%s", (path + ".missing").c_str());
  });
  EXPECT_EQ(report.result, 0);
  EXPECT_EQ(Block().sourceKind, 2);
  EXPECT_TRUE(host_->messages().empty());
}

}  // namespace
