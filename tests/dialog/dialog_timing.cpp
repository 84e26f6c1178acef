// How long the dialog takes from a mouse move over the source pane (a
// selection drag with live update on) to the end of the repaint of both
// previews, per symmetry at feather 50, in the real window:
//   quiltora_dialog_timing [SAMPLE_PICTURE] [MOVES]
// The reference, measured in the same run, is the same move with nothing to
// do: the pointer moving over the pane with no button down. The target is a
// frame of 16 ms for the worst symmetry.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "symmetry/catalogue.h"
#include "symmetry/outline.h"
#include "ui_harness.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

struct Times {
  std::vector<double> ms;
  double Median() {
    std::sort(ms.begin(), ms.end());
    return ms.empty() ? 0.0 : ms[ms.size() / 2];
  }
  double Max() const { return ms.empty() ? 0.0 : *std::max_element(ms.begin(), ms.end()); }
  double Mean() const {
    double sum = 0;
    for (double v : ms) sum += v;
    return ms.empty() ? 0.0 : sum / double(ms.size());
  }
};

// Moves back and forth by 2 pixels from `from`, each move timed until both
// previews have been painted again.
Times TimedMoves(HWND dialog, POINT from, int moves) {
  HWND source = GetDlgItem(dialog, dialogtest::kSourcePaneId);
  HWND result = GetDlgItem(dialog, dialogtest::kResultPaneId);
  HWND tile = GetDlgItem(dialog, dialogtest::kTilePreviewId);
  Times times;
  for (int i = 1; i <= moves; ++i) {
    const POINT to{from.x + ((i % 2) != 0 ? 2 : 0), from.y + ((i % 4) < 2 ? 1 : 0)};
    const double start = Now();
    uitest::MoveMouse(source, to);
    UpdateWindow(result);
    UpdateWindow(tile);
    times.ms.push_back(Now() - start);
  }
  return times;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string samplePath = argc > 1 ? argv[1] : "assets/sample.png";
  const int moves = argc > 2 ? std::max(4, std::atoi(argv[2])) : 40;
  filterhost::Module module;
  if (!module.Load(filterhost::ModuleBesideExecutable())) {
    std::fprintf(stderr, "cannot load the module: %s\n", module.error().c_str());
    return 1;
  }
  filterhost::Image image;
  if (!dialogtest::LoadSample(samplePath, 3, &image)) image = dialogtest::ProbeImage(640, 480, 3);
  HWND editor = dialogtest::MakeEditorWindow();
  std::printf("Live preview per mouse move over the source pane, %d x %d RGB image, feather 50, %d moves each\n",
              image.width, image.height, moves);
  std::printf("reference: the same move with no button down (nothing to redraw)\n\n");
  std::printf("%-3s %-14s %9s %9s %9s %9s %9s %11s %11s\n", "n", "symmetry", "median", "mean", "worst", "outline",
              "ref", "worst/16ms", "median/ref");
  double worstOfAll = 0;
  for (int32_t n = 1; n <= quiltora::kSymmetryCount; ++n) {
    filterhost::Host host(module);
    host.behaviour().window = filterhost::HostWindow::Given;
    host.behaviour().givenWindow = reinterpret_cast<intptr_t>(editor);
    host.SetImage(image);
    Times drag, idle, outline;
    bool ran = false;
    dialogtest::RunWithDialog(
        &host,
        [n](quiltora::ParameterBlock* block) {
          block->symmetry = n;
          block->feather = 50;
        },
        [&](HWND dialog) {
          const quiltora::ParameterBlock block = dialogtest::KeptBlock(host);
          quiltora::IntRect box{};
          quiltora::SelectionBounds(block.selectionVertices, block.selectionVertexCount, &box);
          POINT inside{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
          // A point of the pane outside the selection for the reference moves.
          POINT outside{4, 4};
          uitest::MoveMouse(GetDlgItem(dialog, dialogtest::kSourcePaneId), outside);
          idle = TimedMoves(dialog, outside, moves);
          uitest::MoveMouse(GetDlgItem(dialog, dialogtest::kSourcePaneId), inside);
          uitest::PressLeft();
          drag = TimedMoves(dialog, inside, moves);
          uitest::ReleaseLeft();
          // The same drag with live update off: the outline alone follows.
          dialogtest::PatchKeptBlock(&host, [](quiltora::ParameterBlock* b) { b->liveUpdate = 0; });
          uitest::PressLeft();
          outline = TimedMoves(dialog, inside, moves);
          uitest::ReleaseLeft();
          uitest::PressKey(VK_ESCAPE);
        },
        &ran);
    if (!ran) {
      std::fprintf(stderr, "symmetry %d: the dialog did not open\n", n);
      return 1;
    }
    const double reference = std::max(idle.Median(), 0.001);
    const double median = drag.Median();
    worstOfAll = std::max(worstOfAll, drag.Max());
    std::printf("%-3d %-14s %6.2f ms %6.2f ms %6.2f ms %6.2f ms %6.2f ms %10.2fx %10.1fx\n", n,
                quiltora::FindSymmetryInfo(n)->name, median, drag.Mean(), drag.Max(), outline.Median(), reference,
                drag.Max() / 16.0, median / reference);
  }
  std::printf("\nworst move of all: %.2f ms (%.2f of the 16 ms frame)\n", worstOfAll, worstOfAll / 16.0);
  DestroyWindow(editor);
  return 0;
}
