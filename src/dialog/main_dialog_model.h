// What the main dialog does with the settings record while it is open: the
// opening, the source pane (its picture, the selection rebuilt per symmetry,
// moving and resizing it), the result pane's pattern drag, the commands of
// the sliders and lists, the live previews and the release at close. The
// window procedures only route messages here; what needs a window (drawing
// the outline, the feather slider, repainting the previews) goes through
// DialogSurface, which the Win32 dialog implements and the tests record.
#pragma once

#include <cstdint>

#include "abi/parameter_block.h"
#include "abi/plugin_api.h"
#include "dialog/selection_edit.h"
#include "dialog/source_choice.h"

namespace quiltora {

class DialogSurface {
 public:
  virtual ~DialogSurface() = default;
  // Draws the selection outline (and the feather border) in inverting mode:
  // the second call erases what the first drew.
  virtual void XorSelection() {}
  virtual void EnableFeatherSlider(bool /*enable*/) {}
  virtual void SetFeatherSlider(int32_t /*value*/) {}
  // The tile size label: "%d x %d".
  virtual void ShowTileSize(int32_t /*width*/, int32_t /*height*/) {}
  virtual void RedrawTilePreview() {}
  // Repaints the result pane at once.
  virtual void RedrawResultPane() {}
  // Tells the user the feather was lowered to fit the picture.
  virtual void WarnFeatherLowered() {}
};

// What a press in the source pane turns the pointer into.
enum class PaneCursor { kUnchanged, kMove, kSizeHorizontal, kSizeDiagonal };

// The drag target of the source pane: the whole selection, nothing, or a
// handle vertex (0 and up).
constexpr int32_t kDragWhole = -2;
constexpr int32_t kDragNothing = -1;

class MainDialogModel {
 public:
  MainDialogModel(plugin::FilterRecord* record, DialogSurface* surface) : record_(record), surface_(surface) {}

  ParameterBlock* block() const;
  const FeatherOutline& featherOutline() const { return featherOutline_; }
  int32_t dragTarget() const { return dragTarget_; }
  bool patternDragging() const { return patternDragging_; }

  // The dialog's own opening: the run's working objects made afresh, the
  // image size taken from the filter area, and a remembered loaded-file
  // source given up for the image when its picture is gone. 0, or a
  // negative code (no block, memory) that ends the dialog.
  int16_t Open();

  // The result pane's opening: its picture (the preview with its rows
  // reversed), its work copy and its place in a pane of that client size.
  // False when memory ran short.
  bool OpenResultPane(int32_t clientWidth, int32_t clientHeight);

  // The source pane's opening; then as SourceChanged. False when memory ran short.
  bool OpenSourcePane(int32_t clientWidth, int32_t clientHeight);

  // The source picture changed: the pane's picture is made again, then the
  // selection rebuilt. False when memory ran short (the pane keeps its old picture).
  bool SourceChanged();

  // The symmetry changed (and after every new pane picture): the outline is
  // rebuilt in the symmetry's shape from the stored selection the first
  // time, from the outline on screen afterwards, then both previews.
  void RebuildSelection();

  // Commands.
  void FeatherMoved(int32_t value);  // warns when the feather had to be lowered
  void OpacityMoved(int32_t value);
  void ModeChosen(int32_t listIndex);
  // "Original Image": the host image again, the selection back to its default.
  void OriginalImageChosen();
  // A choice in the Source list by its string id (301..303): through the
  // source surface, which opens the file and area dialogs.
  void SourceChosen(int32_t stringId);

  // The windows of the source handling. With them, Open asks whether to
  // reload a remembered picture; without them (the model on its own) such a
  // picture gives way to the host image.
  void SetSourceSurface(SourceSurface* sources) { sources_ = sources; }
  const SourceList& sourceList() const { return sourceList_; }
  // OK: the outline drawn becomes the stored selection.
  void Accept();

  // The source pane's drag. Press answers what the pointer becomes.
  PaneCursor SourcePress(IntPoint point);
  void SourceMove(IntPoint point, bool controlDown);
  void SourceRelease();

  // The result pane's pattern drag: a press inside the picture starts it.
  bool PatternPress(IntPoint point);
  void PatternMove(IntPoint point);
  void PatternRelease();
  bool OverResultPicture(IntPoint point) const;

  // Rebuilds the tile (and its preview and size label) and/or recomposites
  // the result picture.
  void RefreshPreviews(bool tile, bool result);

  // The dialog closes: the loaded picture, the panes' pictures and the run's
  // working objects are released.
  void Close();

 private:
  bool MakeSourcePanePicture();
  void UpdateTilePreview();
  // Rebuilds the feather border of the outline, lowering the feather when it
  // would leave the picture, then the bounds the outline keeps inside.
  void RebuildFeather(int32_t shear);
  void InsetBounds();

  plugin::FilterRecord* record_;
  DialogSurface* surface_;
  SourceSurface* sources_ = nullptr;
  SourceList sourceList_;
  int32_t sourceClientWidth_ = 0;
  int32_t sourceClientHeight_ = 0;
  FeatherOutline featherOutline_;
  int32_t dragTarget_ = kDragNothing;
  IntPoint sourceLast_{};
  bool patternDragging_ = false;
  IntPoint patternLast_{};
  int32_t featherPushed_ = 0;  // the value last given to the feather slider
};

// For hosts of our own (the window tests compare it with the pixels the
// result pane shows): copies the picture the open dialog's result pane draws,
// top row first, rows unpadded in picture-buffer byte order. info receives
// width, height, bytes per pixel and the picture's left and top in the pane.
// Returns the bytes the picture needs (0 when no dialog shows one); copies
// only when bufferSize is at least that.
int32_t CopyResultPreview(uint8_t* buffer, int32_t bufferSize, int32_t info[6]);

}  // namespace quiltora
