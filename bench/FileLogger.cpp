// Lines per second of the file logger, which opens and closes its file for every line, against
// a plain loop of open-append, write and close of the same lines: the limit of that design.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "logging/FileLogger.h"

namespace {

const std::string kLine = "TDataPhilips.OpenPHILIPSDictCtrl - IN";

std::filesystem::path Folder() {
  const auto folder = std::filesystem::temp_directory_path() / "orvane_bench_file_logger";
  std::filesystem::create_directories(folder);
  return folder;
}

void FileLoggerLines(benchmark::State& state) {
  const std::string name = (Folder() / "logger.txt").string();
  orvane::TLoggerParams params{"FileName=" + name};
  orvane::TFileLogger logger(255, 0, &params, state.range(0) != 0, orvane::kDefaultLogTimeFormat, state.range(0) != 0);
  for (auto _ : state) logger.Log(kLine, 250, 0);
  state.SetItemsProcessed(state.iterations());
  std::filesystem::remove(name);
}
// 0: the line alone; 1: with time stamp and level, as the sample configuration writes it.
BENCHMARK(FileLoggerLines)->Arg(0)->Arg(1)->Repetitions(3)->ReportAggregatesOnly(true);

void PlainOpenAppendClose(benchmark::State& state) {
  const std::string name = (Folder() / "plain.txt").string();
  const std::string line = kLine + "\r\n";
  for (auto _ : state) {
    const int fd = ::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    benchmark::DoNotOptimize(::write(fd, line.data(), line.size()));
    ::close(fd);
  }
  state.SetItemsProcessed(state.iterations());
  std::filesystem::remove(name);
}
BENCHMARK(PlainOpenAppendClose)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace
