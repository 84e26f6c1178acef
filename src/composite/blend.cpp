#include "composite/blend.h"

#include "common/integer.h"
#include "composite/blend_kernels.h"

namespace quiltora {
namespace {

using namespace blend_detail;

using RowKernel = void (*)(const RowWalk&);

enum LayoutIndex : int {
  kLayoutGray,
  kLayoutRgb,
  kLayoutBgr,
  kLayoutRgbFromSkip,
  kLayoutBgrFromSkip,
  kLayoutSkipFromRgb,
  kLayoutSkipFromBgr,
  kLayoutSkip,
  kLayoutFour,
  kLayoutCount,
  kLayoutUnsupported = -1,
};

template <class Op>
constexpr RowKernel kKernelsOf[kLayoutCount] = {
    &Kernel<LayoutGray, Op>,        &Kernel<LayoutRgb, Op>,         &Kernel<LayoutBgr, Op>,
    &Kernel<LayoutRgbFromSkip, Op>, &Kernel<LayoutBgrFromSkip, Op>, &Kernel<LayoutSkipFromRgb, Op>,
    &Kernel<LayoutSkipFromBgr, Op>, &Kernel<LayoutSkip, Op>,        &Kernel<LayoutFour, Op>,
};

// By blend mode - 1: the full-strength kernels, then those with opacity.
constexpr const RowKernel* kFullKernels[9] = {
    kKernelsOf<NormalFull>,
    kKernelsOf<DarkenFull>,
    kKernelsOf<LightenFull>,
    kKernelsOf<ColourOp<kBlendHue, HueResult, false, KeepInput>>,
    kKernelsOf<ColourOp<kBlendSaturation, SaturationResult, false, KeepInput>>,
    kKernelsOf<ColourOp<kBlendColor, ColorResult, false, KeepInput>>,
    kKernelsOf<ColourOp<kBlendLuminosity, LuminosityResult, false, NormalFull>>,
    kKernelsOf<MultiplyFull>,
    kKernelsOf<ScreenFull>,
};
constexpr const RowKernel* kOpacityKernels[9] = {
    kKernelsOf<NormalMix>,
    kKernelsOf<DarkenMix>,
    kKernelsOf<LightenMix>,
    kKernelsOf<ColourOp<kBlendHue, HueResult, true, KeepInput>>,
    kKernelsOf<ColourOp<kBlendSaturation, SaturationResult, true, KeepInput>>,
    kKernelsOf<ColourOp<kBlendColor, ColorResult, true, KeepInput>>,
    kKernelsOf<ColourOp<kBlendLuminosity, LuminosityResult, true, NormalMix>>,
    kKernelsOf<MultiplyMix>,
    kKernelsOf<ScreenMix>,
};

// Three-byte pixels follow the flag, four-byte ones are always red, green, blue.
int LayoutOf(int16_t tilePixelMode, int16_t outputPixelMode, bool blueFirst) {
  switch (outputPixelMode) {
    case kPixelGray: return tilePixelMode == kPixelGray ? kLayoutGray : kLayoutUnsupported;
    case kPixelThree:
      if (tilePixelMode == kPixelThree) return blueFirst ? kLayoutBgr : kLayoutRgb;
      if (tilePixelMode == kPixelSkipFirst) return blueFirst ? kLayoutBgrFromSkip : kLayoutRgbFromSkip;
      return kLayoutUnsupported;
    case kPixelSkipFirst:
      if (tilePixelMode == kPixelThree) return blueFirst ? kLayoutSkipFromBgr : kLayoutSkipFromRgb;
      if (tilePixelMode == kPixelSkipFirst) return kLayoutSkip;
      return kLayoutUnsupported;
    case kPixelFour: return tilePixelMode == kPixelFour ? kLayoutFour : kLayoutUnsupported;
    default: return kLayoutUnsupported;
  }
}

// Checks the call, reduces the steps to the tile row once, and runs the
// kernel of the layout; anything it cannot serve leaves the output alone.
void Composite(const RowKernel* kernels, const uint8_t* tilePixels, int32_t tileWidth, int32_t tileRowBytes,
               int32_t tileColumn, int32_t tileRow, int16_t tilePixelMode, int32_t pixelCount,
               int16_t outputPixelMode, uint8_t* outputRow, const uint8_t* inputRow, int32_t factor,
               int32_t fractionStep, int32_t wholeStep, int16_t tileBytesPerPixel, uint8_t byteOrderFlag) {
  const int layout = LayoutOf(tilePixelMode, outputPixelMode, byteOrderFlag != 0);
  if (layout == kLayoutUnsupported || tileBytesPerPixel != BytesPerPixel(tilePixelMode)) return;
  if (tilePixels == nullptr || outputRow == nullptr || inputRow == nullptr) return;
  if (pixelCount <= 0 || tileWidth <= 0 || tileRow < 0) return;
  if (static_cast<int64_t>(tileWidth) * tileBytesPerPixel > tileRowBytes) return;

  // The whole step is taken in whole tile pixels and a fraction beyond one
  // pixel is carried into it, so the walk never leaves pixel boundaries.
  const int64_t wholePixels = FloorDiv(wholeStep, tileBytesPerPixel) + FloorDiv(fractionStep, kFractionOne);
  RowWalk walk;
  walk.tileRow = tilePixels + static_cast<size_t>(tileRow) * static_cast<size_t>(tileRowBytes);
  walk.tileWidth = tileWidth;
  walk.column = static_cast<int32_t>(FloorMod(tileColumn, tileWidth));
  walk.advance = static_cast<int32_t>(FloorMod(1 + wholePixels, tileWidth));
  walk.fractionStep = static_cast<int32_t>(FloorMod(fractionStep, kFractionOne));
  walk.consecutive = walk.fractionStep == 0 && walk.advance == 1 % tileWidth;
  walk.pixelCount = pixelCount;
  walk.input = inputRow;
  walk.output = outputRow;
  walk.factor = factor < 0 ? 0 : factor > 255 ? 255 : factor;  // keeps every product inside 32 bits
  kernels[layout](walk);
}

template <int kMode>
void CompositeFull(const uint8_t* tilePixels, int32_t tileWidth, int32_t tileRowBytes, int32_t tileColumn,
                   int32_t tileRow, int16_t tilePixelMode, int32_t pixelCount, int16_t outputPixelMode,
                   uint8_t* outputRow, const uint8_t* inputRow, int32_t fractionStep, int32_t wholeStep,
                   int16_t tileBytesPerPixel, uint8_t byteOrderFlag) {
  Composite(kFullKernels[kMode - 1], tilePixels, tileWidth, tileRowBytes, tileColumn, tileRow, tilePixelMode,
            pixelCount, outputPixelMode, outputRow, inputRow, 0, fractionStep, wholeStep, tileBytesPerPixel,
            byteOrderFlag);
}

template <int kMode>
void CompositeWithOpacity(const uint8_t* tilePixels, int32_t tileWidth, int32_t tileRowBytes, int32_t tileColumn,
                          int32_t tileRow, int16_t tilePixelMode, int32_t pixelCount, int16_t outputPixelMode,
                          uint8_t* outputRow, const uint8_t* inputRow, int32_t factor, int32_t fractionStep,
                          int32_t wholeStep, int16_t tileBytesPerPixel, uint8_t byteOrderFlag) {
  Composite(kOpacityKernels[kMode - 1], tilePixels, tileWidth, tileRowBytes, tileColumn, tileRow, tilePixelMode,
            pixelCount, outputPixelMode, outputRow, inputRow, factor, fractionStep, wholeStep, tileBytesPerPixel,
            byteOrderFlag);
}

constexpr FullStrengthCompositor kFullCompositors[9] = {
    CompositeFull<1>, CompositeFull<2>, CompositeFull<3>, CompositeFull<4>, CompositeFull<5>,
    CompositeFull<6>, CompositeFull<7>, CompositeFull<8>, CompositeFull<9>,
};
constexpr OpacityCompositor kOpacityCompositors[9] = {
    CompositeWithOpacity<1>, CompositeWithOpacity<2>, CompositeWithOpacity<3>,
    CompositeWithOpacity<4>, CompositeWithOpacity<5>, CompositeWithOpacity<6>,
    CompositeWithOpacity<7>, CompositeWithOpacity<8>, CompositeWithOpacity<9>,
};

}  // namespace

int32_t TransparencyOfOpacity(int32_t opacity) {
  if (opacity > 100) opacity = 100;
  if (opacity < 0) opacity = 0;
  return (100 - opacity) * 255 / 100;
}

FullStrengthCompositor FullStrengthCompositorOf(int32_t blendMode) {
  return blendMode >= 1 && blendMode <= 9 ? kFullCompositors[blendMode - 1] : nullptr;
}

OpacityCompositor OpacityCompositorOf(int32_t blendMode) {
  return blendMode >= 1 && blendMode <= 9 ? kOpacityCompositors[blendMode - 1] : nullptr;
}

namespace {

// The compositor of the tile's mode and opacity with its factor, or null.
struct ChosenCompositor {
  FullStrengthCompositor full = nullptr;
  OpacityCompositor withOpacity = nullptr;
  int32_t factor = 0;

  explicit ChosenCompositor(const TileImage& tile) {
    const int32_t t = TransparencyOfOpacity(tile.opacity);
    if (t == 0) {
      full = FullStrengthCompositorOf(tile.blendMode);
      return;
    }
    withOpacity = OpacityCompositorOf(tile.blendMode);
    const bool usesOpacityFactor = tile.blendMode == kBlendMultiply || tile.blendMode == kBlendScreen;
    factor = usesOpacityFactor ? 255 - t : t;
  }
  bool valid() const { return full != nullptr || withOpacity != nullptr; }

  // steps.pixelCount pixels of tile row tileRow (of rows rowBytes apart,
  // rowWidth pixels long) from column tileColumn.
  void Run(const TileImage& tile, const uint8_t* pixels, int32_t rowWidth, int32_t rowBytes, int32_t tileColumn,
           int32_t tileRow, const RowSteps& steps, int16_t outputPixelMode, uint8_t* outputRow,
           const uint8_t* inputRow) const {
    if (full != nullptr)
      full(pixels, rowWidth, rowBytes, tileColumn, tileRow, tile.pixelMode, steps.pixelCount, outputPixelMode,
           outputRow, inputRow, steps.fractionStep, steps.wholeStep, tile.bytesPerPixel, tile.byteOrderFlag);
    else
      withOpacity(pixels, rowWidth, rowBytes, tileColumn, tileRow, tile.pixelMode, steps.pixelCount,
                  outputPixelMode, outputRow, inputRow, factor, steps.fractionStep, steps.wholeStep,
                  tile.bytesPerPixel, tile.byteOrderFlag);
  }
};

}  // namespace

void BlendSteppedRow(const TileImage* tile, const uint8_t* inputRow, uint8_t* outputRow, int32_t tileColumn,
                     int32_t tileRow, int16_t outputPixelMode, const RowSteps& steps) {
  if (tile == nullptr || tile->pixels == nullptr || tileRow < 0 || tileRow >= tile->height) return;
  const ChosenCompositor compositor(*tile);
  if (!compositor.valid()) return;
  compositor.Run(*tile, tile->pixels, tile->width, tile->rowBytes, tileColumn, tileRow, steps, outputPixelMode,
                 outputRow, inputRow);
}

void BlendRow(const TileImage* tile, const uint8_t* inputRow, uint8_t* outputRow, int32_t tileColumn, int32_t tileRow,
              int16_t /*inputPixelMode*/, int16_t outputPixelMode) {
  if (tile == nullptr) return;
  RowSteps steps;
  steps.pixelCount = tile->destWidth;
  BlendSteppedRow(tile, inputRow, outputRow, tileColumn, tileRow, outputPixelMode, steps);
}

void BlendRowPieces(const TileImage* tile, const TilePiece* pieces, int pieceCount, const uint8_t* inputRow,
                    uint8_t* outputRow, int32_t tileColumn, int16_t outputPixelMode) {
  if (tile == nullptr || pieces == nullptr || pieceCount <= 0 || tile->width <= 0) return;
  int64_t width = 0;
  for (int k = 0; k < pieceCount; ++k) width += pieces[k].count < 0 ? 0 : pieces[k].count;
  const int32_t outputBytes = BytesPerPixel(outputPixelMode);
  const ChosenCompositor compositor(*tile);
  if (width != tile->width || outputBytes == 0 || !compositor.valid()) return;
  // The piece holding the entry column, and the column inside it.
  int32_t offset = static_cast<int32_t>(FloorMod(tileColumn, tile->width));
  int k = 0;
  while (offset >= pieces[k].count) offset -= pieces[k++].count;
  for (int32_t remaining = tile->destWidth; remaining > 0;) {
    const TilePiece& piece = pieces[k];
    const int32_t run = remaining < piece.count - offset ? remaining : piece.count - offset;
    if (run > 0) {
      RowSteps steps;
      steps.pixelCount = run;
      compositor.Run(*tile, piece.pixels, piece.count, piece.count * tile->bytesPerPixel, offset, 0, steps,
                     outputPixelMode, outputRow, inputRow);
      inputRow += static_cast<size_t>(run) * static_cast<size_t>(outputBytes);
      outputRow += static_cast<size_t>(run) * static_cast<size_t>(outputBytes);
      remaining -= run;
    }
    offset = 0;
    k = k + 1 == pieceCount ? 0 : k + 1;
  }
}

}  // namespace quiltora
