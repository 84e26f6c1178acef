#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "composite/blend.h"
#include "composite/colour_lanes.h"
#include "composite/colour_model.h"
#include "composite/blend_reference.h"

namespace quiltora {
namespace {

// A one-row tile over caller-held pixels, wide enough for a whole row.
struct RowTile {
  std::vector<uint8_t> pixels;
  TileImage tile;

  RowTile(int16_t pixelMode, const std::vector<uint8_t>& bytes, int32_t opacity, int16_t blendMode,
          uint8_t byteOrderFlag = 0)
      : pixels(bytes) {
    tile.pixelMode = pixelMode;
    tile.bytesPerPixel = BytesPerPixel(pixelMode);
    tile.width = static_cast<int32_t>(bytes.size()) / tile.bytesPerPixel;
    tile.height = 1;
    tile.rowBytes = static_cast<int32_t>(bytes.size());
    tile.destWidth = tile.width;
    tile.destHeight = 1;
    tile.SetBlend(static_cast<uint8_t>(opacity), blendMode);
    tile.byteOrderFlag = byteOrderFlag;
    tile.pixels = pixels.data();
  }

  std::vector<uint8_t> Blend(const std::vector<uint8_t>& input, int32_t column = 0, int16_t mode = 0,
                             uint8_t fill = 0) {
    const int16_t pixelMode = mode != 0 ? mode : tile.pixelMode;
    std::vector<uint8_t> output(input.size(), fill);
    BlendRow(&tile, input.data(), output.data(), column, 0, pixelMode, pixelMode);
    return output;
  }
};

TEST(BlendOpacity, TransparencyIsTruncatedFromPercent) {
  const int32_t cases[][2] = {{100, 0}, {99, 2}, {50, 127}, {1, 252}, {0, 255}, {150, 0}};
  for (const auto& c : cases) EXPECT_EQ(TransparencyOfOpacity(c[0]), c[1]) << "opacity " << c[0];
}

struct ChannelCase {
  int16_t mode;
  int32_t opacity, input, tile, expected;
};

TEST(BlendSeparable, GivesTheWorkedExamples) {
  const ChannelCase cases[] = {
      {kBlendNormal, 100, 200, 100, 100},   {kBlendNormal, 50, 200, 100, 149},
      {kBlendNormal, 50, 100, 200, 150},    {kBlendDarken, 100, 200, 100, 100},
      {kBlendDarken, 50, 200, 100, 149},    {kBlendDarken, 50, 50, 100, 50},
      {kBlendLighten, 50, 100, 200, 150},   {kBlendLighten, 50, 200, 100, 200},
      {kBlendMultiply, 100, 200, 100, 78},  {kBlendMultiply, 50, 200, 100, 138},
      {kBlendScreen, 100, 200, 100, 221},   {kBlendScreen, 50, 200, 100, 210},
  };
  for (const ChannelCase& c : cases) {
    RowTile row(kPixelGray, {static_cast<uint8_t>(c.tile)}, c.opacity, c.mode);
    EXPECT_EQ(row.Blend({static_cast<uint8_t>(c.input)})[0], c.expected)
        << "mode " << c.mode << " opacity " << c.opacity;
  }
}

TEST(BlendSeparable, MatchesTheFormulasForEveryBytePair) {
  std::vector<uint8_t> ramp(256);
  for (int v = 0; v < 256; ++v) ramp[v] = static_cast<uint8_t>(v);
  for (int16_t mode : {kBlendNormal, kBlendDarken, kBlendLighten, kBlendMultiply, kBlendScreen}) {
    for (int32_t opacity : {100, 99, 50, 1}) {
      RowTile row(kPixelGray, ramp, opacity, mode);
      for (int input = 0; input < 256; ++input) {
        const std::vector<uint8_t> output = row.Blend(std::vector<uint8_t>(256, static_cast<uint8_t>(input)));
        for (int tile = 0; tile < 256; ++tile)
          ASSERT_EQ(output[tile], reference::Separable(mode, opacity, input, tile))
              << "mode " << mode << " opacity " << opacity << " input " << input << " tile " << tile;
      }
    }
  }
}

TEST(BlendColourModes, TreatGrayAsThreeEqualChannelsForEveryBytePair) {
  std::vector<uint8_t> ramp(256);
  for (int v = 0; v < 256; ++v) ramp[v] = static_cast<uint8_t>(v);
  for (int16_t mode : {kBlendHue, kBlendSaturation, kBlendColor, kBlendLuminosity}) {
    for (int32_t opacity : {100, 99, 50, 1}) {
      RowTile row(kPixelGray, ramp, opacity, mode);
      for (int input = 0; input < 256; ++input) {
        const std::vector<uint8_t> output = row.Blend(std::vector<uint8_t>(256, static_cast<uint8_t>(input)));
        for (int tile = 0; tile < 256; ++tile) {
          reference::ClipCounts counts;
          const reference::Colour expected =
              reference::ColourMode(mode, opacity, {input, input, input}, {tile, tile, tile}, &counts);
          ASSERT_EQ(output[tile], expected[0])
              << "mode " << mode << " opacity " << opacity << " input " << input << " tile " << tile;
        }
      }
    }
  }
}

// Every layout the compositors serve, as (tile mode, output mode).
struct LayoutCase {
  int16_t tileMode, outputMode;
};
constexpr LayoutCase kColourLayouts[] = {
    {kPixelThree, kPixelThree}, {kPixelFour, kPixelFour}, {kPixelSkipFirst, kPixelSkipFirst},
    {kPixelSkipFirst, kPixelThree}, {kPixelThree, kPixelSkipFirst},
};

// Byte offsets of the channels compared in a pixel of the given mode; for the
// colour modes in the order red, green, blue.
std::vector<int> ChannelBytes(int16_t mode, bool allFour, bool blueFirst = false) {
  if (mode == kPixelThree) return blueFirst ? std::vector<int>{2, 1, 0} : std::vector<int>{0, 1, 2};
  if (mode == kPixelSkipFirst) return {1, 2, 3};
  return allFour ? std::vector<int>{0, 1, 2, 3} : std::vector<int>{0, 1, 2};
}

TEST(BlendSeparable, TreatsTheChannelsOfEveryLayoutAlike) {
  std::mt19937 random(7);
  constexpr int kPixels = 300;
  for (const LayoutCase& layout : kColourLayouts) {
    const int tileBytes = BytesPerPixel(layout.tileMode), outBytes = BytesPerPixel(layout.outputMode);
    std::vector<uint8_t> tileBytesRow(kPixels * tileBytes), input(kPixels * outBytes);
    for (uint8_t& b : tileBytesRow) b = static_cast<uint8_t>(random());
    for (uint8_t& b : input) b = static_cast<uint8_t>(random());
    const std::vector<int> tileChannels = ChannelBytes(layout.tileMode, true);
    const std::vector<int> outChannels = ChannelBytes(layout.outputMode, true);
    for (int16_t mode : {kBlendNormal, kBlendDarken, kBlendLighten, kBlendMultiply, kBlendScreen}) {
      for (int32_t opacity : {100, 50}) {
        for (uint8_t flag : {0, 1}) {
          RowTile row(layout.tileMode, tileBytesRow, opacity, mode, flag);
          const std::vector<uint8_t> output = row.Blend(input, 0, layout.outputMode, 0xEE);
          for (int x = 0; x < kPixels; ++x) {
            if (layout.outputMode == kPixelSkipFirst) {
              ASSERT_EQ(output[x * outBytes], 0xEE);
            }
            for (size_t k = 0; k < outChannels.size(); ++k) {
              const int i = input[x * outBytes + outChannels[k]], t = tileBytesRow[x * tileBytes + tileChannels[k]];
              ASSERT_EQ(output[x * outBytes + outChannels[k]], reference::Separable(mode, opacity, i, t))
                  << "layout " << layout.tileMode << "/" << layout.outputMode << " mode " << mode << " pixel " << x;
            }
          }
        }
      }
    }
  }
}

TEST(BlendColourModel, ClipsIntoRangeKeepingLuminosity) {
  const Rgb high = SetLum<false>(Rgb{250, 100, 0}, 200);
  EXPECT_EQ(high.r, 255);
  EXPECT_EQ(high.g, 183);
  EXPECT_EQ(high.b, 136);
  const Rgb white = SetLum<false>(Rgb{250, 250, 10}, 255);
  EXPECT_EQ(white.r, 255);
  EXPECT_EQ(white.g, 255);
  EXPECT_EQ(white.b, 255);
  const Rgb low = SetLum<false>(Rgb{10, 200, 250}, 20);  // blue-green pushed below 0
  reference::ClipCounts counts;
  const reference::Colour expected = reference::SetLumOf({10, 200, 250}, 20, false, &counts);
  EXPECT_EQ(counts.low, 1);
  EXPECT_EQ(low.r, expected[0]);
  EXPECT_EQ(low.g, expected[1]);
  EXPECT_EQ(low.b, expected[2]);
  EXPECT_EQ(low.r, 0);
  const Rgb gray = SetSat(Rgb{90, 90, 90}, 200);  // a gray colour has no hue to saturate
  EXPECT_EQ(gray.r, 90);
  EXPECT_EQ(gray.b, 90);
}

TEST(BlendColourModel, TakesProportionsFromReciprocalsExactly) {
  for (int32_t spread = 1; spread <= 255; ++spread)
    for (int32_t offset = 0; offset <= spread; ++offset)
      ASSERT_EQ(colour_detail::Proportion(-7, offset - 7, spread - 7), offset * 256 / spread) << spread;
}

struct ColourCase {
  int16_t mode;
  int32_t opacity;
  reference::Colour input, tile, expected;
};

TEST(BlendColourModes, GiveTheWorkedExamplesInBothByteOrders) {
  const ColourCase cases[] = {
      {kBlendLuminosity, 100, {200, 100, 50}, {128, 128, 128}, {204, 104, 54}},
      // A gray tile: the tile's gray moved to the image's (rounded) luminosity.
      {kBlendHue, 100, {200, 100, 50}, {90, 90, 90}, {125, 125, 125}},
      {kBlendColor, 100, {128, 128, 128}, {255, 0, 0}, {255, 73, 73}},
  };
  for (const ColourCase& c : cases) {
    reference::ClipCounts counts;
    EXPECT_EQ(reference::ColourMode(c.mode, c.opacity, c.input, c.tile, &counts), c.expected) << "mode " << c.mode;
    for (uint8_t flag : {0, 1}) {
      const int r = flag ? 2 : 0, b = flag ? 0 : 2;
      std::vector<uint8_t> tile(3), input(3);
      tile[r] = static_cast<uint8_t>(c.tile[0]);
      tile[1] = static_cast<uint8_t>(c.tile[1]);
      tile[b] = static_cast<uint8_t>(c.tile[2]);
      input[r] = static_cast<uint8_t>(c.input[0]);
      input[1] = static_cast<uint8_t>(c.input[1]);
      input[b] = static_cast<uint8_t>(c.input[2]);
      RowTile row(kPixelThree, tile, c.opacity, c.mode, flag);
      const std::vector<uint8_t> output = row.Blend(input);
      EXPECT_EQ(output[r], c.expected[0]) << "mode " << c.mode << " flag " << int(flag);
      EXPECT_EQ(output[1], c.expected[1]) << "mode " << c.mode << " flag " << int(flag);
      EXPECT_EQ(output[b], c.expected[2]) << "mode " << c.mode << " flag " << int(flag);
    }
  }
}

// Image and tile colours: a grid with the extremes, plus random pairs.
std::vector<std::pair<reference::Colour, reference::Colour>> ColourPairs() {
  const int32_t levels[] = {0, 1, 60, 128, 254, 255};
  std::vector<reference::Colour> grid;
  for (int32_t r : levels)
    for (int32_t g : levels)
      for (int32_t b : levels) grid.push_back({r, g, b});
  std::vector<std::pair<reference::Colour, reference::Colour>> pairs;
  for (const auto& image : grid)
    for (const auto& tile : grid) pairs.push_back({image, tile});
  std::mt19937 random(11);
  std::uniform_int_distribution<int32_t> byte(0, 255);
  for (int k = 0; k < 15000; ++k)
    pairs.push_back({{byte(random), byte(random), byte(random)}, {byte(random), byte(random), byte(random)}});
  return pairs;
}

TEST(BlendColourModes, MatchTheColourModelOverADenseSample) {
  const auto pairs = ColourPairs();
  const int32_t count = static_cast<int32_t>(pairs.size());
  const int16_t modes[] = {kBlendHue, kBlendSaturation, kBlendColor, kBlendLuminosity};
  const int32_t opacities[] = {100, 50};
  std::vector<reference::Colour> expected[4][2];
  for (int m = 0; m < 4; ++m) {
    for (int o = 0; o < 2; ++o) {
      reference::ClipCounts counts;
      for (const auto& pair : pairs)
        expected[m][o].push_back(reference::ColourMode(modes[m], opacities[o], pair.first, pair.second, &counts));
      EXPECT_GT(counts.low, 1000) << "mode " << modes[m];  // both sides of the clip are covered
      EXPECT_GT(counts.high, 1000) << "mode " << modes[m];
    }
  }
  // Every lane width this processor has, down to one pixel at a time.
  for (int32_t width : {16, 8, 0}) {
    ColourLaneCap cap(width);
    if (ColourLaneWidth() != width) continue;
    for (const LayoutCase& layout : kColourLayouts) {
      for (bool blueFirst : {false, true}) {
        const int tileBytes = BytesPerPixel(layout.tileMode), outBytes = BytesPerPixel(layout.outputMode);
        const std::vector<int> tileChannels = ChannelBytes(layout.tileMode, false, blueFirst);
        const std::vector<int> outChannels = ChannelBytes(layout.outputMode, false, blueFirst);
        std::vector<uint8_t> tileRow(count * tileBytes, 0x5A), input(count * outBytes, 0xA5);
        for (int32_t x = 0; x < count; ++x) {
          for (int k = 0; k < 3; ++k) {
            tileRow[x * tileBytes + tileChannels[k]] = static_cast<uint8_t>(pairs[x].second[k]);
            input[x * outBytes + outChannels[k]] = static_cast<uint8_t>(pairs[x].first[k]);
          }
        }
        for (int m = 0; m < 4; ++m) {
          for (int o = 0; o < 2; ++o) {
            RowTile row(layout.tileMode, tileRow, opacities[o], modes[m], blueFirst ? 1 : 0);
            const std::vector<uint8_t> output = row.Blend(input, 0, layout.outputMode, 0xC3);
            // The same row blended in place, output over input.
            std::vector<uint8_t> inPlace = input;
            BlendRow(&row.tile, inPlace.data(), inPlace.data(), 0, 0, layout.outputMode, layout.outputMode);
            for (int32_t x = 0; x < count; ++x) {
              for (int k = 0; k < 3; ++k) {
                ASSERT_EQ(output[x * outBytes + outChannels[k]], expected[m][o][x][k])
                    << "layout " << layout.tileMode << "/" << layout.outputMode << " blue first " << blueFirst
                    << " mode " << modes[m] << " opacity " << opacities[o] << " pixel " << x << " lanes " << width;
                ASSERT_EQ(inPlace[x * outBytes + outChannels[k]], expected[m][o][x][k]) << "in place, pixel " << x;
              }
              // The fourth byte of CMYK and the skipped byte of mode 10 stay as the buffer held them.
              if (outBytes == 4) {
                ASSERT_EQ(output[x * 4 + (layout.outputMode == kPixelFour ? 3 : 0)], 0xC3);
                ASSERT_EQ(inPlace[x * 4 + (layout.outputMode == kPixelFour ? 3 : 0)], 0xA5);
              }
            }
          }
        }
      }
    }
  }
}

TEST(BlendRowWalk, RepeatsTheTileRowFromTheEntryColumn) {
  RowTile row(kPixelGray, {10, 11, 12}, 100, kBlendNormal);
  row.tile.destWidth = 7;
  EXPECT_EQ(row.Blend(std::vector<uint8_t>(7), 2), (std::vector<uint8_t>{12, 10, 11, 12, 10, 11, 12}));
  row.tile.SetBlend(50, kBlendDarken);  // the opacity routines walk the same way
  EXPECT_EQ(row.Blend(std::vector<uint8_t>(7, 255), 2), (std::vector<uint8_t>{132, 131, 132, 132, 131, 132, 132}));
}

TEST(BlendRowWalk, ServesTileRowsOf32KiBAndMore) {
  constexpr int32_t kWidth = 12000;  // 36 000 bytes a row
  std::vector<uint8_t> tileRow(kWidth * 3);
  for (int32_t x = 0; x < kWidth; ++x) {
    tileRow[x * 3] = static_cast<uint8_t>(x);
    tileRow[x * 3 + 1] = static_cast<uint8_t>(x >> 8);
  }
  RowTile row(kPixelThree, tileRow, 100, kBlendNormal);
  row.tile.destWidth = 4;
  const std::vector<uint8_t> output = row.Blend(std::vector<uint8_t>(12), kWidth - 2);
  const int32_t columns[] = {kWidth - 2, kWidth - 1, 0, 1};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(output[x * 3], static_cast<uint8_t>(columns[x]));
    EXPECT_EQ(output[x * 3 + 1], static_cast<uint8_t>(columns[x] >> 8));
  }
}

struct StepCase {
  int32_t width, start, count, fractionStep, wholePixels;
};

TEST(BlendRowWalk, StepsThroughTheTileLikeAWrappingBytePointer) {
  const StepCase cases[] = {
      {7, 3, 40, 8333, 1},     // the preview at scale 0.48: 2.08333 tile pixels a pixel
      {5, 0, 30, 50000, 0},    // half a pixel more each time
      {3, 2, 20, 99999, 3},    // more than a tile width a pixel
      {4, 1, 20, 0, 9},        // whole steps only, far beyond the tile
      {1, 0, 5, 30000, 2},     // a one-pixel tile
      {12000, 11990, 50, 70000, 5},
  };
  for (const StepCase& c : cases) {
    for (int16_t mode : {kPixelGray, kPixelThree}) {
      const int32_t bpp = BytesPerPixel(mode);
      std::vector<uint8_t> tileRow(c.width * bpp);
      for (int32_t x = 0; x < c.width; ++x)
        for (int32_t k = 0; k < bpp; ++k) tileRow[x * bpp + k] = static_cast<uint8_t>(x >> (8 * (k & 1)));
      std::vector<uint8_t> input(c.count * bpp, 0), output(c.count * bpp, 0);
      const std::vector<int32_t> columns =
          reference::WalkColumns(c.width, bpp, c.start, c.count, c.fractionStep, c.wholePixels * bpp);
      FullStrengthCompositorOf(kBlendNormal)(tileRow.data(), c.width, c.width * bpp, c.start, 0, mode, c.count,
                                             mode, output.data(), input.data(), c.fractionStep,
                                             c.wholePixels * bpp, static_cast<int16_t>(bpp), 0);
      for (int32_t x = 0; x < c.count; ++x) {
        ASSERT_EQ(output[x * bpp], static_cast<uint8_t>(columns[x])) << "width " << c.width << " pixel " << x;
        if (bpp == 3) {
          ASSERT_EQ(output[x * 3 + 1], static_cast<uint8_t>(columns[x] >> 8));
        }
      }
      std::vector<uint8_t> stepped(c.count * bpp, 0);  // the colour routines step the same way
      OpacityCompositorOf(kBlendLuminosity)(tileRow.data(), c.width, c.width * bpp, c.start, 0, mode, c.count,
                                            mode, stepped.data(), input.data(), 0, c.fractionStep,
                                            c.wholePixels * bpp, static_cast<int16_t>(bpp), 0);
      if (mode == kPixelGray) {
        for (int32_t x = 0; x < c.count; ++x)
          ASSERT_EQ(stepped[x], static_cast<uint8_t>(columns[x])) << "width " << c.width << " pixel " << x;
      }
    }
  }
}

TEST(BlendRowWalk, SkipsTheFirstByteOfFourByteTilePixels) {
  RowTile row(kPixelSkipFirst, {9, 1, 2, 3, 9, 4, 5, 6}, 100, kBlendNormal);
  EXPECT_EQ(row.Blend(std::vector<uint8_t>(6), 0, kPixelThree), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(row.Blend(std::vector<uint8_t>(8), 1, kPixelSkipFirst, 7),
            (std::vector<uint8_t>{7, 4, 5, 6, 7, 1, 2, 3}));
}

TEST(BlendRowWalk, LeavesTheRowAloneWhenItCannotServeTheCall) {
  const std::vector<uint8_t> input(8, 100);
  for (int16_t mode : {0, 2, 5, 11, -1}) {
    RowTile row(kPixelGray, {1, 2}, 100, kBlendNormal);
    std::vector<uint8_t> output(8, 0xEE);
    BlendRow(&row.tile, input.data(), output.data(), 0, 0, mode, mode);
    EXPECT_EQ(output, std::vector<uint8_t>(8, 0xEE)) << "output mode " << mode;
  }
  const LayoutCase mismatched[] = {{kPixelGray, kPixelThree}, {kPixelFour, kPixelThree}, {kPixelThree, kPixelFour},
                                   {kPixelThree, kPixelGray}};
  for (const LayoutCase& layout : mismatched) {
    RowTile row(layout.tileMode, std::vector<uint8_t>(12, 1), 50, kBlendScreen);
    row.tile.destWidth = 2;
    EXPECT_EQ(row.Blend(input, 0, layout.outputMode, 0xEE), std::vector<uint8_t>(8, 0xEE))
        << "tile " << layout.tileMode << " output " << layout.outputMode;
  }
  for (int16_t blendMode : {0, 10}) {
    RowTile row(kPixelGray, {1, 2}, 100, blendMode);
    EXPECT_EQ(row.Blend(input, 0, kPixelGray, 0xEE), std::vector<uint8_t>(8, 0xEE)) << "blend mode " << blendMode;
  }
  RowTile unlocked(kPixelGray, {1, 2}, 100, kBlendNormal);
  unlocked.tile.pixels = nullptr;
  EXPECT_EQ(unlocked.Blend(input, 0, kPixelGray, 0xEE), std::vector<uint8_t>(8, 0xEE));
  EXPECT_EQ(FullStrengthCompositorOf(10), nullptr);
  EXPECT_EQ(OpacityCompositorOf(0), nullptr);
}

}  // namespace
}  // namespace quiltora
