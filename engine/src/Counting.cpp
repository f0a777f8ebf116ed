// SPDX-License-Identifier: MIT
// The counting functions, with the checks of every 16-bit step and
// floating-point result that decide where they fail.
#include "orvane/Counting.h"

#include "NotRead.h"
#include "WholePower.h"
#include "flat/FieldCursor.h"
#include "orvane/NumberText.h"
#include "orvane/StringStuff.h"

namespace orvane::Counting {

namespace {

// The power of two counts, refusing results beyond the double range.
double Power(long base, long exponent) {
  if (base == 0 && exponent < 0) throw RunTimeError(ErrorKind::DivisionByZero);
  return Checked(detail::WholePower(base, exponent));
}

}  // namespace

double Factorial(Int16 n) {
  // A negative n never reaches 0: its descent would pass -32768.
  if (n < 0) throw RunTimeError(ErrorKind::IntegerOverflow);
  double product = 1;
  for (long i = 1; i <= n; ++i) product = Checked(product * static_cast<double>(i));
  return product;
}

double Arrangements(Int16 k, Int16 n) {
  double product = 1;
  for (long s = Add16(Sub16(n, k), 1); s <= n; s = Add16(s, 1)) product = Checked(product * static_cast<double>(s));
  return product;
}

double Combinations(Int16 k, Int16 n) {
  const double f = Factorial(k);  // first, as it may fail first
  return Checked(Arrangements(k, n) / f);
}

double ArrangementsRep(Int16 k, Int16 n) { return Power(n, k); }

double TotalCombinations(Int16 n) { return Power(2, n); }

double PermutationsRep(Int16 n, TextView list) {
  const Int16 fields = Add16(StringStuff::CountChar(list, u","), 1);
  double product = 1;
  StringStuff::FieldCursor cursor(list, u",");
  for (long i = 1; i <= fields; ++i) {
    const Int16 count = detail::NotReadLog::ReadCount(cursor.Next());
    product = Checked(product * Factorial(count));
  }
  return Checked(Factorial(n) / product);
}

}  // namespace orvane::Counting
