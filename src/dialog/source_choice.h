// Where the tile's source comes from while the dialog is open: the host
// image or a loaded BMP picture (an image-sized area of it when it is
// larger), the Source list's items, and the reload of a remembered picture
// when the dialog opens. The windows involved (the file dialog, the area
// dialog, the question and warning boxes, the list control) are reached
// through SourceSurface, which the Win32 dialog implements and tests record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "abi/parameter_block.h"

namespace quiltora {

// The Source list: "Original Image" (301), "New Image..." (302) and, while a
// larger picture's area can be chosen, "Select Source Area..." (303).
struct SourceList {
  std::vector<int32_t> items{301, 302};
  int32_t selected = 0;
  bool HasAreaItem() const;
};

class SourceSurface {
 public:
  virtual ~SourceSurface() = default;
  // The open-file dialog: false when the user cancelled.
  virtual bool ChooseSourceFile(std::string* path) = 0;
  // The warning for a file that cannot be used (a BmpResult code, or kPathTooLong).
  virtual void ShowFileMessage(const std::string& path, int32_t code) = 0;
  // The Select-an-Area dialog on block: true for OK, which stored sourceArea.
  virtual bool RunAreaDialog(ParameterBlock* block) = 0;
  // The Question box: true for Yes.
  virtual bool AskQuestion(const std::string& text) = 0;
  // The list's items or selection changed.
  virtual void SourceListChanged(const SourceList& /*list*/) {}
};

// The host image becomes the source (nothing happens when it already is);
// "Select Source Area..." leaves the list.
void UseHostImage(ParameterBlock* block, SourceList* list, SourceSurface* surface);

// Checks the loaded picture against the image. With recentre, an image-sized
// area is centred in it (the whole picture on a side where it is not larger).
// A picture larger on either side gets "Select Source Area..." and the area
// dialog; false when the user cancelled that dialog, true otherwise.
bool CheckSourceArea(ParameterBlock* block, SourceList* list, SourceSurface* surface, bool recentre);

// "New Image...": the user chooses a file, which is read and becomes the
// source. False (the source unchanged) on cancel, or when the file cannot be
// used: the user is told why. A path that sourcePath cannot hold whole is
// refused, never cut.
bool LoadNewSource(ParameterBlock* block, SourceList* list, SourceSurface* surface);

// A choice in the Source list, by its string id; afterwards the list shows
// "New Image..." while a loaded picture is the source, else "Original Image".
void ChooseSource(ParameterBlock* block, SourceList* list, SourceSurface* surface, int32_t stringId);

// When the dialog opens after a run that used a loaded picture now gone:
// asks whether to reload it. Yes reads it again (no message when that fails);
// No, or a failed read, returns to the host image with the default
// selection. A reloaded picture keeps its stored area and selection unless
// the image or the picture changed size since (imageSizeChanged, or a
// picture not of the source size stored before the dialog took the image's
// size): then the area is centred again.
void ReloadAtOpening(ParameterBlock* block, SourceList* list, SourceSurface* surface, bool imageSizeChanged,
                     int32_t storedSourceWidth, int32_t storedSourceHeight);

// The question asked: "Would you like to reload <sourcePath>".
std::string ReloadQuestion(const ParameterBlock& block);

}  // namespace quiltora
