// SPDX-License-Identifier: MIT
#pragma once

// Parenthesised evaluation of a text without a backslash: every group
// replaced by its value, innermost first, each pass over the first group left
// taking every copy of it. Two ways give the same text, tried in this order:
// one walk with a stack of open groups; the group passes, which index the
// groups by their current texts.

#include <cstddef>
#include <optional>

#include "orvane/Text.h"

namespace orvane::StringStuff::groups {

// The text with its groups replaced; a text without "(" evaluated flat.
orvane::Text Evaluate(orvane::TextView text);

// Index of the ")" that closes the "(" at open, counting depth in 8 bits as
// the group scan does; nothing when it never closes.
std::optional<std::size_t> MatchingParen(orvane::TextView text, std::size_t open);

// The result in one walk over a text whose every "(" closes, with at most
// 255 open at once, or nothing where the walk cannot vouch for it.
std::optional<orvane::Text> WalkGroups(orvane::TextView text);

}  // namespace orvane::StringStuff::groups
