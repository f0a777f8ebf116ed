// SPDX-License-Identifier: MIT
// clazy:excludeall=non-pod-global-static,returning-void-expression
// (each TEST() registers itself in a static, and ASSERT_* returns from the test)
// The number conversions that every answer and every argument passes through.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "orvane/NumberText.h"
#include "orvane/RunTimeError.h"

namespace {

using orvane::ErrorKind;
using orvane::RunTimeError;
using orvane::Text;

template <class Call>
std::optional<ErrorKind> ErrorOf(Call&& call) {
  try {
    call();
  } catch (const RunTimeError& e) {
    return e.kind();
  }
  return std::nullopt;
}

// ------------------------------------------------------------ NumberToText

struct ToTextRow {
  double value;
  const char16_t* want;
};

const ToTextRow kToText[] = {
    {0.0, u"0"},
    {-0.0, u"0"},
    {120.0, u"120"},
    {100.0, u"100"},
    {-1.5, u"-1.5"},
    {0.5, u"0.5"},
    {-0.25, u"-0.25"},
    {1.0 / 3.0, u"0.333333333333333"},
    {2.0 / 3.0, u"0.666666666666667"},
    {0.1 + 0.2, u"0.3"},
    {123456.789, u"123456.789"},
    {355687428096000.0, u"355687428096000"},  // 17!
    {999999999999999.0, u"999999999999999"},
    {123456789012345.6, u"123456789012346"},
    {1e14, u"100000000000000"},
    // Exponent 15 and up, or below -4, in exponent form with two or more exponent digits.
    {1e15, u"1E+15"},
    {6402373705728000.0, u"6.402373705728E+15"},  // 18!
    {2432902008176640000.0, u"2.43290200817664E+18"},  // 20!
    {1234567890123456.0, u"1.23456789012346E+15"},
    {1e21, u"1E+21"},
    {1.5e300, u"1.5E+300"},
    {1.7976931348623157e308, u"1.79769313486232E+308"},
    {0.0001, u"0.0001"},
    {0.00012345, u"0.00012345"},
    {0.000123456789012345678, u"0.000123456789012346"},
    {0.00001, u"1E-05"},
    {-0.00001, u"-1E-05"},
    {0.00009999, u"9.999E-05"},
    {1.5e-10, u"1.5E-10"},
    {1e-100, u"1E-100"},
    {4.9406564584124654e-324, u"4.94065645841247E-324"},
    // The form follows the exponent after rounding to 15 digits.
    {999999999999999.9, u"1E+15"},
    {0.00009999999999999999, u"0.0001"},  // sixteen nines round up to 1E-04
    {0.0000999999999999999, u"9.99999999999999E-05"},  // fifteen nines are kept
};

TEST(NumberToText, Table) {
  for (const auto& row : kToText) {
    EXPECT_EQ(orvane::NumberToText(row.value), Text(row.want)) << "value " << testing::PrintToString(row.value);
  }
}

// ------------------------------------------------------------ TextToNumber

struct ToNumberRow {
  const char16_t* text;
  double want;
  std::optional<ErrorKind> error = std::nullopt;
};

const ToNumberRow kToNumber[] = {
    {u"", 0},
    {u"(3", 0},
    {u"4)", 4},
    {u"2*", 2},
    {u"1E", 1},
    {u"1E+", 1},
    {u"1EX", 1},
    {u"2.5E", 2.5},
    {u"-05", -5},
    {u"+5", 5},
    {u" 3", 3},
    {u"2,3,", 2},
    {u"1 2", 12},
    {u"- 5", -5},
    {u"1\t2\n3", 123},
    {u"1 . 5", 1.5},
    {u"1 E 2", 100},
    {u"1.5.3", 1.5},
    {u".5", 0.5},
    {u"5.", 5},
    {u"1e3", 1000},
    {u"1E+2", 100},
    {u"1E-2", 0.01},
    {u"2.43290200817664E+18", 2432902008176640000.0},
    {u"1E-400", 0},  // underflow is no error
    {u"5\u00e9", 5},
    {u"\u00e95", 0},
    {u"\u0663", 0},  // digits of other scripts are ordinary characters
    {u"\uff17", 0},
    // Hexadecimal and octal only at the start, after blanks.
    {u"&H1F", 31},
    {u"&h1f", 31},
    {u"&O17", 15},
    {u"&o17", 15},
    {u"  &H10", 16},
    {u"&HFFFF", 65535},
    {u"1&H10", 1},
    // Beyond the double range.
    {u"1E400", 0, ErrorKind::FloatingPoint},
    {u"-1E400", 0, ErrorKind::FloatingPoint},
};

TEST(TextToNumber, Table) {
  for (const auto& row : kToNumber) {
    SCOPED_TRACE(testing::PrintToString(Text(row.text)));
    if (row.error) {
      EXPECT_EQ(ErrorOf([&] { orvane::TextToNumber(row.text); }), row.error);
    } else {
      double got = std::nan("");
      EXPECT_EQ(ErrorOf([&] { got = orvane::TextToNumber(row.text); }), std::nullopt);
      EXPECT_DOUBLE_EQ(got, row.want);
    }
  }
}

// ---------------------------------------------------------- ToCount, CountOf

struct CountRow {
  double value;
  int want;  // ignored when overflows
  bool overflows;
};

const CountRow kToCount[] = {
    {2.5, 2, false},   {3.5, 4, false},    {-2.5, -2, false},  {0.5, 0, false},
    {1.5, 2, false},   {-0.5, 0, false},   {2.4, 2, false},    {2.6, 3, false},
    {32767, 32767, false},   {32767.4, 32767, false},   {-32768, -32768, false},
    {-32768.5, -32768, false},  // halves go to the even neighbour, which is in range
    {32767.5, 0, true},  {32768, 0, true},  {-32768.6, 0, true},  {1e300, 0, true},
};

TEST(ToCount, Table) {
  for (const auto& row : kToCount) {
    SCOPED_TRACE(testing::PrintToString(row.value));
    if (row.overflows) {
      EXPECT_EQ(ErrorOf([&] { orvane::ToCount(row.value); }), ErrorKind::IntegerOverflow);
    } else {
      EXPECT_EQ(orvane::ToCount(row.value), row.want);
    }
  }
}

TEST(CountOf, ReadsThenRounds) {
  EXPECT_EQ(orvane::CountOf(u"2.5"), 2);
  EXPECT_EQ(orvane::CountOf(u"3.5)"), 4);
  EXPECT_EQ(orvane::CountOf(u""), 0);
  EXPECT_EQ(orvane::CountOf(u" 7)"), 7);
  EXPECT_EQ(orvane::CountOf(u"-32768"), -32768);
  EXPECT_EQ(orvane::CountOf(u"&H7FFF"), 32767);
  EXPECT_EQ(ErrorOf([] { orvane::CountOf(u"40000"); }), ErrorKind::IntegerOverflow);
  EXPECT_EQ(ErrorOf([] { orvane::CountOf(u"32767.5"); }), ErrorKind::IntegerOverflow);
  EXPECT_EQ(ErrorOf([] { orvane::CountOf(u"1E400"); }), ErrorKind::FloatingPoint);
}

}  // namespace
