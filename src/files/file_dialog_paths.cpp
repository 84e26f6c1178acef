#include "files/file_dialog_paths.h"

#include <algorithm>

namespace quiltora {

std::string JoinWindowsPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  return last == '\\' || last == '/' ? folder + name : folder + '\\' + name;
}

std::string StartFolder(const std::string& windowsDirectory, const std::string& tilesName,
                        const std::string& picturesFolder,
                        const std::function<bool(const std::string&)>& folderExists) {
  if (!windowsDirectory.empty()) {
    const std::string tiles = JoinWindowsPath(windowsDirectory, tilesName);
    if (folderExists(tiles)) return tiles + '\\';
  }
  if (!picturesFolder.empty() && folderExists(picturesFolder)) return JoinWindowsPath(picturesFolder, "");
  return std::string();
}

std::string DialogFilter(const std::string& filter) {
  std::string out = filter;
  if (out.empty()) return std::string(2, '\0');
  const char bar = out.back();
  std::replace(out.begin(), out.end(), bar, '\0');
  out += '\0';
  return out;
}

}  // namespace quiltora
