// The dialog where there is no window to show it in: it accepts the settings
// the record holds, as OK would without any change.
#include "host/main_dialog.h"

namespace quiltora {

int16_t LinkedMainDialog(plugin::FilterRecord*) { return 0; }

}  // namespace quiltora
