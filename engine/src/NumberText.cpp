// SPDX-License-Identifier: MIT
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

Text Ascii(const std::string& s) { return Text(s.begin(), s.end()); }

// Decimal digits (without trailing zeros) and exponent of value, rounded to
// 15 significant digits; value must be finite and non-zero.
void RoundedDigits(double value, std::string& digits, int& exponent) {
  char buf[32];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific,
                                 kSignificantDigits - 1);
  const std::string sci(buf, res.ptr);  // d.dddddddddddddde+XX
  const auto e = sci.find('e');
  digits = sci.substr(0, 1) + sci.substr(2, e - 2);
  exponent = std::stoi(sci.substr(e + 1));
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
}

std::string ExponentForm(const std::string& digits, int exponent) {
  std::string out = digits.substr(0, 1);
  if (digits.size() > 1) out += "." + digits.substr(1);
  std::string exp = std::to_string(std::abs(exponent));
  if (exp.size() < 2) exp.insert(0, "0");
  return out + (exponent < 0 ? "E-" : "E+") + exp;
}

std::string FixedForm(const std::string& digits, int exponent) {
  if (exponent < 0) return "0." + std::string(-exponent - 1, '0') + digits;
  const auto intDigits = static_cast<std::size_t>(exponent) + 1;
  if (digits.size() <= intDigits) return digits + std::string(intDigits - digits.size(), '0');
  return digits.substr(0, intDigits) + "." + digits.substr(intDigits);
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
  std::string digits;
  int exponent = 0;
  RoundedDigits(value, digits, exponent);
  const bool exponentForm = exponent >= kSignificantDigits || exponent < -4;
  const std::string body = exponentForm ? ExponentForm(digits, exponent) : FixedForm(digits, exponent);
  return Ascii(value < 0 ? "-" + body : body);
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
  }
  if (p.hasDigits) ReadExponent(text, i, p);
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
