#include "controls/units.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "image/ripmem.h"

namespace quiltora {
namespace {

constexpr size_t kMaxParseSteps = 100;
constexpr int32_t kMaxDecimals = 9;  // the fraction digits must fit in a long

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool StartsWithAt(const std::string& text, size_t at, size_t limit, const std::string& prefix) {
  return !prefix.empty() && at + prefix.size() <= limit && text.compare(at, prefix.size(), prefix) == 0;
}

// Display units per 254000 internal units; 1 when the unit takes the value
// unchanged, 0 when it has no conversion.
double DisplayFactor(int32_t unit) {
  switch (unit) {
    case 2: return 10.0;
    case 3: return 100.0;
    case 4: return 1000.0;
    case 5: return 0.0;
    default: return 1.0;
  }
}

// Units 2 to 4 count in tenths, hundredths and thousandths of this many internal units.
constexpr double kConversionBase = 254000.0;

}  // namespace

bool UnitTakesDecimals(int32_t family) { return family == 0 || family == 6; }

ParsedNumber ParseUnitNumber(const std::string& text, int32_t family, const NumberLocale& locale) {
  const size_t limit = std::min(text.size(), kMaxParseSteps);
  size_t i = 0;
  bool negative = false, signed_ = false;
  if (StartsWithAt(text, i, limit, locale.negativeSign)) {
    negative = signed_ = true;
    i += locale.negativeSign.size();
  } else if (i < limit && text[i] == '+') {
    signed_ = true;
    ++i;
  }
  if (signed_ && i < limit && text[i] == ' ') ++i;

  bool digits = false;
  double value = 0.0;
  for (; i < limit && IsDigit(text[i]); ++i, digits = true) value = value * 10.0 + (text[i] - '0');
  if (UnitTakesDecimals(family) && StartsWithAt(text, i, limit, locale.decimalSeparator)) {
    size_t j = i + locale.decimalSeparator.size();
    if (j < limit && IsDigit(text[j])) {
      double place = 0.1;
      for (; j < limit && IsDigit(text[j]); ++j, place /= 10.0) value += (text[j] - '0') * place;
      digits = true;
    } else if (signed_ && !digits) {
      return {ParseStatus::NotANumber, 0.0};
    }
    i = j;
  }
  if (!digits) return {ParseStatus::NotANumber, 0.0};
  while (i < limit && text[i] == ' ') ++i;
  if (negative) value = -value;
  return {i >= text.size() ? ParseStatus::Complete : ParseStatus::Partial, value};
}

std::string FormatUnitNumber(double value, int32_t decimals, const NumberLocale& locale) {
  double magnitude = std::fabs(value);
  char text[512];
  if (decimals < 1) {
    double whole = std::trunc(magnitude);
    const char* sign = value < 0 && whole != 0 ? locale.negativeSign.c_str() : "";
    std::snprintf(text, sizeof text, "%s%.0f", sign, whole);
    return text;
  }
  decimals = std::min(decimals, kMaxDecimals);
  // Half up on the magnitude, rounded once in whole units of the last decimal:
  // 2.25 with one decimal is 2.3, where adding half a unit and cutting the
  // fraction off separately can give 2.2.
  double scale = std::pow(10.0, decimals);
  double whole = std::floor(magnitude);
  long fraction = 0;
  double units = std::floor(magnitude * scale + 0.5);
  if (units < 9e15) {
    whole = std::floor(units / scale);
    fraction = static_cast<long>(units - whole * scale);
  }
  const char* sign = value < 0 && (whole != 0 || fraction != 0) ? locale.negativeSign.c_str() : "";
  if (whole != 0 || locale.leadingZero)
    std::snprintf(text, sizeof text, "%s%.0f%s%0*ld", sign, whole, locale.decimalSeparator.c_str(), decimals, fraction);
  else
    std::snprintf(text, sizeof text, "%s%s%0*ld", sign, locale.decimalSeparator.c_str(), decimals, fraction);
  return text;
}

bool ToDisplayUnit(double internal, int32_t unit, double* display) {
  double factor = DisplayFactor(unit);
  if (factor == 0.0) ReportAssertion("units", __LINE__);
  *display = factor == 0.0 || factor == 1.0 ? internal : internal / kConversionBase * factor;
  return factor != 0.0;
}

bool FromDisplayUnit(double display, int32_t unit, double* internal) {
  double factor = DisplayFactor(unit);
  if (factor == 0.0) ReportAssertion("units", __LINE__);
  *internal = factor == 0.0 || factor == 1.0 ? display : display / factor * kConversionBase;
  return factor != 0.0;
}

double UnitStep(int32_t unit, int32_t index) {
  static const double kSteps[7][3] = {{1, 2, 5},       {0.1, 0.5, 1}, {0.01, 0.1, 1}, {0.001, 0.1, 1},
                                      {0.001, 0.1, 1}, {1, 2, 5},     {1, 2, 5}};
  if (unit < 1 || unit > 7) return 1.0;
  return kSteps[unit - 1][std::clamp(index, 0, 2)];
}

double ClampNumber(double v, const NumberBoxValues& box) { return std::max(box.minimum, std::min(v, box.maximum)); }

std::string NumberBoxText(const NumberBoxValues& box, const NumberLocale& locale) {
  if (box.unitKind == 0) return FormatUnitNumber(std::trunc(box.value), 0, locale);
  double display = 0.0;
  ToDisplayUnit(box.value, box.displayUnit, &display);
  return FormatUnitNumber(display, box.precision, locale);
}

bool NumberBoxParse(const std::string& text, const NumberBoxValues& box, const NumberLocale& locale, double* value) {
  ParsedNumber parsed = ParseUnitNumber(text, box.unitFamily, locale);
  if (parsed.status == ParseStatus::NotANumber) return false;
  if (box.unitKind == 0)
    *value = parsed.value;
  else
    FromDisplayUnit(parsed.value, box.displayUnit, value);
  return true;
}

double NumberBoxStepped(const NumberBoxValues& box, double from, bool up, int32_t n) {
  double direction = up ? 1.0 : -1.0;
  if (box.unitKind == 0) return ClampNumber(from + direction * box.stepIndex * n * box.scale, box);
  double display = 0.0, internal = 0.0;
  ToDisplayUnit(from, box.displayUnit, &display);
  FromDisplayUnit(display + direction * n * UnitStep(box.displayUnit, box.stepIndex), box.displayUnit, &internal);
  return ClampNumber(internal, box);
}

bool NumberBoxAcceptsCharacter(char c, const NumberBoxValues& box) {
  if (IsDigit(c)) return true;
  if (c == '.') return box.unitKind != 0;
  if (c == '-') return box.minimum < 0;
  return false;
}

int32_t NumberBoxStepIndex(const NumberBoxValues& box, int32_t index) {
  index = std::clamp(index, 0, 2);
  return box.unitKind == 0 && index == 0 ? 1 : index;
}

}  // namespace quiltora
