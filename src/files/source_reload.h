// The reload of a remembered source file at the start of a run.
#pragma once

#include "abi/parameter_block.h"
#include "image/image_buffer.h"

namespace quiltora {

// The picture behind block->loadedSource; when the reference is empty or was
// not issued by this load of the module, reads the file named by sourcePath
// and stores the new reference. Shows no message. Null when the file cannot be
// read (or its picture cannot be registered); the reference is then 0. The
// caller decides what a failure means (the run falls back to the image).
ImageBuffer* EnsureLoadedSource(ParameterBlock* block);

}  // namespace quiltora
