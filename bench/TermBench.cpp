// SPDX-License-Identifier: MIT
// Speed of the term passes on the shapes where terms depend on each other,
// at 4096 characters and at the longest text the expression box holds.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "Best.h"
#include "KeepFreedMemory.h"
#include "PeakMemory.h"
#include "orvane/Calculate.h"

namespace {

using orvane::Text;

// An answer as long as the window can show, which every ANS stands for.
constexpr char16_t kLongAnswer[] = u"-1.11111111111111E-111";

Text Ascii(const std::string& s) { return Text(s.begin(), s.end()); }

// Pads with blanks, which every reader skips, to exactly size characters.
Text Sized(std::string s, std::size_t size) {
  s.resize(size, ' ');
  return Ascii(s);
}

// Distinct pieces joined by sep while they fit, leaving room for a tail.
template <typename Piece>
std::string Joined(std::size_t size, const std::string& sep, Piece piece) {
  std::string out;
  for (int i = 0;; ++i) {
    std::string next = (i ? sep : "") + piece(i);
    if (out.size() + next.size() > size) return out;
    out += next;
  }
}

// "0!!!!...": every "!" joins the value before it, one step per "!".
Text BangChain(std::size_t size) { return Ascii("0" + std::string(size - 1, '!')); }

// Distinct factorials (leading zeros make them distinct), then one chain.
Text FactorialsThenChain(std::size_t size) {
  return Sized(Joined(size - 5, "+", [](int i) { return std::string(i % 40, '0') + std::to_string(i % 9) + "!"; }) +
                   "+0!!!",
               size);
}

// Long factorial terms among many zeros: each copy search sees every zero.
Text LongFactorialTerms(std::size_t size) {
  return Sized(Joined(size - 5, "+", [](int i) { return std::string(200 + i, '0') + "1!"; }) + "+0!!!", size);
}

// "3!0!0!...": a value followed by digits becomes the next term's digits.
Text DigitAfterBang(std::size_t size) {
  return Sized(Joined(size, "+", [](int i) { return std::to_string(i % 3 + 1) + "!0!"; }), size);
}

// Distinct C, A, W and T terms, then two letters before one ")".
Text TermsThenTwoLetters(std::size_t size) {
  return Sized(Joined(size - 10, "+",
                      [](int i) {
                        const std::string k = std::to_string(i % 5 + 1), n = std::to_string(i % 997 + 6);
                        switch (i % 4) {
                          case 0: return "C(" + k + "," + n + ")";
                          case 1: return "A(" + k + "," + n + ")";
                          case 2: return "W(" + k + "," + std::to_string(i % 50 + 1) + ")";
                          default: return "T(" + std::to_string(i % 997) + ")";
                        }
                      }) +
                   "+CC(2,3)",
               size);
}

// Runs of one letter, each one longer, each closed by its own ")".
Text LetterRuns(std::size_t size) {
  return Sized(Joined(size, "+", [](int i) { return std::string(i + 1, 'C') + "(1," + std::to_string(i % 9) + ")"; }),
               size);
}

// A long C term, then a run of C: near-copies of it everywhere.
Text LongTermNearCopies(std::size_t size) {
  const std::size_t term = size / 4;
  return Ascii(std::string(term - 1, 'C') + ")" + std::string(size - term, 'C'));
}

// Stretches that gain the value of a copy and then match the next term.
Text MergingStretches(std::size_t size) {
  return Sized("C(1)" + Joined(size - 4, "", [](int i) { return "C" + std::to_string(i) + "C(1)Y)"; }), size);
}

// A long run of letters whose stretch is a copy of every term: the terms
// "C1Zi)" each end with the value and ")"-stretch the run has just gained.
Text RegroupingRun(std::size_t size) {
  const std::size_t steps = size / 24;
  std::string fronts = "C(1)+C0Z1)", tails;
  for (std::size_t i = 2; i <= steps; ++i) fronts += "+C1Z" + std::to_string(i) + ")";
  for (std::size_t i = 1; i <= steps; ++i) tails += "Z" + std::to_string(i) + ")";
  const std::size_t run = size - fronts.size() - tails.size() - 5;
  return Ascii(fronts + "+" + std::string(run, 'C') + "C(1)" + tails);
}

// P terms whose "(" lies beyond their first ")".
Text PBeforeClose(std::size_t size) {
  return Sized(Joined(size, "+", [](int i) { return "P)(" + std::string(i / 160, '0') + std::to_string(i % 160) + ")"; }),
               size);
}

// Lists that all read as 0, one for each i: its bits as zeros and blanks.
std::string ZeroList(int i) {
  std::string s = "0";
  for (int bit = 15; bit >= 0; --bit)
    if (i >> bit) s += (i >> bit) & 1 ? '0' : ' ';
  return s;
}

// Distinct P terms whose texts hold a second P.
Text TermsHoldingP(std::size_t size) {
  return Sized(Joined(size, "+", [](int i) { return "PP(" + ZeroList(i) + ")"; }), size);
}

// Every P's "(" lies beyond its ")", and its term ends in the next P's text:
// each term swallows the next P.
Text ChainedOpenBeyondClose(std::size_t size) {
  return Sized(Joined(size - 1, "", [](int i) { return "P)(" + ZeroList(i); }) + ")", size);
}

// Each term twice, each holding a P that its copy swallows.
Text CopiesSwallowP(std::size_t size) {
  const int half = static_cast<int>(size / 18);
  return Sized(Joined(size, "+", [half](int i) { return "P)(P" + ZeroList(i % half) + ")"; }), size);
}

// Terms whose copies sit between a "(" that stays and a ")": each copy makes
// that ")" a closer and sends the P before it to the next block.
Text KeptOpens(std::size_t size) {
  const int blocks = static_cast<int>(size / 16);
  std::string fronts, rest;
  for (int i = 0; i < blocks; ++i) fronts += "P)(" + ZeroList(i) + ")+";
  for (int i = 0; i < blocks; ++i) rest += "(PP)(" + ZeroList(i) + "))";
  return Sized(fronts + rest, size);
}

// Runs of P, each one longer, each before its own list.
Text PRuns(std::size_t size) {
  return Sized(Joined(size, "+", [](int i) { return std::string(static_cast<std::size_t>(i + 1), 'P') + "(" + ZeroList(i) + ")"; }),
               size);
}

// A run of P's sharing one ")", peeled one P at a time: each front is the
// term that the run's last P has at that step (every value is 1).
Text PeelingRun(std::size_t size) {
  std::string fronts, lists;
  for (int i = 0;; ++i) {
    const std::string list = "(" + ZeroList(i) + ")";
    const std::string front = (i ? "P1" : "P") + list + "+";
    if (fronts.size() + front.size() + lists.size() + list.size() + static_cast<std::size_t>(i) + 1 > size)
      return Sized(fronts + std::string(static_cast<std::size_t>(i), 'P') + lists, size);
    fronts += front;
    lists += list;
  }
}

// "P))P(" over and over: each copy takes the ")" that ended the term before
// it, so thousands of groups of P's split, move and empty in one step.
Text CopiesTakeCloses(std::size_t size) {
  std::string s;
  while (s.size() < size) s += "P))P(";
  s.resize(size - 2);
  return Ascii(s + "1)");
}

// One run of P's before one list: a single term that holds every mark.
Text OneTermOfPs(std::size_t size) { return Ascii(std::string(size - 5, 'P') + "(1,1)"); }

// A run of P's, then a run of "(" before one ")".
Text PsThenOpens(std::size_t size) {
  const std::size_t ps = (size + 1) / 2;
  return Ascii(std::string(ps, 'P') + std::string(size - ps - 2, '(') + "1)");
}

// Factorial chain followed by ANS: the working text outgrows the limit.
Text ChainThenAns(std::size_t size) {
  std::string s = "0" + std::string(size / 4, '!');
  while (s.size() + 3 <= size) s += "ANS";
  return Sized(s, size);
}

// One term of every pass, then ANS up to the end: every pass sees the whole
// working text of some 240,000 characters.
Text EveryPassThenAns(std::size_t size) {
  std::string s = "C(1)+A(1)+W(1)+T(1)+1!+P(1)";
  while (s.size() + 3 <= size) s += "ANS";
  return Sized(s, size);
}

// Every ANS a long answer whose exponent digits make factorial terms.
Text AnsFactorials(std::size_t size) { return Sized(Joined(size, "+", [](int) { return std::string("ANS!"); }), size); }

struct Shape {
  const char* name;
  Text (*make)(std::size_t);
  bool longAnswer;
};

void Calculate(benchmark::State& state, const Text& expression, const Text& box) {
  for (auto _ : state) benchmark::DoNotOptimize(orvane::Calculate(expression, box));
  const std::size_t base = bench::StartPeak();
  state.SetLabel(orvane::Calculate(expression, box).answer ? "answer" : "no answer");
  state.counters["peak_KB"] = static_cast<double>(bench::PeakSince(base)) / 1024;
}

}  // namespace

int main(int argc, char** argv) {
  // Times as the window and orvane-eval see them; ORVANE_BENCH_TRIM=1 shows
  // what a host pays that lets glibc hand freed memory back.
  if (!std::getenv("ORVANE_BENCH_TRIM")) orvane::KeepFreedMemory();
  const Shape shapes[] = {
      {"BangChain", BangChain, false},
      {"FactorialsThenChain", FactorialsThenChain, false},
      {"LongFactorialTerms", LongFactorialTerms, false},
      {"DigitAfterBang", DigitAfterBang, false},
      {"TermsThenTwoLetters", TermsThenTwoLetters, false},
      {"LetterRuns", LetterRuns, false},
      {"LongTermNearCopies", LongTermNearCopies, false},
      {"MergingStretches", MergingStretches, false},
      {"RegroupingRun", RegroupingRun, false},
      {"PBeforeClose", PBeforeClose, false},
      {"TermsHoldingP", TermsHoldingP, false},
      {"ChainedOpenBeyondClose", ChainedOpenBeyondClose, false},
      {"CopiesSwallowP", CopiesSwallowP, false},
      {"KeptOpens", KeptOpens, false},
      {"PRuns", PRuns, false},
      {"PeelingRun", PeelingRun, false},
      {"CopiesTakeCloses", CopiesTakeCloses, false},
      {"OneTermOfPs", OneTermOfPs, false},
      {"PsThenOpens", PsThenOpens, false},
      {"ChainThenAns", ChainThenAns, true},
      {"AnsFactorials", AnsFactorials, true},
      {"EveryPassThenAns", EveryPassThenAns, true},
  };
  for (const Shape& shape : shapes) {
    for (const std::size_t size : {4096, 32766}) {
      const Text text = shape.make(size);
      const Text box = shape.longAnswer ? Text(kLongAnswer) : Text(u"0");
      bench::WithBest(benchmark::RegisterBenchmark(("Terms/" + std::string(shape.name) + "/" + std::to_string(size)).c_str(),
                                                   [text, box](benchmark::State& s) { Calculate(s, text, box); }))
          ->Unit(benchmark::kMillisecond);
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
