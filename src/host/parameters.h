// The settings record: its defaults, the default selection, and access to the
// block the host keeps in FilterRecord.parameters.
#pragma once

#include "abi/parameter_block.h"
#include "abi/plugin_api.h"

namespace quiltora {

// Defaults of a new block, for the filter area of gFilterRecord.
void ResetParameters(ParameterBlock* block);

// The default selection: a square of a third of the source's smaller side in
// the middle of the source (or of the loaded picture's source area).
void ResetSelection(ParameterBlock* block);

// The block behind record->parameters, or null when there is none, the host
// says its handle is smaller than a block, or it does not start with the
// block's magic and version. The rules are written down in parameters.cpp.
ParameterBlock* LockParameters(const plugin::FilterRecord* record);

// Replaces a missing or unusable block by one with the defaults: in place when
// its handle is known to hold a block, else in a new handle from the host's
// handle suite when it is usable, else from the module's own handles. Null
// when memory is short; parameters is then left as it was.
ParameterBlock* CreateParameters(plugin::FilterRecord* record);

// Ends the trust in the block this run made (see parameters.cpp): from now
// on it is a block handed back from an earlier run. Finish calls it.
void ForgetMadeBlock();
// Asks the host's handle suite again whether it can size its handles, at the
// start of a run that may follow one that was short of memory.
void ForgetSuiteSizing();

// The Parameters selector.
int16_t DoParameters(plugin::FilterRecord* record);

// Size of the filter area.
int32_t FilterWidth(const plugin::FilterRecord* record);
int32_t FilterHeight(const plugin::FilterRecord* record);

// True when the filter area is at least 50 × 50.
bool FilterAreaLargeEnough(const plugin::FilterRecord* record);

}  // namespace quiltora
