// Module-wide state of a filter run, shared by the run driver, the tile
// builders and the row writer. One host thread calls the module, so nothing
// here is guarded.
#pragma once

#include <cstdint>

#include "host/plugin_api.h"

namespace quiltora {

struct Rect16 {  // top, left, bottom, right, as the host's rectangles
  int16_t top, left, bottom, right;
};

enum RunState : int16_t {
  kStateBuildTile = 2,
  kStateWriteRows = 3,
  kStateReadPreview = 14,
  kStateDialog = 15,
};

extern plugin::FilterRecord* gFilterRecord;  // the record of the current call
extern int16_t gRunState;
extern int16_t gResult;         // last status of the run
extern int16_t gSourceKind;     // 1 = loaded file, 2 = the image
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

}  // namespace quiltora
