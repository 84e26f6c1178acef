// libFuzzer target for the BMP reader: any bytes as a file, then the loaded
// picture through every conversion the run may ask for.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <initializer_list>

#include "files/bmp_file.h"
#include "files/loaded_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // fmemopen refuses an empty buffer; an empty file is still a case worth reading.
  static uint8_t empty = 0;
  std::FILE* file = size != 0 ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : fmemopen(&empty, 1, "rb");
  if (file == nullptr) return 0;
  if (size == 0) std::fgetc(file);
  quiltora::ImageBuffer* picture = nullptr;
  if (quiltora::ReadBmpStream(file, &picture) == quiltora::kBmpOk) {
    for (int32_t imageMode : {1, 3, 4}) {
      quiltora::ImageBufferRelease(quiltora::ConvertLoadedSource(picture, imageMode));
      const quiltora::IntRect area{picture->width / 3, picture->height / 3, picture->width, picture->height};
      quiltora::ImageBufferRelease(quiltora::CopyLoadedSourceArea(picture, area, imageMode));
    }
    quiltora::ImageBufferRelease(picture);
  }
  std::fclose(file);
  return 0;
}
