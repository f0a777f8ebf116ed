#include "orvane/Calculate.h"

#include <string>

#include "TextOps.h"
#include "orvane/Counting.h"
#include "orvane/NumberText.h"
#include "orvane/StringStuff.h"

namespace orvane {

using detail::Find;
using detail::IsDigit;
using detail::ReplaceAll;
using detail::Slice;

namespace {

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

Text Field(TextView text, Int16 index) { return StringStuff::GetField(text, index, u","); }

// The letter L, up to and including the first ")" after it.
struct Term {
  Int16 letter;
  Int16 close;
};

Term FindTerm(TextView work, char16_t letter) {
  const TextView name(&letter, 1);
  const Int16 l = Evaluating(name, [&] { return Find(work, name, 1); });
  const Int16 r = Evaluating(name, [&] { return Find(work, u")", Add16(l, 1)); });
  if (r == 0) CannotEvaluate(name, "no \")\" after it");
  return {l, r};
}

// C, A and W: two arguments, k from the text after the "(" and n from a
// source that differs by letter.
void ExpandTwoArgumentTerm(Text& work, char16_t letter) {
  const Term t = FindTerm(work, letter);
  const Text term = Slice(work, t.letter, t.close);
  const double value = Evaluating(term, [&] {
    const Int16 k = CountOf(Field(Slice(work, Add16(t.letter, 2), t.close), 1));
    const Int16 sourceStart = Add16(t.letter, letter == u'A' ? 2 : 1);
    const Int16 n = CountOf(Field(Slice(work, sourceStart, Sub16(t.close, 1)), 2));
    if (letter == u'C') return Counting::Combinations(k, n);
    if (letter == u'A') return Counting::Arrangements(k, n);
    return Counting::ArrangementsRep(k, n);
  });
  work = ReplaceAll(work, term, NumberToText(value));
}

void ExpandTotal(Text& work) {
  const Term t = FindTerm(work, u'T');
  const Text term = Slice(work, t.letter, t.close);
  const double value = Evaluating(term, [&] {
    return Counting::TotalCombinations(CountOf(Slice(work, Add16(t.letter, 2), t.close)));
  });
  work = ReplaceAll(work, term, NumberToText(value));
}

// Replaces the occurrences of term that are not the tail of a longer digit run.
Text ReplaceFactorial(TextView work, TextView term, TextView value) {
  Text out;
  std::size_t from = 0;
  for (auto pos = work.find(term); pos != TextView::npos; pos = work.find(term, pos + term.size())) {
    if (pos > 0 && IsDigit(work[pos - 1])) continue;
    out.append(work.substr(from, pos - from)).append(value);
    from = pos + term.size();
  }
  out.append(work.substr(from));
  return out;
}

void ExpandFactorial(Text& work) {
  const Int16 b = Evaluating(u"!", [&] { return Find(work, u"!", 1); });
  Int16 s = b;
  while (s > 1 && IsDigit(work[static_cast<std::size_t>(s - 2)])) --s;
  if (s == b) CannotEvaluate(u"!", "no digit before it");
  const Text term = Slice(work, s, b);
  const double value = Evaluating(term, [&] {
    long n = 0;
    for (Int16 i = s; i < b; ++i) n = ToInt16(n * 10 + (work[static_cast<std::size_t>(i - 1)] - u'0'));
    return Counting::Factorial(static_cast<Int16>(n));
  });
  work = ReplaceFactorial(work, term, NumberToText(value));
}

void ExpandMultiset(Text& work) {
  const Int16 l = Evaluating(u"P", [&] { return Find(work, u"P", 1); });
  const Int16 o = Evaluating(u"P", [&] { return Find(work, u"(", Add16(l, 1)); });
  if (o == 0) CannotEvaluate(u"P", "no \"(\" after it");
  const Int16 r = Evaluating(u"P", [&] { return Find(work, u")", Add16(o, 1)); });
  if (r == 0) CannotEvaluate(Slice(work, l, o), "no \")\" after its \"(\"");
  const Text term = Slice(work, l, r);
  const double value = Evaluating(term, [&] {
    const Int16 n = CountOf(Slice(work, Add16(l, 1), o));
    return Counting::PermutationsRep(n, Slice(work, Add16(o, 1), Sub16(r, 1)));
  });
  work = ReplaceAll(work, term, NumberToText(value));
}

// One pass: expands the leftmost term of its kind until none is left. Every
// expansion removes the character it found, so each pass ends.
template <typename Expand>
void RunPass(Text& work, char16_t c, Expand expand) {
  while (detail::Contains(work, c)) expand(work);
}

Text ExpandTerms(Text work) {
  RunPass(work, u'C', [](Text& w) { ExpandTwoArgumentTerm(w, u'C'); });
  RunPass(work, u'A', [](Text& w) { ExpandTwoArgumentTerm(w, u'A'); });
  RunPass(work, u'W', [](Text& w) { ExpandTwoArgumentTerm(w, u'W'); });
  RunPass(work, u'T', ExpandTotal);
  RunPass(work, u'!', ExpandFactorial);
  RunPass(work, u'P', ExpandMultiset);
  return work;
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
