#include "common/processor.h"

namespace quiltora {

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
namespace {

struct Features {
  bool ssse3, avx2, fma, avx512, avx512vbmi;
};

const Features& Detected() {
  static const Features features = [] {
    __builtin_cpu_init();
    const bool avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                        __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl");
    return Features{__builtin_cpu_supports("ssse3") != 0, __builtin_cpu_supports("avx2") != 0,
                    __builtin_cpu_supports("fma") != 0, avx512,
                    avx512 && __builtin_cpu_supports("avx512vbmi")};
  }();
  return features;
}

}  // namespace

bool ProcessorHasSsse3() { return Detected().ssse3; }
bool ProcessorHasAvx2() { return Detected().avx2; }
bool ProcessorHasAvx2Fma() { return Detected().avx2 && Detected().fma; }
bool ProcessorHasAvx512() { return Detected().avx512; }
bool ProcessorHasAvx512Vbmi() { return Detected().avx512vbmi; }
#else
bool ProcessorHasSsse3() { return false; }
bool ProcessorHasAvx2() { return false; }
bool ProcessorHasAvx2Fma() { return false; }
bool ProcessorHasAvx512() { return false; }
bool ProcessorHasAvx512Vbmi() { return false; }
#endif

}  // namespace quiltora
