#include "composite/colour_lanes.h"

#include <atomic>

#include "common/processor.h"

namespace quiltora {

#ifdef QUILTORA_COLOUR_LANES
int32_t BlendColourLanesAvx2(const ColourLaneRun& run);
int32_t BlendColourLanesAvx512(const ColourLaneRun& run);
#endif

namespace {

int32_t ProcessorLaneWidth() {
#ifdef QUILTORA_COLOUR_LANES
  static const int32_t width = [] {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl") &&
        __builtin_cpu_supports("avx512dq"))
      return 16;
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) return 8;
    return 0;
  }();
  return width;
#else
  return 0;
#endif
}

std::atomic<int32_t> gLaneCap{16};

}  // namespace

int32_t ColourLaneWidth() {
  const int32_t width = ProcessorLaneWidth();
  const int32_t cap = gLaneCap.load(std::memory_order_relaxed);
  return width < cap ? width : cap;
}

int32_t BlendColourLanes(const ColourLaneRun& run) {
#ifdef QUILTORA_COLOUR_LANES
  switch (ColourLaneWidth()) {
    case 16: return BlendColourLanesAvx512(run);
    case 8: return BlendColourLanesAvx2(run);
    default: return 0;
  }
#else
  (void)run;
  return 0;
#endif
}

ColourLaneCap::ColourLaneCap(int32_t width) : previous_(gLaneCap.exchange(width)) {}

ColourLaneCap::~ColourLaneCap() { gLaneCap.store(previous_); }

}  // namespace quiltora
