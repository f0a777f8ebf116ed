#include <benchmark/benchmark.h>

#include "orvane/Calculate.h"

namespace {

void BM_Typical(benchmark::State& state) {
  const orvane::Text expression = u"C(2,5)+A(2,5)*W(2,5)";
  for (auto _ : state) benchmark::DoNotOptimize(orvane::Calculate(expression, u"0"));
}
BENCHMARK(BM_Typical);

}  // namespace

BENCHMARK_MAIN();
