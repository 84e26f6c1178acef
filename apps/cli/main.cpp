// quiltora: runs the Quiltora filter module on a picture file, as an image
// editor would repeat the filter with given settings.
#include <string>
#include <vector>

#include "command.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return quiltora_cli::RunCommand(args);
}
