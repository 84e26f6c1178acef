#include "files/file_message.h"

#include "files/bmp_file.h"
#include "platform/platform.h"
#include "resources/resource_ids.h"

namespace quiltora {
namespace {

std::string LoadString(int id) {
  char text[256];
  platform::LoadModuleString(id, text, sizeof text);
  return text;
}

}  // namespace

int FileMessageId(int32_t code) {
  switch (code) {
    case kBmpNotValid: return IDS_FILE_NOT_VALID;
    case kBmpReadError: return IDS_FILE_READ_ERROR;
    case kBmpOpenError: return IDS_FILE_OPEN_ERROR;
    case kBmpLowMemory: return IDS_FILE_LOW_MEMORY;
    case kFilePathTooLong: return IDS_FILE_PATH_TOO_LONG;
    default: return 0;
  }
}

// The path is put in by hand, not by a format routine, so that a '%' in a
// file name is shown as it is.
std::string FileMessageText(const char* path, int32_t code) {
  const int id = FileMessageId(code);
  if (id == 0) return std::string();
  std::string text = LoadString(id);
  const size_t slot = text.find("%s");
  if (slot != std::string::npos) text.replace(slot, 2, path != nullptr ? path : "");
  return text;
}

void ShowFileMessage(void*, const char* path, int32_t code) {
  const std::string text = FileMessageText(path, code);
  if (text.empty()) return;
  const std::string caption = LoadString(IDS_FILE_CAPTION);
  platform::ShowMessage(text.c_str(), caption.c_str(), platform::MessageStyle::Warning, false);
}

}  // namespace quiltora
