// The main dialog of a run with showDialog set, owned by the host window.
#pragma once

#include <cstdint>

#include "abi/plugin_api.h"

namespace quiltora {

// 0 when the dialog ended with OK (the settings record then holds what the
// user chose), 1 otherwise.
int16_t RunMainDialog(plugin::FilterRecord* record);

}  // namespace quiltora
