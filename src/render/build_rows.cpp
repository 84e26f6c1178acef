#include "render/build_rows.h"

#include "abi/plugin_api.h"

namespace quiltora {

RowGate::RowGate(const BuildRun& run, int32_t progressTotal) : progress_(run.progress) {
  progress_->Begin(progressTotal);
}

int16_t RowGate::StartRow() const { return progress_->Step() ? plugin::kStopped : plugin::kNoErr; }

}  // namespace quiltora
