// SPDX-License-Identifier: MIT
// Number texts: the shortest 15-digit form of a value, and the value of a
// text's longest numeric prefix.
#include "orvane/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <string>

#include "rewrite/TextOps.h"

namespace orvane {

using namespace detail;

namespace {

constexpr int kSignificantDigits = 15;
// Whole numbers below 10^15 are doubles exactly.
constexpr std::uint64_t kWholeLimit = 1'000'000'000'000'000;

std::size_t SkipBlanks(TextView text, std::size_t i) {
  while (i < text.size() && IsBlank(text[i])) ++i;
  return i;
}

// Reads "&H" or "&O" digits as an unsigned integer, rounded once to the
// nearest double: the leading 64 bits exactly, the rest as a sticky bit and a
// power of two.
double RadixValue(TextView text, std::size_t i, int bitsPerDigit, std::size_t& end) {
  const int radix = 1 << bitsPerDigit;
  std::uint64_t leading = 0;
  bool sticky = false;
  long long extraDigits = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsBlank(c)) continue;
    int digit = -1;
    if (IsDigit(c)) digit = c - u'0';
    else if (c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    else if (c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    if (digit < 0 || digit >= radix) break;
    if (leading >> (64 - bitsPerDigit) == 0) {
      leading = (leading << bitsPerDigit) | static_cast<std::uint64_t>(digit);
    } else {
      sticky = sticky || digit != 0;
      ++extraDigits;
    }
  }
  end = i;
  // The sticky bit sits far below a double's 53 bits, so it only breaks ties.
  const double value = std::ldexp(static_cast<double>(leading | (sticky ? 1u : 0u)),
                                  static_cast<int>(std::min<long long>(extraDigits * bitsPerDigit, 100000)));
  return Checked(value);
}

// The exponent of "E", an optional sign and digits from position i, or 0
// when no digits follow; end is past its digits, or i when there are none,
// as the number then ends before the letter.
long long ReadExponent(TextView text, std::size_t i, std::size_t& end) {
  end = i;
  if (i >= text.size() || (text[i] != u'E' && text[i] != u'e')) return 0;
  std::size_t j = SkipBlanks(text, i + 1);
  const bool negative = j < text.size() && text[j] == u'-';
  if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) j = SkipBlanks(text, j + 1);
  long long exponent = 0;
  bool digits = false;
  for (; j < text.size() && (IsDigit(text[j]) || IsBlank(text[j])); ++j) {
    if (!IsDigit(text[j])) continue;
    digits = true;
    if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[j] - u'0');  // far beyond any double
  }
  if (digits) end = j;
  return negative ? -exponent : exponent;
}

// The value of a sign, digits and at most one "." times 10^exponent.
double DecimalValue(const std::string& mantissa, long long exponent) {
  const std::string text = mantissa + "e" + std::to_string(exponent);
  double value = 0.0;
  if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc::result_out_of_range)
    return value == 0.0 ? 0.0 : value;  // "-0" is 0
  // from_chars reports underflow and overflow alike; only overflow is an
  // error. The first digit's place tells them apart.
  const std::size_t first = mantissa.find_first_of("123456789");
  const std::size_t dot = std::min(mantissa.find('.'), mantissa.size());
  if (static_cast<long long>(dot) - static_cast<long long>(first < dot ? first : first - 1) + exponent > 0)
    throw RunTimeError(ErrorKind::FloatingPoint);
  return mantissa[0] == '-' ? -0.0 : 0.0;
}

// Both forms of TextToNumber, each with its own copy, so that the plain one
// pays nothing for the end it does not ask for.
inline double ReadNumber(TextView text, std::size_t& end) {
  std::size_t i = SkipBlanks(text, 0);
  end = i;
  if (i < text.size() && text[i] == u'&') {
    const std::size_t j = SkipBlanks(text, i + 1);
    if (j < text.size() && (text[j] == u'H' || text[j] == u'h')) return RadixValue(text, j + 1, 4, end);
    if (j < text.size() && (text[j] == u'O' || text[j] == u'o')) return RadixValue(text, j + 1, 3, end);
    return 0.0;
  }
  std::string mantissa;  // sign, digits and at most one ".", as plain ASCII for std::from_chars
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    if (text[i] == u'-') mantissa = "-";
    end = i = SkipBlanks(text, i + 1);
  }
  bool digits = false, dot = false, fraction = false;
  std::uint64_t whole = 0;  // the digits before the ".", up to the limit
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsBlank(c)) continue;
    if (c == u'.' && !dot) {
      dot = true;
    } else if (!IsDigit(c)) {
      break;
    } else {
      digits = true;
      fraction = fraction || dot;
      if (!dot) whole = std::min<std::uint64_t>(whole * 10 + (c - u'0'), kWholeLimit);
    }
    mantissa += static_cast<char>(c);
  }
  if (!digits) return 0.0;
  const long long exponent = ReadExponent(text, i, end);
  if (exponent != 0 || fraction || whole >= kWholeLimit) return DecimalValue(mantissa, exponent);
  const auto value = static_cast<double>(whole);  // exact, without the parser
  return mantissa[0] == '-' && whole > 0 ? -value : value;
}

}  // namespace

Text NumberToText(double value) {
  if (Checked(value) == 0.0) return u"0";  // also negative zero
  char text[32];
  // A whole number of at most 15 digits is its own text, without the rounding.
  if (std::fabs(value) < 1e15 && std::trunc(value) == value)
    return Text(text, std::to_chars(text, text + sizeof text, static_cast<long long>(value)).ptr);
  // The general form rounds to 15 digits, drops trailing zeros, and takes the
  // exponent form ("1e-05") from 10^15 up and below 10^-4, as the text must.
  char* const end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, kSignificantDigits).ptr;
  std::replace(text, end, 'e', 'E');
  return Text(text, end);
}

double TextToNumber(TextView text) {
  std::size_t end = 0;
  return ReadNumber(text, end);
}

NumberRead ReadNumberPrefix(TextView text) {
  std::size_t end = 0;
  const double value = ReadNumber(text, end);
  return {value, end};
}

Int16 ToCount(double value) {
  // The default rounding mode rounds halves to the even neighbour.
  const double rounded = std::nearbyint(value);
  if (!(rounded >= kInt16Min && rounded <= kInt16Max)) throw RunTimeError(ErrorKind::IntegerOverflow);
  return static_cast<Int16>(rounded);
}

}  // namespace orvane
