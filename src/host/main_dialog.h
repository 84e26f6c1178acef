// The main dialog of a run with showDialog set, owned by the host window.
#pragma once

#include <cstdint>

#include "abi/plugin_api.h"

namespace quiltora {

// 0 when the dialog ended with OK (the settings record then holds what the
// user chose); 1 when the user cancelled, or was told by a message the dialog
// showed why it could not go on; a negative code (-108 for memory) for any
// other failure, which the host reports. Never 1 without the user knowing.
int16_t RunMainDialog(plugin::FilterRecord* record);

}  // namespace quiltora
