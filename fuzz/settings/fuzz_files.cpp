#include "fuzz_files.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "hardening/hardening_support.h"

namespace fuzzfiles {
namespace {

struct Folder {
  std::string path;
  std::vector<std::string> files;

  Folder() {
    char name[] = "/tmp/quiltora-fuzz-XXXXXX";
    if (mkdtemp(name) == nullptr) std::abort();
    path = name;
    files = {path + "/probe.bmp", path + "/pixel.bmp", path + "/wide.bmp", path + "/truncated.bmp",
             path + "/missing.bmp"};
    if (!hardening::WriteProbeBmp(files[0], 41, 37) || !hardening::WriteProbeBmp(files[1], 1, 1) ||
        !hardening::WriteProbeBmp(files[2], 300, 3) || !hardening::WriteProbeBmp(files[3], 40, 30))
      std::abort();
    if (truncate(files[3].c_str(), 54 + 120 * 7) != 0) std::abort();
  }
  ~Folder() {
    for (const std::string& file : files) std::remove(file.c_str());
    rmdir(path.c_str());
  }
};

}  // namespace

const std::string& SourceFile(uint8_t choice) {
  static const Folder folder;
  return folder.files[choice % folder.files.size()];
}

}  // namespace fuzzfiles
