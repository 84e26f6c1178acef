// The picture-buffer allocator and the report of broken invariants.
#pragma once

#include <cstddef>

namespace quiltora {

// Reports a broken invariant of source module `module` at `line`: debugger
// output plus an Abort/Retry/Ignore box. True when the user chose Retry (stop
// in the debugger); Abort ends the process with exit code 1.
bool ReportAssertion(const char* module, int line);

// A locked block of `bytes` bytes, not cleared; null when the system has none.
// Size 0 is reported as a broken invariant and then requested all the same.
void* RipAlloc(size_t bytes);

// Frees a block from RipAlloc. A null address is reported. Always 1.
int RipFree(void* address);

}  // namespace quiltora
