// The formats behind picture_format.h, each in its own file.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "file_access.h"
#include "picture_format.h"

namespace quiltora_cli {

// Each opener takes a file whose first bytes were recognised as its format.
std::unique_ptr<PictureReader> OpenPnmReader(std::unique_ptr<InputFile> file, std::string* error);
std::unique_ptr<PictureReader> OpenBmpReader(std::unique_ptr<InputFile> file, std::string* error);
std::unique_ptr<PictureReader> OpenPngReader(std::unique_ptr<InputFile> file, std::string* error);
std::unique_ptr<PictureReader> OpenJpegReader(std::unique_ptr<InputFile> file, std::string* error);
std::unique_ptr<PictureReader> OpenTiffReader(const std::string& path, std::string* error);
// TGA, PSD and whatever else stb reads, decoded whole.
std::unique_ptr<PictureReader> OpenStbReader(std::unique_ptr<InputFile> file, std::string* error);

enum class PnmFlavour { kPgm, kPpm, kPnm, kPam };
std::unique_ptr<PictureWriter> CreatePnmWriter(const std::string& path, PnmFlavour flavour, const PictureInfo& info,
                                               std::string* error);
std::unique_ptr<PictureWriter> CreateBmpWriter(const std::string& path, const PictureInfo& info, std::string* error);
std::unique_ptr<PictureWriter> CreatePngWriter(const std::string& path, const PictureInfo& info,
                                               const WriteSettings& settings, std::string* error);
std::unique_ptr<PictureWriter> CreateJpegWriter(const std::string& path, const PictureInfo& info,
                                                const WriteSettings& settings, std::string* error);
std::unique_ptr<PictureWriter> CreateTiffWriter(const std::string& path, const PictureInfo& info,
                                                const WriteSettings& settings, std::string* error);
// TGA (and, where no library is at hand, PNG and JPEG) through stb, encoded whole.
std::unique_ptr<PictureWriter> CreateStbWriter(const std::string& path, const std::string& extension,
                                               const PictureInfo& info, const WriteSettings& settings,
                                               std::string* error);

// Whether this build reads and writes PNG and JPEG through their libraries
// and TIFF at all (the Windows build has stb and no TIFF).
bool HaveFormatLibraries();

// Memory from malloc, as stb hands its pictures out.
struct FreeMemory {
  void operator()(uint8_t* memory) const { std::free(memory); }
};

// A picture decoded whole, served a row at a time.
class WholePictureReader : public PictureReader {
 public:
  bool ReadRow(int32_t y, uint8_t* samples) override;
  bool whole() const override { return true; }

 protected:
  std::unique_ptr<uint8_t[], FreeMemory> pixels_;
};

}  // namespace quiltora_cli
