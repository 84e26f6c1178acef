// The dialog's previews on a 192 × 144 RGB picture with the default
// selection (a square of a third of the shorter side, in the middle), for
// every symmetry at feather 0 and 50: BuildPreviewTile, as every selection,
// symmetry or feather change makes it, and CompositePreview, as every pointer
// move of a pattern drag makes it. Each is timed beside a memcpy of the
// preview picture in the same run; memcpy_ratio is the preview's time over
// the memcpy's. Targets: 2 ms per rebuild and 0.5 ms per recomposite for the
// slowest symmetry.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

#include "composite/tile_image.h"
#include "image/image_buffer.h"
#include "image/memory_block.h"
#include "render/preview.h"
#include "symmetry/outline.h"
#include "symmetry/tile_symmetry.h"

namespace quiltora {
namespace {

constexpr int32_t kWidth = 192, kHeight = 144;

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

ImageBuffer* Picture(uint32_t seed) {
  ImageBuffer* picture = ImageBufferCreate(kFormatBGR24, kWidth, kHeight);
  for (int32_t i = 0; i < picture->imageBytes; ++i) picture->pixels[i] = uint8_t(i * seed + (i >> 7));
  return picture;
}

// The settings record of an open dialog, with its three pictures, and the
// working objects the dialog creates.
class Dialog {
 public:
  Dialog(int16_t number, int32_t feather) {
    SetMemorySources(MemorySources{true, nullptr, nullptr});
    CreateRunImages();
    CreateSymmetry(number);
    block_.symmetry = number;
    block_.feather = feather;
    block_.opacity = 100;
    block_.blendMode = kBlendNormal;
    block_.sourcePaneImage = RefFromImage(Picture(37));
    block_.resultPaneImage = RefFromImage(Picture(11));
    block_.resultPaneWork = RefFromImage(Picture(5));
    block_.sourcePaneImageRect = IntRect{0, 0, kWidth, kHeight};
    const int32_t side = std::min(kWidth, kHeight) / 3;
    BuildSelectionOutline(number, kWidth / 2 - side / 2, kHeight / 2 - side / 2, side, side, 0,
                          block_.selectionVertices, block_.selectionHandles, &block_.selectionVertexCount,
                          block_.sourcePaneImageRect);
  }
  ~Dialog() {
    for (ObjectRef* ref : {&block_.sourcePaneImage, &block_.resultPaneImage, &block_.resultPaneWork})
      ReleaseImageRef(ref);
    ReleaseRunImages();
    DestroySymmetry();
  }
  ParameterBlock* block() { return &block_; }

 private:
  ParameterBlock block_{};
};

// The fastest of many copies of the preview picture's bytes.
double MemcpySeconds() {
  std::vector<uint8_t> from(size_t(kWidth) * kHeight * 3), to(from.size());
  for (size_t i = 0; i < from.size(); ++i) from[i] = uint8_t(i * 13 + (i >> 8));
  double best = 1e30;
  for (int k = 0; k < 2000; ++k) {
    const auto start = std::chrono::steady_clock::now();
    std::memcpy(to.data(), from.data(), from.size());
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
    best = std::min(best, SecondsSince(start));
  }
  return best;
}

void Report(benchmark::State& state, double seconds) {
  static const double memcpySeconds = MemcpySeconds();
  state.counters["best_us"] = seconds * 1e6;
  state.counters["memcpy_us"] = memcpySeconds * 1e6;
  state.counters["memcpy_ratio"] = seconds / memcpySeconds;
}

void BM_MemcpyPreviewPicture(benchmark::State& state) {
  for (auto _ : state) {
    const double seconds = MemcpySeconds();
    benchmark::DoNotOptimize(seconds);
  }
  Report(state, MemcpySeconds());
}

void BM_Rebuild(benchmark::State& state) {
  Dialog dialog(int16_t(state.range(0)), int32_t(state.range(1)));
  if (BuildPreviewTile(dialog.block()) != 1) state.SkipWithError("no preview tile");
  double best = 1e30;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(BuildPreviewTile(dialog.block()));
    benchmark::ClobberMemory();
    best = std::min(best, SecondsSince(start));
  }
  Report(state, best);
}

void BM_Recomposite(benchmark::State& state) {
  Dialog dialog(int16_t(state.range(0)), int32_t(state.range(1)));
  if (BuildPreviewTile(dialog.block()) != 1) state.SkipWithError("no preview tile");
  double best = 1e30;
  int32_t drag = 0;
  for (auto _ : state) {
    dialog.block()->selectionX += (++drag & 1) ? 3 : -3;  // the pattern follows the pointer
    const auto start = std::chrono::steady_clock::now();
    CompositePreview(dialog.block());
    benchmark::ClobberMemory();
    best = std::min(best, SecondsSince(start));
  }
  Report(state, best);
}

void Symmetries(benchmark::internal::Benchmark* bench) {
  for (int number = 1; number <= 17; ++number)
    for (int feather : {0, 50}) bench->Args({number, feather});
}

BENCHMARK(BM_MemcpyPreviewPicture)->Iterations(1);
BENCHMARK(BM_Rebuild)->Apply(Symmetries)->Unit(benchmark::kMicrosecond)->MinTime(0.2);
BENCHMARK(BM_Recomposite)->Apply(Symmetries)->Unit(benchmark::kMicrosecond)->MinTime(0.2);

}  // namespace
}  // namespace quiltora
