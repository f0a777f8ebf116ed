// SPDX-License-Identifier: MIT
#pragma once

// The best of the repetitions beside their median: on a machine shared with
// other work, the median of nine runs of one shape moved by a factor of two
// between runs, while the best moved by a few percent. The best is the time
// the work itself takes.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace bench {

inline benchmark::internal::Benchmark* WithBest(benchmark::internal::Benchmark* b) {
  return b->ComputeStatistics("best", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

}  // namespace bench
