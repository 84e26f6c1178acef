// Pictures of the main dialog in a few states, taken from the real window
// while the test host runs the real module, so that a person can look at them:
//   quiltora_dialog_screenshots OUTPUT_FOLDER [SAMPLE_PICTURE]
// and of the Symmetry picker and Select an Area opened from it.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "dialog_driver.h"
#include "files/bmp_file.h"
#include "image/image_buffer.h"
#include "ui_harness.h"

namespace {

// The Symmetry picker and Select an Area, opened from the main dialog as a
// user opens them; the picture is the child dialog's client area.
int ChildDialogShots(filterhost::Module& module, HWND editor, const std::string& folder,
                     const std::string& samplePath) {
  filterhost::Image image;
  if (!dialogtest::LoadSample(samplePath, 3, &image)) return 1;
  // A picture twice the sample's size, so that only an area of it is used.
  // In the temporary folder, by its whole path, as the open dialog starts in a folder of its own.
  char temporary[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temporary);
  const std::string large = std::string(temporary) + "quiltora-large-source.bmp";
  {
    quiltora::ImageBuffer* picture = quiltora::ImageBufferCreate(quiltora::kFormatBGR24, image.width * 2, image.height * 2);
    if (picture == nullptr) return 1;
    for (int32_t y = 0; y < picture->height; ++y)
      for (int32_t x = 0; x < picture->width; ++x) {
        const uint8_t* rgb = image.At(x / 2, y / 2);
        uint8_t* p = quiltora::ImageBufferPixel(picture, x, y);
        p[0] = rgb[2];
        p[1] = rgb[1];
        p[2] = rgb[0];
      }
    const int32_t written = quiltora::WriteBmpFile(picture, large.c_str());
    quiltora::ImageBufferRelease(picture);
    if (written != quiltora::kBmpOk) return 1;
  }
  struct Remove {
    std::string path;
    ~Remove() { DeleteFileA(path.c_str()); }
  } removeLarge{large};
  int failures = 0;
  auto shoot = [&](const char* name, const std::function<void(HWND dialog, bool* saved, const std::string& path)>& open) {
    filterhost::Host host(module);
    host.behaviour().window = filterhost::HostWindow::Given;
    host.behaviour().givenWindow = reinterpret_cast<intptr_t>(editor);
    host.SetImage(image);
    const std::string path = folder + "/" + name;
    bool saved = false, ran = false;
    dialogtest::RunWithDialog(&host, nullptr, [&](HWND dialog) {
      open(dialog, &saved, path);
      uitest::PressKey(VK_ESCAPE);
    }, &ran);
    saved = saved && ran;
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", path.c_str());
    failures += saved ? 0 : 1;
  };
  shoot("dialog-symmetry-picker.png", [&](HWND dialog, bool* saved, const std::string& path) {
    uitest::ModalScript picker("Symmetry", [&](HWND p) {
      // Storm at Sea chosen: its picture framed in blue.
      RECT r{};
      GetWindowRect(GetDlgItem(p, 366), &r);
      POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
      ScreenToClient(p, &centre);
      uitest::Click(p, centre);
      uitest::MoveMouse(p, POINT{5, 5});
      *saved = uitest::SavePng(uitest::CaptureClient(p), path);
      uitest::PressKey(VK_ESCAPE);
    });
    uitest::Click(dialog, POINT{221 + 38, 52 + 36});
  });
  // "New Image..." from the dropped Source list, the open dialog answered
  // with the large picture.
  auto loadLarge = [&](HWND dialog) {
    uitest::ModalScript open("Load Source", [&](HWND d) {
      HWND name = GetDlgItem(d, 0x47C);
      if (name == nullptr) name = GetDlgItem(d, 0x480);
      SetWindowTextA(name, large.c_str());
      RECT ok{};
      GetWindowRect(GetDlgItem(d, IDOK), &ok);
      POINT centre{(ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2};
      ScreenToClient(d, &centre);
      uitest::Click(d, centre);
    });
    HWND combo = GetDlgItem(dialog, 330);
    RECT r{};
    GetClientRect(combo, &r);
    uitest::Click(combo, POINT{r.right / 2, r.bottom / 2});
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(combo, &info);
    uitest::PumpUntil([&] { return IsWindowVisible(info.hwndList) != FALSE; });
    RECT item{};
    SendMessageA(info.hwndList, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    uitest::Click(info.hwndList, POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
  };
  shoot("dialog-select-an-area.png", [&](HWND dialog, bool* saved, const std::string& path) {
    uitest::ModalScript area("Select an Area", [&](HWND a) {
      *saved = uitest::SavePng(uitest::CaptureClient(a), path);
      uitest::PressKey(VK_ESCAPE);
    });
    loadLarge(dialog);
  });
  // The main dialog once the area is accepted: the source pane shows that
  // part of the loaded picture and the Source list its third item.
  shoot("dialog-new-image.png", [&](HWND dialog, bool* saved, const std::string& path) {
    bool accepted = false;
    uitest::ModalScript area("Select an Area", [&](HWND a) {
      HWND pane = GetDlgItem(a, 372);
      RECT client{};
      GetClientRect(pane, &client);
      const POINT middle{client.right / 2, client.bottom / 2};
      uitest::Drag(pane, middle, POINT{middle.x - 20, middle.y - 15}, 3);
      accepted = uitest::PressKey(VK_RETURN);
    });
    loadLarge(dialog);
    uitest::MoveMouse(dialog, POINT{5, 5});
    *saved = accepted && uitest::SavePng(uitest::CaptureClient(dialog), path);
  });
  return failures;
}

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
  failures += ChildDialogShots(module, editor, folder, samplePath);
  DestroyWindow(editor);
  return failures == 0 ? 0 : 1;
}
