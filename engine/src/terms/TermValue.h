// SPDX-License-Identifier: MIT
#pragma once

// One counting term: where it stands, whether it can be evaluated, and the
// text of its value. Shared by the passes, which only differ in how they find
// the terms and their copies.

#include <forward_list>
#include <string>
#include <unordered_map>

#include "orvane/Int16.h"
#include "orvane/Text.h"

namespace orvane::detail {

// A counting term that cannot be evaluated; the whole command then writes nothing.
struct TermFailure {
  std::string reason;
};

// Each pass expands the terms of one kind, named by the character that starts
// ("C", "A", "W", "T", "P") or ends ("!") them.
using Kind = char16_t;

// A term's text with the 1-based positions of its letter (or first digit),
// its "(" (P only) and its last character in the working text.
struct Term {
  Text text;
  Int16 first = 0;
  Int16 open = 0;
  Int16 last = 0;
};

// Where a term was found, in 1-based working-text positions; the positions are
// checked in the order the expansion forms them, and a missing part is named.
// open and last are 0 when that part is missing.
Term LetterTerm(Kind kind, TextView text, long long first, long long last);
Term MultisetTerm(TextView text, long long first, long long open, long long last);
Term FactorialTerm(TextView text, long long bang);

// The value's number text; raises TermFailure when the term cannot be evaluated.
Text ValueText(Kind kind, const Term& t);

// The working text after the pass of a kind whose character occurs once, at
// index at: one term, whose only copy is itself (every copy holds the
// character), so a pass needs neither an index nor a list of its terms.
Text ExpandLoneTerm(Kind kind, TextView w, std::size_t at);

// The text after a pass of its kind: unchanged without the kind's character,
// the lone term where it occurs once, else what runPass() gives.
template <typename RunPass>
Text Expanded(Kind kind, TextView w, RunPass runPass) {
  const std::size_t at = w.find(kind);
  if (at == TextView::npos) return Text(w);
  if (w.find(kind, at + 1) == TextView::npos) return ExpandLoneTerm(kind, w, at);
  return runPass();
}

// Value texts of one pass by term text. A value depends on its term's text
// alone as long as the term ends before the last positions, where stepping
// past it would overflow. The texts stay where they are, for Pieces to view.
class ValueCache {
 public:
  explicit ValueCache(Kind kind) : kind_(kind) {}
  TextView operator()(const Term& t);

 private:
  Kind kind_;
  std::unordered_map<Text, Text> values_;
  std::forward_list<Text> nearLimit_;
};

}  // namespace orvane::detail
