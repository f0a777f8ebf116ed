// SPDX-License-Identifier: MIT
// Number texts: the shortest 15-digit form of a value, and the value of a
// text's longest numeric prefix.
#include "orvane/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <string>

namespace orvane {

namespace {

constexpr int kSignificantDigits = 15;

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The decimal digits (without trailing zeros) and exponent of |value|,
// rounded to 15 significant digits; value must be finite and non-zero.
struct Rounded {
  char digits[kSignificantDigits];
  int count = 1;
  int exponent = 0;
};

Rounded RoundedDigits(double value) {
  char sci[32];  // d.dddddddddddddde+XX
  const char* end =
      std::to_chars(sci, sci + sizeof sci, std::fabs(value), std::chars_format::scientific, kSignificantDigits - 1).ptr;
  const char* e = std::find(static_cast<const char*>(sci), end, 'e');
  Rounded r;
  r.digits[0] = sci[0];
  for (const char* d = sci + 2; d < e; ++d) r.digits[r.count++] = *d;
  std::from_chars(e + (e[1] == '+' ? 2 : 1), end, r.exponent);
  while (r.count > 1 && r.digits[r.count - 1] == '0') --r.count;
  return r;
}

// Appends the number's text to out, which has room for the longest one.
char* ExponentForm(const Rounded& r, char* out) {
  *out++ = r.digits[0];
  if (r.count > 1) {
    *out++ = '.';
    out = std::copy(r.digits + 1, r.digits + r.count, out);
  }
  *out++ = 'E';
  *out++ = r.exponent < 0 ? '-' : '+';
  const int magnitude = std::abs(r.exponent);
  if (magnitude < 10) *out++ = '0';
  return std::to_chars(out, out + 4, magnitude).ptr;
}

char* FixedForm(const Rounded& r, char* out) {
  if (r.exponent < 0) {
    *out++ = '0';
    *out++ = '.';
    out = std::fill_n(out, -r.exponent - 1, '0');
    return std::copy(r.digits, r.digits + r.count, out);
  }
  const int whole = r.exponent + 1;
  if (r.count <= whole) return std::fill_n(std::copy(r.digits, r.digits + r.count, out), whole - r.count, '0');
  out = std::copy(r.digits, r.digits + whole, out);
  *out++ = '.';
  return std::copy(r.digits + whole, r.digits + r.count, out);
}

// The numeric prefix read so far, kept as plain ASCII for std::from_chars.
struct Prefix {
  std::string mantissa;  // sign, digits and at most one "."
  bool hasDigits = false;
  bool nonZero = false;
  long long exponent = 0;
  int leadingExponent = 0;  // decimal exponent of the first non-zero digit, before the exponent part
};

double DecimalValue(const Prefix& p) {
  if (!p.hasDigits || !p.nonZero) return 0.0;
  const std::string text = p.mantissa + "e" + std::to_string(p.exponent);
  double value = 0.0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
  if (res.ec == std::errc::result_out_of_range) {
    // from_chars reports underflow and overflow alike; only overflow is an error.
    if (p.leadingExponent + p.exponent > 0) throw RunTimeError(ErrorKind::FloatingPoint);
    return p.mantissa[0] == '-' ? -0.0 : 0.0;
  }
  return value;
}

// Reads "&H" or "&O" digits as an unsigned integer, rounded once to the
// nearest double: the leading 64 bits exactly, the rest as a sticky bit and a
// power of two.
double RadixValue(TextView text, std::size_t i, int bitsPerDigit) {
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
  // The sticky bit sits far below a double's 53 bits, so it only breaks ties.
  const double value = std::ldexp(static_cast<double>(leading | (sticky ? 1u : 0u)),
                                  static_cast<int>(std::min<long long>(extraDigits * bitsPerDigit, 100000)));
  if (!std::isfinite(value)) throw RunTimeError(ErrorKind::FloatingPoint);
  return value;
}

std::size_t SkipBlanks(TextView text, std::size_t i) {
  while (i < text.size() && IsBlank(text[i])) ++i;
  return i;
}

// Reads "E", an optional sign and digits from position i, if digits follow;
// returns the position after them, or i when there is no exponent.
std::size_t ReadExponent(TextView text, std::size_t i, Prefix& p) {
  if (i >= text.size() || (text[i] != u'E' && text[i] != u'e')) return i;
  std::size_t j = SkipBlanks(text, i + 1);
  bool negative = false;
  if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) {
    negative = text[j] == u'-';
    j = SkipBlanks(text, j + 1);
  }
  if (j >= text.size() || !IsDigit(text[j])) return i;
  long long exponent = 0;
  for (; j < text.size(); ++j) {
    if (IsBlank(text[j])) continue;
    if (!IsDigit(text[j])) break;
    if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[j] - u'0');  // far beyond any double
  }
  p.exponent = negative ? -exponent : exponent;
  return j;
}

}  // namespace

Text NumberToText(double value) {
  if (!std::isfinite(value)) throw RunTimeError(ErrorKind::FloatingPoint);
  if (value == 0.0) return u"0";  // also negative zero
  char text[32];
  // A whole number of at most 15 digits is its own text: the rounding to 15
  // digits keeps it, and it takes no exponent.
  if (std::fabs(value) < 1e15 && std::trunc(value) == value)
    return Text(text, std::to_chars(text, text + sizeof text, static_cast<long long>(value)).ptr);
  const Rounded r = RoundedDigits(value);
  char* end = text;
  if (value < 0) *end++ = '-';
  const bool exponentForm = r.exponent >= kSignificantDigits || r.exponent < -4;
  end = exponentForm ? ExponentForm(r, end) : FixedForm(r, end);
  return Text(text, end);
}

double TextToNumber(TextView text) {
  std::size_t i = SkipBlanks(text, 0);
  if (i < text.size() && text[i] == u'&') {
    const std::size_t j = SkipBlanks(text, i + 1);
    if (j < text.size() && (text[j] == u'H' || text[j] == u'h')) return RadixValue(text, j + 1, 4);
    if (j < text.size() && (text[j] == u'O' || text[j] == u'o')) return RadixValue(text, j + 1, 3);
    return 0.0;
  }
  Prefix p;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    if (text[i] == u'-') p.mantissa = "-";
    ++i;
  }
  bool seenDot = false;
  int intDigits = 0;  // significant digits before the "." (after leading zeros)
  int leadingFractionZeros = 0;
  std::uint64_t whole = 0;  // the value while it is a whole number of at most 15 digits
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsBlank(c)) continue;
    if (c == u'.' && !seenDot) {
      seenDot = true;
      p.mantissa += '.';
      continue;
    }
    if (!IsDigit(c)) break;
    p.mantissa += static_cast<char>(c);
    p.hasDigits = true;
    if (c != u'0') p.nonZero = true;
    if (!seenDot && p.nonZero) ++intDigits;
    if (seenDot && !p.nonZero) ++leadingFractionZeros;
    if (!seenDot && intDigits <= kSignificantDigits) whole = whole * 10 + static_cast<std::uint64_t>(c - u'0');
  }
  if (p.hasDigits) ReadExponent(text, i, p);
  // Whole numbers below 10^15 are doubles exactly; only the others need the parser.
  const bool plainWhole = !seenDot || p.mantissa.back() == '.';
  if (plainWhole && p.exponent == 0 && intDigits <= kSignificantDigits) {
    if (!p.nonZero) return 0.0;
    const double value = static_cast<double>(whole);
    return p.mantissa[0] == '-' ? -value : value;
  }
  p.leadingExponent = intDigits > 0 ? intDigits : -leadingFractionZeros;
  return DecimalValue(p);
}

Int16 ToCount(double value) {
  // The default rounding mode rounds halves to the even neighbour.
  const double rounded = std::nearbyint(value);
  if (!(rounded >= kInt16Min && rounded <= kInt16Max)) throw RunTimeError(ErrorKind::IntegerOverflow);
  return static_cast<Int16>(rounded);
}

}  // namespace orvane
