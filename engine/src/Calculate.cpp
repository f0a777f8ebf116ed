// SPDX-License-Identifier: MIT
// Calculate: the steps of the command in their order, failures turned into
// the reason the window may show.
#include "orvane/Calculate.h"

#include <utility>
#include <vector>

#include "NotRead.h"
#include "groups/GroupEvaluation.h"
#include "terms/TermPasses.h"
#include "rewrite/TextOps.h"
#include "orvane/Int16.h"
#include "orvane/StringStuff.h"

namespace orvane {

namespace {

// The expression in capitals, and whether it holds a backslash: one walk
// for both, as both read every character.
std::pair<Text, bool> UpperCase(TextView text) {
  Text out(text);
  bool backslash = false;
  for (char16_t& c : out) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    backslash |= c == u'\\';
  }
  return {std::move(out), backslash};
}

// The six passes in their order; each runs until no character of its kind is left.
Text ExpandTerms(Text w) {
  for (const detail::Kind letter : {u'C', u'A', u'W', u'T'}) w = detail::ExpandLetterTerms(letter, w);
  w = detail::ExpandFactorials(w);
  return detail::ExpandMultisets(w);
}

// Values are longer than their terms ('18!' becomes '6.402373705728E+15'), so
// a text that fits can outgrow the positions of the final evaluation; the
// bare kind would not tell the user why.
std::string Reason(const RunTimeError& error, std::size_t before, std::size_t after) {
  constexpr std::size_t kLongest = kInt16Max - 1;
  if (error.kind() == ErrorKind::IntegerOverflow && before <= kLongest && after > kLongest)
    return std::string(Describe(error.kind())) +
           ": the expression, once its terms are replaced, is longer than 32766 characters";
  return Describe(error.kind());
}

}  // namespace

CalcOutcome Calculate(TextView expression, TextView answerBox) {
  std::size_t before = 0;
  std::size_t after = 0;
  try {
    const auto [upper, backslash] = UpperCase(expression);
    const Text start = detail::ReplaceAll(upper, u"ANS", answerBox);
    // Groups are evaluated with a backslash pair as a placeholder, so a
    // backslash of the working text, the user's own or one that ANS brought
    // in, would take the value of an unrelated group.
    if (backslash || (detail::Contains(answerBox, u'\\') && start != upper))
      return {std::nullopt, kBackslashRefused, {}, 0};
    before = start.size();
    const detail::NotReadLog log;  // the terms' arguments are read too
    const Text work = ExpandTerms(start);
    after = work.size();
    // With no backslash, EvalParens is the group evaluator itself.
    Text answer = StringStuff::EvalFlat(StringStuff::groups::Evaluate(work));
    const std::vector<TextView> pieces = log.Pieces();
    if (pieces.empty()) return {std::move(answer), {}, {}, 0};
    detail::NotReadReport report = detail::Report(expression, upper, pieces);
    return {std::move(answer), {}, std::move(report.named), report.others};
  } catch (const detail::TermFailure& failure) {
    return {std::nullopt, failure.reason, {}, 0};
  } catch (const RunTimeError& error) {
    return {std::nullopt, Reason(error, before, after), {}, 0};
  }
}

}  // namespace orvane
