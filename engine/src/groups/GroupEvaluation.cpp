// SPDX-License-Identifier: MIT
// The order in which parenthesised evaluation tries its ways, and the walk
// that takes most texts in one scan.
#include "groups/GroupEvaluation.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "flat/FlatEvaluation.h"
#include "groups/GroupPasses.h"
#include "orvane/NumberText.h"
#include "rewrite/Invariants.h"
#include "rewrite/TextOps.h"

namespace orvane::StringStuff::groups {

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

// Whether the passes would raise the error that the walk met at index at:
// they evaluate the groups in the same order, provided no text on the way
// can pass the 16-bit limit, even with every later group grown to the
// longest number text.
bool PassesFailAlike(TextView text, std::size_t at, long long growth) {
  const auto later = std::count(text.begin() + static_cast<std::ptrdiff_t>(at), text.end(), u'(');
  return static_cast<long long>(text.size()) + growth + later * static_cast<long long>(kLongestNumberText - 2) <
         kInt16Max;
}

// Whether a "(" never closes or more than 255 groups are open at once, which
// the walk leaves to the passes.
bool UnclosedOrDeep(TextView text) {
  long depth = 0;
  for (const char16_t c : text) {
    if (c == u'(' && ++depth > UINT8_MAX) return true;
    if (c == u')' && depth > 0) --depth;
  }
  return depth > 0;
}

}  // namespace

// Every "(" closes and at most 255 are open at once, so the passes take the
// groups in the order in which they close. Copies of a group have the same
// value wherever they stand, so replacing them one by one as they close gives
// what replacing them together does. Returns nothing where the walk cannot
// vouch for the result, and the group passes take over: an error that the
// passes might meet otherwise or not at all, or intermediate texts that could
// pass the 16-bit length limit.
std::optional<Text> WalkGroups(TextView text) {
  if (text.size() >= static_cast<std::size_t>(kInt16Max)) return std::nullopt;
  std::vector<Text> open(1);  // open.back() collects the innermost open group
  long long growth = 0;       // what values longer than their groups may add
  std::size_t i = 0;
  try {
    for (; i < text.size(); ++i) {
      const char16_t c = text[i];
      if (c == u'(') {
        open.emplace_back();
      } else if (c == u')' && open.size() > 1) {
        const Text inner = std::move(open.back());
        open.pop_back();
        const Text value = flat::Evaluate(inner);
        growth += std::max(0LL, static_cast<long long>(value.size()) - static_cast<long long>(inner.size()) - 2);
        // Growth only adds up, so the walk can stop as soon as it is too much.
        if (static_cast<long long>(text.size()) + growth >= kInt16Max) return std::nullopt;
        open.back() += value;
      } else {
        open.back() += c;
      }
    }
  } catch (const RunTimeError&) {
    if (PassesFailAlike(text, i, growth)) throw;
    return std::nullopt;
  }
  if constexpr (kCheckInvariants) Expect(open.size() == 1, "the walk was given a group that never closes");
  return std::move(open.front());
}

Text Evaluate(TextView text) {
  if (!Contains(text, u'(')) return flat::Evaluate(text);
  if (!UnclosedOrDeep(text))
    if (auto walked = WalkGroups(text)) return *std::move(walked);
  return RunGroupPasses(text);
}

}  // namespace orvane::StringStuff::groups
