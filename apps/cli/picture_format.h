// Picture files read and written a row at a time: PNM (PGM, PPM, PAM) and
// BMP by our own code, PNG, JPEG and TIFF through the field's libraries on
// Linux, TGA and PSD through stb. A format that cannot be read or written row
// by row decodes or encodes the whole picture at once behind the same calls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quiltora_cli {

// The samples of a file's pixels, 8 bits each. CMYK counts 0 as no ink.
enum class PixelKind { kGray, kGrayAlpha, kRGB, kRGBA, kCMYK };

int32_t SamplesOf(PixelKind kind);
bool HasAlpha(PixelKind kind);

struct PictureInfo {
  int32_t width = 0;
  int32_t height = 0;
  PixelKind kind = PixelKind::kRGB;
  double dpiX = 0;  // pixels per inch; 0 when the file does not say
  double dpiY = 0;
  std::vector<uint8_t> iccProfile;  // empty when the file carries none
};

class PictureReader {
 public:
  virtual ~PictureReader() = default;
  const PictureInfo& info() const { return info_; }
  // Fills row y with width × SamplesOf(kind) samples. Any order is allowed; a
  // format that decodes in order starts over for a row above the last one.
  // False with error() set when the file is damaged or ends early.
  virtual bool ReadRow(int32_t y, uint8_t* samples) = 0;
  // True when the format was decoded whole on opening.
  virtual bool whole() const { return false; }
  const std::string& error() const { return error_; }

 protected:
  PictureInfo info_;
  std::string error_;
};

class PictureWriter {
 public:
  virtual ~PictureWriter() = default;
  // The next row, top to bottom, in the kind the writer was opened with.
  virtual bool WriteRow(const uint8_t* samples) = 0;
  // After the last row: completes and closes the file.
  virtual bool Finish() = 0;
  virtual bool whole() const { return false; }
  const std::string& error() const { return error_; }

 protected:
  std::string error_;
};

struct WriteSettings {
  int32_t compression = -1;  // PNG: zlib level 0..9; TIFF: Deflate level 1..9, 0 for none; -1: the default
  int32_t quality = 92;      // JPEG
};

// Opens a picture file by its contents. Null with a reason in *error.
std::unique_ptr<PictureReader> OpenPictureReader(const std::string& path, std::string* error);

// The kind a file written to `target` (by its extension) stores for
// pictures of `wanted`: alpha is dropped or gray widened where the format
// has no place for them, and CMYK becomes RGB except in TIFF.
PixelKind WritableKind(const std::string& target, PixelKind wanted);

// Creates `path` to hold a picture written as `target`'s extension says.
// info.kind must be WritableKind(target, ...). Null with a reason in *error.
std::unique_ptr<PictureWriter> CreatePictureWriter(const std::string& path, const std::string& target,
                                                   const PictureInfo& info, const WriteSettings& settings,
                                                   std::string* error);

// The extensions quiltora writes, as a list for messages and help.
const char* WritableExtensionList();
bool IsWritableExtension(const std::string& path);
// True when a file this build writes to `target` records its resolution.
bool KeepsResolution(const std::string& target);
// True when this build can read or write the extension's format at all.
bool FormatAvailable(const std::string& path, std::string* why);

}  // namespace quiltora_cli
