// The quiltora command: options in, exit status out.
#pragma once

#include <string>
#include <vector>

namespace quiltora_cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;

// args excludes the program name. Errors go to stderr as one line.
int RunCommand(const std::vector<std::string>& args);

}  // namespace quiltora_cli
