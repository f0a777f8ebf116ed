// SPDX-License-Identifier: MIT
// Why every program that calculates again and again keeps the memory a
// calculation frees.
//
// Left to itself, glibc hands the memory of a long calculation back to the
// system when it is freed, and the next calculation faults every page in
// again. On a small virtual machine that costs about 10 µs per 4 KiB page,
// more than the calculation itself on a text of 32766 characters, and it
// makes the time grow faster than the work. A calculation holds at most
// 6 MB (in no block over 2 MB), so blocks up to that size come from the heap
// and up to twice that stays there once freed: a few megabytes kept, and
// every calculation after the first costs what its instructions cost.

#pragma once

#include <malloc.h>

namespace orvane {

inline void KeepFreedMemory() {
  constexpr int kLargestCalculation = 6 << 20;
  mallopt(M_MMAP_THRESHOLD, kLargestCalculation);
  mallopt(M_TRIM_THRESHOLD, 2 * kLargestCalculation);
}

}  // namespace orvane
