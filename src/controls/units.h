// Numbers with units as the number box reads and writes them: the locale's
// separators and signs, the number grammar, formatting with a number of
// decimals, the unit conversions and steps, and the box's value arithmetic.
#pragma once

#include <cstdint>
#include <string>

namespace quiltora {

// How the user's locale writes numbers; the defaults stand when it cannot be read.
struct NumberLocale {
  std::string listSeparator = ",";
  std::string decimalSeparator = ".";
  std::string negativeSign = "-";
  bool leadingZero = true;  // "0.5" rather than ".5"
};

enum class ParseStatus {
  NotANumber,  // no digit, or a separator without digits after a sign
  Partial,     // a number followed by other text (a unit name); its value is delivered
  Complete,
};

struct ParsedNumber {
  ParseStatus status;
  double value;
};

// Unit families 0 and 6 take a decimal fraction; the others whole numbers only.
bool UnitTakesDecimals(int32_t family);

// Optional sign (the locale's negative sign or "+", then at most one blank),
// digits, for units that take decimals a separator and digits, trailing
// blanks. At most 100 characters are read.
ParsedNumber ParseUnitNumber(const std::string& text, int32_t family, const NumberLocale& locale);

// The value with d decimals, rounded half up on the magnitude; d < 1 cuts to
// the integer part. The sign shows only when a shown digit is not zero.
std::string FormatUnitNumber(double value, int32_t decimals, const NumberLocale& locale);

// Internal units to display unit and back. Unit 5 has no conversion: it is
// reported as a broken invariant and gives false, the value left unchanged.
bool ToDisplayUnit(double internal, int32_t unit, double* display);
bool FromDisplayUnit(double display, int32_t unit, double* internal);

// The value change per arrow click of a unit at step index 0..2.
double UnitStep(int32_t unit, int32_t index);

// What a number box holds. value, minimum and maximum are internal units
// (displayed units times the scale).
struct NumberBoxValues {
  double value = 0.0;
  double minimum = 0.0;
  double maximum = 100.0;
  double scale = 1.0;
  int32_t unitKind = 0;     // 0: a plain integer box
  int32_t unitFamily = 0;   // how texts are parsed: families 0 and 6 take a fraction
  int32_t displayUnit = 0;  // conversion and arrow steps
  int32_t stepIndex = 1;
  int32_t precision = 0;
};

double ClampNumber(double v, const NumberBoxValues& box);

// The text the box shows for its value.
std::string NumberBoxText(const NumberBoxValues& box, const NumberLocale& locale);

// The internal value of a typed text; false when the text holds no number.
bool NumberBoxParse(const std::string& text, const NumberBoxValues& box, const NumberLocale& locale, double* value);

// The value n arrow steps up (up = true) or down from `from`, clamped.
double NumberBoxStepped(const NumberBoxValues& box, double from, bool up, int32_t n);

// Whether a typed character may enter the box's field: digits; "." unless
// the box is a plain integer box; "-" only when the minimum is negative.
bool NumberBoxAcceptsCharacter(char c, const NumberBoxValues& box);

// The step index a step-mode call leaves: a plain box never steps by 0.
int32_t NumberBoxStepIndex(const NumberBoxValues& box, int32_t index);

}  // namespace quiltora
