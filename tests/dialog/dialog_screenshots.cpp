// Pictures of the main dialog in a few states, taken from the real window
// while the test host runs the real module, so that a person can look at them:
//   quiltora_dialog_screenshots OUTPUT_FOLDER [SAMPLE_PICTURE]
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "dialog_driver.h"
#include "ui_harness.h"

namespace {

struct Shot {
  const char* name;
  int32_t channels;
  std::function<void(quiltora::ParameterBlock*)> settings;
  // Input before the picture is taken; the block of the dialog's opening is given.
  std::function<void(HWND dialog, const quiltora::ParameterBlock& opened, const filterhost::Module& module)> before;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: quiltora_dialog_screenshots OUTPUT_FOLDER [SAMPLE_PICTURE]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const std::string samplePath = argc > 2 ? argv[2] : "assets/sample.png";
  filterhost::Module module;
  if (!module.Load(filterhost::ModuleBesideExecutable())) {
    std::fprintf(stderr, "cannot load the module: %s\n", module.error().c_str());
    return 1;
  }
  HWND editor = dialogtest::MakeEditorWindow();
  const Shot shots[] = {
      {"dialog-opening.png", 3, nullptr, nullptr},
      {"dialog-gold-brick-sheared.png", 3,
       [](quiltora::ParameterBlock* b) {
         b->symmetry = 1;
         b->selectionNormalised.shear = 0.3;
       },
       [](HWND dialog, const quiltora::ParameterBlock& b, const filterhost::Module&) {
         // The bottom-left handle dragged left and down.
         const POINT handle{b.selectionVertices[1].x, b.selectionVertices[1].y};
         uitest::Drag(GetDlgItem(dialog, dialogtest::kSourcePaneId), handle, POINT{handle.x - 18, handle.y + 12}, 3);
       }},
      {"dialog-storm-at-sea-feather-60.png", 3,
       [](quiltora::ParameterBlock* b) {
         b->symmetry = 13;
         b->feather = 60;
       },
       nullptr},
      {"dialog-multiply-50.png", 3,
       [](quiltora::ParameterBlock* b) {
         b->blendMode = 8;
         b->opacity = 50;
       },
       nullptr},
      {"dialog-pattern-dragged.png", 3, nullptr,
       [](HWND dialog, const quiltora::ParameterBlock&, const filterhost::Module&) {
         uitest::Drag(GetDlgItem(dialog, dialogtest::kResultPaneId), POINT{100, 100}, POINT{131, 113}, 4);
         uitest::MoveMouse(dialog, POINT{260, 330});
       }},
      {"dialog-cmyk.png", 4, nullptr, nullptr},
  };
  int failures = 0;
  for (const Shot& shot : shots) {
    filterhost::Image image;
    if (!dialogtest::LoadSample(samplePath, shot.channels, &image)) {
      std::fprintf(stderr, "cannot read %s\n", samplePath.c_str());
      return 1;
    }
    filterhost::Host host(module);
    host.behaviour().window = filterhost::HostWindow::Given;
    host.behaviour().givenWindow = reinterpret_cast<intptr_t>(editor);
    host.SetImage(image);
    const std::string path = folder + "/" + shot.name;
    bool saved = false, ran = false;
    dialogtest::RunWithDialog(
        &host, shot.settings,
        [&](HWND dialog) {
          if (shot.before) shot.before(dialog, dialogtest::KeptBlock(host), module);
          saved = uitest::SavePng(uitest::CaptureClient(dialog), path);
          uitest::PressKey(VK_ESCAPE);
        },
        &ran);
    saved = saved && ran;
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", path.c_str());
    failures += saved ? 0 : 1;
  }
  DestroyWindow(editor);
  return failures == 0 ? 0 : 1;
}
