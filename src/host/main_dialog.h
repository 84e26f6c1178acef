// The dialog step of a run with showDialog set. The module runs the dialog
// its build links (the Win32 main dialog in the Windows module; elsewhere, and
// in the tests, a headless one that answers OK without a change), unless a
// runner has been installed in its place.
#pragma once

#include <cstdint>
#include <functional>

#include "abi/plugin_api.h"

namespace quiltora {

// Shows the dialog for the record and waits for the user: 0 when it ended
// with OK (the settings record then holds what the user chose); 1 when the
// user cancelled, or was told by a message the dialog showed why it could not
// go on; a negative code (-108 for memory) for any other failure, which the
// host reports. Never 1 without the user knowing.
using MainDialogRunner = std::function<int16_t(plugin::FilterRecord* record)>;

// The installed runner, else the linked dialog.
int16_t RunMainDialog(plugin::FilterRecord* record);

// Installs runner in place of the linked dialog; an empty runner puts the
// linked dialog back. Returns the runner it replaces. For programs that link
// the module's code and answer the dialog themselves (tests).
MainDialogRunner SetMainDialogRunner(MainDialogRunner runner);

// The dialog this build links. Defined by exactly one dialog library: the
// module and the test program choose it at link time.
int16_t LinkedMainDialog(plugin::FilterRecord* record);

}  // namespace quiltora
