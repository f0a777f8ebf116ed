// SPDX-License-Identifier: MIT
// The P pass.

#include <unordered_map>

#include "TermPasses.h"
#include "TextOps.h"

namespace orvane::detail {

namespace {

constexpr auto npos = TextView::npos;

// 0-based indexes of a P term's letter, "(" and ")" (npos where missing).
struct Span {
  std::size_t begin = npos;
  std::size_t open = npos;
  std::size_t end = npos;
};

Span Locate(TextView w, std::size_t from) {
  Span s;
  s.begin = w.find(u'P', from);
  s.open = w.find(u'(', s.begin + 1);
  if (s.open != npos) s.end = w.find(u')', s.open + 1);
  return s;
}

Term Position(TextView w, const Span& s, long long shift) {
  const auto at = [&](std::size_t index) { return index == npos ? 0 : static_cast<long long>(index) + shift + 1; };
  const TextView text = s.end == npos ? TextView() : w.substr(s.begin, s.end - s.begin + 1);
  return MultisetTerm(text, at(s.begin), at(s.open), at(s.end));
}

// True when no term's text holds the letter of another, so that expanding one
// term, and every copy of it (the terms with the same text), leaves every other
// term as it stands. A term without an end fails when the walk reaches it, so
// what follows it does not matter.
bool TermsAreIndependent(TextView w) {
  for (std::size_t p = w.find(u'P'); p != npos;) {
    const Span s = Locate(w, p);
    if (s.end == npos) return true;
    const std::size_t next = w.find(u'P', p + 1);
    if (next < s.end) return false;
    p = next;
  }
  return true;
}

}  // namespace

Text ExpandMultisets(TextView text) {
  Text w(text);
  while (!TermsAreIndependent(w)) {
    const Term t = Position(w, Locate(w, 0), 0);
    w = ReplaceAll(w, t.text, ValueText(u'P', t));
  }
  Text out;
  out.reserve(w.size());
  std::unordered_map<Text, Text> values;
  std::size_t from = 0;
  while (w.find(u'P', from) != npos) {
    const Span s = Locate(w, from);
    out.append(w.substr(from, s.begin - from));
    const auto known = s.end == npos ? values.end() : values.find(Text(w.substr(s.begin, s.end - s.begin + 1)));
    if (known != values.end()) {
      out += known->second;
    } else {
      const Term t = Position(w, s, static_cast<long long>(out.size()) - static_cast<long long>(s.begin));
      out += values.emplace(t.text, ValueText(u'P', t)).first->second;
    }
    from = s.end + 1;
  }
  out.append(w.substr(from));
  return out;
}

}  // namespace orvane::detail
