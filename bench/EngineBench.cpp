// SPDX-License-Identifier: MIT
// Speed of the Calculate command and of flat evaluation, on typical
// expressions and on every shape at three sizes up to the longest text the
// expression box holds.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Best.h"
#include "KeepFreedMemory.h"
#include "PeakMemory.h"
#include "Shapes.h"
#include "orvane/Calculate.h"
#include "orvane/StringStuff.h"

namespace {

using orvane::Text;

void Calculate(benchmark::State& state, const Text& expression) {
  for (auto _ : state) benchmark::DoNotOptimize(orvane::Calculate(expression, u"0"));
  const std::size_t base = bench::StartPeak();
  state.SetLabel(orvane::Calculate(expression, u"0").answer ? "answer" : "no answer");
  state.counters["peak_KB"] = static_cast<double>(bench::PeakSince(base)) / 1024;
}

void EvalFlat(benchmark::State& state, const Text& text) {
  for (auto _ : state) {
    try {
      benchmark::DoNotOptimize(orvane::StringStuff::EvalFlat(text));
    } catch (const orvane::RunTimeError&) {
    }
  }
}

void RegisterTypical() {
  const char16_t* const typical[] = {u"C(2,5)+A(2,5)*W(2,5)", u"P6(1,2,3)", u"(C(2,5)+1)*2", u"2*P5(2,3)+1",
                                     u"5!+15!", u"1/3*3", u"2*(3-(1+1))"};
  for (const char16_t* e : typical) {
    const Text text(e);
    bench::WithBest(benchmark::RegisterBenchmark(("Typical/" + orvane::ToUtf8(text)).c_str(),
                                                 [text](benchmark::State& s) { Calculate(s, text); }));
  }
}

struct Shape {
  const char* name;
  Text (*make)(std::size_t);
};

void RegisterShapes() {
  const Shape shapes[] = {{"FlatSum", bench::FlatSum},       {"MixedOperators", bench::MixedOperators},
                          {"DistinctGroups", bench::DistinctGroups}, {"DeepNesting", bench::DeepNesting},
                          {"CountingTerms", bench::CountingTerms}, {"Factorials", bench::Factorials},
                          {"LongMultiset", bench::LongMultiset}, {"Malformed", bench::Malformed},
                          {"UnclosedAfterGroups", bench::UnclosedAfterGroups},
                          {"UnclosedCopyAfterGroups", bench::UnclosedCopyAfterGroups},
                          {"DeepOpenAfterGroups", bench::DeepOpenAfterGroups},
                          {"DeepCopyAfterGroups", bench::DeepCopyAfterGroups},
                          {"DeepChainCopies", bench::DeepChainCopies},
                          {"StaleChains", bench::StaleChains},
                          {"CopiedChains", bench::CopiedChains},
                          {"DeepGrowing", bench::DeepGrowing},
                          {"NestedUnclosed", bench::NestedUnclosed},
                          {"StrayPieces", bench::StrayPieces},
                          {"MovedLetters", bench::MovedLetters},
                          {"MovedPs", bench::MovedPs},
                          {"FrontBeforeLetters", bench::FrontBeforeLetters},
                          {"FrontBeforeAs", bench::FrontBeforeAs},
                          {"FrontBeforePs", bench::FrontBeforePs},
                          {"ShortFrontBeforePs", bench::ShortFrontBeforePs},
                          {"ShortFrontBeforeLetters", bench::ShortFrontBeforeLetters}};
  for (const Shape& shape : shapes) {
    for (const std::size_t size : {1024, 4096, 32766}) {
      const Text text = shape.make(size);
      const std::string suffix = std::string(shape.name) + "/" + std::to_string(size);
      bench::WithBest(benchmark::RegisterBenchmark(("Calculate/" + suffix).c_str(),
                                                   [text](benchmark::State& s) { Calculate(s, text); }))
          ->Unit(benchmark::kMicrosecond);
    }
  }
  for (const Shape& shape : {shapes[0], shapes[1]}) {
    for (const std::size_t size : {1024, 4096, 32766}) {
      const Text text = shape.make(size);
      bench::WithBest(benchmark::RegisterBenchmark(("EvalFlat/" + std::string(shape.name) + "/" + std::to_string(size)).c_str(),
                                                   [text](benchmark::State& s) { EvalFlat(s, text); }))
          ->Unit(benchmark::kMicrosecond);
    }
  }
}

// Slow inputs that the fuzzer found, kept as *found-* seeds: expression, then
// optionally a line feed and the answer box.
void RegisterFound() {
  const std::filesystem::path corpus = ORVANE_CORPUS_DIR;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(corpus, error)) {
    const std::string name = entry.path().filename().string();
    if (name.find("found-") == std::string::npos) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string all = bytes.str();
    const auto split = all.find('\n');
    const Text expression = orvane::FromUtf8(std::string_view(all).substr(0, split));
    const Text answer = split == std::string::npos ? Text(u"0") : orvane::FromUtf8(std::string_view(all).substr(split + 1));
    bench::WithBest(benchmark::RegisterBenchmark(("Found/" + name).c_str(),
                                                 [expression, answer](benchmark::State& s) {
                                                   for (auto _ : s)
                                                     benchmark::DoNotOptimize(orvane::Calculate(expression, answer));
                                                 }))
        ->Unit(benchmark::kMicrosecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Times as the window and orvane-eval see them; ORVANE_BENCH_TRIM=1 shows
  // what a host pays that lets glibc hand freed memory back.
  if (!std::getenv("ORVANE_BENCH_TRIM")) orvane::KeepFreedMemory();
  RegisterTypical();
  RegisterShapes();
  RegisterFound();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
