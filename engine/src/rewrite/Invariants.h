// SPDX-License-Identifier: MIT
#pragma once

// What each structure keeps true, checked as it goes in the builds made to
// find faults (Debug, and the sanitizer and fuzz builds, which define
// ORVANE_CHECK_INVARIANTS); a release build leaves the checks out. A broken
// invariant stops the program at once, naming it, so that a test or the
// fuzzer points at the structure instead of at an answer that differs later.

#include <cstdio>
#include <cstdlib>

namespace orvane::detail {

#if defined(ORVANE_CHECK_INVARIANTS) || !defined(NDEBUG)
inline constexpr bool kCheckInvariants = true;
#else
inline constexpr bool kCheckInvariants = false;
#endif

inline void Expect(bool holds, const char* invariant) {
  if (holds) return;
  std::fprintf(stderr, "orvane: invariant broken: %s\n", invariant);
  std::abort();
}

}  // namespace orvane::detail
