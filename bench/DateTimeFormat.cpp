// The log time stamp: our format language against strftime + snprintf making the same text.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>

#include "common/DateTimeFormat.h"

namespace {

const orvane::TDateTime kStamp = orvane::EncodeDateTime(2024, 3, 5, 14, 7, 9, 42);

void FormatDateTimeStamp(benchmark::State& state) {
  orvane::TDateTime value = kStamp;
  for (auto _ : state) {
    std::string text = orvane::FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", value);
    benchmark::DoNotOptimize(text);
    value += 1.0 / 86400000.0;
  }
}
BENCHMARK(FormatDateTimeStamp);

void StrftimeSnprintfStamp(benchmark::State& state) {
  tm parts{};
  parts.tm_year = 124;
  parts.tm_mon = 2;
  parts.tm_mday = 5;
  parts.tm_hour = 14;
  parts.tm_min = 7;
  parts.tm_sec = 9;
  int ms = 42;
  for (auto _ : state) {
    char date[32];
    const size_t n = std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &parts);
    char out[48];
    std::snprintf(out, sizeof out, "%.*s.%03d", static_cast<int>(n), date, ms);
    std::string text(out);
    benchmark::DoNotOptimize(text);
    ms = (ms + 1) % 1000;
  }
}
BENCHMARK(StrftimeSnprintfStamp);

}  // namespace
