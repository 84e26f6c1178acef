#include "files/source_reload.h"

#include "files/bmp_file.h"

namespace quiltora {

ImageBuffer* EnsureLoadedSource(ParameterBlock* block) {
  ImageBuffer* picture = ImageFromRef(block->loadedSource);
  if (picture != nullptr) return picture;
  // A stale id from an earlier load of the module is only forgotten, never freed.
  block->loadedSource = 0;
  if (ReadBmpFile(block->sourcePath, sizeof block->sourcePath, &picture) != kBmpOk) return nullptr;
  block->loadedSource = RefFromImage(picture);
  if (block->loadedSource == 0) {
    ImageBufferRelease(picture);
    return nullptr;
  }
  return picture;
}

}  // namespace quiltora
