#include "host/run_state.h"

namespace quiltora {

plugin::FilterRecord* gFilterRecord = nullptr;
int16_t gRunState = 0;
int16_t gResult = 0;
int16_t gSourceKind = 2;
int32_t gSymmetryNumber = 8;
int32_t gFeather = 0;
Rect16 gSourceRect{};
Rect16 gFullSourceRect{};
int32_t gPreviewWidth = 0, gPreviewHeight = 0, gPreviewRow = 0;
int32_t gProgressDone = 0, gProgressTotal = 0;
uint8_t gStopped = 0;

namespace {

class HostProgress final : public ProgressSink {
 public:
  void Begin(int32_t total) override {
    gProgressDone = 0;
    gProgressTotal = total;
  }
  bool Step() override {
    ReportProgress(gProgressDone, gProgressTotal);
    ++gProgressDone;
    if (CheckAbort() == 0) return false;
    gStopped = 1;
    gResult = plugin::kStopped;
    return true;
  }
};

}  // namespace

int32_t ReportProgress(int32_t done, int32_t total) {
  if (gFilterRecord == nullptr || gFilterRecord->progressProc == nullptr) return 1;
  gFilterRecord->progressProc(done, total);
  return 0;
}

int16_t CheckAbort() {
  if (gFilterRecord == nullptr || gFilterRecord->abortProc == nullptr) return 0;
  return static_cast<int16_t>(gFilterRecord->abortProc());
}

ProgressSink& RunProgress() {
  static HostProgress progress;
  return progress;
}

}  // namespace quiltora
