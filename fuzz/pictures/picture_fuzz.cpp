// libFuzzer target for quiltora's picture readers (PNM, BMP, PNG, JPEG,
// TIFF, and TGA and PSD through stb): any bytes as a file, opened and read
// row by row, with a step back up the picture so that readers that decode in
// order start over.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "picture_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/quiltora_picture_fuzz_" + std::to_string(getpid());
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  std::string error;
  std::unique_ptr<quiltora_cli::PictureReader> reader = quiltora_cli::OpenPictureReader(path, &error);
  if (!reader) return 0;
  const quiltora_cli::PictureInfo& info = reader->info();
  if (int64_t(info.width) * quiltora_cli::SamplesOf(info.kind) > (1 << 22)) return 0;
  std::vector<uint8_t> row(size_t(info.width) * quiltora_cli::SamplesOf(info.kind));
  const int32_t rows = info.height < 64 ? info.height : 64;
  for (int32_t y = 0; y < rows; ++y)
    if (!reader->ReadRow(y, row.data())) return 0;
  reader->ReadRow(rows / 2, row.data());
  reader->ReadRow(info.height - 1, row.data());
  return 0;
}
