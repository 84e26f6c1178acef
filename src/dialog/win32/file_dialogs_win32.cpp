// The common open and save dialogs of "New Image..." and Save Tile, and the
// source handling's windows: the Source list, the area dialog, the question.
#include <windows.h>
// After windows.h, which they build on.
#include <commdlg.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "dialog/source_choice.h"
#include "dialog/win32/dialog_win32.h"
#include "files/bmp_file.h"
#include "files/file_dialog_paths.h"
#include "files/file_message.h"
#include "host/messages.h"
#include "platform/platform.h"
#include "resources/resource_ids.h"

namespace quiltora {
namespace {

// Room for paths longer than the settings record keeps, so that such a path
// comes back whole and is refused with its message rather than failing the dialog.
constexpr DWORD kPathRoom = 1024;

std::string ModuleString(int id) {
  char text[256];
  platform::LoadModuleString(id, text, sizeof text);
  return text;
}

bool FolderExists(const std::string& folder) {
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// "Tiles" below the Windows directory, else the user's Pictures folder.
std::string DialogStartFolder() {
  char windows[MAX_PATH] = {};
  const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  char pictures[MAX_PATH] = {};
  // The shell is asked only when a dialog opens: the module imports no more
  // than the system's core libraries, and most runs never show a file dialog.
  using FolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
  HMODULE shell = LoadLibraryA("shell32.dll");
  auto folderPath =
      shell != nullptr
          ? reinterpret_cast<FolderPath>(reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathA")))
          : nullptr;
  if (folderPath == nullptr || folderPath(nullptr, CSIDL_MYPICTURES, nullptr, SHGFP_TYPE_CURRENT, pictures) != S_OK)
    pictures[0] = '\0';
  if (shell != nullptr) FreeLibrary(shell);
  return StartFolder(length > 0 && length < MAX_PATH ? windows : "", ModuleString(IDS_TILES_FOLDER), pictures,
                     FolderExists);
}

}  // namespace

bool RunFileDialog(HWND owner, bool save, std::string* path) {
  const std::string folder = DialogStartFolder();
  const std::string filter = DialogFilter(ModuleString(IDS_FILE_FILTER));
  const std::string title = ModuleString(save ? IDS_SAVE_TILE_TITLE : IDS_LOAD_SOURCE_TITLE);
  std::vector<char> file(kPathRoom, '\0');
  if (save) {
    const std::string name = ModuleString(IDS_TILE_FILE_NAME);
    name.copy(file.data(), kPathRoom - 1);
  }
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = kPathRoom;
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = title.c_str();
  dialog.lpstrDefExt = "bmp";
  dialog.Flags =
      OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  const BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  if (!chosen) return false;
  *path = file.data();
  return true;
}

bool SaveTileFile(const uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes, int32_t pixelMode,
                  HWND owner) {
  std::string path;
  if (!RunFileDialog(owner, true, &path)) return false;
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  const int32_t written = WriteTileFile(path.c_str(), pixels, width, height, rowBytes, pixelMode);
  SetCursor(previous);
  return written == kBmpOk;
}

// The source handling's windows, for the main dialog.
bool WindowSourceSurface::ChooseSourceFile(std::string* path) { return RunFileDialog(dialog_, false, path); }

void WindowSourceSurface::ShowFileMessage(const std::string& path, int32_t code) {
  quiltora::ShowFileMessage(dialog_, path.c_str(), code);
}

bool WindowSourceSurface::RunAreaDialog(ParameterBlock* block) { return quiltora::RunAreaDialog(dialog_, block); }

bool WindowSourceSurface::AskQuestion(const std::string& text) {
  return ShowModuleMessageText(text.c_str(), MessageForm::Question) == platform::MessageAnswer::Yes;
}

void WindowSourceSurface::SourceListChanged(const SourceList& list) {
  HWND combo = GetDlgItem(dialog_, kSourceListId);
  if (combo == nullptr) return;
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  for (int32_t id : list.items) {
    const std::string text = ModuleString(id);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  SendMessageA(combo, CB_SETCURSEL, WPARAM(list.selected), 0);
}

}  // namespace quiltora
