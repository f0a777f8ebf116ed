// SPDX-License-Identifier: MIT
#pragma once

// Flat evaluation, the arithmetic of a text without groups: the text is
// rewritten so that only "+" and "*" separate terms and factors, and the
// fields are read one after the other rather than each from the start.

#include "orvane/NumberText.h"
#include "orvane/Text.h"

namespace orvane::StringStuff::flat {

// The value of an arithmetic text without parentheses, as a number text.
orvane::Text Evaluate(orvane::TextView text);

}  // namespace orvane::StringStuff::flat
