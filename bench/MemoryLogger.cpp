// Lines per second of a trigger-mode memory logger keeping its last 1024 lines.

#include <benchmark/benchmark.h>

#include <string>

#include "logging/MemoryLogger.h"

namespace {

void MemoryLoggerTrigger(benchmark::State& state) {
  // No file: the lines only go round the ring, and level 250 never triggers a dump.
  orvane::TLoggerParams params{"MaxLigne=1024", "DumpType=Trigger", "NiveauDump=5"};
  orvane::TMemoryLogger logger(255, 0, &params, false, "", false);
  const std::string line = "2024-03-05 14:07:09.042: [250] TDataPhilips.OpenPHILIPSDictCtrl - IN";
  for (auto _ : state) logger.Log(line, 250, 0);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(MemoryLoggerTrigger)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace
