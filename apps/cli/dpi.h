// The resolution a picture file records: read from an input's header, and
// written into an output that stb has already encoded. PNG (pHYs), JPEG
// (JFIF density) and BMP (pixels per metre) carry one; other files do not.
#pragma once

#include <optional>
#include <string>

namespace quiltora_cli {

// The file's horizontal resolution in dots per inch, when it records one.
// A PNG or BMP stores pixels per metre, which is rounded; a value within that
// rounding of a whole dpi comes back whole (5906 px/m reads as 150 dpi).
std::optional<double> InputDpi(const std::string& path);

// Records dpi in the file at path, whose format the extension of named gives
// (the file may be a temporary one). False with error set when the file
// cannot be rewritten; true without a change for a format that keeps no
// resolution (see RecordsDpi).
bool RecordDpi(const std::string& path, const std::string& named, double dpi, std::string* error);

// Whether a file of that name can record a resolution.
bool RecordsDpi(const std::string& named);

}  // namespace quiltora_cli
