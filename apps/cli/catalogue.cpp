#include "catalogue.h"

#include <cctype>
#include <cstdio>

namespace quiltora_cli {
namespace {

constexpr SymmetryInfo kSymmetries[kSymmetryCount] = {
    {1, "Gold Brick", "p1", "parallelogram", true},
    {2, "Crab Claws", "cm", "right isosceles triangle", true},
    {3, "Wings", "pm", "rectangle", true},
    {4, "Hither & Yon", "p2", "rectangle", true},
    {5, "Card Tricks", "pg", "rectangle", true},
    {6, "Honey Bees", "pgg", "rectangle", true},
    {7, "Prickly Pear", "pmm", "rectangle", false},
    {8, "Pinwheel", "p4", "square", true},
    {9, "Primrose Path", "p4g", "right isosceles triangle", true},
    {10, "Sunflower", "p4m", "right isosceles triangle", false},
    {11, "Spider Web", "cmm", "right isosceles triangle", true},
    {12, "Lightning", "pmg", "rectangle", true},
    {13, "Storm at Sea", "p3", "rhombus", true},
    {14, "Winding Ways", "p3m1", "equilateral triangle", false},
    {15, "Monkey Wrench", "p31m", "kite", true},
    {16, "Whirlpool", "p6", "kite", true},
    {17, "Turnstile", "p6m", "30-60-90 triangle", false},
};

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

const SymmetryInfo& Symmetry(int32_t number) { return kSymmetries[number - 1]; }

int32_t FindSymmetry(const std::string& text) {
  if (int32_t number = SmallNumber(text, kSymmetryCount)) return number;
  const std::string lower = Lower(text);
  const std::string squeezed = Squeeze(text, true);
  for (const SymmetryInfo& info : kSymmetries)
    if (lower == info.planeGroup) return info.number;
  if (squeezed.empty()) return 0;
  for (const SymmetryInfo& info : kSymmetries)
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
  for (const SymmetryInfo& info : kSymmetries) {
    std::snprintf(line, sizeof line, "%3d  %-13s  %-5s  %-24s  %s\n", int(info.number), info.name, info.planeGroup,
                  info.shape, info.feather ? "yes" : "no");
    out += line;
  }
  return out;
}

}  // namespace quiltora_cli
