// SPDX-License-Identifier: MIT
// The order in which parenthesised evaluation tries its ways, and the walk
// that takes most texts in one scan.
#include "groups/GroupEvaluation.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <unordered_set>
#include <vector>

#include "flat/FlatEvaluation.h"
#include "groups/GroupPasses.h"
#include "orvane/NumberText.h"
#include "rewrite/TextOps.h"

namespace StringStuff::groups {

using namespace orvane;
using namespace orvane::detail;

std::optional<std::size_t> MatchingParen(TextView text, std::size_t open) {
  std::uint8_t depth = 1;
  for (std::size_t i = open + 1; i < text.size(); ++i) {
    if (text[i] == u'(') {
      if (depth == UINT8_MAX) throw RunTimeError(ErrorKind::IntegerOverflow);
      ++depth;
    } else if (text[i] == u')' && --depth == 0) {
      return i;
    }
  }
  return std::nullopt;
}

namespace {

// Whether the rewriting would raise the error that the walk met at index at:
// it evaluates the groups in the same order, provided the outermost open
// group closes within the 8-bit depth (so that it is evaluated at all), and
// no text on the way can pass the 16-bit limit, even with every later group
// grown to the longest number text.
bool RewritingFailsAlike(TextView text, std::size_t outermost, std::size_t at, long long growth) {
  try {
    if (!MatchingParen(text, outermost)) return false;
  } catch (const RunTimeError&) {
    return false;
  }
  const auto later = std::count(text.begin() + static_cast<std::ptrdiff_t>(at), text.end(), u'(');
  return static_cast<long long>(text.size()) + growth + later * static_cast<long long>(kLongestNumberText - 2) <
         kInt16Max;
}

// The same result in one walk with a stack of open groups, each group replaced
// by its value as it closes. Copies of a group have the same value wherever
// they stand, so replacing them one by one gives what replacing them together
// does. A first "(" that never closes ends the passes: what follows it keeps
// its groups, apart from copies of groups replaced before it (which the walk
// rules out by their values) and "()", which becomes "0".
// Returns nothing where the walk cannot vouch for the result, and the group
// passes take over: an error that the passes might meet otherwise or not at all, a group after the unclosed
// "(" with the value of a group before it, or intermediate texts that could
// pass the 16-bit length limit.
}  // namespace

std::optional<Text> WalkGroups(TextView text) {
  if (text.size() >= static_cast<std::size_t>(kInt16Max)) return std::nullopt;
  std::vector<Text> open(1);  // open.back() collects the innermost open group
  std::size_t outermost = 0;  // the "(" of the outermost open group
  std::vector<Text> replaced;  // values of the groups replaced so far
  std::vector<Text> inside;  // values of the groups closed inside the outermost open one
  long long growth = 0;      // what values longer than their groups may add
  std::size_t i = 0;
  try {
    for (; i < text.size(); ++i) {
      const char16_t c = text[i];
      if (c == u'(') {
        if (open.size() > UINT8_MAX) return std::nullopt;  // the 8-bit depth counter
        if (open.size() == 1) outermost = i;
        open.emplace_back();
      } else if (c == u')' && open.size() > 1) {
        const Text inner = std::move(open.back());
        open.pop_back();
        Text value = flat::Evaluate(inner);
        growth += std::max(0LL, static_cast<long long>(value.size()) - static_cast<long long>(inner.size()) - 2);
        // Growth only adds up, so the walk can stop as soon as it is too much.
        if (static_cast<long long>(text.size()) + growth >= kInt16Max) return std::nullopt;
        open.back() += value;
        if (open.size() == 1) {
          replaced.push_back(std::move(value));
          inside.clear();
        } else {
          inside.push_back(std::move(value));
        }
      } else {
        open.back() += c;
      }
    }
  } catch (const RunTimeError&) {
    if (RewritingFailsAlike(text, outermost, i, growth)) throw;
    return std::nullopt;
  }
  if (open.size() == 1) return std::move(open.front());
  // Only a "(" that never closes asks for the values replaced before it.
  const std::unordered_set<Text> before(std::make_move_iterator(replaced.begin()), std::make_move_iterator(replaced.end()));
  for (const Text& value : inside)
    if (before.count(value)) return std::nullopt;
  return open.front() + ReplaceAll(text.substr(outermost), u"()", u"0");
}

namespace {

// Whether a "(" never closes or more than 255 groups are open at once, which
// the walk leaves to the passes: then the passes go first.
bool UnclosedOrDeep(TextView text) {
  long depth = 0;
  for (const char16_t c : text) {
    if (c == u'(' && ++depth > UINT8_MAX) return true;
    if (c == u')' && depth > 0) --depth;
  }
  return depth > 0;
}

}  // namespace

Text Evaluate(TextView text) {
  if (!Contains(text, u'(')) return flat::Evaluate(text);
  if (!UnclosedOrDeep(text))
    if (auto walked = WalkGroups(text)) return *std::move(walked);
  return RunGroupPasses(text);
}

}  // namespace StringStuff::groups
