// The names a user types for the module's symmetries and blend modes.
#pragma once

#include <cstdint>
#include <string>

namespace quiltora_cli {

struct SymmetryInfo {
  int32_t number;          // the settings record's `symmetry`
  const char* name;        // the name drawn in the symmetry's icon
  const char* planeGroup;  // wallpaper group of the pattern
  const char* shape;       // shape of the source area
  bool feather;            // whether the symmetry takes a feather border
};

constexpr int32_t kSymmetryCount = 17;
constexpr int32_t kBlendModeCount = 9;

// Entries 0..16 hold symmetries 1..17.
const SymmetryInfo& Symmetry(int32_t number);

// A symmetry by number ("8"), name ("pinwheel", "Storm at Sea", "storm-at-sea",
// "hither-and-yon"; case, spaces, hyphens and "&" do not matter) or plane group
// ("p4"); 0 when nothing matches.
int32_t FindSymmetry(const std::string& text);

// Blend mode name of mode 1..9 ("Normal" ... "Screen").
const char* BlendModeName(int32_t mode);

// A blend mode by number or case-insensitive name ("colour" too); 0 when nothing matches.
int32_t FindBlendMode(const std::string& text);

// The table --list prints, one line per symmetry under a heading.
std::string SymmetryListing();

}  // namespace quiltora_cli
