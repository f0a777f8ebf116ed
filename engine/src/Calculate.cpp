// SPDX-License-Identifier: MIT
// Calculate: the steps of the command in their order, failures turned into
// the reason the window may show.
#include "orvane/Calculate.h"

#include "terms/TermPasses.h"
#include "rewrite/TextOps.h"
#include "orvane/StringStuff.h"

namespace orvane {

namespace {

Text UpperCase(TextView text) {
  Text out(text);
  for (char16_t& c : out)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return out;
}

// The six passes in their order; each runs until no character of its kind is left.
Text ExpandTerms(Text w) {
  for (const detail::Kind letter : {u'C', u'A', u'W', u'T'}) w = detail::ExpandLetterTerms(letter, w);
  w = detail::ExpandFactorials(w);
  return detail::ExpandMultisets(w);
}

}  // namespace

CalcOutcome Calculate(TextView expression, TextView answerBox) {
  try {
    const Text work = ExpandTerms(detail::ReplaceAll(UpperCase(expression), u"ANS", answerBox));
    return {StringStuff::EvalFlat(StringStuff::EvalParens(work)), {}};
  } catch (const detail::TermFailure& failure) {
    return {std::nullopt, failure.reason};
  } catch (const RunTimeError& error) {
    return {std::nullopt, Describe(error.kind())};
  }
}

}  // namespace orvane
