// SPDX-License-Identifier: MIT
#pragma once

namespace orvane::detail {

// base to the power exponent, both whole numbers, rounded once to the
// nearest double (ties to even), with +-0 and +-infinity past the range as
// the C library gives them; 0 to a negative power is the caller's to refuse.
double WholePower(long base, long exponent);

}  // namespace orvane::detail
