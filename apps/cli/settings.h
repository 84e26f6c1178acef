// How the command's options become the settings record a host hands back to
// the module on a repeat run.
#pragma once

#include <string>

#include "abi/parameter_block.h"
#include "options.h"

namespace quiltora_cli {

// The sizes the settings are checked against.
struct RunGeometry {
  int32_t areaWidth = 0;   // the filter area
  int32_t areaHeight = 0;
  int32_t sourceFileWidth = 0;  // the --source file, 0 without one
  int32_t sourceFileHeight = 0;
  int32_t sourceFileBytesPerPixel = 0;
};

// The loaded-file source area: the --source-area, or a centred area of the
// filter area's size (smaller when the file is). Empty without --source.
Box SourceAreaOf(const Options& options, const RunGeometry& geometry);

// Edits a block that Parameters made for this filter area: the run goes
// without the dialog and with the options' settings, written as the dialog
// commits them (a file's selection in the file's own pixels, as fractions of
// the whole file); the rest stays as the module set it. False with error set when an option does not fit the
// picture (a selection outside the source, an offset beyond the area...).
bool ApplyOptions(const Options& options, const RunGeometry& geometry, quiltora::ParameterBlock* block,
                  std::string* error);

}  // namespace quiltora_cli
