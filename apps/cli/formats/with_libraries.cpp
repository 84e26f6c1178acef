#include "formats.h"

namespace quiltora_cli {

bool HaveFormatLibraries() { return true; }

}  // namespace quiltora_cli
