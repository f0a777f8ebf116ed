// SPDX-License-Identifier: MIT
#pragma once

// What a calculation holds at once: the benchmarks replace the global
// allocation functions to count the bytes alive, so that the memory a shape
// needs is measured with its time, not estimated.

#include <cstddef>

namespace bench {

// Resets the high-water mark to the bytes alive now and returns that base.
std::size_t StartPeak();
// The most bytes alive since StartPeak, less its base.
std::size_t PeakSince(std::size_t base);

}  // namespace bench
