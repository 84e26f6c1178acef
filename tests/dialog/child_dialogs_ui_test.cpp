// The Symmetry picker, the Select-an-Area dialog, the file dialogs and the
// reload question, in real windows: the test host runs the real module with
// its dialog over a host window, and the tests drive it with the mouse and
// keys through the system's input queue, answering the file dialogs.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "abi/parameter_block.h"
#include "dialog/area_pane.h"
#include "dialog/main_layout.h"
#include "dialog/pane_layout.h"
#include "dialog/symmetry_picker.h"
#include "dialog_driver.h"
#include "dialog_fixture.h"
#include "files/bmp_file.h"
#include "filterhost.h"
#include "image/image_buffer.h"
#include "picture.h"
#include "resources/resource_ids.h"
#include "symmetry/outline.h"
#include "ui_harness.h"

namespace quiltora {
namespace {

namespace fs = std::filesystem;
using dialogtest::KeptBlock;
using filterhost::Image;
using uitest::ModalScript;

constexpr int kSourceList = 330;
constexpr int kSourcePane = 345;
constexpr POINT kSymmetryButton{221 + 38, 52 + 36};
constexpr POINT kSaveTileButton{300 + 36, 299 + 30};
constexpr uint32_t kBlue = 0x0000FF;

// The centre of a child window in its parent's client coordinates.
POINT CentreOf(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ScreenToClient(GetParent(child), &centre);
  return centre;
}

bool ClickControl(HWND dialog, int id) { return uitest::Click(dialog, CentreOf(GetDlgItem(dialog, id))); }

int BluePixels(HWND window) {
  const uitest::Picture picture = uitest::CaptureClient(window);
  int count = 0;
  for (uint32_t pixel : picture.pixels) count += pixel == kBlue;
  return count;
}

// The pictures of the picker that show the blue frame.
std::vector<int> FramedPictures(HWND picker) {
  std::vector<int> framed;
  for (int id = kFirstPictureId; id <= kLastPictureId; ++id)
    if (BluePixels(GetDlgItem(picker, id)) > 0) framed.push_back(id);
  return framed;
}

// The items of the Source list, by their text.
std::vector<std::string> SourceItems(HWND dialog) {
  std::vector<std::string> items;
  const int count = int(SendDlgItemMessageA(dialog, kSourceList, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[128] = {};
    SendDlgItemMessageA(dialog, kSourceList, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}

// Drops the Source list down with a click and clicks item `index` in it.
bool ChooseSourceItem(HWND dialog, int index) {
  HWND combo = GetDlgItem(dialog, kSourceList);
  RECT r{};
  GetClientRect(combo, &r);
  if (!uitest::Click(combo, POINT{r.right / 2, r.bottom / 2})) {
    ADD_FAILURE() << "the Source list took no click";
    return false;
  }
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (!GetComboBoxInfo(combo, &info) || !uitest::PumpUntil([&] { return IsWindowVisible(info.hwndList) != FALSE; })) {
    ADD_FAILURE() << "the Source list did not drop down";
    return false;
  }
  RECT item{};
  if (SendMessageA(info.hwndList, LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
    return false;
  return uitest::Click(info.hwndList, POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
}

// Answers an open or save dialog with a path: typed into its name box, then OK.
void AnswerFileDialog(HWND fileDialog, const std::string& path) {
  constexpr int kNameCombo = 0x47C, kNameEdit = 0x480;
  HWND name = GetDlgItem(fileDialog, kNameCombo);
  if (name == nullptr) name = GetDlgItem(fileDialog, kNameEdit);
  ASSERT_NE(name, nullptr) << "no file name box";
  SetWindowTextA(name, path.c_str());
  EXPECT_TRUE(ClickControl(fileDialog, IDOK));
}

void WriteBmp(const std::string& path, int32_t width, int32_t height) {
  ImageBuffer* picture = ImageBufferCreate(kFormatBGR24, width, height);
  ASSERT_NE(picture, nullptr);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = ImageBufferPixel(picture, x, y);
      p[0] = uint8_t(x * 7 + y);
      p[1] = uint8_t(y * 5 + ((x / 8) % 2) * 100);
      p[2] = uint8_t(x + y * 3);
    }
  ASSERT_EQ(WriteBmpFile(picture, path.c_str()), kBmpOk);
  ImageBufferRelease(picture);
}

class ChildDialogsUi : public dialogtest::DialogWindowTest {
 protected:
  void SetUp() override {
    DialogWindowTest::SetUp();
    if (HasFatalFailure()) return;
    // The tests answer the module's message boxes themselves.
    filterhost::SetMessageBoxAnswering(false);
    folder_ = fs::path(::testing::TempDir()) / ("quiltora_child_" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    DialogWindowTest::TearDown();
    filterhost::SetMessageBoxAnswering(true);
    std::error_code ignored;
    if (!folder_.empty()) fs::remove_all(folder_, ignored);
  }
  std::string Path(const char* name) const { return (folder_ / name).string(); }
  // The host's image as the file in.ppm, for the quiltora program.
  bool WriteInput() const {
    quiltora_cli::Picture input;
    input.width = original_.width;
    input.height = original_.height;
    input.channels = original_.channels;
    input.pixels = original_.pixels;
    std::string temporary, error;
    return quiltora_cli::WritePictureTemporary(Path("in.ppm"), input, &temporary, &error) &&
           quiltora_cli::CommitPicture(temporary, Path("in.ppm"), &error);
  }
  // A run that opens the dialog without Parameters, as the next run of a
  // host does after one that used a loaded picture.
  filterhost::RunReport RunDialogAgain(const std::function<void(HWND)>& script) {
    dialogtest::PatchKeptBlock(host_.get(), [](ParameterBlock* block) { block->showDialog = 1; });
    ModalScript modal("", script);
    const filterhost::RunReport report = host_->Render();
    EXPECT_TRUE(modal.ran()) << "the dialog did not open";
    return report;
  }
  // Loads `path` through "New Image..." and the real open dialog; `area`
  // answers the Select-an-Area dialog should it open.
  void LoadSource(HWND dialog, const std::string& path, const std::function<void(HWND)>& area, bool* areaShown) {
    ModalScript areaScript("Select an Area", [&](HWND areaDialog) {
      *areaShown = true;
      area(areaDialog);
    });
    ModalScript open("Load Source", [&](HWND fileDialog) { AnswerFileDialog(fileDialog, path); });
    EXPECT_TRUE(ChooseSourceItem(dialog, 1));
    EXPECT_TRUE(open.ran()) << "no open dialog";
  }

  fs::path folder_;
};

TEST_F(ChildDialogsUi, PickerFramesTheSymmetryAndOkChangesTheShape) {
  RunDialog([](ParameterBlock* block) { block->symmetry = 8; },
            [&](HWND dialog) {
              const ParameterBlock before = Block();
              ModalScript picker("Symmetry", [&](HWND p) {
                EXPECT_EQ(GetWindow(p, GW_OWNER), dialog);
                // Placed over the main dialog by the rule, its anchor being the host's window.
                RECT main{}, mine{};
                GetWindowRect(dialog, &main);
                GetWindowRect(p, &mine);
                DialogPlacementInput in;
                in.dialog = IntRect{mine.left, mine.top, mine.right, mine.bottom};
                in.hasOwner = true;
                in.owner = IntRect{main.left, main.top, main.right, main.bottom};
                in.screenWidth = GetSystemMetrics(SM_CXSCREEN);
                in.screenHeight = GetSystemMetrics(SM_CYSCREEN);
                in.anchorIsOwner = false;
                in.captionHeight = GetSystemMetrics(SM_CYCAPTION);
                RECT sixteen{0, 0, 16, 16};
                MapDialogRect(p, &sixteen);
                in.sixteenUnitsX = sixteen.right;
                in.sixteenUnitsY = sixteen.bottom;
                const IntPoint expected = PlaceDialogAt(in);
                EXPECT_EQ(mine.left, expected.x);
                EXPECT_EQ(mine.top, expected.y);
                EXPECT_EQ(FramedPictures(p), std::vector<int>{361});
                EXPECT_TRUE(ClickControl(p, 370));
                EXPECT_EQ(FramedPictures(p), std::vector<int>{370});
                EXPECT_EQ(Block().symmetry, 8);  // only OK writes it
                EXPECT_TRUE(ClickControl(p, IDOK));
              });
              const uitest::Picture paneBefore = uitest::CaptureClient(GetDlgItem(dialog, kSourcePane));
              EXPECT_TRUE(uitest::Click(dialog, kSymmetryButton));
              EXPECT_TRUE(picker.ran());
              const ParameterBlock after = Block();
              EXPECT_EQ(after.symmetry, 17);
              // The outline took Turnstile's shape at the same place.
              IntRect b{}, a{};
              SelectionBounds(before.selectionVertices, before.selectionVertexCount, &b);
              SelectionBounds(after.selectionVertices, after.selectionVertexCount, &a);
              EXPECT_EQ(a.left, b.left);
              EXPECT_NE(std::memcmp(before.selectionVertices, after.selectionVertices, sizeof before.selectionVertices),
                        0);
              EXPECT_NE(uitest::CaptureClient(GetDlgItem(dialog, kSourcePane)).pixels, paneBefore.pixels);
              EXPECT_TRUE(uitest::PressKey(VK_ESCAPE));
            });
}

TEST_F(ChildDialogsUi, PickerCancelKeepsTheSymmetryAndTheOutline) {
  RunDialog([](ParameterBlock* block) { block->symmetry = 8; },
            [&](HWND dialog) {
              // A pattern dragged first: a rebuilt selection would put it back to 0.
              EXPECT_TRUE(uitest::Drag(GetDlgItem(dialog, dialogtest::kResultPaneId), POINT{100, 100},
                                       POINT{131, 113}, 4));
              const ParameterBlock before = Block();
              ASSERT_NE(before.tileOffsetX, 0);
              ModalScript picker("Symmetry", [&](HWND p) {
                EXPECT_TRUE(ClickControl(p, 370));
                EXPECT_TRUE(ClickControl(p, IDCANCEL));
              });
              EXPECT_TRUE(uitest::Click(dialog, kSymmetryButton));
              EXPECT_TRUE(picker.ran());
              const ParameterBlock after = Block();
              EXPECT_EQ(after.symmetry, 8);
              EXPECT_EQ(std::memcmp(before.selectionVertices, after.selectionVertices, sizeof before.selectionVertices),
                        0);
              EXPECT_EQ(after.tileOffsetX, before.tileOffsetX) << "the source pane was told of a change";
              EXPECT_TRUE(uitest::PressKey(VK_ESCAPE));
            });
}

TEST_F(ChildDialogsUi, PressAndDragAcrossTheGridMovesTheFrame) {
  RunDialog([](ParameterBlock* block) { block->symmetry = 1; },
            [&](HWND dialog) {
              ModalScript picker("Symmetry", [&](HWND p) {
                const POINT from = CentreOf(GetDlgItem(p, 354)), to = CentreOf(GetDlgItem(p, 363));
                std::vector<int> seen;
                EXPECT_TRUE(uitest::Drag(p, from, to, 6, [&](int, POINT) {
                  const std::vector<int> framed = FramedPictures(p);
                  ASSERT_EQ(framed.size(), 1u);
                  if (seen.empty() || seen.back() != framed[0]) seen.push_back(framed[0]);
                }));
                EXPECT_GE(seen.size(), 3u);  // the frame went picture by picture
                EXPECT_EQ(FramedPictures(p), std::vector<int>{363});
                // With the button up, passing over the grid chooses nothing.
                EXPECT_TRUE(uitest::MoveMouse(p, CentreOf(GetDlgItem(p, 366))));
                EXPECT_EQ(FramedPictures(p), std::vector<int>{363});
                EXPECT_TRUE(uitest::PressKey(VK_RETURN));  // OK is the default button
              });
              EXPECT_TRUE(uitest::Click(dialog, kSymmetryButton));
              EXPECT_EQ(Block().symmetry, 10);
              EXPECT_TRUE(uitest::PressKey(VK_ESCAPE));
            });
}

TEST_F(ChildDialogsUi, ASmallerPictureIsUsedWholeWithoutTheAreaDialog) {
  WriteBmp(Path("small.bmp"), 120, 90);
  // A colour picture as the source of a gray image too, then Apply.
  for (int32_t channels : {3, 1}) {
    SetImage(300, 200, channels);
    const filterhost::RunReport report =
        RunDialog([](ParameterBlock* block) { block->sourceKind = kSourceImage; },
                  [&](HWND dialog) {
                    bool areaShown = false;
                    LoadSource(
                        dialog, Path("small.bmp"), [](HWND) {}, &areaShown);
                    EXPECT_FALSE(areaShown);
                    const ParameterBlock block = Block();
                    EXPECT_EQ(block.sourceKind, kSourceLoadedFile);
                    EXPECT_EQ(block.sourceSmallerThanImage, 1);
                    EXPECT_EQ(SourceItems(dialog).size(), 2u);
                    EXPECT_EQ(SendDlgItemMessageA(dialog, kSourceList, CB_GETCURSEL, 0, 0), 1);
                    EXPECT_TRUE(uitest::Click(dialog, dialogtest::kApplyButton));
                  });
    EXPECT_EQ(report.result, 0) << channels;
    EXPECT_NE(host_->image().pixels, original_.pixels) << channels;
  }
}

TEST_F(ChildDialogsUi, ALargerPicturesAreaCancelReturnsToTheImage) {
  WriteBmp(Path("large.bmp"), 500, 400);
  RunDialog(nullptr, [&](HWND dialog) {
    bool areaShown = false;
    LoadSource(
        dialog, Path("large.bmp"),
        [&](HWND area) {
          const ParameterBlock block = Block();
          EXPECT_EQ(block.sourceArea.left, 100);
          EXPECT_EQ(block.sourceArea.top, 100);
          EXPECT_EQ(block.sourceArea.right, 400);
          EXPECT_EQ(block.sourceArea.bottom, 300);
          EXPECT_EQ(SourceItems(dialog),
                    (std::vector<std::string>{"Original Image", "New Image...", "Select Source Area..."}));
          EXPECT_TRUE(ClickControl(area, IDCANCEL));
        },
        &areaShown);
    EXPECT_TRUE(areaShown);
    EXPECT_EQ(Block().sourceKind, kSourceImage);
    EXPECT_EQ(SourceItems(dialog), (std::vector<std::string>{"Original Image", "New Image..."}));
    EXPECT_EQ(SendDlgItemMessageA(dialog, kSourceList, CB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(uitest::PressKey(VK_ESCAPE));
  });
}

// The area dragged and accepted, then Apply: the output is what the command
// renders from that file, area and selection.
TEST_F(ChildDialogsUi, TheDraggedAreaRendersAsTheCommandDoes) {
  WriteBmp(Path("large.bmp"), 500, 400);
  IntRect dragged{};
  const filterhost::RunReport report = RunDialog(nullptr, [&](HWND dialog) {
    bool areaShown = false;
    LoadSource(
        dialog, Path("large.bmp"),
        [&](HWND area) {
          HWND pane = GetDlgItem(area, IDC_AREA_PANE);
          RECT client{};
          GetClientRect(pane, &client);
          AreaPaneModel model;
          ASSERT_TRUE(model.Open(client.right, client.bottom, 500, 400, Block().sourceArea));
          const POINT from{(model.frame().left + model.frame().right) / 2,
                           (model.frame().top + model.frame().bottom) / 2};
          // A move the pane's picture has room for: up and to the left.
          EXPECT_TRUE(uitest::Drag(pane, from, POINT{from.x - 15, from.y - 9}, 3));
          model.Press(IntPoint{from.x, from.y});
          model.Move(IntPoint{from.x - 15, from.y - 9});
          ASSERT_TRUE(model.Release(&dragged));
          EXPECT_TRUE(ClickControl(area, IDOK));
        },
        &areaShown);
    ASSERT_TRUE(areaShown);
    const ParameterBlock block = Block();
    EXPECT_EQ(block.sourceArea.left, dragged.left);
    EXPECT_EQ(block.sourceArea.top, dragged.top);
    EXPECT_EQ(block.sourceArea.right - block.sourceArea.left, 300);
    EXPECT_LT(block.sourceArea.left, 100);
    EXPECT_TRUE(uitest::Click(dialog, dialogtest::kApplyButton));
  });
  ASSERT_EQ(report.result, 0);
  const ParameterBlock block = Block();
  ASSERT_TRUE(WriteInput());
  std::string error;
  char area[64], select[64];
  std::snprintf(area, sizeof area, "--source-area=%d,%d,%d,%d", block.sourceArea.left, block.sourceArea.top,
                block.sourceArea.right - block.sourceArea.left, block.sourceArea.bottom - block.sourceArea.top);
  std::snprintf(select, sizeof select, "--select=%d,%d,%d,%d", block.selectionX, block.selectionY, block.selectionWidth,
                block.selectionHeight);
  const fs::path program = fs::path(filterhost::ModuleBesideExecutable()).parent_path() / "quiltora.exe";
  const std::string command = "\"" + program.string() + "\" \"" + Path("in.ppm") + "\" \"" + Path("out.ppm") +
                              "\" -q --symmetry=" + std::to_string(block.symmetry) + " --source \"" +
                              Path("large.bmp") + "\" " + area + " " + select;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string line = command;
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  const bool ended = WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process.hProcess, 9);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  ASSERT_TRUE(ended) << "the program did not end: " << command;
  ASSERT_EQ(status, 0u) << command;
  quiltora_cli::Picture output;
  ASSERT_TRUE(quiltora_cli::LoadPicture(Path("out.ppm"), &output, &error)) << error;
  EXPECT_TRUE(output.pixels == host_->image().pixels) << "the dialog's run and the command differ";
}

TEST_F(ChildDialogsUi, TheNextRunAsksToReloadThePicture) {
  WriteBmp(Path("small.bmp"), 120, 90);
  struct Case {
    const char* what;
    bool yes;
    bool removeFile;
    int32_t kind;
  } cases[] = {
      {"Yes restores the picture", true, false, kSourceLoadedFile},
      {"No returns to the image", false, false, kSourceImage},
      {"a missing file returns to the image in silence", true, true, kSourceImage},
  };
  for (const Case& c : cases) {
    SetImage(300, 200, 3);
    WriteBmp(Path("small.bmp"), 120, 90);
    // The image as the source: the last case's picture is not asked about here.
    RunDialog([](ParameterBlock* block) { block->sourceKind = kSourceImage; },
              [&](HWND dialog) {
                bool areaShown = false;
                LoadSource(
                    dialog, Path("small.bmp"), [](HWND) {}, &areaShown);
                EXPECT_TRUE(uitest::Click(dialog, dialogtest::kApplyButton));
              });
    ASSERT_EQ(Block().sourceKind, kSourceLoadedFile) << c.what;
    if (c.removeFile) fs::remove(Path("small.bmp"));
    std::string question;
    ModalScript box("Quiltora", [&](HWND b) {
      char text[512] = {};
      GetDlgItemTextA(b, 0xFFFF, text, sizeof text);
      question = text;
      EXPECT_TRUE(ClickControl(b, c.yes ? IDYES : IDNO));
    });
    ModalScript warning("Quiltora Warning", [](HWND b) { EXPECT_TRUE(ClickControl(b, IDOK)); });
    RunDialogAgain([&](HWND dialog) {
      EXPECT_EQ(Block().sourceKind, c.kind) << c.what;
      EXPECT_EQ(SendDlgItemMessageA(dialog, kSourceList, CB_GETCURSEL, 0, 0), c.kind == kSourceLoadedFile ? 1 : 0);
      EXPECT_TRUE(uitest::PressKey(VK_ESCAPE));
    });
    EXPECT_TRUE(box.ran()) << c.what;
    EXPECT_NE(question.find("Would you like to reload " + Path("small.bmp")), std::string::npos) << question;
    EXPECT_FALSE(warning.ran()) << c.what;
  }
}

TEST_F(ChildDialogsUi, SaveTileWritesTheTileShown) {
  for (int32_t channels : {1, 3}) {
    SetImage(300, 200, channels);
    const std::string path = Path(channels == 1 ? "gray-tile" : "rgb-tile");  // ".bmp" comes from the dialog
    filterhost::TileCopy tile;
    RunDialog(nullptr, [&](HWND dialog) {
      ModalScript save("Save Tile", [&](HWND fileDialog) { AnswerFileDialog(fileDialog, path); });
      ASSERT_TRUE(filterhost::CopyModuleTile(*module_, &tile));
      EXPECT_TRUE(uitest::Click(dialog, kSaveTileButton));
      EXPECT_TRUE(save.ran());
      EXPECT_TRUE(uitest::PressKey(VK_ESCAPE));
    });
    ImageBuffer* read = nullptr;
    ASSERT_EQ(ReadBmpFile((path + ".bmp").c_str(), &read), kBmpOk) << channels;
    ASSERT_EQ(read->width, tile.width);
    ASSERT_EQ(read->height, tile.height);
    for (int32_t y = 0; y < tile.height; ++y)
      for (int32_t x = 0; x < tile.width; ++x) {
        const uint8_t* shown = ImageBufferPixel(read, x, y);
        const uint8_t* kept = &tile.pixels[(size_t(y) * tile.width + x) * size_t(tile.channels)];
        for (int32_t c = 0; c < 3; ++c)
          ASSERT_EQ(shown[c], kept[channels == 1 ? 0 : c]) << channels << " at " << x << "," << y;
      }
    ImageBufferRelease(read);
  }
}

// The Windows program's --dialog: the real dialog opens on the input picture
// in the program's own process, with no owner; Apply writes what a batch run
// of the settings it stored writes, Cancel writes nothing and says so.
struct ProgramWindow {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindProgramDialog(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<ProgramWindow*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char name[16] = {}, title[8] = {};
  GetClassNameA(window, name, sizeof name);
  GetWindowTextA(window, title, sizeof title);
  if (process == search->process && IsWindowVisible(window) && std::strcmp(name, "#32770") == 0 && title[0] == '\0') {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// A click at a point of another process's window, through the input queue.
void ClickOnScreen(HWND window, POINT point) {
  ClientToScreen(window, &point);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input[3] = {};
  for (INPUT& i : input) {
    i.type = INPUT_MOUSE;
    i.mi.dx = LONG((point.x * 65535 + width / 2) / (width - 1));
    i.mi.dy = LONG((point.y * 65535 + height / 2) / (height - 1));
  }
  input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  SendInput(3, input, sizeof(INPUT));
}

TEST_F(ChildDialogsUi, TheProgramsDialogRendersWhatItApplies) {
  ASSERT_TRUE(WriteInput());
  std::string error;
  const fs::path program = fs::path(filterhost::ModuleBesideExecutable()).parent_path() / "quiltora.exe";
  auto run = [&](const std::string& args, POINT button, bool withDialog) {
    const std::string command = "\"" + program.string() + "\" \"" + Path("in.ppm") + "\" " + args + " -q";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = command;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
      return DWORD(-1);
    if (withDialog) {
      ProgramWindow search{process.dwProcessId, nullptr};
      const bool shown = uitest::PumpUntil(
          [&] {
            EnumWindows(FindProgramDialog, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
          },
          20000);
      EXPECT_TRUE(shown) << "the program showed no dialog";
      if (shown) {
        EXPECT_EQ(GetWindow(search.found, GW_OWNER), nullptr);
        SetForegroundWindow(search.found);
        ClickOnScreen(search.found, button);
      }
    }
    const bool ended = WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(process.hProcess, 9);
    EXPECT_TRUE(ended) << "the program did not end";
    DWORD status = DWORD(-1);
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
  };
  const std::string options = "--symmetry=13 --feather=15 --blend=screen";
  EXPECT_EQ(
      run("\"" + Path("applied.ppm") + "\" --dialog " + options + " --save-settings \"" + Path("applied.qset") + "\"",
          dialogtest::kApplyButton, true),
      0u);
  EXPECT_EQ(run("\"" + Path("plain.ppm") + "\" --settings \"" + Path("applied.qset") + "\"", POINT{}, false), 0u);
  EXPECT_EQ(run("\"" + Path("cancelled.ppm") + "\" --dialog " + options, dialogtest::kCancelButton, true), 1u);
  quiltora_cli::Picture applied, plain;
  ASSERT_TRUE(quiltora_cli::LoadPicture(Path("applied.ppm"), &applied, &error)) << error;
  ASSERT_TRUE(quiltora_cli::LoadPicture(Path("plain.ppm"), &plain, &error)) << error;
  EXPECT_TRUE(applied.pixels == plain.pixels) << "Apply renders what a run of the settings it stored renders";
  EXPECT_NE(applied.pixels, original_.pixels);
  EXPECT_FALSE(fs::exists(Path("cancelled.ppm")));
}

// Random mouse and key input over the main dialog and every dialog it opens,
// the file dialogs answered at random: no crash, no hang (every input is
// taken within its wait), no assertion box; the settings stay in their
// ranges, and Apply afterwards renders.
TEST_F(ChildDialogsUi, MonkeyTenThousandEvents) {
  constexpr uint32_t kSeed = 16016;
  constexpr int kEvents = 10000;
  std::mt19937 random(kSeed);
  auto chance = [&](int percent) { return int(random() % 100) < percent; };
  auto pick = [&](int count) { return int(random() % uint32_t(count)); };
  int events = 0, lost = 0, saves = 0;
  auto count = [&](bool taken) {
    ++events;
    lost += taken ? 0 : 1;
  };
  WriteBmp(Path("small.bmp"), 100, 80);
  WriteBmp(Path("large.bmp"), 420, 330);
  WriteBmp(Path("wide.bmp"), 600, 120);
  {
    std::FILE* junk = std::fopen(Path("junk.bmp").c_str(), "wb");
    ASSERT_NE(junk, nullptr);
    std::fputs("BM not really", junk);
    std::fclose(junk);
  }
  const WORD keys[] = {VK_TAB,   VK_LEFT, VK_RIGHT,     VK_UP,         VK_DOWN,   VK_HOME,   VK_END,
                       VK_PRIOR, VK_NEXT, VK_BACK,      VK_SPACE,      '0',       '1',       '5',
                       '7',      '9',     VK_OEM_MINUS, VK_OEM_PERIOD, VK_DELETE, VK_RETURN, VK_ESCAPE};
  // Random input inside a window's client area: moves, clicks, drags, keys.
  // Enter and Escape end dialogs, so they come rarely.
  auto randomInput = [&](HWND window, int budget) {
    RECT client{};
    GetClientRect(window, &client);
    auto point = [&] { return POINT{pick(std::max<int>(client.right, 1)), pick(std::max<int>(client.bottom, 1))}; };
    for (int i = 0; i < budget && events < kEvents && IsWindow(window) && IsWindowVisible(window); ++i) {
      const int kind = pick(100);
      if (kind < 35) {
        count(uitest::MoveMouse(window, point()));
      } else if (kind < 60) {
        count(uitest::MoveMouse(window, point()));
        count(uitest::PressLeft());
        count(uitest::ReleaseLeft());
      } else if (kind < 80) {
        const POINT from = point(), to = point();
        count(uitest::MoveMouse(window, from));
        count(uitest::PressLeft());
        const int steps = 1 + pick(4);
        for (int s = 1; s <= steps && IsWindow(window); ++s)
          count(uitest::MoveMouse(window,
                                  POINT{from.x + (to.x - from.x) * s / steps, from.y + (to.y - from.y) * s / steps}));
        count(uitest::ReleaseLeft());
      } else {
        WORD key = keys[pick(int(sizeof keys / sizeof keys[0]))];
        if ((key == VK_RETURN || key == VK_ESCAPE) && !chance(4)) key = VK_TAB;
        count(uitest::PressKey(key));
      }
    }
  };
  auto endDialog = [&](HWND dialog) {
    if (!IsWindow(dialog) || !IsWindowVisible(dialog)) return;
    count(chance(50) ? ClickControl(dialog, chance(60) ? IDOK : IDCANCEL)
                     : uitest::PressKey(chance(50) ? VK_RETURN : VK_ESCAPE));
  };
  int assertions = 0;
  ModalScript picker(
      "Symmetry",
      [&](HWND p) {
        randomInput(p, 12);
        endDialog(p);
      },
      true);
  ModalScript area(
      "Select an Area",
      [&](HWND a) {
        randomInput(a, 10);
        endDialog(a);
      },
      true);
  ModalScript open(
      "Load Source",
      [&](HWND d) {
        const char* files[] = {"small.bmp", "large.bmp", "wide.bmp", "junk.bmp", "missing.bmp"};
        if (GetDlgItem(d, 0x47C) == nullptr && GetDlgItem(d, 0x480) == nullptr) {  // the dialog's own message box
          count(uitest::PressKey(VK_RETURN));
        } else if (chance(20)) {
          count(ClickControl(d, IDCANCEL));
        } else {
          AnswerFileDialog(d, Path(files[pick(5)]));
          count(true);
        }
      },
      true);
  ModalScript save(
      "Save Tile",
      [&](HWND d) {
        if (GetDlgItem(d, 0x47C) == nullptr && GetDlgItem(d, 0x480) == nullptr) {
          count(uitest::PressKey(VK_RETURN));
        } else if (chance(30)) {
          count(ClickControl(d, IDCANCEL));
        } else {
          AnswerFileDialog(d, Path(("tile" + std::to_string(saves++)).c_str()));
          count(true);
        }
      },
      true);
  ModalScript question(
      "Quiltora", [&](HWND b) { count(ClickControl(b, chance(50) ? IDYES : IDNO)); }, true);
  ModalScript fileWarning(
      "Quiltora Warning", [&](HWND b) { count(ClickControl(b, IDOK)); }, true);
  ModalScript warning(
      "Quiltora - Warning", [&](HWND b) { count(ClickControl(b, IDOK)); }, true);
  ModalScript error(
      "Quiltora - Error", [&](HWND b) { count(ClickControl(b, IDOK)); }, true);
  ModalScript assertion(
      "Assertion Failed!",
      [&](HWND b) {
        ++assertions;
        ClickControl(b, IDIGNORE);
      },
      true);

  auto checkRanges = [&](const char* when) {
    const ParameterBlock b = Block();
    EXPECT_GE(b.symmetry, 1) << when;
    EXPECT_LE(b.symmetry, 17) << when;
    EXPECT_GE(b.blendMode, 1) << when;
    EXPECT_LE(b.blendMode, 9) << when;
    EXPECT_GE(b.opacity & 0xFF, 1) << when;
    EXPECT_LE(b.opacity & 0xFF, 100) << when;
    EXPECT_GE(b.feather, 0) << when;
    EXPECT_LE(b.feather, 100) << when;
    EXPECT_TRUE(b.sourceKind == kSourceImage || b.sourceKind == kSourceLoadedFile) << when;
    if (b.sourceKind == kSourceLoadedFile) {
      EXPECT_GE(b.sourceArea.left, 0) << when;
      EXPECT_GE(b.sourceArea.top, 0) << when;
      EXPECT_LE(b.sourceArea.right, b.sourceWidth) << when;
      EXPECT_LE(b.sourceArea.bottom, b.sourceHeight) << when;
      EXPECT_LE(b.sourceArea.right - b.sourceArea.left, b.imageWidth) << when;
      EXPECT_LE(b.sourceArea.bottom - b.sourceArea.top, b.imageHeight) << when;
    }
    const SelectionFrame& f = b.selectionNormalised;
    for (double v : {f.top, f.left, f.bottom, f.right}) {
      EXPECT_GE(v, -0.001) << when;
      EXPECT_LE(v, 1.001) << when;
    }
  };

  int runs = 0;
  while (events < kEvents && !HasFatalFailure()) {
    ++runs;
    auto script = [&](HWND dialog) {
      while (events < kEvents && IsWindow(dialog) && IsWindowVisible(dialog)) randomInput(dialog, 50);
      if (IsWindow(dialog) && IsWindowVisible(dialog)) count(uitest::PressKey(VK_ESCAPE));
    };
    // Every other run is the next run of a host, which may ask to reload.
    const filterhost::RunReport report = runs % 2 == 1 ? RunDialog(nullptr, script) : RunDialogAgain(script);
    EXPECT_TRUE(report.result == 0 || report.result == 1) << "run " << runs << " ended with " << report.result;
    checkRanges("after a run");
    if (report.result == 0) host_->SetImage(original_);
  }
  std::printf(
      "monkey: seed %u, %d input events in %d dialog runs; opened: %d pickers, %d open and %d save dialogs, "
      "%d area dialogs, %d reload questions, %d file warnings\n",
      kSeed, events, runs, picker.runs(), open.runs(), save.runs(), area.runs(), question.runs(), fileWarning.runs());
  EXPECT_GE(events, kEvents);
  EXPECT_EQ(lost, 0) << "inputs not taken in time: a hang";
  EXPECT_EQ(assertions, 0);

  // Apply afterwards renders what the settings say.
  const filterhost::RunReport final =
      RunDialog(nullptr, [&](HWND dialog) { EXPECT_TRUE(uitest::Click(dialog, dialogtest::kApplyButton)); });
  EXPECT_EQ(final.result, 0);
  EXPECT_NE(host_->image().pixels, original_.pixels);
}

}  // namespace
}  // namespace quiltora
