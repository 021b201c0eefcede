// What a log call costs its caller: AppLogger().Log against spdlog's asynchronous logger, both
// writing nowhere (no configured logger, a null sink), so only the caller's side counts.

#include <benchmark/benchmark.h>
#include <spdlog/async.h>
#include <spdlog/async_logger.h>
#include <spdlog/sinks/null_sink.h>

#include <chrono>
#include <memory>
#include <string>

#include "logging/ApplicationLogger.h"

namespace {

const std::string kMessage = "TDataPhilips.OpenPHILIPSDictCtrl - IN";

void AppLoggerLog(benchmark::State& state) {
  if (state.thread_index() == 0) {
    orvane::AppLogger().ClearLoggers();
  }
  for (auto _ : state) orvane::AppLogger().Log(kMessage, 250, 0);
  if (state.thread_index() == 0) orvane::AppLogger().Thread().WaitWritten(std::chrono::seconds(60));
}
BENCHMARK(AppLoggerLog)->Threads(1)->Threads(4)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

std::shared_ptr<spdlog::async_logger> SpdlogAsync() {
  static auto logger = [] {
    spdlog::init_thread_pool(8192, 1);
    return std::make_shared<spdlog::async_logger>("bench", std::make_shared<spdlog::sinks::null_sink_mt>(),
                                                  spdlog::thread_pool(), spdlog::async_overflow_policy::block);
  }();
  return logger;
}

void SpdlogAsyncLog(benchmark::State& state) {
  const auto logger = SpdlogAsync();
  for (auto _ : state) logger->info(kMessage);
}
BENCHMARK(SpdlogAsyncLog)->Threads(1)->Threads(4)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
