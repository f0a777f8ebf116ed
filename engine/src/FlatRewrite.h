// SPDX-License-Identifier: MIT
#pragma once

#include "orvane/Text.h"

namespace StringStuff {

// Rewrites an arithmetic text so that only "+" and "*" separate terms and
// factors (see StringStuff.cpp).
orvane::Text SplitForm(orvane::TextView text);

}  // namespace StringStuff
