// BlendRow over a 4096-pixel row from a 256-pixel tile, every blend mode at
// full strength and at 50 %, gray and RGB, beside a memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "composite/blend.h"

namespace quiltora {
namespace {

constexpr int32_t kRowPixels = 4096;
constexpr int32_t kTileSize = 256;

const char* const kModeNames[] = {"Normal",     "Darken", "Lighten",  "Hue",   "Saturation",
                                  "Color",      "Luminosity", "Multiply", "Screen"};

std::vector<uint8_t> RandomBytes(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(count);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

void BlendRowBenchmark(benchmark::State& state, int16_t pixelMode, int16_t blendMode, int32_t opacity) {
  const int32_t bytesPerPixel = BytesPerPixel(pixelMode);
  const int32_t rowBytes = (kTileSize * bytesPerPixel + 3) / 4 * 4;
  std::vector<uint8_t> tilePixels = RandomBytes(static_cast<size_t>(rowBytes) * kTileSize, 1);
  const std::vector<uint8_t> input = RandomBytes(static_cast<size_t>(kRowPixels) * bytesPerPixel, 2);
  std::vector<uint8_t> output(input.size());
  TileImage tile;
  tile.pixelMode = pixelMode;
  tile.bytesPerPixel = static_cast<int16_t>(bytesPerPixel);
  tile.width = kTileSize;
  tile.height = kTileSize;
  tile.rowBytes = rowBytes;
  tile.destWidth = kRowPixels;
  tile.destHeight = kRowPixels;
  tile.SetBlend(static_cast<uint8_t>(opacity), blendMode);
  tile.pixels = tilePixels.data();
  int32_t row = 0;
  for (auto _ : state) {
    BlendRow(&tile, input.data(), output.data(), (row * 37) % kTileSize, row, pixelMode, pixelMode);
    benchmark::DoNotOptimize(output.data());
    benchmark::ClobberMemory();
    row = (row + 1) % kTileSize;
  }
  tile.pixels = nullptr;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(input.size()));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kRowPixels);
}

void MemcpyBenchmark(benchmark::State& state, int32_t bytesPerPixel) {
  const std::vector<uint8_t> input = RandomBytes(static_cast<size_t>(kRowPixels) * bytesPerPixel, 2);
  std::vector<uint8_t> output(input.size());
  for (auto _ : state) {
    std::memcpy(output.data(), input.data(), input.size());
    benchmark::DoNotOptimize(output.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(input.size()));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kRowPixels);
}

const bool kRegistered = [] {
  for (int16_t pixelMode : {kPixelGray, kPixelThree}) {
    const std::string layout = pixelMode == kPixelGray ? "Gray" : "RGB";
    benchmark::RegisterBenchmark(("Memcpy/" + layout).c_str(), MemcpyBenchmark, BytesPerPixel(pixelMode));
    for (int16_t blendMode = kBlendNormal; blendMode <= kBlendScreen; ++blendMode) {
      for (int32_t opacity : {100, 50}) {
        const std::string name =
            "BlendRow/" + layout + "/" + kModeNames[blendMode - 1] + "/" + std::to_string(opacity);
        benchmark::RegisterBenchmark(name.c_str(), BlendRowBenchmark, pixelMode, blendMode, opacity);
      }
    }
  }
  return true;
}();

}  // namespace
}  // namespace quiltora
