// SPDX-License-Identifier: MIT
#include "rewrite/PolyHash.h"

namespace orvane::detail {

// The smallest priority a program may give: these come before every object
// of default priority in any file, whatever the order the files are linked in.
__attribute__((init_priority(101))) const Powers kPowers{PolyHash::Base()};
__attribute__((init_priority(101))) const Powers kInversePowers{PolyHash::Inverse()};

}  // namespace orvane::detail
