// SPDX-License-Identifier: MIT
#pragma once

// Inputs of a chosen length for the benchmarks: each shape repeats a pattern
// of distinct pieces until the text has the wanted number of characters.

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>

#include "orvane/Text.h"

namespace bench {

using orvane::Text;

inline Text Ascii(const std::string& s) { return Text(s.begin(), s.end()); }

// Joins piece(0), piece(1), ... with sep while the result stays within size,
// then pads with blanks (which every reader skips) to exactly size characters.
inline Text Joined(std::size_t size, const std::string& sep, const std::function<std::string(int)>& piece) {
  std::string out;
  for (int i = 0;; ++i) {
    const std::string next = (i ? sep : "") + piece(i);
    if (out.size() + next.size() > size) break;
    out += next;
  }
  out.resize(size, ' ');
  return Ascii(out);
}

inline Text FlatSum(std::size_t size) {
  return Joined(size, "+", [](int i) { return std::to_string(i + 1); });
}

inline Text MixedOperators(std::size_t size) {
  static const char* const ops[] = {"+", "-", "*", "/"};
  return Joined(size, "", [](int i) {
    return std::string(i ? ops[i % 4] : "") + std::to_string(i % 97 + 1) + "." + std::to_string(i % 7 + 1);
  });
}

inline Text DistinctGroups(std::size_t size) {
  return Joined(size, "+", [](int i) { return "(" + std::to_string(i + 1) + ")"; });
}

// 255 levels of nesting, each level holding its own sibling groups; the
// siblings per level grow with the wanted size.
inline Text DeepNesting(std::size_t size) {
  constexpr int kLevels = 255;
  const std::size_t perLevel = size / kLevels > 12 ? (size / kLevels - 6) / 8 : 1;
  std::string inner = "(1)";
  for (int level = kLevels - 1; level >= 1; --level) {
    std::string siblings;
    for (std::size_t s = 0; s < perLevel; ++s) siblings += "+(" + std::to_string(level * 100 + s % 100) + ")";
    std::string next = "(" + inner + siblings + ")";
    if (next.size() > size) break;
    inner = next;
  }
  inner.resize(size, ' ');
  return Ascii(inner);
}

inline Text CountingTerms(std::size_t size) {
  return Joined(size, "+", [](int i) {
    const std::string k = std::to_string(i % 5 + 1);
    const std::string n = std::to_string(i % 200 + 6);
    switch (i % 4) {
      case 0: return "C(" + k + "," + n + ")";
      case 1: return "A(" + k + "," + n + ")";
      case 2: return "W(" + k + "," + std::to_string(i % 50 + 1) + ")";
      default: return "T(" + std::to_string(i % 300) + ")";
    }
  });
}

inline Text Factorials(std::size_t size) {
  return Joined(size, "+", [](int i) { return std::to_string(i % 170 + 1) + "!"; });
}

inline Text LongMultiset(std::size_t size) {
  std::string list;
  for (int i = 0; list.size() + 8 < size; ++i) list += (i ? "," : "") + std::to_string(i % 2);
  std::string out = "P170(" + list + ")";
  out.resize(size, ' ');
  return Ascii(out);
}

inline Text Malformed(std::size_t size) {
  static const char* const junk[] = {"((1+2)*3))", "+x--4**2", "(+(", "7/-+3", "q)z(", "9..5e+", ")2("};
  return Joined(size, "", [](int i) { return std::string(junk[i % 7]); });
}

// Many groups, then a "(" that never closes, with a group after it.
inline Text UnclosedAfterGroups(std::size_t size) { return DistinctGroups(size - 7) + u"+((0.5)"; }

// The costliest shape known: as above, but the group after the unclosed "("
// has the value of one before it, so the groups are replaced pass by pass,
// each pass rewriting the rest of the text.
inline Text UnclosedCopyAfterGroups(std::size_t size) { return DistinctGroups(size - 5) + u"+((1)"; }

// Many groups, then more than 255 groups open at once.
inline Text DeepOpenAfterGroups(std::size_t size) {
  return DistinctGroups(size - 300) + Text(256, u'(') + u"1" + Text(43, u')');
}

// Many groups inside more than 255 levels of nesting that a copy of an
// earlier group brings back under the limit.
inline Text DeepCopyAfterGroups(std::size_t size) {
  const Text inner = DistinctGroups(size - 520);
  return u"(1)+(" + inner + Text(254, u'(') + u"(1)" + Text(255, u')');
}

// Groups, then a chain of 300 open groups holding copies of all of them: each
// copy changes every group of the chain around it.
inline Text DeepChainCopies(std::size_t size) {
  constexpr std::size_t kChain = 300;
  Text groups = DistinctGroups((size - 2 * kChain) / 2);
  while (!groups.empty() && groups.back() == u' ') groups.pop_back();
  Text out = groups + Text(kChain, u'(') + groups + Text(kChain, u')');
  out.resize(size, u' ');
  return out;
}

// Chains of 200 groups, each around copies of the short groups before them,
// which alternate with groups as long as a chain: every copy replaced makes
// its whole chain stale, and every long group could be a copy of any level.
inline Text StaleChains(std::size_t size) {
  constexpr std::size_t kDepth = 200;
  const auto build = [](std::size_t count) {
    std::string copies;
    for (std::size_t j = 1; j <= count; ++j) copies += (j > 1 ? "+(" : "(") + std::to_string(j) + ")";
    std::string out;
    const std::size_t chain = 2 * kDepth + copies.size() + 8;
    for (std::size_t j = 1; j <= count; ++j) {
      std::string ones;
      while (ones.size() < chain) ones += "1+";
      out += "(" + std::to_string(j) + ")+(" + ones + std::to_string(j) + ")+";
    }
    for (std::size_t i = 0; i < count; ++i)
      out += std::string(kDepth, '(') + "(" + copies + "+" + std::to_string(i) + ")" + std::string(kDepth, ')') + "+";
    return out + "(";  // a "(" that never closes: no one walk over the groups
  };
  std::size_t count = 1;
  while (build(count + 1).size() <= size) ++count;
  std::string out = build(count);
  out.resize(size, ' ');
  return Ascii(out);
}

// A group, then many small chains of ten groups around a copy of it, told
// apart by what follows each chain, then a "(" that never closes: every chain
// changes once, and the chains' levels are copies of one another's.
inline Text CopiedChains(std::size_t size) {
  return Joined(size - 2, "+", [](int i) {
    return i == 0 ? std::string("(1)") : std::string(11, '(') + "1" + std::string(10, ')') + "+" + std::to_string(i) + ")";
  }).substr(0, size - 2) + Ascii("+(");
}

// 250 levels around a long group and groups whose values are longer than
// they are, so that one walk cannot vouch for the lengths on the way.
inline Text DeepGrowing(std::size_t size) {
  constexpr std::size_t kLevels = 250;
  std::string inner = "(1";
  for (int i = 0; i < 400; ++i) inner += "+1";
  inner += ")";
  for (int i = 0; i < 50; ++i) inner += "+(1/3)";
  while (inner.size() + 2 * kLevels + 2 <= size) inner += "+1";
  std::string out = std::string(kLevels, '(') + inner + std::string(kLevels, ')');
  out.resize(size, ' ');
  return Ascii(out);
}

// 200 "(" that never close, then distinct groups: no pass at all.
inline Text NestedUnclosed(std::size_t size) { return Text(200, u'(') + DistinctGroups(size - 200); }

// A sum of 1s, each followed by a run of one character of its own that is
// not read, the runs shortening from the first to the last: many stray
// pieces of many lengths, the shortest at the end, for the report of what
// was not read. At most 32765 characters, the longest text that answers.
inline Text StrayPieces(std::size_t size) {
  size = std::min<std::size_t>(size, 32765);
  std::size_t runs = 1;
  while ((runs + 1) * (runs + 2) / 2 + 2 * (runs + 1) <= size) ++runs;  // runs of runs..1, "1" and "+" each
  Text out;
  for (std::size_t i = 0; i < runs; ++i)
    out += (i ? u"+1" : u"1") + Text(runs - i, static_cast<char16_t>(0x4E00 + i));
  out.resize(size, u' ');
  return out;
}

// Terms of one kind sharing one tail: a first term, then short terms ending
// with the text that the runs after them gain, then distinct runs of 66
// letters (a number in their middle), each before a copy of the first term
// (whose value is 2) and "+1)". Replacing the first term moves every run
// into a group of its own, all behind the tail "2+1)" that every short term
// ends with (blanks, which every reader skips, keep the short terms apart).
inline Text SharedTailShape(std::size_t size, const std::string& first, char letter, const std::string& opener) {
  const std::string half(33, letter);
  std::string runs;
  for (int i = 0; runs.size() + 90 <= size / 2; ++i) runs += "+" + half + std::to_string(i) + half + opener + first + "+1)";
  std::string terms = first;
  for (int i = 1; terms.size() + runs.size() + 16 <= size; ++i)
    terms += "+" + std::string(1, letter) + (letter == 'P' ? "3(" : "(") + std::to_string(i % 160) +
             std::string(static_cast<std::size_t>(i / 160), ' ') + ",2+1)";
  std::string out = terms + runs;
  out.resize(size, ' ');
  return Ascii(out);
}

// The C pass: runs of C moved by the copies of C(1,2).
inline Text MovedLetters(std::size_t size) { return SharedTailShape(size, "C(1,2)", 'C', ""); }

// The P pass: runs of P moved by the copies of P2(1,1).
inline Text MovedPs(std::size_t size) { return SharedTailShape(size, "P2(1,1)", 'P', "("); }

// A front of distinct short terms filling share percent of the text, then
// runs of 2 * half letters (a number in their middle), each holding a copy of
// one term of the front and "+1)": every front term replaced moves its runs
// into groups of their own, all behind the one tail "1+1)", while the front
// still has terms left to ask the groups.
inline Text FrontBeforeRuns(std::size_t size, char letter, std::size_t share = 45, std::size_t half = 33) {
  const auto term = [letter](int i) {
    if (letter == 'P') return "P," + std::to_string(10 * i + 1) + "+(1)";
    return std::string(1, letter) + "(0," + std::to_string(10 * i + 2) + ")";
  };
  const std::string halfRun(half, letter);
  std::string front, runs;
  int terms = 0;
  for (; front.size() + 12 <= size * share / 100; ++terms) front += (terms ? "+" : "") + term(terms);
  for (int j = 0; front.size() + runs.size() + 2 * half + 24 <= size; ++j)
    runs += "+" + halfRun + std::to_string(j) + halfRun + (letter == 'P' ? "(" : "") + term(j % terms) + "+1)";
  std::string out = front + runs;
  out.resize(size, ' ');
  return Ascii(out);
}
inline Text FrontBeforeLetters(std::size_t size) { return FrontBeforeRuns(size, 'C'); }
inline Text FrontBeforeAs(std::size_t size) { return FrontBeforeRuns(size, 'A'); }
inline Text FrontBeforePs(std::size_t size) { return FrontBeforeRuns(size, 'P'); }
// The costliest front found: a short one (10%) before more and longer runs
// of P's, whose groups are the most the front's terms move.
inline Text ShortFrontBeforePs(std::size_t size) { return FrontBeforeRuns(size, 'P', 10, 50); }
// The same for C: a front of 3% before runs of 200 C's, whose time grows the
// most from 4096 characters, while its instructions grow as the text does.
inline Text ShortFrontBeforeLetters(std::size_t size) { return FrontBeforeRuns(size, 'C', 3, 100); }

}  // namespace bench
