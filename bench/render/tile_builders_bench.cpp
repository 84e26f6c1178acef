// BuildTile of every symmetry at sides 64, 512 and 2000 on RGB pixels, in tile
// pixels per second, beside a memcpy of the same tile bytes timed in the same
// run. memcpy_ratio is the builder's time over the memcpy's.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

#include "symmetry/leaves.h"

namespace quiltora {
namespace {

// Sets the geometry a run would leave: side (or width = height = side, the
// parallelogram sheared by a quarter of it) and the tile size of its rule.
TileSymmetry* Prepare(int16_t number, int32_t side, int32_t* sourceWidth, int32_t* sourceHeight) {
  TileSymmetry* s = CreateSymmetry(number);
  int32_t w = side + 2, h = side + 2;
  if (auto* p = dynamic_cast<ParallelogramSource*>(s)) {
    p->width = side;
    p->height = side;
    p->shear = side / 4;
    s->tileWidth = side;
    s->tileHeight = side;
    w = side + side / 4;
  } else if (auto* r = dynamic_cast<RectangleSource*>(s)) {
    r->width = side;
    r->height = side;
    s->tileWidth = (number == 12 ? 4 : 2) * side;
    s->tileHeight = (number == 6 || number == 7 ? 2 : 1) * side;
  } else if (number == 2) {
    dynamic_cast<HalfSquareSource*>(s)->side = side;
    s->tileWidth = s->tileHeight = side;
  } else if (number <= 11) {
    if (auto* q = dynamic_cast<SquareSource*>(s)) q->side = side;
    if (auto* hs = dynamic_cast<HalfSquareSource*>(s)) hs->side = side;
    s->tileWidth = s->tileHeight = 2 * side;
  } else {
    const int32_t hexRows = static_cast<int32_t>(0.8660254 * side - 0.5) + 1;
    if (number == 13) {
      dynamic_cast<RhombusSource*>(s)->side = side;
      s->tileWidth = 2 * (static_cast<int32_t>(side * 1.1547005 * 3.0 / 2.0 - 0.5) + 1);
      s->tileHeight = 2 * side;
      w = s->tileWidth / 2 + 1;
    } else if (number == 14) {
      dynamic_cast<TriangleSource*>(s)->side = side;
      s->tileWidth = 2 * (3 * side / 2);
      s->tileHeight = 2 * hexRows;
      w = 3 * side / 2 + 1;
    } else if (number == 17) {
      dynamic_cast<HalfTriangleSource*>(s)->side = side;
      s->tileWidth = 6 * side;
      s->tileHeight = 2 * (static_cast<int32_t>(1.7320508 * side - 0.5) + 1);
      h = s->tileHeight / 2 + 2;
    } else {
      dynamic_cast<KiteSource*>(s)->side = side;
      s->tileWidth = 3 * side;
      s->tileHeight = 2 * hexRows;
      w = 3 * side / 2 + 1;
    }
  }
  s->x = 0;
  s->y = 0;
  s->sourceWidth = w;
  s->sourceHeight = h;
  s->destHeight = 0;
  s->ResetEdgeMins();
  *sourceWidth = w;
  *sourceHeight = h;
  return s;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double MemcpySeconds(std::vector<uint8_t>& to, const std::vector<uint8_t>& from) {
  double best = 1e30;
  for (int k = 0; k < 5; ++k) {
    const auto start = std::chrono::steady_clock::now();
    std::memcpy(to.data(), from.data(), from.size());
    benchmark::ClobberMemory();
    best = std::min(best, SecondsSince(start));
  }
  return best;
}

void BM_BuildTile(benchmark::State& state) {
  const int16_t number = static_cast<int16_t>(state.range(0));
  const int32_t side = static_cast<int32_t>(state.range(1));
  int32_t sw = 0, sh = 0;
  TileSymmetry* symmetry = Prepare(number, side, &sw, &sh);
  const int32_t sourceRowBytes = (sw * 3 + 3) / 4 * 4;
  std::vector<uint8_t> source(static_cast<size_t>(sourceRowBytes) * sh);
  for (size_t k = 0; k < source.size(); ++k) source[k] = static_cast<uint8_t>(k * 37 + (k >> 9));
  const int32_t tileWidth = symmetry->tileWidth, tileHeight = symmetry->tileHeight;
  const int32_t tileRowBytes = (tileWidth * 3 + 3) / 4 * 4;
  std::vector<uint8_t> tile(static_cast<size_t>(tileRowBytes) * tileHeight, 1);
  std::vector<uint8_t> copy(tile.size(), 2);
  const double memcpySeconds = MemcpySeconds(copy, tile);

  double builderSeconds = 1e30;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(
        symmetry->BuildTile(source.data(), sourceRowBytes, 3, SilentProgress(), tile.data(), tileRowBytes, 3));
    benchmark::ClobberMemory();
    builderSeconds = std::min(builderSeconds, SecondsSince(start));
  }
  const double pixels = static_cast<double>(tileWidth) * tileHeight;
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(pixels));
  state.counters["tile_px_per_s"] = pixels / builderSeconds;
  state.counters["memcpy_px_per_s"] = pixels / memcpySeconds;
  state.counters["memcpy_ratio"] = builderSeconds / memcpySeconds;
  DestroySymmetry();
}

void Members(benchmark::internal::Benchmark* bench) {
  for (int number = 1; number <= 17; ++number) {
    for (int side : {64, 512, 2000}) bench->Args({number, side});
  }
}

BENCHMARK(BM_BuildTile)->Apply(Members)->Unit(benchmark::kMillisecond)->MinTime(0.3);

}  // namespace
}  // namespace quiltora
