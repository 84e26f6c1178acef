// Whole filter runs through the module's export, timed beside the floor of
// any filter: reading the whole input once and writing the whole output once.
//
//   run_bench [module path] [--compare other module] [--quick] [--size WxH]
//             [--symmetry S] [--runs N]
//
// --size, --symmetry and --runs narrow the run to one size, one symmetry and
// N attempts per case, for profiling. --compare runs a second build of the
// module (an older one, say) on every case too, the two taking turns.
//
// Prints, per case and module: the time spent inside the module, as a ratio
// to the memcpy floor measured in the same process and to symmetry 1's in the
// same size, blend and feather; the processor time of the whole run (the
// host's copies included, the same for every module), and the most memory
// the module held through the host's suites. Every figure is the best of the
// attempts: the machine may be busy. The host hands out its buffers unfilled
// here, as a real host does; fresh pages are still faulted in by the
// module's first writes, inside the module time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <tuple>
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

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// The best of a few copies of the whole image into a second buffer.
double FloorSeconds(const filterhost::Image& image) {
  std::vector<uint8_t> out(image.pixels.size());
  double best = 1e9;
  for (int i = 0; i < 5; ++i) {
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

struct Figures {
  double module = 1e9, cpu = 1e9;
  double peakMiB = 0;
};

struct Subject {
  std::string label;
  std::unique_ptr<filterhost::Module> module;
  std::unique_ptr<filterhost::Host> host;
};

// One run of the case; false when the module failed it.
bool RunOnce(Subject& subject, const filterhost::Image& original, const Case& c, Figures* figures) {
  filterhost::Host& host = *subject.host;
  host.SetImage(original);
  if (host.Parameters() != 0) return false;
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
  const double cpuStart = CpuSeconds();
  const filterhost::RunReport report = host.Render();
  if (report.result != 0) {
    std::fprintf(stderr, "run_bench: %s, symmetry %d ended with %d\n", subject.label.c_str(), c.symmetry,
                 report.result);
    return false;
  }
  figures->module = std::min(figures->module, host.moduleSeconds());
  figures->cpu = std::min(figures->cpu, CpuSeconds() - cpuStart);
  figures->peakMiB = double(host.peakSuiteBytes()) / (1 << 20);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string modulePath = filterhost::ModuleBesideExecutable();
  std::string comparePath;
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
    else if (std::strcmp(argv[i], "--compare") == 0 && i + 1 < argc)
      comparePath = argv[++i];
    else
      modulePath = argv[i];
  }
  std::vector<Subject> subjects;
  auto load = [&](const std::string& path, const std::string& label) {
    Subject subject{label, std::make_unique<filterhost::Module>(), nullptr};
    if (!subject.module->Load(path) &&
        !subject.module->Load(path.substr(0, path.rfind('/')) + "/../Quiltora.so")) {
      std::fprintf(stderr, "run_bench: %s\n", subject.module->error().c_str());
      return false;
    }
    subject.host = std::make_unique<filterhost::Host>(*subject.module);
    subject.host->SetFillFreshMemory(false);
    subjects.push_back(std::move(subject));
    return true;
  };
  if (!comparePath.empty() && !load(comparePath, "other")) return 1;
  if (!load(modulePath, comparePath.empty() ? "module" : "this")) return 1;

  std::vector<std::pair<int32_t, int32_t>> sizes = {{4000, 3000}, {8000, 8000}};
  if (onlyWidth > 0 && onlyHeight > 0) sizes = {{onlyWidth, onlyHeight}};
  std::vector<Case> cases;
  for (int32_t symmetry : {1, 7, 8, 13, 17})
    if (onlySymmetry == 0 || symmetry == onlySymmetry || symmetry == 1)
      for (const Case& blend : {Case{0, 1, 100, 0}, Case{0, 8, 50, 0}, Case{0, 1, 100, 30}})
        cases.push_back(Case{symmetry, blend.blendMode, blend.opacity, blend.feather});
  std::printf("%-11s %3s %-13s %7s  %-6s %9s %8s %9s %10s %10s\n", "size", "sym", "blend", "feather", "module",
              "module s", "/ floor", "/ sym 1", "run cpu s", "peak MiB");
  for (const auto& [width, height] : sizes) {
    if (quick && width > 4000 && onlyWidth == 0) break;
    const filterhost::Image original = Texture(width, height);
    const double floor = FloorSeconds(original);
    std::map<std::tuple<int32_t, int32_t, int32_t, size_t>, double> symmetryOne;  // blend, opacity, feather, subject
    for (const Case& c : cases) {
      std::vector<Figures> figures(subjects.size());
      for (int attempt = 0; attempt < runs; ++attempt)
        for (size_t s = 0; s < subjects.size(); ++s)
          if (!RunOnce(subjects[s], original, c, &figures[s])) return 1;
      for (size_t s = 0; s < subjects.size(); ++s) {
        const auto key = std::make_tuple(c.blendMode, c.opacity, c.feather, s);
        if (c.symmetry == 1) symmetryOne[key] = figures[s].module;
        const double one = symmetryOne.count(key) != 0 ? symmetryOne[key] : 0.0;
        std::printf("%5dx%-5d %3d %-8s %3d%% %6d%%  %-6s %9.4f %8.2f %9.2f %10.4f %10.1f\n", width, height,
                    c.symmetry, c.blendMode == 1 ? "normal" : "multiply", c.opacity, c.feather,
                    subjects[s].label.c_str(), figures[s].module, figures[s].module / floor,
                    one > 0 ? figures[s].module / one : 0.0, figures[s].cpu, figures[s].peakMiB);
      }
      std::fflush(stdout);
    }
    std::printf("floor at %dx%d: %.4f s (best of 5 memcpy of the image)\n", width, height, floor);
  }
  std::puts("module s: time inside the module; run cpu s: processor time of the whole run, host included.");
  return 0;
}
