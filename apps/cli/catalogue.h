// The names a user types for the module's symmetries and blend modes.
#pragma once

#include <cstdint>
#include <string>

#include "symmetry/catalogue.h"

namespace quiltora_cli {

// The module's own catalogue of the symmetries.
using quiltora::kSymmetryCount;
using quiltora::SymmetryInfo;
constexpr int32_t kBlendModeCount = 9;

// The catalogue's row of symmetry 1..17.
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
