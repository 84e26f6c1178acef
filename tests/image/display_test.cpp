#include "image/display.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "image/draw_prep.h"
#include "platform/platform.h"

namespace quiltora {
namespace {

struct RecordDeleter {
  void operator()(DisplayRecord* record) const { DisplayRecordFree(record); }
};
using RecordPtr = std::unique_ptr<DisplayRecord, RecordDeleter>;

struct BufferDeleter {
  void operator()(ImageBuffer* buffer) const { ImageBufferRelease(buffer); }
};
using BufferPtr = std::unique_ptr<ImageBuffer, BufferDeleter>;

TEST(DisplayRecord, ScaleCodes) {
  struct Case {
    int32_t display, image, code;
  };
  for (const Case& c : {Case{1, 1, 1}, Case{-3, -3, 1}, Case{1, -1, 2}, Case{-2, 2, 2}, Case{2, 1, 3}, Case{2, -1, 4},
                        Case{2, 0, 0}, Case{0, 5, 0}, Case{-2, 1, 5}, Case{-2, -1, 6}})
    EXPECT_EQ(ScaleCode(c.display, c.image), c.code) << c.display << "/" << c.image;
}

TEST(DisplayRecord, NewRecordAndScales) {
  RecordPtr record(DisplayRecordNew());
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->attributes[0], 200);
  EXPECT_EQ(record->attributes[5], 255);
  EXPECT_EQ(record->drawMode, 1);
  EXPECT_EQ(record->codeX, 1);
  EXPECT_EQ(record->codeY, 1);
  EXPECT_EQ(record->imageScaleY, 1);
  EXPECT_EQ(record->displayOrigin.x, 0);

  EXPECT_TRUE(DisplaySetScale(record.get(), 1, 1, 1, -1));  // the panes' scale
  EXPECT_EQ(record->codeX, 1);
  EXPECT_EQ(record->codeY, 2);
  EXPECT_TRUE(DisplaySetScale(record.get(), 2, 2, 1, 1));
  EXPECT_EQ(record->codeX, 3);
  EXPECT_EQ(record->codeY, 3);
  EXPECT_FALSE(DisplaySetScale(record.get(), 0, 1, 1, 1));
  EXPECT_EQ(DisplayRecordFree(nullptr), 1);
}

TEST(DisplayRecord, PointAndRectangleMapping) {
  RecordPtr record(DisplayRecordNew());
  ASSERT_TRUE(DisplaySetScale(record.get(), 1, 1, 1, -1));
  DisplaySetDisplayOrigin(record.get(), {10, 20});
  IntPoint previous = DisplaySetImageOrigin(record.get(), {0, 99});
  EXPECT_EQ(previous.x, 0);
  EXPECT_EQ(previous.y, 0);

  struct Case {
    IntPoint device, image;
  };
  for (const Case& c : {Case{{10, 20}, {0, 99}}, Case{{15, 25}, {5, 94}}, Case{{109, 119}, {99, 0}}}) {
    IntPoint image = DisplayToImage(*record, c.device);
    EXPECT_EQ(image.x, c.image.x);
    EXPECT_EQ(image.y, c.image.y);
    IntPoint back = ImageToDisplay(*record, c.image);
    EXPECT_EQ(back.x, c.device.x);
    EXPECT_EQ(back.y, c.device.y);
  }
  DisplayRect r = DisplayMapRect(*record, 10, 20, 100, 100);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, 99);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.bottom, 99);

  // Only the direction of a scale pair counts, not its size.
  ASSERT_TRUE(DisplaySetScale(record.get(), 2, 3, 1, 1));
  IntPoint image = DisplayToImage(*record, {15, 25});
  EXPECT_EQ(image.x, 5);
  EXPECT_EQ(image.y, 104);
}

TEST(DisplayRecord, BufferBounds) {
  BufferPtr buffer(ImageBufferCreate(kFormatGray8, 10, 7));
  DisplayRect r = BufferBoundsRect(buffer.get());
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 9);
  EXPECT_EQ(r.bottom, 6);
}

TEST(DrawPlan, WholeBufferAndScales) {
  BufferPtr buffer(ImageBufferCreate(kFormatBGR24, 100, 100));
  struct Case {
    IntRect device;
    DrawPlan plan;
  };
  const Case cases[] = {
      {{0, 0, 99, 99}, {0, 0, 100, 100, 0, 0, 100, 100}},
      {{5, 7, 204, 206}, {5, 7, 200, 200, 0, 0, 100, 100}},  // 2:1
      {{0, 0, 49, 49}, {0, 0, 50, 50, 0, 0, 100, 100}},      // 1:2
  };
  for (const Case& c : cases) {
    DrawPlan plan{};
    ASSERT_TRUE(PlanImageDrawing(buffer.get(), &c.device, nullptr, &plan));
    EXPECT_EQ(plan.deviceX, c.plan.deviceX);
    EXPECT_EQ(plan.deviceY, c.plan.deviceY);
    EXPECT_EQ(plan.deviceWidth, c.plan.deviceWidth);
    EXPECT_EQ(plan.deviceHeight, c.plan.deviceHeight);
    EXPECT_EQ(plan.sourceWidth, c.plan.sourceWidth);
    EXPECT_EQ(plan.sourceHeight, c.plan.sourceHeight);
  }
}

TEST(DrawPlan, ClipsInWholeSourcePixels) {
  BufferPtr buffer(ImageBufferCreate(kFormatGray8, 100, 100));
  IntRect device{0, 0, 199, 199};  // 2:1
  struct Case {
    const char* what;
    DisplayRect source;
    DrawPlan plan;
  };
  const Case cases[] = {
      // Ten columns hang off the left: the first 20 device columns stay empty.
      {"left", {-10, 99, 89, 0}, {20, 0, 180, 200, 0, 0, 90, 100}},
      // Ten rows before row 0: those would be the lowest on the device.
      {"rows before the first", {0, 89, 99, -10}, {0, 0, 200, 180, 0, 0, 100, 90}},
      // Ten rows past the last: the top of the device stays empty.
      {"rows past the last", {0, 109, 99, 10}, {0, 20, 200, 180, 0, 10, 100, 90}},
      {"a part inside", {10, 59, 29, 40}, {0, 0, 200, 200, 10, 40, 20, 20}},
  };
  for (const Case& c : cases) {
    DrawPlan plan{};
    ASSERT_TRUE(PlanImageDrawing(buffer.get(), &device, &c.source, &plan)) << c.what;
    EXPECT_EQ(plan.deviceX, c.plan.deviceX) << c.what;
    EXPECT_EQ(plan.deviceY, c.plan.deviceY) << c.what;
    EXPECT_EQ(plan.deviceWidth, c.plan.deviceWidth) << c.what;
    EXPECT_EQ(plan.deviceHeight, c.plan.deviceHeight) << c.what;
    EXPECT_EQ(plan.sourceX, c.plan.sourceX) << c.what;
    EXPECT_EQ(plan.sourceY, c.plan.sourceY) << c.what;
    EXPECT_EQ(plan.sourceWidth, c.plan.sourceWidth) << c.what;
    EXPECT_EQ(plan.sourceHeight, c.plan.sourceHeight) << c.what;
  }
  DrawPlan plan{};
  DisplayRect outside{100, 9, 109, 0};
  EXPECT_FALSE(PlanImageDrawing(buffer.get(), &device, &outside, &plan));
  IntRect empty{5, 5, 4, 10};
  EXPECT_FALSE(PlanImageDrawing(buffer.get(), &empty, nullptr, &plan));
  EXPECT_FALSE(PlanImageDrawing(buffer.get(), nullptr, nullptr, &plan));
  EXPECT_FALSE(PlanImageDrawing(nullptr, &device, nullptr, &plan));
}

#ifndef _WIN32
int gReports = 0;
platform::MessageAnswer CountReport(const char*, const char*, platform::MessageStyle) {
  ++gReports;
  return platform::MessageAnswer::Ignore;
}

TEST(DrawPlan, InvalidSourceRectanglesAreReported) {
  BufferPtr buffer(ImageBufferCreate(kFormatGray8, 10, 10));
  IntRect device{0, 0, 9, 9};
  gReports = 0;
  platform::SetMessagePolicy(CountReport);
  DrawPlan plan{};
  for (DisplayRect source : {DisplayRect{3, 5, 2, 0}, DisplayRect{0, 10, 9, 0}, DisplayRect{0, 9, 10, 0}})
    EXPECT_FALSE(PlanImageDrawing(buffer.get(), &device, &source, &plan));
  DisplayRect bounds = BufferBoundsRect(nullptr);
  platform::SetMessagePolicy(nullptr);
  EXPECT_EQ(gReports, 4);
  EXPECT_LT(bounds.right, bounds.left);
}
#endif

TEST(DrawPlan, RowsAreBlueGreenRedInBufferOrder) {
  // Gray: repeated into three bytes; rows padded to 4 bytes.
  BufferPtr gray(ImageBufferCreate(kFormatGray8, 3, 2));
  const uint8_t grayPixels[2][3] = {{1, 2, 3}, {4, 5, 6}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) gray->pixels[y * gray->rowBytes + x] = grayPixels[y][x];
  DrawPlan plan{0, 0, 3, 2, 0, 0, 3, 2};
  std::vector<uint8_t> rows;
  int32_t rowBytes = 0;
  ASSERT_TRUE(DrawingRows(gray.get(), plan, &rows, &rowBytes));
  EXPECT_EQ(rowBytes, 12);
  EXPECT_EQ(rows, (std::vector<uint8_t>{1, 1, 1, 2, 2, 2, 3, 3, 3, 0, 0, 0, 4, 4, 4, 5, 5, 5, 6, 6, 6, 0, 0, 0}));

  // Four channels as ink; a part of the buffer starting at column 1, row 1.
  BufferPtr four(ImageBufferCreate(kFormatFour32, 3, 2));
  const uint8_t cmyk[4][4] = {{0, 0, 0, 0}, {255, 0, 0, 0}, {100, 50, 20, 10}, {200, 0, 0, 100}};
  std::memcpy(ImageBufferPixel(four.get(), 1, 1), cmyk[0], 4);
  std::memcpy(ImageBufferPixel(four.get(), 2, 1), cmyk[1], 4);
  DrawPlan part{0, 0, 2, 1, 1, 1, 2, 1};
  ASSERT_TRUE(DrawingRows(four.get(), part, &rows, &rowBytes));
  EXPECT_EQ(rowBytes, 8);
  EXPECT_EQ(std::vector<uint8_t>(rows.begin(), rows.begin() + 6), (std::vector<uint8_t>{255, 255, 255, 255, 255, 0}));
  std::memcpy(ImageBufferPixel(four.get(), 1, 1), cmyk[2], 4);
  std::memcpy(ImageBufferPixel(four.get(), 2, 1), cmyk[3], 4);
  ASSERT_TRUE(DrawingRows(four.get(), part, &rows, &rowBytes));
  EXPECT_EQ(std::vector<uint8_t>(rows.begin(), rows.begin() + 6), (std::vector<uint8_t>{225, 195, 145, 155, 155, 0}));

  BufferPtr colour(ImageBufferCreate(kFormatBGR24, 2, 1));
  const uint8_t bgr[6] = {10, 20, 30, 40, 50, 60};
  std::memcpy(colour->pixels, bgr, 6);
  ASSERT_TRUE(DrawingRows(colour.get(), DrawPlan{0, 0, 1, 1, 1, 0, 1, 1}, &rows, &rowBytes));
  EXPECT_EQ(std::vector<uint8_t>(rows.begin(), rows.begin() + 3), (std::vector<uint8_t>{40, 50, 60}));
}

}  // namespace
}  // namespace quiltora
