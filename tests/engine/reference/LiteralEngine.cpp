// SPDX-License-Identifier: MIT
#include "LiteralEngine.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "flat/FlatRewrite.h"
#include "rewrite/TextOps.h"
#include "orvane/Counting.h"
#include "orvane/NumberText.h"
#include "orvane/StringStuff.h"

namespace Literal {

using namespace orvane;
using namespace orvane::detail;
using StringStuff::CountChar;

namespace {

// text[a..b], inclusive and 1-based: empty when b = a - 1, refused below that.
Text Slice(TextView text, Int16 a, Int16 b) { return Mid(text, a, Add16(Sub16(b, a), 1)); }

double Checked(double value) {
  if (!std::isfinite(value)) throw RunTimeError(ErrorKind::FloatingPoint);
  return value;
}

struct CannotEvaluate {};

// While NotRead runs, the rest of every number that EvalFlat reads.
std::vector<Text>* passedOver = nullptr;

void PassOver(Text rest) {
  while (!rest.empty() && IsBlank(rest.back())) rest.pop_back();
  if (passedOver && !rest.empty()) passedOver->push_back(rest);
}

double ReadNumber(TextView piece) {
  const auto [value, end] = ReadNumberPrefix(piece);
  PassOver(Text(piece.substr(end)));
  return value;
}

// A term's argument; its term's own "(" or ")" (mark) is not passed over.
Int16 ReadCount(TextView piece, TextView mark = u"") {
  const auto [value, end] = ReadNumberPrefix(piece);
  Text rest(piece.substr(end));
  if (!rest.empty() && rest.ends_with(mark)) rest.resize(rest.size() - mark.size());
  PassOver(rest);
  return CountOf(piece);
}

Text Field(TextView text, Int16 index) { return GetField(text, index, u","); }

// Each pass expands its leftmost term and rebuilds the whole working text.
void ExpandTwoArgument(Text& w, char16_t letter) {
  const Int16 l = Find(w, TextView(&letter, 1), 1);
  const Int16 r = Find(w, u")", Add16(l, 1));
  if (r == 0) throw CannotEvaluate{};
  const Int16 k = ReadCount(Field(Slice(w, Add16(l, 2), r), 1), u")");
  const Text source = Slice(w, Add16(l, letter == u'A' ? 2 : 1), Sub16(r, 1));
  const Int16 n = CountChar(source, u",") > 0 ? ReadCount(Field(source, 2)) : CountOf(Field(source, 2));
  if (CountChar(source, u",") >= 2) PassOver(source.substr(source.find(u',', source.find(u',') + 1)));
  double value = 0;
  if (letter == u'C') value = Counting::Combinations(k, n);
  if (letter == u'A') value = Counting::Arrangements(k, n);
  if (letter == u'W') value = Counting::ArrangementsRep(k, n);
  w = ReplaceAll(w, Slice(w, l, r), NumberToText(value));
}

void ExpandTotal(Text& w) {
  const Int16 l = Find(w, u"T", 1);
  const Int16 r = Find(w, u")", Add16(l, 1));
  if (r == 0) throw CannotEvaluate{};
  const double value = Counting::TotalCombinations(ReadCount(Slice(w, Add16(l, 2), r), u")"));
  w = ReplaceAll(w, Slice(w, l, r), NumberToText(value));
}

void ExpandFactorial(Text& w) {
  const Int16 b = Find(w, u"!", 1);
  Int16 s = b;
  while (s > 1 && IsDigit(w[static_cast<std::size_t>(s - 2)])) --s;
  if (s == b) throw CannotEvaluate{};
  long n = 0;
  for (Int16 i = s; i < b; ++i) n = ToInt16(n * 10 + (w[static_cast<std::size_t>(i - 1)] - u'0'));
  const Text term = Slice(w, s, b);
  const Text value = NumberToText(Counting::Factorial(static_cast<Int16>(n)));
  Text out;
  std::size_t from = 0;
  for (auto pos = w.find(term); pos != Text::npos; pos = w.find(term, pos + term.size())) {
    if (pos > 0 && IsDigit(w[pos - 1])) continue;
    out.append(w, from, pos - from).append(value);
    from = pos + term.size();
  }
  w = out.append(w, from);
}

void ExpandMultiset(Text& w) {
  const Int16 l = Find(w, u"P", 1);
  const Int16 o = Find(w, u"(", Add16(l, 1));
  if (o == 0) throw CannotEvaluate{};
  const Int16 r = Find(w, u")", Add16(o, 1));
  if (r == 0) throw CannotEvaluate{};
  const Int16 n = ReadCount(Slice(w, Add16(l, 1), o), u"(");
  const double value = PermutationsRep(n, Slice(w, Add16(o, 1), Sub16(r, 1)));
  w = ReplaceAll(w, Slice(w, l, r), NumberToText(value));
}

}  // namespace

Text GetField(TextView text, Int16 index, TextView delimiter) {
  const auto l = static_cast<Int16>(delimiter.size());
  Text w(text);
  if (text.substr(0, delimiter.size()) != delimiter) w = Text(delimiter) + w;
  if (text.size() < delimiter.size() || text.substr(text.size() - delimiter.size()) != delimiter) w += delimiter;
  ToInt16(index + 1);  // the loop counter's last step
  Int16 start = 1;
  Int16 end = 0;
  if (index >= 0) {
    for (Int16 i = 1; i <= index; ++i) start = Add16(Find(w, delimiter, start), l);
    end = Find(w, delimiter, start);
    if (end == 0) {
      end = start;
      start = Add16(l, 1);
    }
  }
  return Mid(w, start, Sub16(end, start));
}

Text GetGroup(TextView text, Int16 n, TextView replacement) {
  const Int16 length = ToInt16(static_cast<long long>(text.size()));
  ToInt16(length + 1LL);  // the position counter's last step
  Int16 count = 0;
  bool open = false;
  int depth = 0;  // 8 bits
  Int16 start = 0;
  Text inner;
  for (Int16 i = 1; i <= length; ++i) {
    const char16_t c = text[static_cast<std::size_t>(i - 1)];
    if (c == u'(') {
      count = Add16(count, 1);
      if (open) {
        if (++depth > 255) throw RunTimeError(ErrorKind::IntegerOverflow);
      } else if (count == n) {
        open = true;
        depth = 1;
        start = Add16(i, 1);
      }
    } else if (c == u')' && open && --depth == 0) {
      inner = Mid(text, start, Sub16(i, start));
      open = false;
    }
  }
  if (replacement.empty()) return inner;
  return ReplaceAll(text, u"(" + inner + u")", replacement);
}

// Stands for an exponent's "+" while the text is split at "+": one character
// like the sign itself, and one that no text read from UTF-8 holds.
constexpr char16_t kExponentPlus = 0xDFFF;

Text EvalFlat(TextView text) {
  CountChar(text, u"+");  // a text of 32767 characters or more overflows
  std::vector<std::size_t> exponentPluses;
  Text s = StringStuff::SplitForm(text, &exponentPluses);
  for (const std::size_t at : exponentPluses) s[at] = kExponentPlus;
  double sum = 0;
  const Int16 t = Add16(CountChar(s, u"+"), 1);
  for (long i = 1; i <= t; ++i) {
    Text term = GetField(s, ToInt16(i), u"+");
    for (char16_t& c : term)
      if (c == kExponentPlus) c = u'+';
    double product = 1;
    const Int16 f = Add16(CountChar(term, u"*"), 1);
    for (long j = 1; j <= f; ++j) {
      Text factor = GetField(term, ToInt16(j), u"*");
      if (Contains(factor, u'/')) {
        double q = ReadNumber(GetField(factor, 1, u"/"));
        const Int16 d = Add16(CountChar(factor, u"/"), 1);
        for (long k = 2; k <= d; ++k) {
          const double divisor = ReadNumber(GetField(factor, ToInt16(k), u"/"));
          if (divisor == 0) throw RunTimeError(ErrorKind::DivisionByZero);
          q = Checked(q / divisor);
        }
        product = Checked(TextToNumber(NumberToText(q)) * product);
      } else {
        product = Checked(ReadNumber(factor) * product);
      }
    }
    sum = Checked(product + sum);
  }
  return NumberToText(sum);
}

Text EvalParens(TextView text) {
  if (!Contains(text, u'(')) return EvalFlat(text);
  Text r(text);
  const Int16 c = CountChar(r, u"(");
  for (long pass = 1; pass <= c; ++pass) {
    Text g = GetGroup(r, 1, u"");
    if (Contains(g, u'(')) g = EvalParens(g);
    const Text m = GetGroup(r, 1, u"\\\\");
    const Text v = EvalFlat(g);
    r = ReplaceAll(m, u"\\\\", v);
  }
  return r;
}

double PermutationsRep(Int16 n, TextView list) {
  const Int16 fields = Add16(CountChar(list, u","), 1);
  double product = 1;
  for (long i = 1; i <= fields; ++i)
    product = Checked(product * Counting::Factorial(ReadCount(GetField(list, ToInt16(i), u","))));
  return Checked(Counting::Factorial(n) / product);
}

std::optional<Text> Calculate(TextView expression, TextView answerBox) {
  Text w(expression);
  for (char16_t& c : w)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  w = ReplaceAll(w, u"ANS", answerBox);
  if (Contains(w, u'\\')) return std::nullopt;  // refused: the placeholder would meet it
  try {
    for (const char16_t letter : {u'C', u'A', u'W'})
      while (Contains(w, letter)) ExpandTwoArgument(w, letter);
    while (Contains(w, u'T')) ExpandTotal(w);
    while (Contains(w, u'!')) ExpandFactorial(w);
    while (Contains(w, u'P')) ExpandMultiset(w);
    return EvalFlat(EvalParens(w));
  } catch (const CannotEvaluate&) {
    return std::nullopt;
  } catch (const RunTimeError&) {
    return std::nullopt;
  }
}

NotReadReport NotRead(TextView expression, TextView answerBox) {
  std::vector<Text> pieces;
  passedOver = &pieces;
  const bool answered = Calculate(expression, answerBox).has_value();
  passedOver = nullptr;
  if (!answered) return {};
  std::sort(pieces.begin(), pieces.end(), [](const Text& a, const Text& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  pieces.erase(std::unique(pieces.begin(), pieces.end()), pieces.end());
  const std::size_t named = std::min<std::size_t>(pieces.size(), 5);
  Text upper(expression);
  for (char16_t& c : upper)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  std::vector<std::pair<std::size_t, Text>> found;
  for (std::size_t i = 0; i < named; ++i) {
    const std::size_t at = upper.find(pieces[i]);
    found.emplace_back(at, at == Text::npos ? pieces[i] : Text(expression.substr(at, pieces[i].size())));
  }
  std::sort(found.begin(), found.end());
  NotReadReport report{{}, pieces.size() - named};
  for (const auto& f : found) report.named.push_back(f.second);
  return report;
}

}  // namespace Literal
