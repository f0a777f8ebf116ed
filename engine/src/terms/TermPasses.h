// SPDX-License-Identifier: MIT
#pragma once

// The six term passes. Each gives the working text that expanding the
// leftmost term and rewriting every copy of it, over and over, would give,
// without rewriting the whole text per term. A term that cannot be evaluated
// raises TermFailure.

#include "terms/TermValue.h"
#include "orvane/Text.h"

namespace orvane::detail {

// The C, A, W and T passes: a term runs from its letter to the first ")".
Text ExpandLetterTerms(Kind letter, TextView w);
// The "!" pass: a term is the run of digits before a "!", and the "!".
Text ExpandFactorials(TextView w);
// The P pass: from the "P" through the first ")" after the first "(" after it.
Text ExpandMultisets(TextView w);

}  // namespace orvane::detail
