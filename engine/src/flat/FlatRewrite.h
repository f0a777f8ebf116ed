// SPDX-License-Identifier: MIT
#pragma once

// The split form of a flat text, shared with the literal evaluation in the
// tests, so that both read exponent signs alike.

#include <cstddef>
#include <vector>

#include "orvane/Text.h"

namespace orvane::StringStuff {

// Rewrites an arithmetic text so that only "+" and "*" separate terms and
// factors (see StringStuff.cpp). An exponent's "+" stays in the text, where it
// counts towards the limits like any character; its indexes, in ascending
// order, go to exponentPluses when given.
orvane::Text SplitForm(orvane::TextView text, std::vector<std::size_t>* exponentPluses = nullptr);

}  // namespace orvane::StringStuff
