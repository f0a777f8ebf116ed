// SPDX-License-Identifier: MIT
// Reading a term's arguments and computing its value text, and expanding the
// one term of a kind that occurs once.
#include "terms/TermValue.h"

#include "NotRead.h"
#include "rewrite/TextOps.h"
#include "orvane/Counting.h"
#include "orvane/NumberText.h"
#include "orvane/StringStuff.h"

namespace orvane::detail {

namespace {

std::string Quoted(TextView term) {
  constexpr std::size_t kShown = 40;
  if (term.size() <= kShown) return "\"" + ToUtf8(term) + "\"";
  return "\"" + ToUtf8(term.substr(0, kShown)) + "\u2026\"";
}

std::string LowerFirst(std::string s) {
  if (!s.empty() && s[0] >= 'A' && s[0] <= 'Z') s[0] = static_cast<char>(s[0] - 'A' + 'a');
  return s;
}

[[noreturn]] void CannotEvaluate(TextView what, const std::string& why) {
  throw TermFailure{"Cannot evaluate " + Quoted(what) + ": " + why};
}

// Runs one step of a term's expansion; a run-time error makes the term fail.
template <typename Step>
auto Evaluating(TextView what, Step step) {
  try {
    return step();
  } catch (const RunTimeError& e) {
    CannotEvaluate(what, LowerFirst(Describe(e.kind())));
  }
}

Int16 At(Kind kind, long long position) {
  return Evaluating(TextView(&kind, 1), [&] { return ToInt16(position); });
}

void Next(Kind kind, Int16 position) {
  Evaluating(TextView(&kind, 1), [&] { return Add16(position, 1); });
}

// The part of a term from working-text position a through b.
TextView Part(const Term& t, Int16 a, Int16 b) {
  const Int16 from = Add16(Sub16(a, t.first), 1);
  return MidView(t.text, from, Add16(Sub16(Add16(Sub16(b, t.first), 1), from), 1));
}

Text Field(TextView text, Int16 index) { return StringStuff::GetField(text, index, u","); }

double FactorialValue(const Term& t) {
  long n = 0;
  for (std::size_t i = 0; i + 1 < t.text.size(); ++i) n = ToInt16(n * 10 + (t.text[i] - u'0'));
  return Counting::Factorial(static_cast<Int16>(n));
}

// n, the second argument of its source. Without a "," there is none, and
// the text that the field reader makes up for it is not the user's to be
// told; after a second "," comes what no reader reads, as ",7" of "C(2,5,7)".
Int16 SecondArgument(TextView source) {
  const Text second = Field(source, 2);
  const std::size_t comma = source.find(u',');
  if (comma == TextView::npos) return CountOf(second);
  const std::size_t next = source.find(u',', comma + 1);
  if (next != TextView::npos) NotReadLog::NoteUnread(source.substr(next));
  return NotReadLog::ReadCount(second);
}

double Value(Kind kind, const Term& t) {
  const Int16 l = t.first;
  const Int16 r = t.last;
  switch (kind) {
    case u'T': return Counting::TotalCombinations(NotReadLog::ReadCount(Part(t, Add16(l, 2), r), u")"));
    case u'!': return FactorialValue(t);
    case u'P': return Counting::PermutationsRep(NotReadLog::ReadCount(Part(t, Add16(l, 1), t.open), u"("),
                                                 Part(t, Add16(t.open, 1), Sub16(r, 1)));
    default: break;
  }
  // C, A and W: k from the text after the "(", n from a source that
  // differs by letter: A's starts at its first argument, C's and W's at the "(".
  const Int16 k = NotReadLog::ReadCount(Field(Part(t, Add16(l, 2), r), 1), u")");
  const Int16 n = SecondArgument(Part(t, Add16(l, kind == u'A' ? 2 : 1), Sub16(r, 1)));
  if (kind == u'C') return Counting::Combinations(k, n);
  if (kind == u'A') return Counting::Arrangements(k, n);
  return Counting::ArrangementsRep(k, n);
}

}  // namespace

Term LetterTerm(Kind kind, TextView text, long long first, long long last) {
  Term t;
  t.first = At(kind, first);
  Next(kind, t.first);
  if (last == 0) CannotEvaluate(TextView(&kind, 1), "no \")\" after it");
  t.last = At(kind, last);
  t.text = Text(text);
  return t;
}

Term MultisetTerm(TextView text, long long first, long long open, long long last) {
  constexpr Kind kind = u'P';
  Term t;
  t.first = At(kind, first);
  Next(kind, t.first);
  if (open == 0) CannotEvaluate(u"P", "no \"(\" after it");
  t.open = At(kind, open);
  Next(kind, t.open);
  if (last == 0) CannotEvaluate(u"P", "no \")\" after its \"(\"");
  t.last = At(kind, last);
  t.text = Text(text);
  return t;
}

Term FactorialTerm(TextView text, long long bang) {
  Term t;
  t.last = At(u'!', bang);
  if (text.size() < 2) CannotEvaluate(u"!", "no digit before it");
  t.first = static_cast<Int16>(t.last - static_cast<long long>(text.size() - 1));
  t.text = Text(text);
  return t;
}

Text ValueText(Kind kind, const Term& t) {
  return NumberToText(Evaluating(t.text, [&] { return Value(kind, t); }));
}

namespace {

// The term that the character at index at starts (or, for "!", ends), read
// as the passes read it, or a failure.
Term LoneTerm(Kind kind, TextView w, std::size_t at) {
  const auto position = [](std::size_t i) { return static_cast<long long>(i) + 1; };  // 1-based, as the terms count
  if (kind == u'!') {
    std::size_t digits = at;
    while (digits > 0 && IsDigit(w[digits - 1])) --digits;
    return FactorialTerm(w.substr(digits, at + 1 - digits), position(at));  // fails without a digit
  }
  const std::size_t open = kind == u'P' ? w.find(u'(', at + 1) : at;
  if (open == TextView::npos) MultisetTerm(u"", position(at), 0, 0);
  const std::size_t close = w.find(u')', open + 1);
  const TextView text = close == TextView::npos ? TextView() : w.substr(at, close + 1 - at);
  const long long last = close == TextView::npos ? 0 : position(close);
  if (kind == u'P') return MultisetTerm(text, position(at), position(open), last);
  return LetterTerm(kind, text, position(at), last);
}

}  // namespace

Text ExpandLoneTerm(Kind kind, TextView w, std::size_t at) {
  const Term term = LoneTerm(kind, w, at);
  Text out(w.substr(0, static_cast<std::size_t>(term.first - 1)));
  out += ValueText(kind, term);
  out += w.substr(static_cast<std::size_t>(term.last));
  return out;
}

TextView ValueCache::operator()(const Term& t) {
  if (t.last > kInt16Max - 2) return nearLimit_.emplace_front(ValueText(kind_, t));
  const auto known = values_.find(t.text);
  if (known != values_.end()) return known->second;
  return values_.emplace(t.text, ValueText(kind_, t)).first->second;
}

}  // namespace orvane::detail
