// SPDX-License-Identifier: MIT
#pragma once

// The second way of parenthesised evaluation, for texts that one walk cannot
// take.

#include "orvane/Text.h"

namespace orvane::StringStuff::groups {

// The group-by-group passes over a text that holds "(" and no backslash:
// each pass evaluates the first group and
// replaces it and every copy of it, found through hashes of the groups'
// current texts rather than by searching the whole text again.
orvane::Text RunGroupPasses(orvane::TextView text);

}  // namespace orvane::StringStuff::groups
