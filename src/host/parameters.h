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

// The block behind record->parameters, or null when there is none or the host
// says its handle is smaller than a block.
ParameterBlock* LockParameters(const plugin::FilterRecord* record);

// Replaces a missing or unusable block by a new one with the defaults,
// allocated through the host's handle suite when it is usable, else through
// the module's own handles. Null when memory is short.
ParameterBlock* CreateParameters(plugin::FilterRecord* record);

// The Parameters selector.
int16_t DoParameters(plugin::FilterRecord* record);

// Size of the filter area.
int32_t FilterWidth(const plugin::FilterRecord* record);
int32_t FilterHeight(const plugin::FilterRecord* record);

// True when the filter area is at least 50 × 50.
bool FilterAreaLargeEnough(const plugin::FilterRecord* record);

}  // namespace quiltora
