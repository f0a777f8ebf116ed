// SPDX-License-Identifier: MIT
#pragma once

// A direct, unoptimised transcription of the evaluation steps: taking every
// field with GetField from the start, one full rebuild of the working text per
// group and per term. The engine's faster algorithms must agree with it on
// every input.

#include <cstddef>
#include <optional>
#include <vector>

#include "orvane/Int16.h"
#include "orvane/Text.h"

namespace Literal {

orvane::Text GetField(orvane::TextView text, orvane::Int16 index, orvane::TextView delimiter);
orvane::Text GetGroup(orvane::TextView text, orvane::Int16 n, orvane::TextView replacement);

orvane::Text EvalFlat(orvane::TextView text);
orvane::Text EvalParens(orvane::TextView text);
double PermutationsRep(orvane::Int16 n, orvane::TextView list);
// The answer text, or nullopt when the engine writes nothing.
std::optional<orvane::Text> Calculate(orvane::TextView expression, orvane::TextView answerBox);
// What a successful Calculate passed over: the rest of every piece that it
// read as a number, once each; the five shortest (then by characters) are
// spelled as in the expression at their first places there and listed in
// the order of those places, the others counted. Nothing when Calculate fails.
struct NotReadReport {
  std::vector<orvane::Text> named;
  std::size_t others = 0;
  bool operator==(const NotReadReport&) const = default;
};
NotReadReport NotRead(orvane::TextView expression, orvane::TextView answerBox);

}  // namespace Literal
