// Whole filter runs through the module's export, timed beside the floor of
// any filter: reading the whole input once and writing the whole output once.
//
//   run_bench [module path] [--quick] [--size WxH] [--symmetry S] [--runs N]
//
// --size, --symmetry and --runs narrow the run to one size, one symmetry and
// N attempts per case, for profiling.
//
// Prints, per case: the run's wall time, the time spent inside the module,
// both as ratios to the memcpy floor measured in the same process, and the
// most memory the module held through the host's suites. The host hands out
// its buffers unfilled here, as a real host does; fresh pages are still
// faulted in by the module's first writes, inside the module time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "abi/parameter_block.h"
#include "filterhost.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

filterhost::Image Texture(int32_t width, int32_t height) {
  filterhost::Image image(width, height, 3);
  uint32_t state = 12345;
  for (uint8_t& byte : image.pixels) {
    state = state * 1664525u + 1013904223u;
    byte = uint8_t(state >> 24);
  }
  return image;
}

// The best of a few copies of the whole image into a second buffer.
double FloorSeconds(const filterhost::Image& image) {
  std::vector<uint8_t> out(image.pixels.size());
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    const auto start = Clock::now();
    std::memcpy(out.data(), image.pixels.data(), image.pixels.size());
    best = std::min(best, Seconds(start));
  }
  if (out[out.size() / 2] == 1 && out[0] == 2) std::puts("");  // keep the copy
  return best;
}

struct Case {
  int32_t symmetry;
  int32_t blendMode;
  int32_t opacity;
  int32_t feather;
};

}  // namespace

int main(int argc, char** argv) {
  std::string modulePath = filterhost::ModuleBesideExecutable();
  bool quick = false;
  int32_t onlyWidth = 0, onlyHeight = 0, onlySymmetry = 0, runs = 3;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quick") == 0)
      quick = true;
    else if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc)
      std::sscanf(argv[++i], "%dx%d", &onlyWidth, &onlyHeight);
    else if (std::strcmp(argv[i], "--symmetry") == 0 && i + 1 < argc)
      onlySymmetry = std::atoi(argv[++i]);
    else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
      runs = std::max(1, std::atoi(argv[++i]));
    else
      modulePath = argv[i];
  }
  filterhost::Module module;
  if (!module.Load(modulePath) && !module.Load(modulePath.substr(0, modulePath.rfind('/')) + "/../Quiltora.so")) {
    std::fprintf(stderr, "run_bench: %s\n", module.error().c_str());
    return 1;
  }
  std::vector<std::pair<int32_t, int32_t>> sizes = {{4000, 3000}, {8000, 8000}};
  if (onlyWidth > 0 && onlyHeight > 0) sizes = {{onlyWidth, onlyHeight}};
  std::vector<Case> cases;
  for (int32_t symmetry : {1, 7, 8, 13, 17})
    if (onlySymmetry == 0 || symmetry == onlySymmetry)
      for (const Case& blend : {Case{0, 1, 100, 0}, Case{0, 8, 50, 0}, Case{0, 1, 100, 30}})
        cases.push_back(Case{symmetry, blend.blendMode, blend.opacity, blend.feather});
  std::printf("%-11s %3s %-12s %8s %9s %9s %10s %12s %12s\n", "size", "sym", "blend", "feather", "wall s", "module s",
              "floor s", "wall/floor", "module peak");
  for (const auto& [width, height] : sizes) {
    if (quick && width > 4000 && onlyWidth == 0) break;
    const filterhost::Image original = Texture(width, height);
    const double floor = FloorSeconds(original);
    filterhost::Host host(module);
    host.SetFillFreshMemory(false);
    for (const Case& c : cases) {
      double wall = 1e9, inModule = 1e9;
      // The best of a few runs: the machine may be busy.
      for (int attempt = 0; attempt < runs; ++attempt) {
        host.SetImage(original);
        if (host.Parameters() != 0) return 1;
        std::vector<uint8_t> bytes = host.ParameterBytes();
        quiltora::ParameterBlock block;
        std::memcpy(&block, bytes.data(), sizeof block);
        block.showDialog = 0;
        block.symmetry = c.symmetry;
        block.blendMode = c.blendMode;
        block.opacity = c.opacity;
        block.feather = c.feather;
        std::memcpy(bytes.data(), &block, sizeof block);
        host.RestoreParameterBytes(bytes);
        host.ResetModuleSeconds();
        host.ResetPeakSuiteBytes();
        const auto start = Clock::now();
        const filterhost::RunReport report = host.Render();
        wall = std::min(wall, Seconds(start));
        inModule = std::min(inModule, host.moduleSeconds());
        if (report.result != 0) {
          std::fprintf(stderr, "run_bench: symmetry %d ended with %d\n", c.symmetry, report.result);
          return 1;
        }
      }
      std::printf("%5dx%-5d %3d %-8s %3d%% %7d%% %9.3f %9.3f %10.4f %5.2f / %5.2f %9.1f MiB\n", width, height,
                  c.symmetry, c.blendMode == 1 ? "normal" : "multiply", c.opacity, c.feather, wall, inModule, floor,
                  wall / floor, inModule / floor, double(host.peakSuiteBytes()) / (1 << 20));
      std::fflush(stdout);
    }
  }
  std::puts("wall/floor: the whole run with the host's own copies; the second figure counts the module only.");
  return 0;
}
