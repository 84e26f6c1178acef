// Settings records kept in files, for batch work: one run's record saved
// (--save-settings) and handed back to later runs (--settings), as a host
// keeps the record between runs of the filter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quiltora_cli {

// Why bytes read from a file cannot be handed to the module as its record:
// not the record's size, or not the module's magic and version. Empty when
// they can; the module then checks the contents as it checks any block a
// host hands back.
std::string SettingsRecordProblem(const std::vector<uint8_t>& bytes);

// The record of a file, ready for a repeat: checked as above and with the
// dialog flag cleared, as a host's repeat finds it. False with error set
// ("'FILE' ..."): the file cannot be read or is not a record.
bool ReadSettingsFile(const std::string& path, std::vector<uint8_t>* record, std::string* error);

// Writes the record through a temporary file beside path, renamed into place
// by Commit (see Temporary in command.cpp); false with error set.
bool WriteSettingsTemporary(const std::string& path, const std::vector<uint8_t>& record, std::string* temporary,
                            std::string* error);

}  // namespace quiltora_cli
