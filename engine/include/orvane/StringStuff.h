// SPDX-License-Identifier: MIT
#pragma once

// The text helpers and the textual evaluators that the rest of the program
// sees; their algorithms live under src/flat and src/groups.

#include "orvane/Int16.h"
#include "orvane/Text.h"

// Text helpers and the textual arithmetic evaluators.
namespace orvane::StringStuff {

// The index-th field (from 1) of text split at delimiter; a leading or
// trailing delimiter bounds the outer field instead of making an empty one.
Text GetField(TextView text, Int16 index, TextView delimiter);

// Only the first character of ch counts; an empty ch matches nothing.
Text RemoveChar(TextView text, TextView ch);
Int16 CountChar(TextView text, TextView ch);

// Value of an arithmetic text without parentheses, as a number text.
Text EvalFlat(TextView text);

// With replacement empty: the inner text of the n-th group (counting every
// "(" from the left). Otherwise text with every copy of that group replaced.
Text GetGroup(TextView text, Int16 n, TextView replacement);

// Replaces every parenthesised group by its value text, innermost first;
// a text without "(" is evaluated by EvalFlat.
Text EvalParens(TextView text);

}  // namespace orvane::StringStuff
