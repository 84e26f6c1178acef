// quiltora-artgen: draws the module's bitmaps and cursors.
//   quiltora-artgen --out DIR        writes every resource file into DIR
//   quiltora-artgen --check DIR      exits 1 when DIR differs from what it draws
//   quiltora-artgen --sheet FILE     writes the art sheet (a PNG)
//   quiltora-artgen --look ID:N:FILE writes piece ID enlarged N times (a PNG)
// --fonts DIR and --module FILE name the fonts and the filter module to use.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "art.h"
#include "filterhost.h"
#include "sheet.h"

namespace {

bool WriteFile(const std::string& path, const artgen::Bytes& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(file);
}

artgen::Bytes ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return artgen::Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

int Usage() {
  std::fputs("usage: quiltora-artgen [--fonts DIR] [--module FILE] (--out DIR | --check DIR | --sheet FILE)...\n",
             stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  artgen::ArtSources sources;
  sources.modulePath = filterhost::ModuleBesideExecutable();
  std::string outDir, checkDir, sheetPath, look;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (i + 1 >= argc) return Usage();
    const std::string value = argv[++i];
    if (option == "--fonts")
      sources.fontDir = value;
    else if (option == "--module")
      sources.modulePath = value;
    else if (option == "--out")
      outDir = value;
    else if (option == "--check")
      checkDir = value;
    else if (option == "--sheet")
      sheetPath = value;
    else if (option == "--look")
      look = value;
    else
      return Usage();
  }
  if (outDir.empty() && checkDir.empty() && sheetPath.empty() && look.empty()) return Usage();

  std::vector<artgen::ArtPiece> pieces;
  std::string error;
  if (!artgen::MakeArt(sources, &pieces, &error)) {
    std::fprintf(stderr, "quiltora-artgen: %s\n", error.c_str());
    return 1;
  }
  int status = 0;
  for (const artgen::ArtFile& file : artgen::ArtFiles(pieces)) {
    if (!outDir.empty() && !WriteFile(outDir + "/" + file.name, file.bytes)) {
      std::fprintf(stderr, "quiltora-artgen: cannot write %s/%s\n", outDir.c_str(), file.name.c_str());
      return 1;
    }
    if (!checkDir.empty() && ReadFile(checkDir + "/" + file.name) != file.bytes) {
      std::fprintf(stderr, "quiltora-artgen: %s/%s differs from what the generator draws\n", checkDir.c_str(),
                   file.name.c_str());
      status = 1;
    }
  }
  if (!sheetPath.empty()) {
    artgen::ArtFonts fonts;
    if (!fonts.Load(sources.fontDir, &error) ||
        !WriteFile(sheetPath, artgen::EncodePng(artgen::ArtSheet(pieces, fonts)))) {
      std::fprintf(stderr, "quiltora-artgen: cannot write %s %s\n", sheetPath.c_str(), error.c_str());
      return 1;
    }
  }
  if (!look.empty()) {
    const size_t colon = look.find(':'), second = look.find(':', colon + 1);
    if (colon == std::string::npos || second == std::string::npos) return Usage();
    const int id = std::stoi(look.substr(0, colon));
    const int factor = std::stoi(look.substr(colon + 1, second - colon - 1));
    for (const artgen::ArtPiece& piece : pieces)
      if (piece.id == id && !WriteFile(look.substr(second + 1), artgen::EncodePng(piece.picture.Enlarged(factor))))
        return 1;
  }
  return status;
}
