#include "catalogue.h"

#include <cctype>
#include <cstdio>

namespace quiltora_cli {
namespace {

constexpr const char* kBlendModes[kBlendModeCount] = {"Normal", "Darken",     "Lighten",  "Hue",   "Saturation",
                                                      "Color",  "Luminosity", "Multiply", "Screen"};

std::string Lower(const std::string& text) {
  std::string out;
  for (char c : text) out += char(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Letters and digits only, lower case; "&" reads as "and" when andForAmpersand.
std::string Squeeze(const std::string& text, bool andForAmpersand) {
  std::string out;
  for (char c : text) {
    if (c == '&' && andForAmpersand) out += "and";
    if (std::isalnum(static_cast<unsigned char>(c))) out += char(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

// 1..limit for a plain decimal number, 0 otherwise.
int32_t SmallNumber(const std::string& text, int32_t limit) {
  if (text.empty() || text.size() > 3) return 0;
  int32_t value = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
    value = value * 10 + (c - '0');
  }
  return value >= 1 && value <= limit ? value : 0;
}

}  // namespace

const SymmetryInfo& Symmetry(int32_t number) { return *quiltora::FindSymmetryInfo(number); }

int32_t FindSymmetry(const std::string& text) {
  if (int32_t number = SmallNumber(text, kSymmetryCount)) return number;
  const std::string lower = Lower(text);
  const std::string squeezed = Squeeze(text, true);
  for (const SymmetryInfo& info : quiltora::kSymmetries)
    if (lower == info.planeGroup) return info.number;
  if (squeezed.empty()) return 0;
  for (const SymmetryInfo& info : quiltora::kSymmetries)
    if (squeezed == Squeeze(info.name, true) || squeezed == Squeeze(info.name, false)) return info.number;
  return 0;
}

const char* BlendModeName(int32_t mode) { return kBlendModes[mode - 1]; }

int32_t FindBlendMode(const std::string& text) {
  if (int32_t number = SmallNumber(text, kBlendModeCount)) return number;
  const std::string lower = Lower(text);
  if (lower == "colour") return 6;
  for (int32_t mode = 1; mode <= kBlendModeCount; ++mode)
    if (lower == Lower(kBlendModes[mode - 1])) return mode;
  return 0;
}

std::string SymmetryListing() {
  std::string out = " No  Name           Group  Source shape              Feather\n";
  char line[128];
  for (const SymmetryInfo& info : quiltora::kSymmetries) {
    std::snprintf(line, sizeof line, "%3d  %-13s  %-5s  %-24s  %s\n", int(info.number), info.name, info.planeGroup,
                  quiltora::ShapeName(info.shape), info.feather ? "yes" : "no");
    out += line;
  }
  return out;
}

}  // namespace quiltora_cli
