#include "dialog/source_choice.h"

#include <algorithm>
#include <cstring>

#include "common/strings.h"
#include "files/bmp_file.h"
#include "files/file_message.h"
#include "files/source_reload.h"
#include "host/parameters.h"
#include "image/image_buffer.h"
#include "resources/resource_ids.h"

namespace quiltora {
namespace {

constexpr int32_t kAreaItemIndex = 2;

void ShowSelection(const ParameterBlock* block, SourceList* list, SourceSurface* surface) {
  list->selected = block->sourceKind == kSourceLoadedFile ? 1 : 0;
  surface->SourceListChanged(*list);
}

int32_t BytesPerPixelOfFormat(int32_t format, int32_t unchanged) {
  switch (format) {
    case 1: return 3;
    case 3: return 4;
    case 5: return 1;
    default: return unchanged;
  }
}

// Centres an image-sized area on one side of the picture: false when the
// picture is not larger there, and the area is its whole side. Sides are
// taken as 16-bit values, as the rectangles of a run hold them.
bool CentreSide(int32_t pictureSide, int32_t imageSide, int32_t* low, int32_t* high) {
  const int32_t picture = int16_t(pictureSide), image = int16_t(imageSide);
  if (picture > image) {
    *low = (picture - image) / 2;
    *high = *low + image;
    return true;
  }
  *low = 0;
  *high = picture;
  return false;
}

}  // namespace

bool SourceList::HasAreaItem() const {
  return std::find(items.begin(), items.end(), IDS_SELECT_SOURCE_AREA) != items.end();
}

void UseHostImage(ParameterBlock* block, SourceList* list, SourceSurface* surface) {
  if (block->sourceKind == kSourceImage) return;
  block->sourceWidth = block->imageWidth;
  block->sourceHeight = block->imageHeight;
  block->sourceKind = kSourceImage;
  block->sourceSmallerThanImage = 0;
  const auto item = std::find(list->items.begin(), list->items.end(), IDS_SELECT_SOURCE_AREA);
  if (item != list->items.end()) {
    list->items.erase(item);
    surface->SourceListChanged(*list);
  }
}

bool CheckSourceArea(ParameterBlock* block, SourceList* list, SourceSurface* surface, bool recentre) {
  bool needX = true, needY = true;
  if (recentre) {
    IntRect& area = block->sourceArea;
    needX = CentreSide(block->sourceWidth, block->imageWidth, &area.left, &area.right);
    needY = CentreSide(block->sourceHeight, block->imageHeight, &area.top, &area.bottom);
  }
  block->sourceSmallerThanImage = needX && needY ? 0 : 1;
  if (!needX && !needY) return true;
  if (!list->HasAreaItem()) {
    const size_t at = std::min<size_t>(kAreaItemIndex, list->items.size());
    list->items.insert(list->items.begin() + long(at), IDS_SELECT_SOURCE_AREA);
    surface->SourceListChanged(*list);
  }
  if (!surface->RunAreaDialog(block)) return false;
  ResetSelection(block);
  return true;
}

bool LoadNewSource(ParameterBlock* block, SourceList* list, SourceSurface* surface) {
  std::string path;
  if (!surface->ChooseSourceFile(&path)) return false;
  if (path.size() >= sizeof block->sourcePath) {
    surface->ShowFileMessage(path, kFilePathTooLong);
    return false;
  }
  ImageBuffer* picture = nullptr;
  int32_t code = ReadBmpFile(path.c_str(), &picture);
  const ObjectRef ref = code == kBmpOk ? RefFromImage(picture) : 0;
  if (code == kBmpOk && ref == 0) {
    ImageBufferRelease(picture);
    code = kBmpLowMemory;
  }
  if (code != kBmpOk) {
    surface->ShowFileMessage(path, code);
    return false;
  }
  // The path is kept only once its picture is read, so that sourcePath always
  // names the picture a loaded source came from.
  std::memset(block->sourcePath, 0, sizeof block->sourcePath);
  std::memcpy(block->sourcePath, path.data(), path.size());
  ReleaseImageRef(&block->loadedSource);
  block->loadedSource = ref;
  block->loadedSourceBytesPerPixel = BytesPerPixelOfFormat(picture->format, block->loadedSourceBytesPerPixel);
  block->sourceWidth = picture->width;
  block->sourceHeight = picture->height;
  block->sourceKind = kSourceLoadedFile;
  if (!CheckSourceArea(block, list, surface, true)) UseHostImage(block, list, surface);
  ResetSelection(block);
  return true;
}

void ChooseSource(ParameterBlock* block, SourceList* list, SourceSurface* surface, int32_t stringId) {
  switch (stringId) {
    case IDS_ORIGINAL_IMAGE:
      UseHostImage(block, list, surface);
      ResetSelection(block);
      break;
    case IDS_NEW_IMAGE: LoadNewSource(block, list, surface); break;
    case IDS_SELECT_SOURCE_AREA:
      // Only a loaded picture has an area to choose.
      if (block->sourceKind == kSourceLoadedFile && ImageFromRef(block->loadedSource) != nullptr)
        CheckSourceArea(block, list, surface, false);
      break;
    default: break;
  }
  ShowSelection(block, list, surface);
}

std::string ReloadQuestion(const ParameterBlock& block) {
  const char* format = FindModuleString(IDS_RELOAD_SOURCE);
  std::string text = format != nullptr ? format : "";
  const std::string path(block.sourcePath, strnlen(block.sourcePath, sizeof block.sourcePath));
  // Put in by hand, so that a '%' in a file name shows as it is.
  const size_t slot = text.find("%s");
  if (slot != std::string::npos) text.replace(slot, 2, path);
  return text;
}

void ReloadAtOpening(ParameterBlock* block, SourceList* list, SourceSurface* surface, bool imageSizeChanged,
                     int32_t storedSourceWidth, int32_t storedSourceHeight) {
  if (block->sourceKind != kSourceLoadedFile || ImageFromRef(block->loadedSource) != nullptr) return;
  const ImageBuffer* picture = nullptr;
  if (surface->AskQuestion(ReloadQuestion(*block))) picture = EnsureLoadedSource(block);
  if (picture == nullptr) {
    UseHostImage(block, list, surface);
    ResetSelection(block);
    ShowSelection(block, list, surface);
    return;
  }
  // A file that changed size since would leave the stored area outside it.
  const bool pictureChanged = picture->width != storedSourceWidth || picture->height != storedSourceHeight;
  block->sourceWidth = picture->width;
  block->sourceHeight = picture->height;
  if ((imageSizeChanged || pictureChanged) && !CheckSourceArea(block, list, surface, true)) {
    UseHostImage(block, list, surface);
    ResetSelection(block);
  }
  ShowSelection(block, list, surface);
}

}  // namespace quiltora
