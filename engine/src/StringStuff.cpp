// SPDX-License-Identifier: MIT
// The module's public helpers and evaluators; flat and parenthesised
// evaluation live in flat/ and groups/, which never call back into here.
#include "orvane/StringStuff.h"

#include <string>

#include "flat/FieldCursor.h"
#include "flat/FlatEvaluation.h"
#include "groups/GroupEvaluation.h"
#include "rewrite/TextOps.h"

namespace orvane::StringStuff {

using namespace orvane::detail;

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
  Text out(text);
  if (!ch.empty()) std::erase(out, ch[0]);
  return out;
}

Int16 CountChar(TextView text, TextView ch) {
  if (ch.empty()) {
    CheckLength(text);
    return 0;
  }
  return Occurrences(text, ch[0]);
}

Text EvalFlat(TextView text) { return flat::Evaluate(text); }

Text GetGroup(TextView text, Int16 n, TextView replacement) {
  CheckLength(text);
  // The group opens at the n-th "(" itself, counting every "(" at any depth.
  Int16 count = 0;
  std::size_t open = 0;
  while (count < n && (open = text.find(u'(', count ? open + 1 : 0)) != TextView::npos) count = Add16(count, 1);
  Text inner;
  if (count == n && n > 0) {
    if (const auto close = groups::MatchingParen(text, open)) inner = Text(text.substr(open + 1, *close - open - 1));
  }
  if (replacement.empty()) return inner;
  return ReplaceAll(text, u"(" + inner + u")", replacement);
}

namespace {

// The passes one by one, each searching the whole text: only a library
// caller can pass a backslash, and the placeholder then meets it, which no
// faster way reproduces.
Text EvalParensStepByStep(TextView text) {
  constexpr TextView kPlaceholder = u"\\\\";
  if (!Contains(text, u'(')) return EvalFlat(text);
  Text r(text);
  const Int16 passes = CountChar(r, u"(");
  for (Int16 pass = 0; pass < passes; ++pass) {
    Text g = GetGroup(r, 1, u"");
    if (Contains(g, u'(')) g = EvalParens(g);
    const Text m = GetGroup(r, 1, kPlaceholder);
    r = ReplaceAll(m, kPlaceholder, EvalFlat(g));
  }
  return r;
}

}  // namespace

Text EvalParens(TextView text) {
  return Contains(text, u'\\') ? EvalParensStepByStep(text) : groups::Evaluate(text);
}

}  // namespace orvane::StringStuff
