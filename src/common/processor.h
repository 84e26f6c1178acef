// What the processor offers beyond the baseline the module is built for,
// asked once. Kernels compiled for more are taken only where these say yes
// (the system's support for the wider registers is part of the answer).
#pragma once

namespace quiltora {

bool ProcessorHasSsse3();
bool ProcessorHasAvx2();
bool ProcessorHasAvx2Fma();
// AVX-512 F, BW, DQ and VL.
bool ProcessorHasAvx512();
// The above and AVX-512 VBMI (byte permutes across the whole register).
bool ProcessorHasAvx512Vbmi();

}  // namespace quiltora
