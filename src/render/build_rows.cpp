#include "render/build_rows.h"

#include "common/run_state.h"

namespace quiltora {

RowGate::RowGate(const BuildRun& run, int32_t progressTotal) : progressMode_(run.progressMode) {
  if (progressMode_ != 1) return;
  gProgressDone = 0;
  gProgressTotal = progressTotal;
}

int16_t RowGate::StartRow() const {
  if (progressMode_ != 1) return 0;
  ReportProgress(gProgressDone, gProgressTotal);
  ++gProgressDone;
  const int16_t stop = CheckAbort();
  if (stop != 0) {
    gStopped = 1;
    gResult = 1;
  }
  return stop;
}

}  // namespace quiltora
