// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

#include "orvane/Text.h"

namespace StringStuff {

// The group-by-group passes over a text that holds "(" and in which no
// backslash stands next to another: each pass evaluates the
// first group and replaces it and every copy of it, found through hashes of
// the groups' current texts rather than by searching the whole text again.
// Nothing when copies deep inside long chains of groups would make the passes
// cost more than a few times the text's length.
std::optional<orvane::Text> RunGroupPasses(orvane::TextView text);

}  // namespace StringStuff
