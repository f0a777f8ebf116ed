// SPDX-License-Identifier: MIT
#pragma once

// The two conversions between numbers and their texts on which every value
// of the engine passes.

#include <cfloat>
#include <cmath>
#include <cstddef>

#include "orvane/Int16.h"
#include "orvane/Text.h"

namespace orvane {

// Each step on doubles is rounded to double as it happens, whatever the
// processor; the engine's build asks for it where the default would not.
static_assert(FLT_EVAL_METHOD == 0, "the engine needs double steps rounded to double (SSE2 on 32-bit x86)");

// The longest text NumberToText gives, as in "-1.23456789012345E-300".
constexpr std::size_t kLongestNumberText = 22;

// Shortest text with at most 15 significant digits; exponent form ("1E-05",
// "6.402373705728E+15") when the rounded decimal exponent is 15 or more or
// below -4. Negative zero gives "0".
Text NumberToText(double value);

// Value of the longest numeric prefix: optional sign, digits with at most one
// ".", optional exponent; blanks, tabs and line feeds are skipped anywhere;
// "&H"/"&O" at the start read an unsigned hexadecimal or octal integer.
// A prefix beyond the double range raises the floating-point error.
double TextToNumber(TextView text);

// TextToNumber's value, and where its prefix ends: the index of the first
// character not read. Leading blanks and a sign count as read even when no
// digit follows them.
struct NumberRead {
  double value;
  std::size_t end;
};
NumberRead ReadNumberPrefix(TextView text);

// The value, or the floating-point error when it is infinite or not a number.
inline double Checked(double value) {
  if (!std::isfinite(value)) throw RunTimeError(ErrorKind::FloatingPoint);
  return value;
}

// Rounds half to even to a 16-bit count (2.5 -> 2, 3.5 -> 4).
Int16 ToCount(double value);

// The count of a text: TextToNumber, then ToCount.
inline Int16 CountOf(TextView text) { return ToCount(TextToNumber(text)); }

}  // namespace orvane
