#include "host/main_dialog.h"

#include <utility>

namespace quiltora {
namespace {

MainDialogRunner& InstalledRunner() {
  static MainDialogRunner runner;
  return runner;
}

}  // namespace

int16_t RunMainDialog(plugin::FilterRecord* record) {
  const MainDialogRunner& runner = InstalledRunner();
  return runner ? runner(record) : LinkedMainDialog(record);
}

MainDialogRunner SetMainDialogRunner(MainDialogRunner runner) {
  std::swap(InstalledRunner(), runner);
  return runner;
}

}  // namespace quiltora
