#include "dialog/main_dialog_model.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/checked.h"
#include "composite/tile_image.h"
#include "dialog/pane_layout.h"
#include "dialog/pane_pictures.h"
#include "dialog/pane_state.h"
#include "host/parameters.h"
#include "host/run.h"
#include "host/run_state.h"
#include "image/image_buffer.h"
#include "render/preview.h"
#include "resources/resource_ids.h"
#include "symmetry/outline.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora {
namespace {

constexpr int32_t kBlendModes = 9;

// What the model does without windows for the source: no file is chosen,
// no area dialog is accepted, no question is answered yes.
class NoSourceWindows : public SourceSurface {
 public:
  bool ChooseSourceFile(std::string*) override { return false; }
  void ShowFileMessage(const std::string&, int32_t) override {}
  bool RunAreaDialog(ParameterBlock*) override { return false; }
  bool AskQuestion(const std::string&) override { return false; }
};

int32_t TruncSaturated(double value) {
  if (std::isnan(value)) return 0;
  return int32_t(std::clamp(value, -2147483648.0, 2147483647.0));
}

}  // namespace

ParameterBlock* MainDialogModel::block() const { return LockParameters(record_); }

int16_t MainDialogModel::Open() {
  ParameterBlock* b = block();
  if (b == nullptr) return plugin::kParamErr;
  if (CreateRunImages() != 0) return plugin::kMemFullErr;
  gTile->Reset(0, 0);
  const int32_t width = FilterWidth(record_);
  const int32_t height = FilterHeight(record_);
  const bool imageSizeChanged = width != b->imageWidth || height != b->imageHeight;
  const int32_t storedSourceWidth = b->sourceWidth, storedSourceHeight = b->sourceHeight;
  b->imageWidth = b->sourceWidth = width;
  b->imageHeight = b->sourceHeight = height;
  sourceList_ = SourceList{};
  // The picture of a loaded-file source does not outlive the dialog that
  // loaded it: the user is asked whether to read it again.
  if (sources_ != nullptr) {
    ReloadAtOpening(b, &sourceList_, sources_, imageSizeChanged, storedSourceWidth, storedSourceHeight);
  } else if (b->sourceKind == kSourceLoadedFile && ImageFromRef(b->loadedSource) == nullptr) {
    NoSourceWindows none;
    UseHostImage(b, &sourceList_, &none);
    ResetSelection(b);
  }
  // An outline the pane cannot hold is not one to start from.
  if (b->selectionVertexCount < 0 || b->selectionVertexCount > kOutlineMaxVertices) {
    b->selectionVertexCount = 0;
    b->selectionInitialised = 0;
  }
  return 0;
}

bool MainDialogModel::OpenResultPane(int32_t clientWidth, int32_t clientHeight) {
  patternDragging_ = false;
  ParameterBlock* b = block();
  const ImageBuffer* preview = b != nullptr ? ImageFromRef(b->previewImage) : nullptr;
  if (preview == nullptr) return true;
  ImageBufferPtr image(ImageBufferDuplicate(preview));
  if (image == nullptr) return false;
  FlipRows(image.get());
  ImageBufferPtr work(ImageBufferDuplicate(image.get()));
  if (work == nullptr) return false;
  ReleaseImageRef(&b->resultPaneImage);
  ReleaseImageRef(&b->resultPaneWork);
  b->resultPaneImage = RefFromImage(image.get());
  if (b->resultPaneImage == 0) return false;
  ImageBuffer* picture = image.release();
  b->resultPaneWork = RefFromImage(work.get());
  if (b->resultPaneWork == 0) return false;
  work.release();
  b->resultPaneImageRect = CentredPictureRect(clientWidth, clientHeight, picture->width, picture->height);
  return true;
}

bool MainDialogModel::OpenSourcePane(int32_t clientWidth, int32_t clientHeight) {
  sourceClientWidth_ = clientWidth;
  sourceClientHeight_ = clientHeight;
  featherOutline_ = FeatherOutline{};
  return SourceChanged();
}

bool MainDialogModel::MakeSourcePanePicture() {
  ParameterBlock* b = block();
  if (b == nullptr) return true;
  const ImageBuffer* picture = nullptr;
  IntRect part{};
  // The source pixels the pane's picture stands for: the whole image (its
  // preview may be a reduced copy), or only the area of a loaded picture.
  // The scales follow them, so that the outline marks on the picture the
  // pixels the run will take.
  int32_t shownWidth = b->sourceWidth, shownHeight = b->sourceHeight;
  if (b->sourceKind == kSourceImage) {
    picture = ImageFromRef(b->previewImage);
    if (picture != nullptr) part = IntRect{0, 0, picture->width, picture->height};
  } else {
    picture = ImageFromRef(b->loadedSource);
    if (picture != nullptr) {
      const IntRect& area = b->sourceArea;
      part = IntRect{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, picture->width),
                     std::min(area.bottom, picture->height)};
      shownWidth = area.right - area.left;
      shownHeight = area.bottom - area.top;
    }
  }
  // Without a picture the pane keeps the one it has.
  if (picture == nullptr || part.right <= part.left || part.bottom <= part.top) return true;
  const int32_t partWidth = part.right - part.left, partHeight = part.bottom - part.top;
  const SourcePaneLayout layout =
      LayOutSourcePane(sourceClientWidth_, sourceClientHeight_, partWidth, partHeight, shownWidth, shownHeight);
  if (layout.width <= 0 || layout.height <= 0) return true;
  ImageBufferPtr pane(ImageBufferCreate(picture->format, layout.width, layout.height));
  if (pane == nullptr) return false;
  // The fit may leave a last column or row short of the picture's size:
  // black rather than whatever the memory held.
  std::memset(pane->pixels, 0, size_t(pane->imageBytes));
  FitCopy(pane.get(), picture, part.left, part.top, partWidth, partHeight);
  const ObjectRef ref = RefFromImage(pane.get());
  if (ref == 0) return false;
  pane.release();
  ReleaseImageRef(&b->sourcePaneImage);
  b->sourcePaneImage = ref;
  b->sourcePaneScaleX = layout.scaleX;
  b->sourcePaneScaleY = layout.scaleY;
  b->sourcePaneImageRect = b->sourcePaneBounds = layout.imageRect;
  dragTarget_ = kDragNothing;
  b->selectionHandles[0] = -1;
  return true;
}

bool MainDialogModel::SourceChanged() {
  const bool made = MakeSourcePanePicture();
  RebuildSelection();
  return made;
}

void MainDialogModel::InsetBounds() {
  ParameterBlock* b = block();
  b->sourcePaneBounds = FeatherInsetRect(b->sourcePaneImageRect, b->featherPixels);
  if (b->feather != featherPushed_) {
    surface_->SetFeatherSlider(b->feather);
    featherPushed_ = b->feather;
  }
}

void MainDialogModel::RebuildFeather(int32_t shear) {
  ParameterBlock* b = block();
  BuildFeatherOutline(b->symmetry, b->selectionVertices, b->selectionVertexCount, &featherOutline_, shear, &b->feather,
                      &b->featherPixels, b->sourcePaneImageRect);
}

void MainDialogModel::RebuildSelection() {
  ParameterBlock* b = block();
  if (b == nullptr) return;
  surface_->XorSelection();
  IntRect r{};
  if (b->selectionInitialised == 0) {
    r = SelectionPaneRect(*b);
    b->selectionInitialised = 1;
  } else {
    SelectionBounds(b->selectionVertices, b->selectionVertexCount, &r);
  }
  InsetBounds();
  CreateSymmetry(int16_t(b->symmetry));
  const int32_t w = r.right - r.left, h = r.bottom - r.top;
  // The shear comes from the stored selection, not from the outline on screen.
  const int32_t shear = TruncSaturated(b->selectionNormalised.shear * h);
  const int32_t pixels = FeatherPixelsFor(b->symmetry, b->feather, w, h, shear);
  surface_->EnableFeatherSlider(pixels != -1);
  b->featherPixels = std::max(pixels, 0);
  if (BuildSelectionOutline(b->symmetry, r.left, r.top, w, h, shear, b->selectionVertices, b->selectionHandles,
                            &b->selectionVertexCount, b->sourcePaneBounds) == 0) {
    b->selectionVertexCount = 0;
    b->selectionHandles[0] = -1;
  }
  RebuildFeather(shear);
  InsetBounds();
  surface_->XorSelection();
  RefreshPreviews(true, true);
}

void MainDialogModel::FeatherMoved(int32_t value) {
  ParameterBlock* b = block();
  if (b == nullptr) return;
  b->feather = value;
  surface_->XorSelection();
  RebuildFeather(0);
  InsetBounds();
  surface_->XorSelection();
  if (b->feather != value) {
    surface_->WarnFeatherLowered();
    surface_->SetFeatherSlider(b->feather);
  }
  RefreshPreviews(true, true);
}

void MainDialogModel::OpacityMoved(int32_t value) {
  ParameterBlock* b = block();
  if (b == nullptr) return;
  b->opacity = value;
  RefreshPreviews(false, true);
}

void MainDialogModel::ModeChosen(int32_t listIndex) {
  ParameterBlock* b = block();
  if (b == nullptr || listIndex < 0 || listIndex >= kBlendModes) return;
  b->blendMode = listIndex + 1;
  RefreshPreviews(false, true);
}

void MainDialogModel::OriginalImageChosen() {
  ParameterBlock* b = block();
  if (b == nullptr) return;
  NoSourceWindows none;
  ChooseSource(b, &sourceList_, sources_ != nullptr ? sources_ : &none, IDS_ORIGINAL_IMAGE);
}

void MainDialogModel::SourceChosen(int32_t stringId) {
  ParameterBlock* b = block();
  if (b == nullptr) return;
  NoSourceWindows none;
  ChooseSource(b, &sourceList_, sources_ != nullptr ? sources_ : &none, stringId);
}

void MainDialogModel::Accept() {
  if (ParameterBlock* b = block()) CommitSelection(b);
}

PaneCursor MainDialogModel::SourcePress(IntPoint point) {
  ParameterBlock* b = block();
  sourceLast_ = point;
  if (b == nullptr) return PaneCursor::kUnchanged;
  dragTarget_ = HitTestSelection(point, b->selectionVertices, b->selectionHandles, b->selectionVertexCount);
  if (dragTarget_ == kDragWhole) return PaneCursor::kMove;
  if (dragTarget_ >= 0) return b->symmetry == 1 && dragTarget_ == 3 ? PaneCursor::kSizeHorizontal : PaneCursor::kSizeDiagonal;
  return PaneCursor::kUnchanged;
}

void MainDialogModel::SourceMove(IntPoint point, bool controlDown) {
  ParameterBlock* b = block();
  if (b == nullptr) return;
  IntPoint delta{point.x - sourceLast_.x, point.y - sourceLast_.y};
  surface_->XorSelection();
  if (dragTarget_ == kDragWhole) {
    MoveSelection(&delta, b->selectionVertices, b->selectionVertexCount, b->sourcePaneBounds);
    featherOutline_.Offset(delta);
  } else if (dragTarget_ >= 0) {
    ResizeSelection(b->symmetry, delta, b->selectionVertices, b->selectionHandles, &b->selectionVertexCount,
                    dragTarget_, b->sourcePaneBounds, controlDown);
    RebuildFeather(0);
    InsetBounds();
  }
  surface_->XorSelection();
  sourceLast_ = point;
  if (b->liveUpdate) RefreshPreviews(true, true);
}

void MainDialogModel::SourceRelease() { RefreshPreviews(true, true); }

bool MainDialogModel::OverResultPicture(IntPoint point) const {
  const ParameterBlock* b = block();
  if (b == nullptr) return false;
  const IntRect& r = b->resultPaneImageRect;
  return point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom;
}

bool MainDialogModel::PatternPress(IntPoint point) {
  if (!OverResultPicture(point)) return false;
  ParameterBlock* b = block();
  patternDragging_ = true;
  patternLast_ = point;
  if (gTile != nullptr) {
    gTile->offsetX = b->tileOffsetX;
    gTile->offsetY = b->tileOffsetY;
  }
  return true;
}

void MainDialogModel::PatternMove(IntPoint point) {
  if (!patternDragging_) return;
  if (gTile != nullptr) {
    gTile->MoveOffsets(point.x - patternLast_.x, point.y - patternLast_.y);
    // Kept modulo the tile, never negative: a drag by a whole tile changes nothing.
    gTile->WrapOffsets();
  }
  RefreshPreviews(false, true);
  patternLast_ = point;
}

void MainDialogModel::PatternRelease() {
  patternDragging_ = false;
  ParameterBlock* b = block();
  if (b == nullptr || gTile == nullptr) return;
  b->tileOffsetX = gTile->offsetX;
  b->tileOffsetY = gTile->offsetY;
}

void MainDialogModel::UpdateTilePreview() {
  ParameterBlock* b = block();
  int32_t width = 0, height = 0;
  if (CommittedTileSize(b, gSymmetry, &width, &height)) surface_->ShowTileSize(width, height);
  surface_->RedrawTilePreview();
}

void MainDialogModel::RefreshPreviews(bool tile, bool result) {
  ParameterBlock* b = block();
  if (b == nullptr) return;
  if (tile) {
    BuildPreviewTile(b);
    if (b->showTilePreview) {
      UpdateTilePreview();
      surface_->RedrawTilePreview();
    }
  }
  if (result) {
    if (gTile != nullptr) gTile->SetBlend(uint8_t(b->opacity & 0xFF), int16_t(b->blendMode));
    CompositePreview(b);
    surface_->RedrawResultPane();
  }
}

void MainDialogModel::Close() {
  ReleaseRunObjects();
  featherOutline_ = FeatherOutline{};
  patternDragging_ = false;
  ParameterBlock* b = block();
  if (b == nullptr) return;
  ReleaseImageRef(&b->loadedSource);
  ReleaseImageRef(&b->resultPaneImage);
  ReleaseImageRef(&b->resultPaneWork);
  ReleaseImageRef(&b->sourcePaneImage);
}

int32_t CopyResultPreview(uint8_t* buffer, int32_t bufferSize, int32_t info[6]) {
  const ParameterBlock* b = gFilterRecord != nullptr ? LockParameters(gFilterRecord) : nullptr;
  const ImageBuffer* work = b != nullptr ? ImageFromRef(b->resultPaneWork) : nullptr;
  if (work == nullptr || work->width <= 0 || work->height <= 0) return 0;
  const int32_t pixelBytes = FormatBitsPerPixel(work->format) / 8;
  int32_t rowLength = 0, bytes = 0;
  if (pixelBytes <= 0 || !CheckedMul32(work->width, pixelBytes, &rowLength) ||
      !CheckedMul32(rowLength, work->height, &bytes))
    return 0;
  if (info != nullptr) {
    const int32_t values[6] = {work->width, work->height, pixelBytes, b->resultPaneImageRect.left,
                               b->resultPaneImageRect.top, 0};
    std::copy(values, values + 6, info);
  }
  if (buffer == nullptr || bufferSize < bytes) return bytes;
  // The work picture keeps its bottom row first.
  for (int32_t y = 0; y < work->height; ++y)
    std::memcpy(buffer + int64_t(y) * rowLength, ImageBufferPixel(work, 0, work->height - 1 - y), size_t(rowLength));
  return bytes;
}

}  // namespace quiltora
