// SPDX-License-Identifier: MIT
#pragma once

// The third way of parenthesised evaluation, for texts that neither one walk
// nor the first passes of backslash pairs can take.

#include "orvane/Text.h"

namespace orvane::StringStuff::groups {

// The group-by-group passes over a text that holds "(" and in which no
// backslash stands next to another: each pass evaluates the first group and
// replaces it and every copy of it, found through hashes of the groups'
// current texts rather than by searching the whole text again.
orvane::Text RunGroupPasses(orvane::TextView text);

}  // namespace orvane::StringStuff::groups
