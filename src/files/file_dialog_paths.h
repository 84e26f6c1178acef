// What the open and save dialogs start with: the folder, the proposed name
// and the file type filter. Portable: the Win32 dialogs ask the system for
// the folders and hand the answers in.
#pragma once

#include <functional>
#include <string>

namespace quiltora {

// `folder` + '\' + `name`, with no doubled separator (a root such as "C:\").
std::string JoinWindowsPath(const std::string& folder, const std::string& name);

// The folder both dialogs start in, ending in '\': "Tiles" below the Windows
// directory when it exists; else the user's Pictures folder; else empty (the
// dialog's own choice). Nothing is created: folderExists only asks.
std::string StartFolder(const std::string& windowsDirectory, const std::string& tilesName,
                        const std::string& picturesFolder, const std::function<bool(const std::string&)>& folderExists);

// The filter string as the dialogs take it: every occurrence of its last
// character (the bar of "BMP File (*.bmp)|*.bmp|") becomes a terminator,
// giving description and pattern as two strings ended by an empty one.
std::string DialogFilter(const std::string& filter);

}  // namespace quiltora
