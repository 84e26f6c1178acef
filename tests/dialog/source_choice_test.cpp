#include "dialog/source_choice.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "files/bmp_file.h"
#include "files/file_message.h"
#include "host/parameters.h"
#include "image/image_buffer.h"
#include "resources/resource_ids.h"

namespace quiltora {
namespace {

// Answers the dialogs as a test says and records what the user was shown.
class ScriptedSurface : public SourceSurface {
 public:
  std::string chosenFile;  // empty: the file dialog is cancelled
  bool areaOk = true;
  IntRect areaChosen{-1, -1, -1, -1};  // stored on OK when set
  bool answerYes = true;

  int fileDialogs = 0;
  std::vector<std::pair<std::string, int32_t>> messages;
  std::vector<IntRect> areaDialogs;  // sourceArea as each area dialog opened
  std::vector<SourceList> lists;     // every change shown
  std::vector<std::string> questions;

  bool ChooseSourceFile(std::string* path) override {
    ++fileDialogs;
    *path = chosenFile;
    return !chosenFile.empty();
  }
  void ShowFileMessage(const std::string& path, int32_t code) override { messages.emplace_back(path, code); }
  bool RunAreaDialog(ParameterBlock* block) override {
    areaDialogs.push_back(block->sourceArea);
    if (areaOk && areaChosen.left >= 0) block->sourceArea = areaChosen;
    return areaOk;
  }
  bool AskQuestion(const std::string& text) override {
    questions.push_back(text);
    return answerYes;
  }
  void SourceListChanged(const SourceList& list) override { lists.push_back(list); }
};

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "quiltora_source_" + name; }

std::string WritePicture(const std::string& name, int32_t width, int32_t height) {
  ImageBuffer* picture = ImageBufferCreate(1, width, height);
  EXPECT_NE(picture, nullptr);
  const std::string path = TempPath(name);
  EXPECT_EQ(WriteBmpFile(picture, path.c_str()), kBmpOk);
  ImageBufferRelease(picture);
  return path;
}

void ExpectArea(const IntRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.right, right);
  EXPECT_EQ(r.bottom, bottom);
}

const std::vector<int32_t> kTwoItems{IDS_ORIGINAL_IMAGE, IDS_NEW_IMAGE};
const std::vector<int32_t> kThreeItems{IDS_ORIGINAL_IMAGE, IDS_NEW_IMAGE, IDS_SELECT_SOURCE_AREA};

class SourceChoice : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(&block_, 0, sizeof block_);
    block_.imageWidth = block_.sourceWidth = 200;
    block_.imageHeight = block_.sourceHeight = 150;
    block_.sourceKind = kSourceImage;
    std::snprintf(block_.sourcePath, sizeof block_.sourcePath, "before.bmp");
    ResetSelection(&block_);
  }
  void TearDown() override {
    ReleaseImageRef(&block_.loadedSource);
    for (const std::string& path : files_) std::remove(path.c_str());
  }
  std::string Picture(const std::string& name, int32_t width, int32_t height) {
    files_.push_back(WritePicture(name, width, height));
    return files_.back();
  }

  ParameterBlock block_;
  SourceList list_;
  ScriptedSurface surface_;
  std::vector<std::string> files_;
};

TEST_F(SourceChoice, APictureSmallerThanTheImageIsUsedWhole) {
  surface_.chosenFile = Picture("small.bmp", 100, 80);
  ChooseSource(&block_, &list_, &surface_, IDS_NEW_IMAGE);
  EXPECT_EQ(block_.sourceKind, kSourceLoadedFile);
  EXPECT_EQ(block_.sourceSmallerThanImage, 1);
  EXPECT_TRUE(surface_.areaDialogs.empty());
  EXPECT_EQ(list_.items, kTwoItems);
  EXPECT_EQ(list_.selected, 1);
  ExpectArea(block_.sourceArea, 0, 0, 100, 80);
  EXPECT_EQ(block_.sourceWidth, 100);
  EXPECT_EQ(block_.loadedSourceBytesPerPixel, 3);
  EXPECT_STREQ(block_.sourcePath, surface_.chosenFile.c_str());
  // The default selection of that area: a square of a third of its shorter side.
  EXPECT_EQ(block_.selectionWidth, 26);
  EXPECT_EQ(block_.selectionX, 50 - 13);
  EXPECT_EQ(block_.selectionInitialised, 0);
}

TEST_F(SourceChoice, ALargerPictureOffersItsCentredAreaAndCancelGoesBack) {
  surface_.chosenFile = Picture("large.bmp", 400, 300);
  surface_.areaOk = false;
  ChooseSource(&block_, &list_, &surface_, IDS_NEW_IMAGE);
  ASSERT_EQ(surface_.areaDialogs.size(), 1u);
  ExpectArea(surface_.areaDialogs[0], 100, 75, 300, 225);
  // While the dialog was up the list held the third item.
  ASSERT_FALSE(surface_.lists.empty());
  EXPECT_EQ(surface_.lists.front().items, kThreeItems);
  // Cancel: the host image again, the item gone, "Original Image" shown.
  EXPECT_EQ(block_.sourceKind, kSourceImage);
  EXPECT_EQ(list_.items, kTwoItems);
  EXPECT_EQ(list_.selected, 0);
  EXPECT_EQ(block_.sourceWidth, 200);
  EXPECT_EQ(block_.sourceSmallerThanImage, 0);
  // The picture stays loaded until the dialog closes or another replaces it.
  EXPECT_NE(ImageFromRef(block_.loadedSource), nullptr);
}

TEST_F(SourceChoice, TheAreaChosenIsKeptAndCanBeChosenAgain) {
  surface_.chosenFile = Picture("large.bmp", 400, 300);
  surface_.areaChosen = IntRect{10, 20, 210, 170};
  ChooseSource(&block_, &list_, &surface_, IDS_NEW_IMAGE);
  EXPECT_EQ(block_.sourceKind, kSourceLoadedFile);
  EXPECT_EQ(block_.sourceSmallerThanImage, 0);
  EXPECT_EQ(list_.items, kThreeItems);
  EXPECT_EQ(list_.selected, 1);
  ExpectArea(block_.sourceArea, 10, 20, 210, 170);
  EXPECT_EQ(block_.selectionX, 110 - 25);  // the default square of the chosen area

  // "Select Source Area..." opens on the area as it is, without centring it.
  surface_.areaChosen = IntRect{-1, -1, -1, -1};
  surface_.areaOk = false;
  ChooseSource(&block_, &list_, &surface_, IDS_SELECT_SOURCE_AREA);
  ASSERT_EQ(surface_.areaDialogs.size(), 2u);
  ExpectArea(surface_.areaDialogs[1], 10, 20, 210, 170);
  EXPECT_EQ(block_.sourceKind, kSourceLoadedFile);
  EXPECT_EQ(list_.selected, 1);

  // "Original Image" takes the third item away again.
  ChooseSource(&block_, &list_, &surface_, IDS_ORIGINAL_IMAGE);
  EXPECT_EQ(block_.sourceKind, kSourceImage);
  EXPECT_EQ(list_.items, kTwoItems);
  EXPECT_EQ(list_.selected, 0);
}

TEST_F(SourceChoice, APictureLargerOnOneSideOnlyStillOffersTheArea) {
  surface_.chosenFile = Picture("wide.bmp", 400, 100);
  ChooseSource(&block_, &list_, &surface_, IDS_NEW_IMAGE);
  ASSERT_EQ(surface_.areaDialogs.size(), 1u);
  ExpectArea(surface_.areaDialogs[0], 100, 0, 300, 100);
  EXPECT_EQ(block_.sourceSmallerThanImage, 1);
}

TEST_F(SourceChoice, FilesThatCannotBeUsedLeaveTheSourceAsItWas) {
  const std::string junk = TempPath("junk.bmp");
  files_.push_back(junk);
  std::FILE* file = std::fopen(junk.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("not a bitmap at all", file);
  std::fclose(file);
  const std::string longPath = "/" + std::string(kSourcePathSize, 'x') + ".bmp";
  struct Case {
    std::string file;
    int32_t message;  // -1: none
  } cases[] = {
      {"", -1},  // the file dialog cancelled
      {junk, kBmpNotValid},
      {TempPath("missing.bmp"), kBmpOpenError},
      {longPath, kFilePathTooLong},
  };
  for (const Case& c : cases) {
    surface_.messages.clear();
    surface_.chosenFile = c.file;
    ChooseSource(&block_, &list_, &surface_, IDS_NEW_IMAGE);
    EXPECT_EQ(block_.sourceKind, kSourceImage) << c.file;
    EXPECT_EQ(list_.selected, 0) << c.file;
    EXPECT_STREQ(block_.sourcePath, "before.bmp") << c.file;
    if (c.message < 0) {
      EXPECT_TRUE(surface_.messages.empty());
    } else {
      ASSERT_EQ(surface_.messages.size(), 1u) << c.file;
      EXPECT_EQ(surface_.messages[0].first, c.file);  // whole, never cut
      EXPECT_EQ(surface_.messages[0].second, c.message);
    }
  }
  // With a loaded picture as the source, a failed load keeps it and its path.
  surface_.chosenFile = Picture("small.bmp", 60, 60);
  ChooseSource(&block_, &list_, &surface_, IDS_NEW_IMAGE);
  surface_.chosenFile = junk;
  ChooseSource(&block_, &list_, &surface_, IDS_NEW_IMAGE);
  EXPECT_EQ(block_.sourceKind, kSourceLoadedFile);
  EXPECT_EQ(list_.selected, 1);
  EXPECT_STREQ(block_.sourcePath, files_.back().c_str());
}

TEST_F(SourceChoice, OriginalImageResetsTheSelectionEvenWhenAlreadyTheSource) {
  block_.selectionX = 3;
  block_.selectionInitialised = 1;
  ChooseSource(&block_, &list_, &surface_, IDS_ORIGINAL_IMAGE);
  EXPECT_EQ(block_.selectionX, 100 - 25);
  EXPECT_EQ(block_.selectionInitialised, 0);
  EXPECT_EQ(list_.selected, 0);
}

// Opening after a run that used a loaded picture: every branch of the reload.
TEST_F(SourceChoice, ReloadAtOpening) {
  const std::string same = Picture("same.bmp", 400, 300);
  const std::string grown = Picture("grown.bmp", 500, 300);
  struct Case {
    const char* what;
    std::string path;
    bool yes;
    bool imageSizeChanged;
    bool areaOk;
    int32_t kind;      // afterwards
    int32_t selected;  // list item shown
    bool areaDialog;
  } cases[] = {
      {"yes, unchanged", same, true, false, true, kSourceLoadedFile, 1, false},
      {"no", same, false, false, true, kSourceImage, 0, false},
      {"yes, file gone", TempPath("gone.bmp"), true, false, true, kSourceImage, 0, false},
      {"yes, image resized, area accepted", same, true, true, true, kSourceLoadedFile, 1, true},
      {"yes, image resized, area cancelled", same, true, true, false, kSourceImage, 0, true},
      {"yes, picture resized on disk", grown, true, false, true, kSourceLoadedFile, 1, true},
  };
  for (const Case& c : cases) {
    SetUp();
    list_ = SourceList{};
    surface_ = ScriptedSurface{};
    surface_.answerYes = c.yes;
    surface_.areaOk = c.areaOk;
    block_.sourceKind = kSourceLoadedFile;
    block_.sourceArea = IntRect{5, 6, 205, 156};
    block_.selectionX = 33;
    block_.loadedSource = 0x77;  // left by an earlier load of the module
    std::snprintf(block_.sourcePath, sizeof block_.sourcePath, "%s", c.path.c_str());
    // The dialog has given the source the image's size before it asks.
    block_.sourceWidth = 200;
    block_.sourceHeight = 150;
    ReloadAtOpening(&block_, &list_, &surface_, c.imageSizeChanged, 400, 300);
    ASSERT_EQ(surface_.questions.size(), 1u) << c.what;
    EXPECT_EQ(surface_.questions[0], "Would you like to reload " + c.path) << c.what;
    EXPECT_EQ(block_.sourceKind, c.kind) << c.what;
    EXPECT_EQ(list_.selected, c.selected) << c.what;
    EXPECT_EQ(surface_.areaDialogs.size(), c.areaDialog ? 1u : 0u) << c.what;
    EXPECT_TRUE(surface_.messages.empty()) << c.what;
    if (c.kind == kSourceImage) {
      EXPECT_EQ(block_.sourceWidth, 200) << c.what;
      EXPECT_EQ(block_.selectionX, 75) << c.what;  // the default selection
      EXPECT_EQ(list_.items, kTwoItems) << c.what;
    } else if (!c.areaDialog) {
      ExpectArea(block_.sourceArea, 5, 6, 205, 156);
      EXPECT_EQ(block_.selectionX, 33) << c.what;
      EXPECT_EQ(list_.items, kTwoItems) << c.what;
    } else {
      EXPECT_EQ(block_.sourceArea.left, (block_.sourceWidth - 200) / 2) << c.what;
      EXPECT_EQ(list_.items, kThreeItems) << c.what;
    }
    ReleaseImageRef(&block_.loadedSource);
  }
  // A source still loaded, or the image as source, asks nothing.
  SetUp();
  surface_ = ScriptedSurface{};
  ReloadAtOpening(&block_, &list_, &surface_, true, 200, 150);
  EXPECT_TRUE(surface_.questions.empty());
}

}  // namespace
}  // namespace quiltora
