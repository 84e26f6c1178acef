#include "settings_file.h"

#include <algorithm>
#include <cstring>

#include "abi/parameter_block.h"
#include "file_access.h"
#include "picture.h"

namespace quiltora_cli {
namespace {

constexpr size_t kRecordBytes = sizeof(quiltora::ParameterBlock);

uint32_t FieldAt(const std::vector<uint8_t>& bytes, size_t offset) {
  uint32_t value = 0;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

}  // namespace

std::string SettingsRecordProblem(const std::vector<uint8_t>& bytes) {
  if (bytes.size() != kRecordBytes)
    return "holds " + std::to_string(bytes.size()) + " bytes, not the " + std::to_string(kRecordBytes) +
           " of a settings record (see --save-settings)";
  if (FieldAt(bytes, offsetof(quiltora::ParameterBlock, magic)) != quiltora::kParameterMagic ||
      FieldAt(bytes, offsetof(quiltora::ParameterBlock, version)) != quiltora::kParameterVersion)
    return "is not a Quiltora settings record (see --save-settings)";
  return {};
}

bool ReadSettingsFile(const std::string& path, std::vector<uint8_t>* record, std::string* error) {
  InputFile file;
  std::string reason;
  if (!file.Open(path, &reason)) {
    *error = "cannot read '" + path + "': " + reason;
    return false;
  }
  // One byte more than a record, so that a longer file shows as one.
  record->assign(kRecordBytes + 1, 0);
  record->resize(file.ReadSome(0, record->data(), record->size()));
  if (record->size() > kRecordBytes) record->resize(size_t(std::min<int64_t>(file.size(), INT32_MAX)));
  const std::string problem = SettingsRecordProblem(*record);
  if (!problem.empty()) {
    *error = "'" + path + "' " + problem;
    return false;
  }
  // A batch run never opens the dialog, whatever the file says.
  const int32_t noDialog = 0;
  std::memcpy(record->data() + offsetof(quiltora::ParameterBlock, showDialog), &noDialog, sizeof noDialog);
  return true;
}

bool WriteSettingsTemporary(const std::string& path, const std::vector<uint8_t>& record, std::string* temporary,
                            std::string* error) {
  *temporary = TemporaryPathFor(path);
  OutputFile file;
  std::string reason;
  bool written = file.Create(*temporary, &reason);
  if (written && !(file.Write(record.data(), record.size()) && file.Close())) {
    reason = file.error();
    written = false;
  }
  if (!written) {
    DiscardPicture(*temporary);
    *error = "cannot write '" + path + "': " + reason;
  }
  return written;
}

}  // namespace quiltora_cli
