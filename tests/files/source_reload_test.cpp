#include <gtest/gtest.h>

#include <cstring>

#include "bmp_test_util.h"
#include "files/source_reload.h"

namespace quiltora {
namespace {

using namespace bmptest;

class SourceReload : public ::testing::Test {
 protected:
  void SetUp() override {
    BmpFields fields;
    fields.width = 2, fields.rows = {{1, 2, 3, 4, 5, 6}};
    file_.Write(BuildBmp(fields));
    std::memset(&block_, 0, sizeof block_);
    std::snprintf(block_.sourcePath, sizeof block_.sourcePath, "%s", file_.path());
  }
  void TearDown() override { ReleaseImageRef(&block_.loadedSource); }

  TempFile file_{"reload.bmp"};
  ParameterBlock block_;
};

TEST_F(SourceReload, ReadsOnceAndKeepsTheReference) {
  ImageBuffer* first = EnsureLoadedSource(&block_);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->width, 2);
  EXPECT_EQ(ImageFromRef(block_.loadedSource), first);
  EXPECT_EQ(EnsureLoadedSource(&block_), first);
}

TEST_F(SourceReload, StaleReferenceFromAnEarlierLoadIsReplaced) {
  block_.loadedSource = 0x1234567800010002ull;
  ImageBuffer* picture = EnsureLoadedSource(&block_);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(ImageFromRef(block_.loadedSource), picture);
}

TEST_F(SourceReload, UnreadableFileLeavesNoReference) {
  block_.loadedSource = 0x1234567800010002ull;
  std::memset(block_.sourcePath, 'x', sizeof block_.sourcePath);  // no terminator
  EXPECT_EQ(EnsureLoadedSource(&block_), nullptr);
  EXPECT_EQ(block_.loadedSource, 0u);
  std::snprintf(block_.sourcePath, sizeof block_.sourcePath, "%s", "/nonexistent/quiltora.bmp");
  EXPECT_EQ(EnsureLoadedSource(&block_), nullptr);
}

}  // namespace
}  // namespace quiltora
