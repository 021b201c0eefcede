// Expanding a daily log file's mask, as a file logger does when its name may have changed.
#include <benchmark/benchmark.h>

#include "common/Global_File.h"

namespace {

void ExpandDailyMask(benchmark::State& state) {
  for (auto _ : state) {
    orvane::TDateTime next = 0;
    std::string name = orvane::GlobalFile().ExpandFileMask("log\\appli_?DATE?.txt", next);
    benchmark::DoNotOptimize(name);
    benchmark::DoNotOptimize(next);
  }
}
BENCHMARK(ExpandDailyMask);

}  // namespace
