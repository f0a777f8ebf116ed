// SPDX-License-Identifier: MIT
// Calculate: the steps of the command in their order, failures turned into
// the reason the window may show.
#include "orvane/Calculate.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "flat/FlatEvaluation.h"
#include "terms/TermPasses.h"
#include "rewrite/TextOps.h"
#include "orvane/Int16.h"
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

// The pieces as the user wrote them: found in the upper-cased expression,
// they are given in the expression's own letters; a piece made by the
// passes, such as the rest of a term's value, stays as it is and goes last.
// The pieces mostly come in the expression's order, so each search starts
// where the last one ended and goes back to the start only when it must.
std::vector<Text> InUsersText(TextView expression, TextView upper, const std::vector<Text>& pieces) {
  std::vector<std::pair<std::size_t, Text>> placed;
  std::unordered_set<Text> seen;
  std::size_t from = 0;
  for (const Text& piece : pieces) {
    std::size_t at = upper.find(piece, from);
    if (at == TextView::npos) at = upper.find(piece);
    if (at != TextView::npos) from = at + piece.size();
    Text spelled = at == TextView::npos ? piece : Text(expression.substr(at, piece.size()));
    if (seen.insert(spelled).second) placed.emplace_back(at, std::move(spelled));
  }
  std::stable_sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<Text> out;
  for (auto& [at, piece] : placed) out.push_back(std::move(piece));
  return out;
}

}  // namespace

CalcOutcome Calculate(TextView expression, TextView answerBox) {
  std::size_t before = 0;
  std::size_t after = 0;
  try {
    const Text upper = UpperCase(expression);
    const Text start = detail::ReplaceAll(upper, u"ANS", answerBox);
    before = start.size();
    const Text work = ExpandTerms(start);
    after = work.size();
    const StringStuff::flat::NotReadLog log;
    Text answer = StringStuff::EvalFlat(StringStuff::EvalParens(work));
    if (log.Pieces().empty()) return {std::move(answer), {}, {}};
    return {std::move(answer), {}, InUsersText(expression, upper, log.Pieces())};
  } catch (const detail::TermFailure& failure) {
    return {std::nullopt, failure.reason, {}};
  } catch (const RunTimeError& error) {
    return {std::nullopt, Reason(error, before, after), {}};
  }
}

}  // namespace orvane
