// Shared by the fault-injection tests and the fuzz targets: probe pictures,
// a small BMP file, settings blocks for a run, and the checks every run of
// the real module must pass whatever the host did to it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "abi/parameter_block.h"
#include "filterhost.h"

namespace hardening {

// An odd-sized, asymmetric picture: an "F" on a diagonal gradient, so a
// mirrored or rotated copy never equals the original.
filterhost::Image ProbeImage(int32_t width, int32_t height, int32_t channels);

// Writes a 24-bit, bottom-up BMP of the probe picture; false when the file
// cannot be written.
bool WriteProbeBmp(const std::string& path, int32_t width, int32_t height);

// What one run asks of the module.
struct RunSettings {
  int32_t symmetry = 8;
  int32_t feather = 0;
  std::string sourcePath;  // empty: the image is the source
  quiltora::IntRect sourceArea{};  // in the file's pixels
};

// The settings block of a repeat run: the module's defaults for the host's
// current filter area (made by one Parameters call), then the given settings,
// without the dialog. Empty when Parameters failed.
std::vector<uint8_t> RepeatRunBlock(filterhost::Host& host, const RunSettings& settings);

// The result codes a run may end with: done, stopped, out of memory,
// unsupported mode, a step called without its record.
bool DocumentedResult(int16_t result);

// Everything that must hold after any run, faulty or not; each broken rule
// is one line. A run ends with 1 only after a message or a stop. After Finish the host holds no allocation but the kept block;
// outRects must be whole filter-area rows from the top down, apart from the
// one-pixel request of Start.
std::vector<std::string> CheckRunEnd(filterhost::Host& host, const filterhost::RunReport& report);

}  // namespace hardening
