// The warning shown when a bitmap file cannot be loaded.
#pragma once

#include <cstdint>
#include <string>

namespace quiltora {

// A chosen file whose path is longer than the settings record keeps
// (sourcePath): refused with its own message rather than cut.
constexpr int32_t kFilePathTooLong = 6;

// String id of the message for a BmpResult code or kFilePathTooLong; 0 for kBmpOk and unknown codes.
int FileMessageId(int32_t code);

// The message text for code with path put in place of "%s"; empty for kBmpOk.
std::string FileMessageText(const char* path, int32_t code);

// Shows that text in a warning box captioned "Quiltora Warning". Code 0 shows
// nothing. The owner window is taken for the call's shape only: the platform
// seam owns message boxes by the active window.
void ShowFileMessage(void* owner, const char* path, int32_t code);

}  // namespace quiltora
