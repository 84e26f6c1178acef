// The build without the format libraries (Windows): PNG and JPEG go through
// stb and TIFF is refused, so these openers are never reached.
#include "formats.h"

namespace quiltora_cli {

bool HaveFormatLibraries() { return false; }

std::unique_ptr<PictureReader> OpenPngReader(std::unique_ptr<InputFile>, std::string*) { return nullptr; }
std::unique_ptr<PictureReader> OpenJpegReader(std::unique_ptr<InputFile>, std::string*) { return nullptr; }
std::unique_ptr<PictureReader> OpenTiffReader(const std::string&, std::string*) { return nullptr; }
std::unique_ptr<PictureWriter> CreatePngWriter(const std::string&, const PictureInfo&, const WriteSettings&,
                                               std::string*) {
  return nullptr;
}
std::unique_ptr<PictureWriter> CreateJpegWriter(const std::string&, const PictureInfo&, const WriteSettings&,
                                                std::string*) {
  return nullptr;
}
std::unique_ptr<PictureWriter> CreateTiffWriter(const std::string&, const PictureInfo&, const WriteSettings&,
                                                std::string*) {
  return nullptr;
}

}  // namespace quiltora_cli
