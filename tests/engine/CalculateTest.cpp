// SPDX-License-Identifier: MIT
// clazy:excludeall=non-pod-global-static,returning-void-expression
// (each TEST() registers itself in a static, and ASSERT_* returns from the test)
// The Calculate command without a window: expression and answer box in, new answer (or none) out.
#include <gtest/gtest.h>

#include <string>

#include "orvane/Calculate.h"

namespace {

using orvane::Text;

// Reasons when the final evaluation fails; a term that cannot be expanded only fixes the start.
constexpr const char* kCannot = "Cannot evaluate";
constexpr const char* kOverflow = "Integer overflow";
constexpr const char* kDivZero = "Division by zero";
constexpr const char* kFloat = "Floating-point overflow or invalid operation";
constexpr const char* kBackslash = orvane::kBackslashRefused;

struct Row {
  const char16_t* expression;
  const char16_t* box;
  const char16_t* answer;  // nullptr: nothing is written
  const char* reason = "";
};

const Row kRows[] = {
    // The notation.
    {u"c(2,5)", u"0", u"10"},
    {u"C(2,5)+A(2,5)*W(2,5)", u"0", u"510"},
    {u"W(2,5)*T(3)-A(3,3)", u"0", u"194"},
    {u"T(5)", u"0", u"32"},
    {u"P6(1,2,3)", u"0", u"60"},
    {u"5!", u"0", u"120"},
    {u"", u"0", u"0"},
    {u"C(2,5)+C(2,5)", u"0", u"20"},
    {u"C(3,5)+C(3,55)", u"0", u"26245"},  // the first term's text, ")" included, is not inside the second
    {u"C(2,5)!", u"0", u"3628800"},
    {u"(C(2,5)+1)*2", u"0", u"22"},
    {u"2*-C(2,5)", u"0", u"-20"},
    {u"2*P5(2,3)+1", u"0", u"21"},
    {u"(2+3)*P5(2,3)", u"0", u"50"},
    {u"2*P5(C(1,2),3)", u"0", u"20"},
    {u"P5(2,3,)", u"0", u"5"},
    {u"P(2)", u"0", u"0.5"},
    {u"P4()", u"0", u"24"},
    {u"5C(2,5)", u"0", u"510"},  // no implied multiplication
    {u"C[2,5)", u"0", u"10"},
    {u"C(2.5,5)", u"0", u"10"},
    {u"C(3.5,5)", u"0", u"5"},
    {u"A(2,-3)", u"0", u"12"},
    {u"W(3,-2)", u"0", u"-8"},
    {u"T(-1)", u"0", u"0.5"},
    // A missing second argument reads differently for A than for C and W.
    {u"C(5)", u"0", u"0"},
    {u"W(5)", u"0", u"0"},
    {u"A(5)", u"0", u"120"},
    {u"C(3,)", u"0", u"0"},
    {u"A(3,)", u"0", u"6"},
    {u"C)", u"0", u"1"},
    {u"W)", u"0", u"1"},
    {u"T)", u"0", u"1"},
    // The factorial takes only the run of digits before the "!".
    {u"3+5!", u"0", u"123"},
    {u"(5!)", u"0", u"120"},
    {u"-5!", u"0", u"-120"},
    {u"2.5!", u"0", u"2.12"},
    {u"007!", u"0", u"5040"},
    {u"0!", u"0", u"1"},
    {u"3!!", u"0", u"720"},
    {u"5!*5!", u"0", u"14400"},
    {u"5!+15!", u"0", u"1307674368120"},
    // ANS is the answer box's text, taken as it is.
    {u"ANS*2", u"60", u"120"},
    {u"ans*2", u"60", u"120"},
    {u"ANS*2", u"0", u"0"},
    {u"ANSANS", u"1", u"11"},
    {u"ANS!", u"-3", u"-6"},
    {u"A(2,ANS)", u"5", u"20"},
    {u"ANS", u"c(2,5)", u"0"},
    // Answers in exponent form survive being evaluated again.
    {u"18!", u"0", u"6.402373705728E+15"},
    {u"20!", u"0", u"2.43290200817664E+18"},
    {u"20!/19!", u"0", u"20"},
    {u"1/100000", u"0", u"1E-05"},
    {u"1e-5*2", u"0", u"2E-05"},
    {u"ANS*2", u"6.402373705728E+15", u"1.2804747411456E+16"},
    // Signs after operators.
    {u"2 * -3", u"0", u"-6"},
    {u"2*-3", u"0", u"-6"},
    {u"2/-4", u"0", u"-0.5"},
    {u"2*(1-4)", u"0", u"-6"},
    {u"5 - -3", u"0", u"8"},
    {u"5--3", u"0", u"8"},
    {u"5+-3", u"0", u"2"},
    {u"2++3", u"0", u"5"},
    {u"--5", u"0", u"5"},
    {u"-+5", u"0", u"-5"},
    {u"2*+3", u"0", u"6"},
    {u"-5*2", u"0", u"-10"},
    {u"0*-1", u"0", u"0"},
    // The rest of the flat arithmetic stays as it is.
    {u"2+", u"0", u"4"},
    {u"2**3", u"0", u"0"},
    {u"1/3*3", u"0", u"0.999999999999999"},
    {u"(1/3)*3", u"0", u"0.999999999999999"},
    {u"(1+2", u"0", u"2"},
    {u"1+2)", u"0", u"3"},
    {u"\u00e9", u"0", u"0"},
    {u"C(2,5)\u00e9", u"0", u"10"},
    // The final evaluation fails: the answer box keeps its text.
    {u"6/0", u"0", nullptr, kDivZero},
    {u"0/0", u"0", nullptr, kDivZero},
    {u"(6/0)+1", u"0", nullptr, kDivZero},
    {u"C(2,5)/0", u"0", nullptr, kDivZero},
    {u"ANS/0", u"5", nullptr, kDivZero},
    {u"1E308*10", u"0", nullptr, kFloat},
    {u"1E400", u"0", nullptr, kFloat},
    // A term that cannot be expanded: nothing is written either.
    {u"171!", u"0", nullptr, kCannot},
    {u"C(2,5)+171!", u"0", nullptr, kCannot},
    {u"32768!", u"0", nullptr, kCannot},
    {u"CAT", u"0", nullptr, kCannot},
    {u"5A", u"0", nullptr, kCannot},
    {u"T", u"0", nullptr, kCannot},
    {u"C(2,5", u"0", nullptr, kCannot},
    {u"A)", u"0", nullptr, kCannot},  // its argument source would have a negative length
    {u"!", u"0", nullptr, kCannot},
    {u"(2)!", u"0", nullptr, kCannot},
    {u"5!+!", u"0", nullptr, kCannot},
    {u"5\u00e9!", u"0", nullptr, kCannot},
    {u"\u0665!", u"0", nullptr, kCannot},  // digits of other scripts are no digits
    {u"P5", u"0", nullptr, kCannot},
    {u"P5(2", u"0", nullptr, kCannot},
    {u"P5(-1)", u"0", nullptr, kCannot},
    {u"C(2,40000)", u"0", nullptr, kCannot},
    {u"T(1E400)", u"0", nullptr, kCannot},
    {u"C(-1,5)", u"0", nullptr, kCannot},
    {u"A(200,200)", u"0", nullptr, kCannot},
    {u"W(400,10)", u"0", nullptr, kCannot},
    {u"T(2000)", u"0", nullptr, kCannot},
    {u"W(-1,0)", u"0", nullptr, kCannot},
    // A backslash would meet the placeholder of a group, wherever it comes from.
    {u"1\\\\+(2)", u"0", nullptr, kBackslash},
    {u"ANS+1", u"\\", nullptr, kBackslash},
    {u"aNs+1", u"1\\2", nullptr, kBackslash},
    {u"1+1", u"1\\2", u"2", ""},  // an answer box that ANS never brings in
};

void Check(const Text& expression, const Text& box, const char16_t* answer, const std::string& reason) {
  SCOPED_TRACE(testing::PrintToString(expression) + " with the answer box at " + testing::PrintToString(box));
  const orvane::CalcOutcome got = orvane::Calculate(expression, box);
  if (answer != nullptr) {
    EXPECT_EQ(got.answer, std::optional<Text>(answer)) << "reason: " << got.reason;
    EXPECT_EQ(got.reason, "");
  } else {
    EXPECT_EQ(got.answer, std::nullopt);
    if (reason == kCannot) {
      EXPECT_EQ(got.reason.rfind(kCannot, 0), 0u) << "reason: " << got.reason;
    } else {
      EXPECT_EQ(got.reason, reason);
    }
  }
}

TEST(Calculate, Table) {
  for (const auto& row : kRows) Check(row.expression, row.box, row.answer, row.reason);
}

TEST(Calculate, Limits) {
  const auto nest = [](int levels, const Text& inner) {
    return Text(static_cast<std::size_t>(levels), u'(') + inner + Text(static_cast<std::size_t>(levels), u')');
  };
  Check(nest(255, u"2*3"), u"0", u"6", "");
  Check(nest(256, u"2*3"), u"0", nullptr, kOverflow);
  Check(Text(32767, u'1'), u"0", nullptr, kOverflow);
  // A text that fits, but whose values outgrow it, says so.
  Text grows;
  for (int i = 0; i < 2000; ++i) grows += u"18!+";
  Check(grows + u"1", u"0", nullptr,
        "Integer overflow: the expression, once its terms are replaced, is longer than 32766 characters");

  // The largest factorial; its last digits depend on the order of the products.
  const orvane::CalcOutcome f = orvane::Calculate(u"170!", u"0");
  ASSERT_TRUE(f.answer.has_value()) << f.reason;
  EXPECT_EQ(f.answer->rfind(u"7.2574156153", 0), 0u) << testing::PrintToString(*f.answer);
  EXPECT_TRUE(f.answer->ends_with(u"E+306")) << testing::PrintToString(*f.answer);
}

}  // namespace
