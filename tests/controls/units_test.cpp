#include "controls/units.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"

namespace quiltora {
namespace {

TEST(Units, NumberGrammar) {
  struct Case {
    const char* text;
    int32_t unit;
    ParseStatus status;
    double value;
  };
  const Case cases[] = {
      {"12", 1, ParseStatus::Complete, 12},
      {"007", 1, ParseStatus::Complete, 7},
      {"-3.5", 0, ParseStatus::Complete, -3.5},
      {"- 4", 1, ParseStatus::Complete, -4},  // one blank after a sign
      {"-  4", 1, ParseStatus::NotANumber, 0},
      {"+7  ", 1, ParseStatus::Complete, 7},  // trailing blanks
      {"5 cm", 1, ParseStatus::Partial, 5},   // a unit name after the number
      {"3.25", 1, ParseStatus::Partial, 3},   // family 1 takes no fraction
      {"1.5", 6, ParseStatus::Complete, 1.5},
      {".5", 0, ParseStatus::Complete, 0.5},
      {"5.", 0, ParseStatus::Complete, 5},
      {"-.", 0, ParseStatus::NotANumber, 0},  // a separator without digits after a sign
      {"-.25", 0, ParseStatus::Complete, -0.25},
      {"", 0, ParseStatus::NotANumber, 0},
      {"abc", 0, ParseStatus::NotANumber, 0},
      {" 5", 0, ParseStatus::NotANumber, 0},  // no blank may lead
  };
  NumberLocale locale;
  for (const Case& c : cases) {
    ParsedNumber parsed = ParseUnitNumber(c.text, c.unit, locale);
    EXPECT_EQ(parsed.status, c.status) << '"' << c.text << '"';
    EXPECT_DOUBLE_EQ(parsed.value, c.value) << '"' << c.text << '"';
  }
  // The locale's own separator and sign.
  NumberLocale german;
  german.decimalSeparator = ",";
  german.negativeSign = "~";
  ParsedNumber parsed = ParseUnitNumber("~2,5", 0, german);
  EXPECT_EQ(parsed.status, ParseStatus::Complete);
  EXPECT_DOUBLE_EQ(parsed.value, -2.5);
  EXPECT_EQ(ParseUnitNumber("2.5", 0, german).status, ParseStatus::Partial);
  // At most 100 characters are read.
  EXPECT_EQ(ParseUnitNumber(std::string(101, '1'), 0, locale).status, ParseStatus::Partial);
  EXPECT_EQ(ParseUnitNumber(std::string(100, '1'), 0, locale).status, ParseStatus::Complete);
}

TEST(Units, Formatting) {
  struct Case {
    double value;
    int32_t decimals;
    bool leadingZero;
    const char* text;
  };
  const Case cases[] = {
      {3.14159, 2, true, "3.14"}, {2.25, 1, true, "2.3"}, {-2.25, 1, true, "-2.3"},    {9.999, 2, true, "10.00"},
      {0.5, 1, true, "0.5"},      {0.5, 1, false, ".5"},  {-0.5, 2, false, "-.50"},    {-0.004, 2, true, "0.00"},
      {-1.9, 0, true, "-1"},      {-0.7, 0, true, "0"},   {1234.5, 1, true, "1234.5"}, {7, 3, true, "7.000"},
      {12.75, -1, true, "12"},
  };
  for (const Case& c : cases) {
    NumberLocale locale;
    locale.leadingZero = c.leadingZero;
    EXPECT_EQ(FormatUnitNumber(c.value, c.decimals, locale), c.text) << c.value << " with " << c.decimals;
  }
  NumberLocale german;
  german.decimalSeparator = ",";
  EXPECT_EQ(FormatUnitNumber(1.5, 2, german), "1,50");
}

TEST(Units, ConversionsAndSteps) {
  struct Case {
    int32_t unit;
    double internal, display;
  };
  for (const Case& c : {Case{0, 254000, 254000}, Case{1, 42, 42}, Case{2, 254000, 10}, Case{3, 254000, 100},
                        Case{4, 254000, 1000}, Case{4, 127, 0.5}, Case{6, 3, 3}, Case{7, 3, 3}}) {
    double display = 0, internal = 0;
    EXPECT_TRUE(ToDisplayUnit(c.internal, c.unit, &display));
    EXPECT_DOUBLE_EQ(display, c.display) << c.unit;
    EXPECT_TRUE(FromDisplayUnit(c.display, c.unit, &internal));
    EXPECT_DOUBLE_EQ(internal, c.internal) << c.unit;
  }
  EXPECT_DOUBLE_EQ(UnitStep(0, 2), 1);
  EXPECT_DOUBLE_EQ(UnitStep(1, 2), 5);
  EXPECT_DOUBLE_EQ(UnitStep(2, 0), 0.1);
  EXPECT_DOUBLE_EQ(UnitStep(3, 1), 0.1);
  EXPECT_DOUBLE_EQ(UnitStep(5, 0), 0.001);
  EXPECT_DOUBLE_EQ(UnitStep(7, 1), 2);
}

#ifndef _WIN32
// Headless builds hand the report to the message policy; Windows shows a box.
int gReports = 0;
platform::MessageAnswer CountReport(const char*, const char*, platform::MessageStyle) {
  ++gReports;
  return platform::MessageAnswer::Ignore;
}

TEST(Units, UnitFiveHasNoConversion) {
  gReports = 0;
  platform::SetMessagePolicy(CountReport);
  double display = 0;
  EXPECT_FALSE(ToDisplayUnit(300, 5, &display));
  EXPECT_DOUBLE_EQ(display, 300);
  EXPECT_FALSE(FromDisplayUnit(300, 5, &display));
  platform::SetMessagePolicy(nullptr);
  EXPECT_EQ(gReports, 2);
}
#endif

TEST(NumberBox, TextParseAndSteps) {
  NumberLocale locale;
  NumberBoxValues plain;  // unit kind 0, 0..100, step index 1, scale 1
  plain.value = 42.7;
  EXPECT_EQ(NumberBoxText(plain, locale), "42");
  double v = 0;
  EXPECT_TRUE(NumberBoxParse("17", plain, locale, &v));
  EXPECT_DOUBLE_EQ(v, 17);
  EXPECT_FALSE(NumberBoxParse("x", plain, locale, &v));
  EXPECT_DOUBLE_EQ(NumberBoxStepped(plain, 5, true, 1), 6);
  EXPECT_DOUBLE_EQ(NumberBoxStepped(plain, 5, true, 3), 8);
  EXPECT_DOUBLE_EQ(NumberBoxStepped(plain, 1, false, 3), 0);    // clamped to the minimum
  EXPECT_DOUBLE_EQ(NumberBoxStepped(plain, 99, true, 1), 100);  // and to the maximum
  plain.scale = 2;
  plain.stepIndex = 2;
  EXPECT_DOUBLE_EQ(NumberBoxStepped(plain, 10, true, 1), 14);  // step index x n x scale

  NumberBoxValues inches;  // display unit 3, shown with two decimals
  inches.unitKind = 1;
  inches.displayUnit = 3;
  inches.precision = 2;
  inches.maximum = 254000;
  inches.value = 3810;  // 1.5 in the display unit
  EXPECT_EQ(NumberBoxText(inches, locale), "1.50");
  EXPECT_TRUE(NumberBoxParse("1.50", inches, locale, &v));
  EXPECT_DOUBLE_EQ(v, 3810);  // what it shows reads back
  inches.unitFamily = 1;      // a family without fractions reads the whole part
  EXPECT_TRUE(NumberBoxParse("2.5 in", inches, locale, &v));
  EXPECT_DOUBLE_EQ(v, 5080);
  inches.stepIndex = 1;  // 0.1 per click
  EXPECT_NEAR(NumberBoxStepped(inches, 3810, true, 2), 4318, 1e-9);
}

TEST(NumberBox, TypingFilterAndStepMode) {
  NumberBoxValues plain;
  EXPECT_TRUE(NumberBoxAcceptsCharacter('7', plain));
  EXPECT_FALSE(NumberBoxAcceptsCharacter('.', plain));
  EXPECT_FALSE(NumberBoxAcceptsCharacter('-', plain));  // minimum 0
  EXPECT_FALSE(NumberBoxAcceptsCharacter('a', plain));
  NumberBoxValues units;
  units.unitKind = 1;
  units.minimum = -10;
  EXPECT_TRUE(NumberBoxAcceptsCharacter('.', units));
  EXPECT_TRUE(NumberBoxAcceptsCharacter('-', units));

  EXPECT_EQ(NumberBoxStepIndex(plain, 0), 1);
  EXPECT_EQ(NumberBoxStepIndex(plain, 2), 2);
  EXPECT_EQ(NumberBoxStepIndex(units, 0), 0);
  EXPECT_EQ(NumberBoxStepIndex(units, 9), 2);
}

}  // namespace
}  // namespace quiltora
