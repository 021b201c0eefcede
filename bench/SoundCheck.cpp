// The sound check's level computation, on 48 kHz stereo float blocks of 10 ms as WASAPI and
// winepulse deliver them: seconds of sound measured per second of one core (the "x real time"
// counter). The time per block is what a block costs the capture thread before its figures are
// published.

#include <benchmark/benchmark.h>

#include "audio/SoundCheck.h"
#include "tests/support/SoundSignals.h"

namespace {

constexpr orvane::TSoundFormat kFormat{orvane::TSampleType::Float32, 2, 48000};

void SoundCheckLevels(benchmark::State& state) {
  const auto tone = orvane::testing::Sine(kFormat, 1.0, 1000, -20);
  constexpr size_t kBlock = 480;  // 10 ms
  orvane::TSoundCheck check;
  size_t at = 0;
  for (auto _ : state) {
    check.Feed(tone.Block(at, kBlock));
    at = (at + kBlock) % tone.Frames();
  }
  benchmark::DoNotOptimize(check.Levels());
  state.counters["x real time"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kBlock / kFormat.rate, benchmark::Counter::kIsRate);
}
BENCHMARK(SoundCheckLevels)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace
