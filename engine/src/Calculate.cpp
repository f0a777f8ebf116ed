// SPDX-License-Identifier: MIT
// Calculate: the steps of the command in their order, failures turned into
// the reason the window may show.
#include "orvane/Calculate.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
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

// Where each of the distinct pieces first stands in text (npos where it
// does not): one walk over the text for each length of piece, with a hash
// of the window that rolls along it, so that many pieces cost no more than
// a few lengths do.
std::unordered_map<TextView, std::size_t> FirstPlaces(TextView text, const std::unordered_set<TextView>& pieces) {
  constexpr std::uint64_t kBase = 1'000'003;
  const auto hash = [&](TextView t) {
    std::uint64_t h = 0;
    for (const char16_t c : t) h = h * kBase + c;
    return h;
  };
  std::unordered_map<std::size_t, std::unordered_multimap<std::uint64_t, TextView>> byLength;
  std::unordered_map<TextView, std::size_t> places;
  for (const TextView piece : pieces) {
    places.emplace(piece, TextView::npos);
    if (!piece.empty() && piece.size() <= text.size()) byLength[piece.size()].emplace(hash(piece), piece);
  }
  for (auto& [length, wanted] : byLength) {
    std::uint64_t top = 1;  // kBase to the power length - 1
    for (std::size_t k = 1; k < length; ++k) top *= kBase;
    std::uint64_t h = hash(text.substr(0, length));
    for (std::size_t at = 0; !wanted.empty(); ++at) {
      for (auto [it, end] = wanted.equal_range(h); it != end;) {
        if (text.substr(at, length) != it->second) {
          ++it;
          continue;
        }
        places[it->second] = at;
        it = wanted.erase(it);
      }
      if (at + length >= text.size()) break;
      h = (h - text[at] * top) * kBase + text[at + length];
    }
  }
  return places;
}

// The pieces as the user wrote them, each at its first place in the
// upper-cased expression and in the expression's own letters there, in the
// order of those places whatever the order of reading; a piece made by the
// passes, such as the rest of a term's value, stays as it is and goes last.
std::vector<Text> InUsersText(TextView expression, TextView upper, const std::vector<Text>& pieces) {
  const std::unordered_set<TextView> distinct(pieces.begin(), pieces.end());
  std::vector<std::pair<std::size_t, Text>> placed;
  for (const auto& [piece, at] : FirstPlaces(upper, distinct))
    placed.emplace_back(at, at == TextView::npos ? Text(piece) : Text(expression.substr(at, piece.size())));
  std::sort(placed.begin(), placed.end());
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
    // Groups are evaluated with a backslash pair as a placeholder, so a
    // backslash of the text would take the value of an unrelated group.
    if (detail::Contains(start, u'\\')) return {std::nullopt, kBackslashRefused, {}};
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
