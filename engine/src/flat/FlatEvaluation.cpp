// SPDX-License-Identifier: MIT
// Flat evaluation: the text rewritten once into its split form, then its
// terms and factors taken with field cursors, which give exactly what taking
// every field by its index from the start would.
#include "flat/FlatEvaluation.h"

#include <vector>

#include "flat/FieldCursor.h"
#include "flat/FlatRewrite.h"
#include "NotRead.h"
#include "orvane/NumberText.h"
#include "rewrite/TextOps.h"

namespace orvane::StringStuff {

using namespace orvane::detail;

namespace {

bool IsSign(char16_t c) { return c == u'+' || c == u'-'; }

bool IsHexDigit(char16_t c) {
  return detail::IsDigit(c) || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}
bool IsOctalDigit(char16_t c) { return c >= u'0' && c <= u'7'; }

// Whether the "E" at index e ends the digits of an "&H" or "&O" number
// (blanks aside): there it is a hexadecimal digit, or ends the octal number,
// and never an exponent letter.
bool EndsRadixNumber(TextView t, std::size_t e) {
  for (const bool hex : {true, false}) {
    std::size_t k = e;  // walks back over that base's digits and blanks
    while (k > 0 && (IsBlank(t[k - 1]) || (hex ? IsHexDigit(t[k - 1]) : IsOctalDigit(t[k - 1])))) --k;
    if (k == 0) continue;
    const char16_t letter = t[k - 1];
    if (hex ? letter != u'H' && letter != u'h' : letter != u'O' && letter != u'o') continue;
    k -= 1;
    while (k > 0 && IsBlank(t[k - 1])) --k;
    if (k > 0 && t[k - 1] == u'&') return true;
  }
  return false;
}

// A "+" or "-" between an exponent letter (itself behind a digit or ".") and
// a digit belongs to the number, as in "1E+20" or "2.5e-05"; not so behind
// the digits of "&H" or "&O", as in "&H1E+5".
bool IsExponentSign(TextView t, std::size_t i) {
  return i >= 2 && i + 1 < t.size() && IsSign(t[i]) && (t[i - 1] == u'E' || t[i - 1] == u'e') &&
         (detail::IsDigit(t[i - 2]) || t[i - 2] == u'.') && detail::IsDigit(t[i + 1]) && !EndsRadixNumber(t, i - 1);
}

double Divide(double q, double divisor) {
  if (divisor == 0.0) throw RunTimeError(ErrorKind::DivisionByZero);
  return Checked(q / divisor);
}

// A factor that reads "x/y/z": x divided by each of the others, carried on
// as its 15-digit text.
Text EvalQuotient(TextView factor) {
  FieldCursor parts(factor, u"/");
  double q = NotReadLog::Read(parts.Next());
  const Int16 d = Add16(Occurrences(factor, u'/'), 1);
  for (long k = 2; k <= d; ++k) q = Divide(q, NotReadLog::Read(parts.Next()));
  return NumberToText(q);
}

double FactorValue(TextView factor) {
  return Contains(factor, u'/') ? TextToNumber(EvalQuotient(factor)) : NotReadLog::Read(factor);
}

// A term without "*" is its one factor: the search that would end it at the
// term's end could only overflow where the search for the term did first.
double EvalTerm(TextView term) {
  if (!Contains(term, u'*')) return FactorValue(term);
  double product = 1;
  FieldCursor factors(term, u"*");
  const Int16 f = Add16(Occurrences(term, u'*'), 1);
  for (long j = 1; j <= f; ++j) {
    product = Checked(FactorValue(factors.Next()) * product);
  }
  return product;
}

}  // namespace

// Rewrites the text so that only "+" and "*" separate terms and factors:
// a subtraction becomes the addition of a negative number and a division the
// multiplication by a reciprocal. A run of signs acts as one sign; a sign at
// the start or behind "*" or "/" is the sign of the next number, and an
// exponent's sign stays inside its number, and its index is noted when it is
// a "+", which then splits nothing.
Text SplitForm(TextView text, std::vector<std::size_t>* exponentPluses) {
  Text s;
  s.reserve(text.size() + text.size() / 2);
  bool afterFactorOperator = true;  // at the start, or behind "*" or "/" (blanks aside)
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsExponentSign(text, i)) {
      if (c == u'+' && exponentPluses) exponentPluses->push_back(s.size());
      s += c;
      afterFactorOperator = false;
      continue;
    }
    if (IsSign(c)) {
      bool negative = false;
      std::size_t j = i;
      for (std::size_t k = i; k < text.size() && (IsSign(text[k]) || IsBlank(text[k])); ++k) {
        if (IsSign(text[k])) {
          negative ^= text[k] == u'-';
          j = k;
        }
      }
      if (afterFactorOperator) {
        if (negative) s += u'-';
      } else {
        s += negative ? TextView(u"+-") : TextView(u"+");
      }
      i = j;
      afterFactorOperator = false;
      continue;
    }
    if (c == u'/') {
      s += u"*1/";
    } else {
      s += c;
    }
    if (!IsBlank(c)) afterFactorOperator = c == u'*' || c == u'/';
  }
  if (!s.empty() && s[0] == u'+') {
    s.insert(0, u"0");
    if (exponentPluses)
      for (std::size_t& at : *exponentPluses) ++at;
  }
  return s;
}

namespace flat {

Text Evaluate(TextView text) {
  CheckLength(text);  // whatever the rewriting makes of it
  // Without an operator the text is one term of one factor: its number
  // (unless the delimiters that the fields add could pass the 16-bit limit).
  if (text.size() + 2 < static_cast<std::size_t>(kInt16Max) && text.find_first_of(u"+-*/") == TextView::npos)
    return NumberToText(Checked(Checked(NotReadLog::Read(text) * 1.0) + 0.0));
  std::vector<std::size_t> exponentPluses;
  const Text s = SplitForm(text, &exponentPluses);
  double sum = 0;
  const Int16 t = Add16(Sub16(Occurrences(s, u'+'), static_cast<Int16>(exponentPluses.size())), 1);
  FieldCursor terms(s, u"+", exponentPluses);
  for (long i = 1; i <= t; ++i) sum = Checked(EvalTerm(terms.Next()) + sum);
  return NumberToText(sum);
}

}  // namespace flat

}  // namespace orvane::StringStuff
