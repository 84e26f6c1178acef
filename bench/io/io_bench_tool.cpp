// Helpers of bench/io/io_bench.sh, the whole-process benchmark of quiltora:
//
//   io_bench_tool picture W H OUT          writes a photo-like RGB test picture
//   io_bench_tool floor IN OUT BYTES       the I/O floor: reads IN whole into
//                                          memory, writes BYTES of it to OUT once
//   io_bench_tool codec IN REF OUT [LEVEL] the codec floor for PNG and TIFF: decodes
//                                          IN whole with the library, encodes the
//                                          pixels of REF (read before timing) to
//                                          OUT with the settings quiltora uses;
//                                          prints seconds and peak resident MiB
//                                          (both pictures are in memory at once)
//   io_bench_tool measure CMD ARGS...      runs CMD; prints wall seconds and
//                                          peak resident memory in MiB
#include <sys/resource.h>
#include <sys/wait.h>
#include <spawn.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "picture_format.h"

extern char** environ;

namespace {

using namespace quiltora_cli;

int Picture(int32_t width, int32_t height, const std::string& out) {
  PictureInfo info;
  info.width = width;
  info.height = height;
  info.kind = PixelKind::kRGB;
  std::string error;
  std::unique_ptr<PictureWriter> writer = CreatePictureWriter(out, out, info, WriteSettings{}, &error);
  if (!writer) {
    std::fprintf(stderr, "io_bench_tool: %s\n", error.c_str());
    return 1;
  }
  std::vector<uint8_t> row(size_t(width) * 3);
  uint32_t state = 12345;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      const int noise = int(state >> 28) - 8;
      const double u = double(x) / width, v = double(y) / height;
      const double wave = 40 * std::sin(x * 0.013 + std::cos(y * 0.009) * 3) + 30 * std::cos(y * 0.021);
      const int base[3] = {int(60 + 150 * u + wave), int(170 - 90 * v + wave / 2), int(90 + 80 * u * v - wave)};
      for (int c = 0; c < 3; ++c) row[size_t(x) * 3 + c] = uint8_t(std::min(255, std::max(0, base[c] + noise)));
    }
    if (!writer->WriteRow(row.data())) break;
  }
  if (!writer->Finish()) {
    std::fprintf(stderr, "io_bench_tool: %s\n", writer->error().c_str());
    return 1;
  }
  return 0;
}

int Floor(const char* in, const char* out, long long bytes) {
  std::FILE* file = std::fopen(in, "rb");
  if (file == nullptr) return 1;
  std::fseek(file, 0, SEEK_END);
  const long long size = std::ftell(file);
  std::fseek(file, 0, SEEK_SET);
  std::unique_ptr<char[]> data(new char[size_t(size)]);
  const size_t got = std::fread(data.get(), 1, size_t(size), file);
  std::fclose(file);
  std::FILE* target = std::fopen(out, "wb");
  if (target == nullptr || got != size_t(size)) return 1;
  for (long long written = 0; written < bytes;) {
    const size_t chunk = size_t(std::min(bytes - written, size));
    std::fwrite(data.get(), 1, chunk, target);
    written += chunk;
  }
  return std::fclose(target) == 0 ? 0 : 1;
}

bool ReadWhole(const char* path, PictureInfo* info, std::vector<uint8_t>* pixels) {
  std::string error;
  std::unique_ptr<PictureReader> reader = OpenPictureReader(path, &error);
  if (!reader) return false;
  *info = reader->info();
  const size_t rowBytes = size_t(info->width) * SamplesOf(info->kind);
  pixels->resize(rowBytes * size_t(info->height));
  for (int32_t y = 0; y < info->height; ++y)
    if (!reader->ReadRow(y, pixels->data() + y * rowBytes)) return false;
  return true;
}

// Decoding and encoding are done through quiltora's readers and writers,
// which hand each row straight to the library: the library's own cost.
int Codec(const char* in, const char* reference, const char* out, int level) {
  PictureInfo refInfo, inInfo;
  std::vector<uint8_t> refPixels, inPixels;
  if (!ReadWhole(reference, &refInfo, &refPixels)) return 1;
  const auto start = std::chrono::steady_clock::now();
  if (!ReadWhole(in, &inInfo, &inPixels)) return 1;
  WriteSettings settings;
  settings.compression = level;
  std::string error;
  std::unique_ptr<PictureWriter> writer = CreatePictureWriter(out, out, refInfo, settings, &error);
  if (!writer) return 1;
  const size_t rowBytes = size_t(refInfo.width) * SamplesOf(refInfo.kind);
  for (int32_t y = 0; y < refInfo.height; ++y)
    if (!writer->WriteRow(refPixels.data() + y * rowBytes)) return 1;
  if (!writer->Finish()) return 1;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%.4f %.1f\n", seconds, usage.ru_maxrss / 1024.0);
  return 0;
}

int Measure(char** argv) {
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv, environ) != 0) return 1;
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return 1;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%.4f %.1f\n", seconds, usage.ru_maxrss / 1024.0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  if (what == "picture" && argc == 5) return Picture(std::atoi(argv[2]), std::atoi(argv[3]), argv[4]);
  if (what == "floor" && argc == 5) return Floor(argv[2], argv[3], std::atoll(argv[4]));
  if (what == "codec" && argc >= 5) return Codec(argv[2], argv[3], argv[4], argc > 5 ? std::atoi(argv[5]) : -1);
  if (what == "measure" && argc > 2) return Measure(argv + 2);
  std::fputs("usage: see the head of io_bench_tool.cpp\n", stderr);
  return 2;
}
