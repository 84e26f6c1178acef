// Module-wide state of a filter run, owned by the run driver. One host
// thread calls the module, so nothing here is guarded.
#pragma once

#include <cstdint>

#include "abi/plugin_api.h"
#include "common/progress.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora {

enum RunState : int16_t {
  kStateBuildTile = 2,
  kStateWriteRows = 3,
  kStateReadPreview = 14,
  kStateDialog = 15,
};

extern plugin::FilterRecord* gFilterRecord;  // the record of the current call
extern int16_t gRunState;
extern int16_t gResult;      // last status of the run
extern int16_t gSourceKind;  // 1 = loaded file, 2 = the image
extern int32_t gSymmetryNumber;
extern int32_t gFeather;
extern Rect16 gSourceRect;
extern Rect16 gFullSourceRect;
extern int32_t gPreviewWidth, gPreviewHeight, gPreviewRow;
extern int32_t gProgressDone, gProgressTotal;
extern uint8_t gStopped;

// Calls the host's progress routine with (done, total); 1 when it has none.
int32_t ReportProgress(int32_t done, int32_t total);

// The host's abort test widened to 16 bits; non-zero means stop. A host
// without an abort routine never stops the run.
int16_t CheckAbort();

// The progress of the run's tile build: Begin sets gProgressDone = 0 and
// gProgressTotal; each Step reports the count to the host, counts one step
// and polls the abort test, a stop setting gStopped and gResult to 1. The
// row writer carries on with the same count.
ProgressSink& RunProgress();

}  // namespace quiltora
