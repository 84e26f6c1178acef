// FeatherSource of every feathered symmetry on RGB pixels, for a selection
// of about 128 and 512 pixels at the largest feather, in work-image pixels
// per second, beside a memcpy of the work image timed in the same run.
// memcpy_ratio is the feather's time over the memcpy's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

#include "symmetry/leaves.h"

namespace quiltora {
namespace {

struct Setup {
  TileSymmetry* symmetry = nullptr;
  std::vector<uint8_t> image;
  int32_t imageWidth = 0;
  Rect16 bounds{};
  int32_t workWidth = 0, workHeight = 0;
};

// The run's preparation of the object on a square image three times the
// selection, at feather 100 %.
Setup Prepare(int16_t number, int32_t size) {
  Setup setup;
  const int32_t image = 3 * size;
  TileSymmetry* s = CreateSymmetry(number);
  const SelectionFrame frame{double(size), double(size), 2.0 * size, 2.0 * size,
                             number == 1 ? 0.25 : 0.0};
  s->SetSourceSize(image, image);
  s->SetFromFrame(frame);
  s->PrepareRun();
  s->ComputeTileSize();
  s->ComputeSourceExtent();
  s->ComputeRowShift();
  s->SetFeatherPercent(100);
  s->ResetEdgeMins();
  s->ComputeEdgeRect();
  s->ComputeFeatherMargins();
  s->ComputeFeatherRect();
  s->GetSourceBounds(&setup.bounds);
  Rect16 edge{};
  s->GetEdgeRect(&edge);
  setup.symmetry = s;
  setup.imageWidth = image;
  setup.workWidth = edge.right - edge.left;
  setup.workHeight = edge.top - edge.bottom;
  setup.image.resize(size_t(image) * image * 3);
  uint32_t state = 12345;
  for (uint8_t& byte : setup.image) {
    state = state * 1664525u + 1013904223u;
    byte = uint8_t(state >> 24);
  }
  return setup;
}

void BM_FeatherSource(benchmark::State& state) {
  const int16_t number = int16_t(state.range(0));
  Setup setup = Prepare(number, int32_t(state.range(1)));
  const int32_t rowBytes = setup.imageWidth * 3;
  const uint8_t* source = setup.image.data() + size_t(setup.bounds.top) * rowBytes +
                          size_t(setup.bounds.left) * 3;
  const int32_t workRowBytes = setup.workWidth * 3;
  std::vector<uint8_t> work(size_t(workRowBytes) * setup.workHeight);
  std::vector<uint8_t> copy(work.size());
  double featherSeconds = 0, memcpySeconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    setup.symmetry->FeatherSource(source, rowBytes, 3, work.data(), workRowBytes, 3);
    const auto middle = std::chrono::steady_clock::now();
    std::memcpy(copy.data(), work.data(), work.size());
    benchmark::DoNotOptimize(copy.data());
    const auto end = std::chrono::steady_clock::now();
    featherSeconds += std::chrono::duration<double>(middle - start).count();
    memcpySeconds += std::chrono::duration<double>(end - middle).count();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * setup.workWidth * setup.workHeight);
  state.counters["feather"] = setup.symmetry->featherPixels;
  state.counters["memcpy_ratio"] = memcpySeconds > 0 ? featherSeconds / memcpySeconds : 0;
}

BENCHMARK(BM_FeatherSource)
    ->ArgsProduct({{1, 2, 3, 4, 5, 6, 8, 9, 11, 12, 13, 15, 16}, {128, 512}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quiltora
