// SPDX-License-Identifier: MIT
// clazy:excludeall=non-pod-global-static,returning-void-expression
// (each TEST() registers itself in a static, and ASSERT_* returns from the test)
// The six counting functions: values, the edges of their argument ranges and the error kinds.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <string>

#include "orvane/Counting.h"
#include "orvane/RunTimeError.h"

namespace {

using namespace orvane::Counting;
using orvane::ErrorKind;
using orvane::RunTimeError;

struct Row {
  const char* call;
  std::function<double()> run;
  double want;                     // ignored when an error is expected
  std::optional<ErrorKind> error = std::nullopt;  // the kind the call must raise
};

constexpr auto kOverflow = ErrorKind::IntegerOverflow;
constexpr auto kFloat = ErrorKind::FloatingPoint;
constexpr auto kDivZero = ErrorKind::DivisionByZero;

std::u16string Commas(int count) { return std::u16string(static_cast<std::size_t>(count), u','); }

const Row kRows[] = {
    // Factorial
    {"Factorial(0)", [] { return Factorial(0); }, 1},
    {"Factorial(1)", [] { return Factorial(1); }, 1},
    {"Factorial(5)", [] { return Factorial(5); }, 120},
    {"Factorial(10)", [] { return Factorial(10); }, 3628800},
    {"Factorial(20)", [] { return Factorial(20); }, 2432902008176640000.0},
    {"Factorial(171)", [] { return Factorial(171); }, 0, kFloat},
    {"Factorial(1000)", [] { return Factorial(1000); }, 0, kFloat},
    {"Factorial(32767)", [] { return Factorial(32767); }, 0, kFloat},
    {"Factorial(-1)", [] { return Factorial(-1); }, 0, kOverflow},
    {"Factorial(-32768)", [] { return Factorial(-32768); }, 0, kOverflow},

    // Arrangements(k, n): the product n-k+1 .. n
    {"Arrangements(2,5)", [] { return Arrangements(2, 5); }, 20},
    {"Arrangements(5,5)", [] { return Arrangements(5, 5); }, 120},
    {"Arrangements(0,5)", [] { return Arrangements(0, 5); }, 1},
    {"Arrangements(-3,5)", [] { return Arrangements(-3, 5); }, 1},
    {"Arrangements(7,5)", [] { return Arrangements(7, 5); }, 0},
    {"Arrangements(2,-3)", [] { return Arrangements(2, -3); }, 12},
    {"Arrangements(2,32766)", [] { return Arrangements(2, 32766); }, 32765.0 * 32766.0},
    {"Arrangements(1,32767)", [] { return Arrangements(1, 32767); }, 0, kOverflow},
    {"Arrangements(0,32767)", [] { return Arrangements(0, 32767); }, 0, kOverflow},
    {"Arrangements(-32768,5)", [] { return Arrangements(-32768, 5); }, 0, kOverflow},
    {"Arrangements(200,200)", [] { return Arrangements(200, 200); }, 0, kFloat},
    {"Arrangements(32767,0)", [] { return Arrangements(32767, 0); }, 0, kFloat},

    // Combinations(k, n): the factorial of k comes first, the full numerator before the division
    {"Combinations(2,5)", [] { return Combinations(2, 5); }, 10},
    {"Combinations(0,5)", [] { return Combinations(0, 5); }, 1},
    {"Combinations(5,5)", [] { return Combinations(5, 5); }, 1},
    {"Combinations(0,0)", [] { return Combinations(0, 0); }, 1},
    {"Combinations(7,5)", [] { return Combinations(7, 5); }, 0},
    {"Combinations(3,55)", [] { return Combinations(3, 55); }, 26235},
    {"Combinations(-1,5)", [] { return Combinations(-1, 5); }, 0, kOverflow},
    {"Combinations(2,32767)", [] { return Combinations(2, 32767); }, 0, kOverflow},
    {"Combinations(171,171)", [] { return Combinations(171, 171); }, 0, kFloat},
    {"Combinations(150,300)", [] { return Combinations(150, 300); }, 0, kFloat},

    // ArrangementsRep(k, n): n to the power k
    {"ArrangementsRep(2,5)", [] { return ArrangementsRep(2, 5); }, 25},
    {"ArrangementsRep(0,5)", [] { return ArrangementsRep(0, 5); }, 1},
    {"ArrangementsRep(0,0)", [] { return ArrangementsRep(0, 0); }, 1},
    {"ArrangementsRep(3,-2)", [] { return ArrangementsRep(3, -2); }, -8},
    {"ArrangementsRep(-1,2)", [] { return ArrangementsRep(-1, 2); }, 0.5},
    {"ArrangementsRep(-2000,10)", [] { return ArrangementsRep(-2000, 10); }, 0},
    {"ArrangementsRep(1023,2)", [] { return ArrangementsRep(1023, 2); }, std::ldexp(1.0, 1023)},
    {"ArrangementsRep(1024,2)", [] { return ArrangementsRep(1024, 2); }, 0, kFloat},
    {"ArrangementsRep(400,10)", [] { return ArrangementsRep(400, 10); }, 0, kFloat},
    {"ArrangementsRep(1001,-10)", [] { return ArrangementsRep(1001, -10); }, 0, kFloat},
    {"ArrangementsRep(-1,0)", [] { return ArrangementsRep(-1, 0); }, 0, kDivZero},
    {"ArrangementsRep(-2,0)", [] { return ArrangementsRep(-2, 0); }, 0, kDivZero},

    // TotalCombinations(n): 2 to the power n
    {"TotalCombinations(3)", [] { return TotalCombinations(3); }, 8},
    {"TotalCombinations(0)", [] { return TotalCombinations(0); }, 1},
    {"TotalCombinations(-1)", [] { return TotalCombinations(-1); }, 0.5},
    {"TotalCombinations(-1074)", [] { return TotalCombinations(-1074); }, std::ldexp(1.0, -1074)},
    {"TotalCombinations(-2000)", [] { return TotalCombinations(-2000); }, 0},
    {"TotalCombinations(1023)", [] { return TotalCombinations(1023); }, std::ldexp(1.0, 1023)},
    {"TotalCombinations(1024)", [] { return TotalCombinations(1024); }, 0, kFloat},
    {"TotalCombinations(2000)", [] { return TotalCombinations(2000); }, 0, kFloat},

    // PermutationsRep(n, list): the list's fields are read like the flat evaluator reads them
    {"PermutationsRep(5,'2,3')", [] { return PermutationsRep(5, u"2,3"); }, 10},
    {"PermutationsRep(6,'1,2,3')", [] { return PermutationsRep(6, u"1,2,3"); }, 60},
    {"PermutationsRep(4,'')", [] { return PermutationsRep(4, u""); }, 24},
    {"PermutationsRep(4,'2,,2')", [] { return PermutationsRep(4, u"2,,2"); }, 6},
    {"PermutationsRep(5,'2,3,')", [] { return PermutationsRep(5, u"2,3,"); }, 5},
    {"PermutationsRep(5,'2.5,3')", [] { return PermutationsRep(5, u"2.5,3"); }, 10},
    {"PermutationsRep(5,'2 , 3')", [] { return PermutationsRep(5, u"2 , 3"); }, 10},
    {"PermutationsRep(3,'5')", [] { return PermutationsRep(3, u"5"); }, 0.05},
    {"PermutationsRep(5,'e-acute')", [] { return PermutationsRep(5, u"\u00e9"); }, 120},
    {"PermutationsRep(5,'-1')", [] { return PermutationsRep(5, u"-1"); }, 0, kOverflow},
    {"PermutationsRep(-1,'')", [] { return PermutationsRep(-1, u""); }, 0, kOverflow},
    {"PermutationsRep(5,'40000')", [] { return PermutationsRep(5, u"40000"); }, 0, kOverflow},
    {"PermutationsRep(5,'1E400')", [] { return PermutationsRep(5, u"1E400"); }, 0, kFloat},
    {"PermutationsRep(171,'170')", [] { return PermutationsRep(171, u"170"); }, 0, kFloat},
    {"PermutationsRep(170,'171')", [] { return PermutationsRep(170, u"171"); }, 0, kFloat},
    {"PermutationsRep(3, 32767 commas)", [] { return PermutationsRep(3, Commas(32767)); }, 0, kOverflow},
};

TEST(Counting, Table) {
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.call);
    std::optional<ErrorKind> raised;
    double got = std::nan("");
    try {
      got = row.run();
    } catch (const RunTimeError& e) {
      raised = e.kind();
    }
    if (row.error) {
      EXPECT_EQ(raised, row.error) << "returned " << got;
    } else {
      EXPECT_EQ(raised, std::nullopt);
      EXPECT_DOUBLE_EQ(got, row.want);
    }
  }
}

// n to the power k rounded once, to the last bit, as exact arithmetic gives it:
// the first rows are where the C library's pow is an ulp off on some
// processors, then a tie between two doubles, subnormal results and a
// negative zero.
TEST(Counting, PowersToTheLastBit) {
  const struct {
    orvane::Int16 k, n;
    double want;
  } rows[] = {
      {5, -32614, -0x1.f414d08045e30p+74}, {22, 32765, 0x1.fef840edda613p+329},
      {-16, 32744, 0x1.0304cd65cdfe3p-240}, {-9, -32737, -0x1.0230a60dbee25p-135},
      {34, 3, 0x1.d9fe779881944p+53},      {68, 32767, 0x1.fef04723c54d8p+1019},
      {308, 10, 0x1.1ccf385ebc8a0p+1023},  {-320, 10, 0x0.00000000007e8p-1022},
      {-71, 32767, 0x0.0000000000201p-1022}, {-461, -5, -0x0.000000000000cp-1022},
      {-678, 3, 0x0.0000000000001p-1022},  {-679, 3, 0.0},
      {-1075, 2, 0.0},                     {-2001, -2, -0.0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.n << "^" << row.k);
    const double got = ArrangementsRep(row.k, row.n);
    EXPECT_EQ(got, row.want) << std::hexfloat << got;
    EXPECT_EQ(std::signbit(got), std::signbit(row.want));
  }
}

// 170! is the largest finite factorial; its last bits depend on the order of the products.
TEST(Counting, LargestFactorial) {
  const double f = Factorial(170);
  ASSERT_TRUE(std::isfinite(f));
  EXPECT_NEAR(f / 7.257415615307998967e306, 1.0, 1e-12);
  EXPECT_NEAR(PermutationsRep(170, u"169"), 170.0, 1e-9);
}

}  // namespace
