// The system loads every dialog, picture and cursor the module carries, and
// lays the dialogs out with the fonts their templates name or a stand-in.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "filterhost.h"
#include "resources/resource_ids.h"

namespace {

INT_PTR CALLBACK Quiet(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class ModuleResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryA(filterhost::ModuleBesideExecutable().c_str());
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  HMODULE module_ = nullptr;
};

// The face and the pixel size of 4 x 8 dialog units of a dialog.
struct DialogFont {
  std::string face;
  RECT units{0, 0, 4, 8};
};

DialogFont FontOf(HWND dialog) {
  DialogFont font;
  MapDialogRect(dialog, &font.units);
  HDC dc = GetDC(dialog);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, LF_FACESIZE, face);
  SelectObject(dc, old);
  ReleaseDC(dialog, dc);
  font.face = face;
  return font;
}

TEST_F(ModuleResources, DialogsComeUpWithAllTheirControls) {
  struct Case {
    int id;
    int controls;
    int firstControl;
  };
  for (const Case& c : {Case{IDD_MAIN, 0, 0}, Case{IDD_SYMMETRY, 19, IDC_PICTURE_FIRST},
                        Case{IDD_SELECT_AREA, 4, IDC_AREA_PROMPT}, Case{IDD_MEASURE, 1, IDC_MEASURE_TEXT}}) {
    HWND dialog = CreateDialogParamA(module_, MAKEINTRESOURCEA(c.id), nullptr, Quiet, 0);
    ASSERT_NE(dialog, nullptr) << "dialog " << c.id;
    int count = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) ++count;
    EXPECT_EQ(count, c.controls) << "dialog " << c.id;
    if (c.firstControl != 0) {
      EXPECT_NE(GetDlgItem(dialog, c.firstControl), nullptr) << "dialog " << c.id;
    }
    // Whatever face the system found for the template's font, it is a real
    // one and dialog units come out at a size a person can read.
    const DialogFont font = FontOf(dialog);
    EXPECT_FALSE(font.face.empty()) << "dialog " << c.id;
    EXPECT_GE(font.units.right, 4) << "dialog " << c.id << " font " << font.face;
    EXPECT_GE(font.units.bottom, 10) << "dialog " << c.id << " font " << font.face;
    std::printf("dialog %d: font %s, 4 x 8 units are %ld x %ld pixels\n", c.id, font.face.c_str(),
                long(font.units.right), long(font.units.bottom));
    if (c.id == IDD_SYMMETRY) {
      // A picture cell still shows the part of an icon the picker frames (74 x 71).
      RECT cell{0, 0, 50, 50};
      MapDialogRect(dialog, &cell);
      EXPECT_GE(cell.right, 74) << font.face;
      EXPECT_GE(cell.bottom, 71) << font.face;
    }
    DestroyWindow(dialog);
  }
}

TEST_F(ModuleResources, PicturesAndCursorsLoad) {
  struct Case {
    int id;
    LONG width, height;
  };
  std::vector<Case> cases = {{IDB_OK, 72, 63},           {IDB_OK_PRESSED, 72, 63},
                             {IDB_SAVE_TILE, 72, 63},    {IDB_SAVE_TILE_PRESSED, 72, 63},
                             {IDB_CANCEL, 72, 63},       {IDB_CANCEL_PRESSED, 72, 63},
                             {IDB_BADGE, 54, 55},        {IDB_BADGE_PRESSED, 54, 55},
                             {IDB_BACKGROUND, 515, 363}, {IDB_PATTERN, 8, 8}};
  for (int id = IDB_SYMMETRY_FIRST; id < IDB_SYMMETRY_FIRST + 17; ++id) cases.push_back({id, 80, 75});
  for (const Case& c : cases) {
    HBITMAP bitmap = LoadBitmapA(module_, MAKEINTRESOURCEA(c.id));
    ASSERT_NE(bitmap, nullptr) << "bitmap " << c.id;
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, c.width) << "bitmap " << c.id;
    EXPECT_EQ(info.bmHeight, c.height) << "bitmap " << c.id;
    DeleteObject(bitmap);
  }
  for (int cursor : {IDCUR_RESULT_HOVER, IDCUR_SPIN_DRAG}) {
    HCURSOR handle = LoadCursorA(module_, MAKEINTRESOURCEA(cursor));
    ASSERT_NE(handle, nullptr) << "cursor " << cursor;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(handle, &info)) << "cursor " << cursor;
    EXPECT_FALSE(info.fIcon) << "cursor " << cursor;
    EXPECT_LT(info.xHotspot, 32u) << "cursor " << cursor;
    EXPECT_LT(info.yHotspot, 32u) << "cursor " << cursor;
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  }
  EXPECT_EQ(LoadCursorA(module_, MAKEINTRESOURCEA(IDCUR_RESULT_DRAG)), nullptr) << "the drag hides the pointer";
}

}  // namespace
