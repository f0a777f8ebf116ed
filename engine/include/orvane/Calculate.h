// SPDX-License-Identifier: MIT
#pragma once

// The Calculate command without its window: the working text from the
// expression and the answer box, the six term passes, the final evaluation,
// and the outcome the window shows.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "orvane/Text.h"

namespace orvane {

struct CalcOutcome {
  // The answer box's new text; empty when nothing is to be written.
  std::optional<Text> answer;
  // Why nothing is written, for the user (UTF-8); empty on success.
  std::string reason;
  // On success, what the readers of numbers passed over: each piece's rest
  // after its numeric prefix ("^3" of "2^3", "x" of "C(2x,5)"), once each,
  // in the user's own spelling where the expression holds it, in the order
  // of their first places there; at most five, the shortest.
  std::vector<Text> notRead;
  // How many other distinct pieces were passed over.
  std::size_t moreNotRead = 0;
};

// Why an expression whose working text holds a backslash is not calculated.
inline constexpr const char* kBackslashRefused = "An expression cannot contain a backslash";

// The Calculate command without a window: expands the counting terms of the
// expression (ANS standing for the answer box's text) and evaluates the rest.
CalcOutcome Calculate(TextView expression, TextView answerBox);

}  // namespace orvane
