// SPDX-License-Identifier: MIT
#include "orvane/StringStuff.h"

#include <cmath>
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <unordered_set>
#include <vector>

#include "FieldCursor.h"
#include "FlatRewrite.h"
#include "GroupPasses.h"
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
    const TextView factor = factors.Next();
    const double value = Contains(factor, u'/') ? TextToNumber(EvalQuotient(factor)) : TextToNumber(factor);
    product = Checked(value * product);
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

Text GetField(TextView text, Int16 index, TextView delimiter) {
  if (delimiter.empty()) return {};
  if (index == kInt16Max) throw RunTimeError(ErrorKind::IntegerOverflow);  // index + 1 is formed first
  FieldCursor cursor(text, delimiter);
  if (index < 0) return cursor.Negative();
  for (Int16 i = 0; i < index; ++i) cursor.Advance();
  return Text(cursor.Field());
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
  CheckLength(text);  // whatever the rewriting makes of it
  // Without an operator the text is one term of one factor: its number
  // (unless the delimiters that the fields add could pass the 16-bit limit).
  if (text.size() + 2 < static_cast<std::size_t>(kInt16Max) && text.find_first_of(u"+-*/") == TextView::npos)
    return NumberToText(Checked(Checked(TextToNumber(text) * 1.0) + 0.0));
  std::vector<std::size_t> exponentPluses;
  const Text s = SplitForm(text, &exponentPluses);
  double sum = 0;
  const Int16 t = Add16(Sub16(CountChar(s, u"+"), static_cast<Int16>(exponentPluses.size())), 1);
  FieldCursor terms(s, u"+", exponentPluses);
  for (long i = 1; i <= t; ++i) sum = Checked(EvalTerm(terms.Next()) + sum);
  return NumberToText(sum);
}

namespace {

// Index of the ")" that closes the "(" at open, counting depth in 8 bits as
// the group scan does; nothing when it never closes.
std::optional<std::size_t> MatchingParen(TextView text, std::size_t open) {
  std::uint8_t depth = 1;
  for (std::size_t i = open + 1; i < text.size(); ++i) {
    if (text[i] == u'(') {
      if (depth == UINT8_MAX) throw RunTimeError(ErrorKind::IntegerOverflow);
      ++depth;
    } else if (text[i] == u')' && --depth == 0) {
      return i;
    }
  }
  return std::nullopt;
}

// Whether the rewriting would raise the error that the walk met at index at:
// it evaluates the groups in the same order, provided the outermost open
// group closes within the 8-bit depth (so that it is evaluated at all), and
// no text on the way can pass the 16-bit limit, even with every later group
// grown to the longest number text.
bool RewritingFailsAlike(TextView text, std::size_t outermost, std::size_t at, long long growth) {
  try {
    if (!MatchingParen(text, outermost)) return false;
  } catch (const RunTimeError&) {
    return false;
  }
  const auto later = std::count(text.begin() + static_cast<std::ptrdiff_t>(at), text.end(), u'(');
  return static_cast<long long>(text.size()) + growth + later * static_cast<long long>(kLongestNumberText - 2) <
         kInt16Max;
}

// The same result in one walk with a stack of open groups, each group replaced
// by its value as it closes. Copies of a group have the same value wherever
// they stand, so replacing them one by one gives what replacing them together
// does. A first "(" that never closes ends the passes: what follows it keeps
// its groups, apart from copies of groups replaced before it (which the walk
// rules out by their values) and "()", which becomes "0".
// Returns nothing where the walk cannot vouch for the result, and the group
// passes take over: a backslash that the placeholder would meet, an error that
// the passes might meet otherwise or not at all, a group after the unclosed
// "(" with the value of a group before it, or intermediate texts that could
// pass the 16-bit length limit.
std::optional<Text> WalkGroups(TextView text) {
  // A lone backslash only meets a placeholder when a group follows it.
  if (text.find(u"\\\\") != TextView::npos || text.find(u"\\(") != TextView::npos ||
      text.size() >= static_cast<std::size_t>(kInt16Max))
    return std::nullopt;
  std::vector<Text> open(1);  // open.back() collects the innermost open group
  std::size_t outermost = 0;  // the "(" of the outermost open group
  std::vector<Text> replaced;  // values of the groups replaced so far
  std::vector<Text> inside;  // values of the groups closed inside the outermost open one
  long long growth = 0;      // what values longer than their groups may add
  std::size_t i = 0;
  try {
    for (; i < text.size(); ++i) {
      const char16_t c = text[i];
      if (c == u'(') {
        if (open.size() > UINT8_MAX) return std::nullopt;  // the 8-bit depth counter
        if (open.size() == 1) outermost = i;
        open.emplace_back();
      } else if (c == u')' && open.size() > 1) {
        const Text inner = std::move(open.back());
        open.pop_back();
        Text value = EvalFlat(inner);
        growth += std::max(0LL, static_cast<long long>(value.size()) - static_cast<long long>(inner.size()) - 2);
        // Growth only adds up, so the walk can stop as soon as it is too much.
        if (static_cast<long long>(text.size()) + growth >= kInt16Max) return std::nullopt;
        open.back() += value;
        if (open.size() == 1) {
          replaced.push_back(std::move(value));
          inside.clear();
        } else {
          inside.push_back(std::move(value));
        }
      } else {
        open.back() += c;
      }
    }
  } catch (const RunTimeError&) {
    if (RewritingFailsAlike(text, outermost, i, growth)) throw;
    return std::nullopt;
  }
  if (open.size() == 1) return std::move(open.front());
  // Only a "(" that never closes asks for the values replaced before it.
  const std::unordered_set<Text> before(std::make_move_iterator(replaced.begin()), std::make_move_iterator(replaced.end()));
  for (const Text& value : inside)
    if (before.count(value)) return std::nullopt;
  return open.front() + ReplaceAll(text.substr(outermost), u"()", u"0");
}

// The first pass over a text with pairs of backslashes turns every pair into
// the first group's value: the first group and every copy of it become the
// placeholder, then every placeholder and every pair the value. The first
// group's inside is evaluated as a text of its own, and when it holds groups
// and pairs too, its own first pass does the same one level down. Those
// levels are taken here one after the other, over the one text, so that a
// deep chain of them costs its length once rather than once per level.
class FirstPasses {
 public:
  explicit FirstPasses(TextView text)
      : text_(text), match_(text.size(), kNone), opens_(text.size() + 1), pairs_(text.size() + 1) {
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < text.size(); ++i) {
      opens_[i + 1] = opens_[i] + (text[i] == u'(');
      pairs_[i + 1] = pairs_[i] + (text[i] == u'\\' && i + 1 < text.size() && text[i + 1] == u'\\');
      if (text[i] == u'(') {
        open.push_back(i);
      } else if (text[i] == u')' && !open.empty()) {
        match_[open.back()] = i;
        open.pop_back();
      }
    }
  }

  // The whole evaluation: the first pass, then the passes left, as a walk
  // when walkFirst allows it.
  Text Run(bool walkFirst) {
    CountChar(text_, u"(");
    CheckLength(text_);
    const std::size_t first = text_.find(u'(');
    if (first == TextView::npos) return Text(text_);
    // Only the whole text can nest too deep or leave its first "(" open: an
    // inside is a balanced text, shallower than the group around it.
    std::vector<Level> levels{{0, text_.size(), first, MatchingParen(text_, first)}};
    while (levels.back().close) {
      const Level& outer = levels.back();
      const std::size_t from = outer.open + 1, to = *outer.close;
      if (opens_[to] == opens_[from] || pairs_[to - 1] == pairs_[from]) break;
      const std::size_t open = text_.find(u'(', from);
      levels.push_back({from, to, open, match_[open]});
    }
    const Level& deepest = levels.back();
    const TextView inner =
        deepest.close ? text_.substr(deepest.open + 1, *deepest.close - deepest.open - 1) : TextView();
    Text g = Contains(inner, u'(') ? EvalParens(inner) : Text(inner);
    for (std::size_t k = levels.size(); k-- > 0;) {
      const Level& level = levels[k];
      bool more = false;
      Text r = Rewritten(level, g, more);
      const auto took = static_cast<long>(opens_[level.end] - opens_[level.start]) -
                        std::count(r.begin(), r.end(), u'(');
      // The passes after the first one; an inside is balanced.
      if (!more) {
        g = std::move(r);
      } else if (auto walked = (k > 0 || walkFirst) ? WalkGroups(r) : std::nullopt) {
        g = *std::move(walked);
      } else {
        g = RunGroupPasses(r);
      }
      // A first pass that took two "(" or more leaves a pass over, which
      // checks the length (those the passes after it leave, they check).
      if (took > 1) CheckLength(g);
    }
    return g;
  }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  // A text [start, end) of the original, its first "(" and the ")" that closes it.
  struct Level {
    std::size_t start, end, open;
    std::optional<std::size_t> close;
  };

  // One level's first pass, its first group's inside evaluated to g.
  Text Rewritten(const Level& level, TextView g, bool& more) const {
    // The group (or, when it never closes, "()") and its copies after it:
    // groups never overlap, so a copy is a "(" whose ")" stands as far on.
    const std::size_t length = level.close ? *level.close - level.open + 1 : 2;
    const TextView group = level.close ? text_.substr(level.open, length) : TextView(u"()");
    Text m = level.close ? Text(kPlaceholder) : Text();
    for (std::size_t i = level.close ? *level.close + 1 : level.open; i < level.end;) {
      if (text_[i] == u'(' && match_[i] == i + length - 1 && text_.substr(i, length) == group) {
        m += kPlaceholder;
        i += length;
      } else {
        m += text_[i++];
      }
    }
    const Text v = EvalFlat(g);
    Text r = ReplaceAll(Text(text_.substr(level.start, level.open - level.start)) + m, kPlaceholder, v);
    more = level.close && Contains(r, u'(');
    return r;
  }

  TextView text_;
  std::vector<std::size_t> match_;  // per "(": the ")" that closes it, or kNone
  std::vector<std::size_t> opens_;  // "(" before each position
  std::vector<std::size_t> pairs_;  // pairs of backslashes starting before each position
};

}  // namespace

Text GetGroup(TextView text, Int16 n, TextView replacement) {
  CheckLength(text);
  // The group opens at the n-th "(" itself, counting every "(" at any depth.
  Int16 count = 0;
  std::size_t open = 0;
  while (count < n && (open = text.find(u'(', count ? open + 1 : 0)) != TextView::npos) count = Add16(count, 1);
  Text inner;
  if (count == n && n > 0) {
    if (const auto close = MatchingParen(text, open)) inner = Text(text.substr(open + 1, *close - open - 1));
  }
  if (replacement.empty()) return inner;
  return ReplaceAll(text, u"(" + inner + u")", replacement);
}

namespace {

// Whether a "(" never closes or more than 255 groups are open at once, which
// the walk leaves to the passes: then the passes go first.
bool UnclosedOrDeep(TextView text) {
  long depth = 0;
  for (const char16_t c : text) {
    if (c == u'(' && ++depth > UINT8_MAX) return true;
    if (c == u')' && depth > 0) --depth;
  }
  return depth > 0;
}

}  // namespace

Text EvalParens(TextView text) {
  if (!Contains(text, u'(')) return EvalFlat(text);
  const bool walkFirst = !UnclosedOrDeep(text);
  if (walkFirst)
    if (auto walked = WalkGroups(text)) return *std::move(walked);
  // Lone backslashes the group passes take as they meet them.
  if (text.find(u"\\\\") == TextView::npos) return RunGroupPasses(text);
  // The first pass turns every pair of backslashes into the first group's
  // value; the passes after it see the text that it leaves, as a text of its
  // own whose backslashes stand alone, and which the walk may well take.
  return FirstPasses(text).Run(walkFirst);
}

}  // namespace StringStuff
