// SPDX-License-Identifier: MIT
#include "orvane/Calculate.h"

#include <string>
#include <unordered_map>

#include "TextOps.h"
#include "orvane/Counting.h"
#include "orvane/NumberText.h"
#include "orvane/StringStuff.h"

namespace orvane {

using detail::IsDigit;
using detail::ReplaceAll;
using detail::Slice;

namespace {

constexpr auto npos = TextView::npos;

// A counting term that cannot be evaluated; the whole command then writes nothing.
struct TermFailure {
  std::string reason;
};

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

Text UpperCase(TextView text) {
  Text out(text);
  for (char16_t& c : out)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return out;
}

// Each pass expands the terms of one kind, named by the character that starts
// ("C", "A", "W", "T", "P") or ends ("!") them.
using Kind = char16_t;

// Where a term stands in the text searched: 0-based indexes of its first
// character, of the "(" of a P term, and of its last character.
struct Span {
  std::size_t begin = npos;
  std::size_t open = npos;
  std::size_t end = npos;
};

// The leftmost term at or after from; end stays npos when the term has no end.
Span Locate(Kind kind, TextView w, std::size_t from) {
  Span s;
  if (kind == u'!') {
    s.end = w.find(u'!', from);
    s.begin = s.end;
    while (s.begin > from && IsDigit(w[s.begin - 1])) --s.begin;
    return s;
  }
  s.begin = w.find(kind, from);
  std::size_t after = s.begin;
  if (kind == u'P') {
    s.open = w.find(u'(', s.begin + 1);
    if (s.open == npos) return s;
    after = s.open;
  }
  s.end = w.find(u')', after + 1);
  return s;
}

// A term's text with the 1-based positions of its letter (or first digit),
// its "(" (P only) and its last character in the working text.
struct Term {
  Text text;
  Int16 first = 0;
  Int16 open = 0;
  Int16 last = 0;
};

// Checks the positions of a located term as the working text counts them
// (index + shift + 1), in the order the expansion forms them, and names what
// is missing.
Term Position(Kind kind, TextView w, const Span& s, long long shift) {
  const TextView mark(&kind, 1);
  const auto at = [&](std::size_t index) {
    return Evaluating(mark, [&] { return ToInt16(static_cast<long long>(index) + shift + 1); });
  };
  Term t;
  if (kind == u'!') {
    t.last = at(s.end);
    if (s.begin == s.end) CannotEvaluate(mark, "no digit before it");
    t.first = static_cast<Int16>(t.last - (s.end - s.begin));
  } else {
    t.first = at(s.begin);
    Evaluating(mark, [&] { return Add16(t.first, 1); });
    if (kind == u'P') {
      if (s.open == npos) CannotEvaluate(mark, "no \"(\" after it");
      t.open = at(s.open);
      Evaluating(mark, [&] { return Add16(t.open, 1); });
    }
    if (s.end == npos) CannotEvaluate(mark, kind == u'P' ? "no \")\" after its \"(\"" : "no \")\" after it");
    t.last = at(s.end);
  }
  t.text = Text(w.substr(s.begin, s.end - s.begin + 1));
  return t;
}

// The part of a term from working-text position a through b.
Text Part(const Term& t, Int16 a, Int16 b) {
  return Slice(t.text, Add16(Sub16(a, t.first), 1), Add16(Sub16(b, t.first), 1));
}

Text Field(TextView text, Int16 index) { return StringStuff::GetField(text, index, u","); }

double FactorialValue(const Term& t) {
  long n = 0;
  for (std::size_t i = 0; i + 1 < t.text.size(); ++i) n = ToInt16(n * 10 + (t.text[i] - u'0'));
  return Counting::Factorial(static_cast<Int16>(n));
}

double Value(Kind kind, const Term& t) {
  const Int16 l = t.first;
  const Int16 r = t.last;
  switch (kind) {
    case u'T': return Counting::TotalCombinations(CountOf(Part(t, Add16(l, 2), r)));
    case u'!': return FactorialValue(t);
    case u'P': return Counting::PermutationsRep(CountOf(Part(t, Add16(l, 1), t.open)),
                                                 Part(t, Add16(t.open, 1), Sub16(r, 1)));
    default: break;
  }
  // C, A and W: k from the text after the "(", n from a source that
  // differs by letter: A's starts at its first argument, C's and W's at the "(".
  const Int16 k = CountOf(Field(Part(t, Add16(l, 2), r), 1));
  const Int16 n = CountOf(Field(Part(t, Add16(l, kind == u'A' ? 2 : 1), Sub16(r, 1)), 2));
  if (kind == u'C') return Counting::Combinations(k, n);
  if (kind == u'A') return Counting::Arrangements(k, n);
  return Counting::ArrangementsRep(k, n);
}

Text ValueText(Kind kind, const Term& t) {
  return NumberToText(Evaluating(t.text, [&] { return Value(kind, t); }));
}

// Replaces the occurrences of a factorial term that are not the tail of a
// longer digit run (the "5!" at the end of "15!").
Text ReplaceFactorial(TextView w, TextView term, TextView value) {
  Text out;
  std::size_t from = 0;
  for (auto pos = w.find(term); pos != npos; pos = w.find(term, pos + term.size())) {
    if (pos > 0 && IsDigit(w[pos - 1])) continue;
    out.append(w.substr(from, pos - from)).append(value);
    from = pos + term.size();
  }
  out.append(w.substr(from));
  return out;
}

// One step of a pass as stated: expand the leftmost term and rewrite every
// copy of it in the whole text. It removes the character it found.
void ExpandLeftmost(Kind kind, Text& w) {
  const Term t = Position(kind, w, Locate(kind, w, 0), 0);
  const Text value = ValueText(kind, t);
  w = kind == u'!' ? ReplaceFactorial(w, t.text, value) : ReplaceAll(w, t.text, value);
}

// True when no term can change another: every stretch of text up to a ")"
// holds at most one term of its kind, a P term's "(" stands in its own
// stretch, and no "!" is directly followed by a digit or another "!" (which
// would join the next factorial's digits to this one's value).
bool TermsAreIndependent(Kind kind, TextView w) {
  if (kind == u'!') {
    for (std::size_t i = w.find(u'!'); i != npos && i + 1 < w.size(); i = w.find(u'!', i + 1))
      if (IsDigit(w[i + 1]) || w[i + 1] == u'!') return false;
    return true;
  }
  bool marked = false;  // a term's letter stands in the current stretch
  bool opened = false;  // and, for P, its "(" too
  for (const char16_t c : w) {
    if (c == kind) {
      if (marked) return false;
      marked = true;
      opened = false;
    } else if (c == u'(') {
      opened = true;
    } else if (c == u')') {
      if (marked && kind == u'P' && !opened) return false;
      marked = false;
    }
  }
  return true;
}

// The same pass in one walk over the text, for independent terms: each term
// is the one the rewriting pass would find next, and a term seen before takes
// the value of its first copy, which the rewriting pass put there already.
Text WalkingPass(Kind kind, TextView w) {
  Text out;
  out.reserve(w.size());
  std::unordered_map<Text, Text> values;
  std::size_t from = 0;
  while (w.find(kind, from) != npos) {
    const Span s = Locate(kind, w, from);
    out.append(w.substr(from, s.begin - from));
    const auto known = s.end == npos ? values.end() : values.find(Text(w.substr(s.begin, s.end - s.begin + 1)));
    if (known != values.end()) {
      out += known->second;
    } else {
      const Term t = Position(kind, w, s, static_cast<long long>(out.size()) - static_cast<long long>(s.begin));
      out += values.emplace(t.text, ValueText(kind, t)).first->second;
    }
    from = s.end + 1;
  }
  out.append(w.substr(from));
  return out;
}

// Each pass runs until no character of its kind is left: term by term while
// terms depend on each other, then in one walk.
Text ExpandTerms(Text w) {
  for (const Kind kind : {u'C', u'A', u'W', u'T', u'!', u'P'}) {
    while (!TermsAreIndependent(kind, w)) ExpandLeftmost(kind, w);
    w = WalkingPass(kind, w);
  }
  return w;
}

}  // namespace

CalcOutcome Calculate(TextView expression, TextView answerBox) {
  try {
    const Text work = ExpandTerms(ReplaceAll(UpperCase(expression), u"ANS", answerBox));
    return {StringStuff::EvalFlat(StringStuff::EvalParens(work)), {}};
  } catch (const TermFailure& failure) {
    return {std::nullopt, failure.reason};
  } catch (const RunTimeError& error) {
    return {std::nullopt, Describe(error.kind())};
  }
}

}  // namespace orvane
