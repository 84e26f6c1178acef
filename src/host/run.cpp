#include "host/run.h"

#include <algorithm>
#include <cstring>

#include "common/pixels.h"
#include "composite/tile_image.h"
#include "host/messages.h"
#include "host/parameters.h"
#include "host/run_render.h"
#include "host/run_state.h"
#include "image/image_buffer.h"
#include "image/memory_block.h"
#include "platform/platform.h"
#include "resources/resource_ids.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora {
namespace {

constexpr int32_t kPreviewLongSide = 192;
constexpr int32_t kHostSuiteBufferSpace = 0x100000;
constexpr int32_t kMinimumBufferSpace = 0x258880;

plugin::Rect FilterRow(int32_t row) {
  const plugin::Rect& area = gFilterRecord->filterRect;
  return plugin::Rect{int16_t(area.top + row), area.left, int16_t(area.top + row + 1), area.right};
}

// Sets both plane ranges by the image mode; false for a mode the module does not take.
bool SetPlanes() {
  const int32_t bytesPerPixel = BytesPerPixelOfImageMode(gFilterRecord->imageMode);
  if (bytesPerPixel == 0) {
    gResult = plugin::kFilterBadMode;
    return false;
  }
  gFilterRecord->inLoPlane = gFilterRecord->outLoPlane = 0;
  gFilterRecord->inHiPlane = gFilterRecord->outHiPlane = int16_t(bytesPerPixel - 1);
  return true;
}

// Brings a record the host handed back into the ranges the run reads. A
// damaged or foreign block must still run, with defaults where it makes no sense.
void SanitiseParameters(ParameterBlock* block) {
  if (block->symmetry < 1 || block->symmetry > 17) block->symmetry = 8;
  if (block->blendMode < 1 || block->blendMode > 9) block->blendMode = 1;
  if ((block->opacity & 0xFF) < 1 || (block->opacity & 0xFF) > 100) block->opacity = 100;
  if (block->feather < 0 || block->feather > 100) block->feather = 0;
  if (block->sourceKind != kSourceLoadedFile && block->sourceKind != kSourceImage) block->sourceKind = kSourceImage;
  block->sourcePath[kSourcePathSize - 1] = '\0';
  if (!(block->tileOffsetFracX >= -1.0 && block->tileOffsetFracX <= 1.0)) block->tileOffsetFracX = 0.0;
  if (!(block->tileOffsetFracY >= -1.0 && block->tileOffsetFracY <= 1.0)) block->tileOffsetFracY = 0.0;
  // A stored selection is a set of fractions of the source; anything else (a
  // number out of all range, not a number) gets the middle ninth.
  SelectionFrame& frame = block->selectionNormalised;
  auto fraction = [](double value) { return value >= -0.5 && value <= 1.5; };
  if (!fraction(frame.top) || !fraction(frame.left) || !fraction(frame.bottom) || !fraction(frame.right) ||
      !(frame.shear >= -64.0 && frame.shear <= 64.0))
    frame = SelectionFrame{1.0 / 3, 1.0 / 3, 2.0 / 3, 2.0 / 3, 0.0};
}

// The block of this run; a host that starts a run without one gets a block
// with the defaults, rendered without the dialog.
ParameterBlock* RunParameters() {
  ForgetSuiteSizing();
  ParameterBlock* block = LockParameters(gFilterRecord);
  return block != nullptr ? block : CreateParameters(gFilterRecord);
}

int16_t StartPreviewReading(ParameterBlock* block) {
  if (!SetPlanes()) return plugin::kBadModeResult;
  const int32_t width = FilterWidth(gFilterRecord);
  const int32_t height = FilterHeight(gFilterRecord);
  const double aspect = double(height) / double(width);
  if (aspect < 1.0) {
    gPreviewWidth = kPreviewLongSide;
    gPreviewHeight = int32_t(aspect * kPreviewLongSide);
  } else {
    gPreviewHeight = kPreviewLongSide;
    gPreviewWidth = int32_t(kPreviewLongSide / aspect);
  }
  ReleaseImageRef(&block->previewImage);
  ImageBuffer* preview = ImageBufferCreate(ImageFormatOfMode(gFilterRecord->imageMode), gPreviewWidth, gPreviewHeight);
  block->previewImage = RefFromImage(preview);
  if (block->previewImage == 0) {
    ImageBufferRelease(preview);
    return plugin::kMemFullErr;
  }
  gFilterRecord->inRect = FilterRow(0);
  gFilterRecord->outRect = plugin::kEmptyRect;
  gPreviewRow = 0;
  return plugin::kNoErr;
}

void CopyPreviewRow(ImageBuffer* preview) {
  const int32_t width = FilterWidth(gFilterRecord);
  const int32_t samples = gFilterRecord->inHiPlane - gFilterRecord->inLoPlane + 1;
  const auto* input = static_cast<const uint8_t*>(gFilterRecord->inData);
  uint8_t* out = ImageBufferPixel(preview, 0, gPreviewRow);
  for (int32_t x = 0; x < gPreviewWidth; ++x) {
    const uint8_t* pixel = input + int64_t(width) * x / gPreviewWidth * samples;
    switch (gFilterRecord->imageMode) {
      case plugin::kModeGray: *out++ = pixel[0]; break;
      case plugin::kModeRGB:
        *out++ = pixel[2];
        *out++ = pixel[1];
        *out++ = pixel[0];
        break;
      default: out = std::copy(pixel, pixel + 4, out); break;
    }
  }
}

int16_t ContinuePreviewReading(ParameterBlock* block) {
  if (block == nullptr) return plugin::kMemFullErr;
  ImageBuffer* preview = ImageFromRef(block->previewImage);
  if (preview == nullptr) return StartPreviewReading(block);
  if (BytesPerPixelOfImageMode(gFilterRecord->imageMode) == 0) {
    gResult = plugin::kFilterBadMode;
    return plugin::kBadModeResult;
  }
  if (gFilterRecord->inData == nullptr) return plugin::kMemFullErr;
  // A preview made for another picture (the host changed it between calls)
  // is never written with this one's rows.
  if (preview->format != ImageFormatOfMode(gFilterRecord->imageMode) || preview->width != gPreviewWidth ||
      preview->height != gPreviewHeight || gPreviewRow >= preview->height)
    return plugin::kParamErr;
  CopyPreviewRow(preview);
  if (gPreviewRow < gPreviewHeight - 1) {
    ++gPreviewRow;
    gFilterRecord->inRect = FilterRow(int32_t(int64_t(FilterHeight(gFilterRecord)) * gPreviewRow / gPreviewHeight));
  } else {
    gFilterRecord->inRect = FilterRow(0);
    gRunState = kStateDialog;
  }
  return plugin::kNoErr;
}

}  // namespace

int32_t BytesPerPixelOfImageMode(int16_t imageMode) {
  // The host's mode 10 is 16-bit gray, not the four-byte pixel mode of that number.
  const bool accepted =
      imageMode == plugin::kModeGray || imageMode == plugin::kModeRGB || imageMode == plugin::kModeCMYK;
  return accepted ? BytesPerPixel(imageMode) : 0;
}

int32_t ComputeBufferSpace(int64_t budget, bool hostSuiteUsable, int32_t width, int32_t height, int16_t imageMode) {
  if (hostSuiteUsable) return kHostSuiteBufferSpace;
  const int64_t rowBytes = int64_t(width) * BytesPerPixelOfImageMode(imageMode);
  const int64_t imageBytes = rowBytes * height;
  const int64_t reserve = std::clamp<int64_t>((budget - 0x100000) / 8, 0, std::max<int64_t>(imageBytes, 0));
  const int64_t space = std::max<int64_t>(budget - reserve - rowBytes, kMinimumBufferSpace);
  return int32_t(std::min<int64_t>(space, INT32_MAX));
}

int16_t DoPrepare(plugin::FilterRecord* record) {
  gFilterRecord = record;
  if (!FilterAreaLargeEnough(record)) {
    ShowModuleMessage(IDS_IMAGE_TOO_SMALL, MessageForm::Error);
    gResult = 16;
    return plugin::kStopped;
  }
  // Objects left by a run the host never finished live in memory of the
  // current sources: release them before the sources change.
  ReleaseRunObjects();
  MemorySources sources;
  sources.ownMemoryEnabled = true;
  if (HostBufferSuiteUsable(record->bufferProcs)) sources.bufferProcs = record->bufferProcs;
  if (HostHandleSuiteUsable(record->handleProcs)) sources.handleProcs = record->handleProcs;
  SetMemorySources(sources);
  int64_t budget = int64_t(0.85 * double(platform::LargestFreeBlock()));
  if (record->maxSpace > budget) budget = record->maxSpace;
  const bool hostSuite = sources.bufferProcs != nullptr || sources.handleProcs != nullptr;
  record->bufferSpace =
      ComputeBufferSpace(budget, hostSuite, FilterWidth(gFilterRecord), FilterHeight(gFilterRecord), record->imageMode);
  gResult = 0;
  return plugin::kNoErr;
}

int16_t DoStart() {
  if (gFilterRecord == nullptr) return plugin::kParamErr;
  ParameterBlock* block = RunParameters();
  if (block == nullptr) return plugin::kMemFullErr;
  SanitiseParameters(block);
  if (!SetPlanes()) return plugin::kBadModeResult;
  const plugin::Rect& area = gFilterRecord->filterRect;
  if (block->showDialog) {
    gFilterRecord->inRect = plugin::Rect{area.top, area.left, int16_t(area.top + 10), int16_t(area.left + 10)};
    gFilterRecord->outRect = plugin::kEmptyRect;
    gRunState = kStateReadPreview;
    return plugin::kNoErr;
  }
  gFilterRecord->inRect = FilterRow(0);
  gFilterRecord->outRect = plugin::Rect{area.top, area.left, int16_t(area.top + 1), int16_t(area.left + 1)};
  const int16_t result = SetUpRun(block);
  if (result != 0) {
    gFilterRecord->inRect = gFilterRecord->outRect = plugin::kEmptyRect;
    return result;
  }
  gRunState = kStateBuildTile;
  return plugin::kNoErr;
}

int16_t DoContinue() {
  if (gFilterRecord == nullptr) return plugin::kParamErr;
  ParameterBlock* block = LockParameters(gFilterRecord);
  switch (gRunState) {
    case kStateReadPreview: return ContinuePreviewReading(block);
    case kStateDialog: {
      const int16_t answer = RunMainDialog(gFilterRecord);
      // Cancel is the user's choice; a dialog that could not be shown says why.
      if (answer != 0) return answer < 0 ? answer : int16_t(plugin::kStopped);
      if (block != nullptr) block->showDialog = 0;
      return DoStart();
    }
    case kStateBuildTile: return BuildRunTile(block);
    case kStateWriteRows: return WriteOutputRow();
    default: gFilterRecord->inRect = gFilterRecord->outRect = plugin::kEmptyRect; return plugin::kNoErr;
  }
}

int16_t DoFinish() {
  if (gFilterRecord == nullptr) return plugin::kNoErr;
  ParameterBlock* block = LockParameters(gFilterRecord);
  if (gTile != nullptr && block != nullptr) gTile->StoreToBlock(block);
  ReleaseRunObjects();
  gStopped = 0;
  gRunState = 0;
  if (block != nullptr) {
    ReleaseImageRef(&block->loadedSource);
    // The preview of this run is read again by the next one.
    ReleaseImageRef(&block->previewImage);
    block->selectionInitialised = 0;
  }
  ForgetMadeBlock();
  return plugin::kNoErr;
}

void ReleaseRunObjects() {
  ReleaseRunTileRows();
  ReleaseRunImages();
  DestroySymmetry();
}

}  // namespace quiltora
