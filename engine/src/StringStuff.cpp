#include "orvane/StringStuff.h"

#include <cmath>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "FieldCursor.h"
#include "FlatRewrite.h"
#include "TextOps.h"
#include "orvane/NumberText.h"

namespace StringStuff {

using namespace orvane;
using orvane::detail::Contains;
using orvane::detail::Find;
using orvane::detail::Mid;
using orvane::detail::ReplaceAll;

namespace {

// Marks a group's place while its value is computed; the expression box
// never keeps a backslash, so it cannot clash with the user's text.
constexpr TextView kPlaceholder = u"\\\\";

// Texts of 32767 characters or more overflow the 16-bit position counter.
void CheckLength(TextView text) {
  if (text.size() >= static_cast<std::size_t>(kInt16Max)) throw RunTimeError(ErrorKind::IntegerOverflow);
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }
bool IsSign(char16_t c) { return c == u'+' || c == u'-'; }

// A "+" or "-" between an exponent letter (itself behind a digit or ".") and
// a digit belongs to the number, as in "1E+20" or "2.5e-05".
bool IsExponentSign(TextView t, std::size_t i) {
  return i >= 2 && i + 1 < t.size() && IsSign(t[i]) && (t[i - 1] == u'E' || t[i - 1] == u'e') &&
         (detail::IsDigit(t[i - 2]) || t[i - 2] == u'.') && detail::IsDigit(t[i + 1]);
}

// Floating-point status checks after each operation.
double Checked(double value) {
  if (!std::isfinite(value)) throw RunTimeError(ErrorKind::FloatingPoint);
  return value;
}

double Divide(double q, double divisor) {
  if (divisor == 0.0) throw RunTimeError(ErrorKind::DivisionByZero);
  return Checked(q / divisor);
}

// A factor that reads "x/y/z": x divided by each of the others, carried on
// as its 15-digit text.
Text EvalQuotient(TextView factor) {
  FieldCursor parts(factor, u"/");
  double q = TextToNumber(parts.Next());
  const Int16 d = Add16(CountChar(factor, u"/"), 1);
  for (long k = 2; k <= d; ++k) q = Divide(q, TextToNumber(parts.Next()));
  return NumberToText(q);
}

double EvalTerm(TextView term) {
  double product = 1;
  FieldCursor factors(term, u"*");
  const Int16 f = Add16(CountChar(term, u"*"), 1);
  for (long j = 1; j <= f; ++j) {
    Text factor = factors.Next();
    if (Contains(factor, u'/')) factor = EvalQuotient(factor);
    product = Checked(TextToNumber(factor) * product);
  }
  return product;
}

}  // namespace

// Rewrites the text so that only "+" and "*" separate terms and factors:
// a subtraction becomes the addition of a negative number and a division the
// multiplication by a reciprocal. A run of signs acts as one sign; a sign at
// the start or behind "*" or "/" is the sign of the next number, and an
// exponent's sign stays inside its number.
Text SplitForm(TextView text) {
  Text s;
  s.reserve(text.size() + text.size() / 2);
  bool afterFactorOperator = true;  // at the start, or behind "*" or "/" (blanks aside)
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsExponentSign(text, i)) {
      if (c == u'-') s += u'-';  // "1E20" reads as "1E+20"; a "+" would split the number
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
  if (!s.empty() && s[0] == u'+') s.insert(0, u"0");
  return s;
}

Text GetField(TextView text, Int16 index, TextView delimiter) {
  if (delimiter.empty()) return {};
  if (index == kInt16Max) throw RunTimeError(ErrorKind::IntegerOverflow);  // index + 1 is formed first
  FieldCursor cursor(text, delimiter);
  if (index < 0) return cursor.Negative();
  for (Int16 i = 0; i < index; ++i) cursor.Advance();
  return cursor.Field();
}

Text RemoveChar(TextView text, TextView ch) {
  CheckLength(text);
  if (ch.empty()) return Text(text);
  Text out;
  out.reserve(text.size());
  for (const char16_t c : text)
    if (c != ch[0]) out += c;
  return out;
}

Int16 CountChar(TextView text, TextView ch) {
  CheckLength(text);
  if (ch.empty()) return 0;
  Int16 count = 0;
  for (const char16_t c : text)
    if (c == ch[0]) count = Add16(count, 1);
  return count;
}

Text EvalFlat(TextView text) {
  const Text s = SplitForm(text);
  double sum = 0;
  const Int16 t = Add16(CountChar(s, u"+"), 1);
  FieldCursor terms(s, u"+");
  for (long i = 1; i <= t; ++i) sum = Checked(EvalTerm(terms.Next()) + sum);
  return NumberToText(sum);
}

Text GetGroup(TextView text, Int16 n, TextView replacement) {
  CheckLength(text);
  Int16 count = 0;
  std::uint8_t depth = 0;
  bool open = false;
  long start = 0;
  Text inner;
  for (long i = 1; i <= static_cast<long>(text.size()); ++i) {
    const char16_t c = text[static_cast<std::size_t>(i - 1)];
    if (c == u'(') {
      count = Add16(count, 1);
      if (open) {
        if (depth == UINT8_MAX) throw RunTimeError(ErrorKind::IntegerOverflow);  // 8-bit depth counter
        ++depth;
      } else if (count == n) {
        open = true;
        depth = 1;
        start = i + 1;
      }
    } else if (c == u')' && open && --depth == 0) {
      inner = Mid(text, start, i - start);
      break;  // no other group opens after the n-th has closed
    }
  }
  if (replacement.empty()) return inner;
  return ReplaceAll(text, u"(" + inner + u")", replacement);
}

namespace {

// The group-by-group rewriting as stated: each pass replaces the first group,
// and every copy of it, through the placeholder.
Text RewriteGroups(TextView text) {
  Text r(text);
  const Int16 c = CountChar(r, u"(");
  for (Int16 pass = 1; pass <= c; ++pass) {
    Text g = GetGroup(r, 1, u"");
    if (Contains(g, u'(')) g = EvalParens(g);
    const Text m = GetGroup(r, 1, kPlaceholder);
    const Text v = EvalFlat(g);
    Text next = ReplaceAll(m, kPlaceholder, v);
    // A pass depends on the text alone: once it changes nothing (a "(" that
    // never closes is first), the passes left change nothing either.
    if (next == r) break;
    r = std::move(next);
  }
  return r;
}

// The same result in one walk with a stack of open groups, each group replaced
// by its value as it closes. Copies of a group have the same value wherever
// they stand, so replacing them one by one gives what replacing them together
// does. Returns nothing where the walk cannot vouch for that: a backslash that
// the placeholder would meet, a ")" after a "(" that never closes, an error
// (whose kind and moment the rewriting decides), or intermediate texts that
// could pass the 16-bit length limit.
std::optional<Text> WalkGroups(TextView text) {
  if (Contains(text, u'\\') || text.size() >= static_cast<std::size_t>(kInt16Max)) return std::nullopt;
  std::vector<Text> open(1);  // open.back() collects the innermost open group
  std::size_t unclosed = 0;   // the outermost open "("
  long long growth = 0;       // what values longer than their groups may add
  try {
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char16_t c = text[i];
      if (c == u'(') {
        if (open.size() > UINT8_MAX) return std::nullopt;  // the 8-bit depth counter
        if (open.size() == 1) unclosed = i;
        open.emplace_back();
      } else if (c == u')' && open.size() > 1) {
        const Text inner = std::move(open.back());
        open.pop_back();
        const Text value = EvalFlat(inner);
        growth += std::max(0LL, static_cast<long long>(value.size()) - static_cast<long long>(inner.size()) - 2);
        open.back() += value;
      } else {
        open.back() += c;
      }
    }
  } catch (const RunTimeError&) {
    return std::nullopt;
  }
  if (static_cast<long long>(text.size()) + growth >= kInt16Max) return std::nullopt;
  if (open.size() == 1) return std::move(open.front());
  // A "(" that never closes stays, with all after it, as long as nothing after it closes.
  if (text.find(u')', unclosed) != TextView::npos) return std::nullopt;
  return open.front() + Text(text.substr(unclosed));
}

}  // namespace

Text EvalParens(TextView text) {
  if (!Contains(text, u'(')) return EvalFlat(text);
  if (auto walked = WalkGroups(text)) return *std::move(walked);
  return RewriteGroups(text);
}

}  // namespace StringStuff
