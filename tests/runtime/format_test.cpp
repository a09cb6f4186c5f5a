#include "runtime/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "runtime/errors.h"

namespace hb::test {
namespace {

constexpr Extended kNaN = std::numeric_limits<Extended>::quiet_NaN();
constexpr Extended kInf = std::numeric_limits<Extended>::infinity();

std::string Text(const DynString& s) { return std::string(s.View()); }

TEST(FormatNumber, RendersByMask) {
  struct Case {
    Extended value;
    const char* mask;
    const char* want;
  };
  const Case kCases[] = {
      // The counts and tick counts of the benchmarks.
      {0, "#,##0", "0"},
      {7, "#,##0", "7"},
      {999, "#,##0", "999"},
      {1000, "#,##0", "1,000"},
      {999999, "#,##0", "999,999"},
      {1234567, "#,##0", "1,234,567"},
      {1234567890123, "#,##0", "1,234,567,890,123"},
      {-1234, "#,##0", "-1,234"},
      {static_cast<Extended>(INT64_MAX), "#,##0", "9,223,372,036,854,775,807"},
      {static_cast<Extended>(INT64_MIN), "#,##0", "-9,223,372,036,854,775,808"},
      {9999999999999999999.0L, "0", "9999999999999999999"},
      {1e30L, "#,##0", "1,000,000,000,000,000,000,000,000,000,000"},
      // Ties to even at the last shown place; a carry adds a digit.
      {2.5, "#,##0", "2"},
      {3.5, "#,##0", "4"},
      {999.5, "#,##0", "1,000"},
      {0.5, "#,##0", "0"},
      {1.5, "#,##0", "2"},
      {0.125, "0.00", "0.12"},
      {0.375, "0.00", "0.38"},
      {0.6, "#", "1"},
      {-0.4, "#,##0", "0"},  // rounds to zero: no sign
      {-0.0L, "#,##0", "0"},
      // Placeholders, point and grouping.
      {5, "0,000,000", "0,000,005"},
      {1234.5678L, "#,##0.00", "1,234.57"},
      {12.5, ".00", "12.50"},
      {-0.5, "#.00", "-.50"},
      {5, "#.##", "5."},
      {1.5, "0.#0", "1.50"},
      {0, "#", ""},
      {0.1L, "0.000000000000000000000", "0.100000000000000000000"},
      {12345, "##-##", "123-45"},
      {1.25, "0.0.0", "1.25"},  // later points are dropped
      {5, "#,,##0", ",5"},  // only the comma right after a digit position groups
      {12345, "0,,", "12,345,"},
      // Empty mask or empty section: NumberText without its leading blank.
      {12, "", "12"},
      {-12, "", "-12"},
      {0.25, "", ".25"},
      {1e16L, "", "1E+16"},
      // Sections: positive; negative without sign; zero.
      {5, "#;(#);\"zero\"", "5"},
      {-5, "#;(#);\"zero\"", "(5)"},
      {0, "#;(#);\"zero\"", "zero"},
      {0, "0;(0);", "0"},     // nothing after the second ";": zero takes the first
      {-5, "0;", "-5"},       // ";" is the last character: the first, signed
      {-5, "0;;z", "5"},      // empty second section: NumberText of the magnitude
      {-5, ";", "-5"},
      {0, ";;", "0"},
      {-5, "0\";\"x;(0)", "(5)"},  // quoted ";" does not separate
      {5, "0\\;x;y", "5;"},        // escaped ";" does not separate
      {-5, "0;(0);z;w", "(5)"},
      {0, "0;(0);\"z\";w", "z"},   // a third ";" is dropped, so are letters
      // Literals, percent, fill, dropped characters.
      {5, "\"Total: \"0", "Total: 5"},
      {5, "\\#0", "#5"},
      {5, "$#,##0.00 ", "$5.00 "},
      {5, "(+0-)", "(+5-)"},
      {5, "abc0xyz", "5"},
      {0.256L, "0.0%", "25.6%"},
      {0.7L, "%0", "1"},  // "%" before any digit position is dropped, no scaling
      {5, "*x####0", "xxxx5"},
      {-5, "*x####0", "xxxx-5"},
      {1.5, "0.0*_##", "1.5__"},
      // Exponent parts.
      {12345, "0.00E+00", "1.23E+04"},
      {0.00012345L, "0.00E+00", "1.23E-04"},
      {12345, "0.00e-00", "1.23e04"},
      {0.00012345L, "0.00e-0", "1.23e-4"},
      {0, "0.00E+00", "0.00E+00"},
      {12345, ".00E+0", ".12E+5"},
      {99999, "0.0E+0", "1.0E+5"},
      {123, "0E+", "1E+2"},
      {1e300L, "0.0E+0", "1.0E+300"},
      {-2e-300L, "0E+0", "-2E-300"},
      {12345, "0E+0,0", "1E+0,4"},  // a comma in the exponent part is literal
      {std::numeric_limits<Extended>::denorm_min(), "0.00E+00", "3.65E-4951"},
      {-std::numeric_limits<Extended>::max(), "0.0E+0", "-1.2E+4932"},
      {5, "E+0", "+5"},  // no digit position before it: "E" dropped, "+" literal
      // Bad masks: unbalanced quote, trailing backslash, lone fill.
      {5, "0\"abc", "5abc"},
      {5, "\"abc", "abc"},
      {5, "0\\", "5"},
      {5, "0*", "5"},
      // Values a mask cannot show.
      {kNaN, "#,##0", "NaN"},
      {kInf, "#,##0", "Inf"},
      {-kInf, "#;(#)", "-Inf"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(Text(FormatNumber(c.value, DynString(c.mask))), c.want) << "value " << c.value << " mask " << c.mask;
  }
}

TEST(FormatNumber, HugeValuesShowEveryIntegerDigit) {
  const std::string text = Text(FormatNumber(static_cast<Extended>(1e300), DynString("0")));
  ASSERT_EQ(text.size(), 301u);
  EXPECT_EQ(text.substr(0, 19), "1000000000000000053");  // 19 significant digits
  EXPECT_EQ(text.find_first_not_of('0', 19), std::string::npos);
  EXPECT_EQ(Text(FormatNumber(std::numeric_limits<Extended>::max(), DynString("0"))).size(), 4933u);
}

TEST(NumberText, DefaultForm) {
  struct Case {
    Extended value;
    const char* want;
  };
  const Case kCases[] = {
      {12, " 12"},
      {-12, "-12"},
      {0.25, " .25"},
      {0.5, " .5"},
      {0.05L, " .05"},
      {0, " 0"},
      {-0.0L, " 0"},
      {1000, " 1000"},
      {-7, "-7"},
      {1234567890123, " 1234567890123"},
      {999999999999999, " 999999999999999"},
      {1e15L, " 1E+15"},  // 16 integer digits
      {123456789012345678, " 1.23456789012346E+17"},
      {1e-15L, " .000000000000001"},
      {1.5e-16L, " 1.5E-16"},
      {-2.5e-20L, "-2.5E-20"},
      {1.0L / 3, " .333333333333333"},
      {2.0L / 3, " .666666666666667"},
      {1e4932L, " 1E+4932"},
      {std::numeric_limits<Extended>::denorm_min(), " 3.64519953188247E-4951"},
      {kNaN, " NaN"},
      {kInf, " Inf"},
      {-kInf, "-Inf"},
  };
  for (const Case& c : kCases) EXPECT_EQ(Text(NumberText(c.value)), c.want) << "value " << c.value;
}

TEST(ToInteger, NearestTiesToEvenAndSaturatesOutOfRange) {
  struct Case {
    Extended value;
    int32_t want;
    int32_t error;
  };
  const Case kCases[] = {
      {0.75L * 53, 40, 0},
      {2.5, 2, 0},
      {3.5, 4, 0},
      {-2.5, -2, 0},
      {-3.5, -4, 0},
      {0.5, 0, 0},
      {2147483647.4L, INT32_MAX, 0},
      {-2147483648.5L, INT32_MIN, 0},  // the tie goes to the even INT32_MIN
      {2147483647.5L, INT32_MAX, kErrorOverflow},
      {3e9L, INT32_MAX, kErrorOverflow},
      {-3e9L, INT32_MIN, kErrorOverflow},
      {kInf, INT32_MAX, kErrorOverflow},
      {kNaN, 0, kErrorOverflow},
  };
  for (const Case& c : kCases) {
    ClearError();
    EXPECT_EQ(ToInteger(c.value), c.want) << "value " << c.value;
    EXPECT_EQ(LastError(), c.error) << "value " << c.value;
  }
  ClearError();
}

TEST(LargerOf, PicksTheLargerAndPropagatesNaN) {
  EXPECT_EQ(LargerOf(3, 20), 20);
  EXPECT_EQ(LargerOf(20, 3), 20);
  EXPECT_EQ(LargerOf(-1, -2), -1);
  EXPECT_EQ(LargerOf(5, 5), 5);
  EXPECT_FALSE(std::signbit(LargerOf(0.0L, -0.0L)));
  EXPECT_TRUE(std::isnan(LargerOf(kNaN, 1)));
  EXPECT_TRUE(std::isnan(LargerOf(1, kNaN)));
}

}  // namespace
}  // namespace hb::test
