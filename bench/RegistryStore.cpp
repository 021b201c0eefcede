// One start's driver verification and registry adjustment on a Linux registry store of 20 and
// of 200,000 keys, in version 5 UTF-16LE as the registry editor writes it. "Start": the models
// were adjusted before, as at every start but the first; "FirstStart": the adjustment creates
// and stamps the 19 models. Each run is a fresh process (fork), so nothing is parsed ahead of
// it; it reports the memory it added at its peak against the store's size. "ParseDeletions":
// the reading of a store whose keys are all taken out again by removal sections further down.

#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "logging/ApplicationLogger.h"
#include "provisioning/VerificationPilotesSM.h"
#include "provisioning/registry/store/RegistryFile.h"

namespace {

const char* const kModels[] = {"3000", "3005", "3010", "3200", "3205", "3210", "3215", "3300", "3310", "3315",
                               "5262", "5272", "5274", "5276", "5284", "6264_52", "7272", "7274", "7276"};

// Writes the export's text as UTF-16LE, a piece at a time.
class Utf16Writer {
 public:
  explicit Utf16Writer(std::ostream& out) : out_(out) { out_ << "\xFF\xFE"; }
  void Line(const std::string& ascii) {
    for (char c : ascii + "\r\n") {
      out_.put(c);
      out_.put('\0');
    }
  }

 private:
  std::ostream& out_;
};

std::string WriteStore(const std::filesystem::path& folder, int keys, bool adjusted) {
  const std::string file = (folder / "registry.reg").string();
  std::ofstream stream(file, std::ios::binary);
  Utf16Writer out(stream);
  out.Line("Windows Registry Editor Version 5.00");
  out.Line("");
  out.Line("[HKEY_CLASSES_ROOT\\Installer\\Features\\777D4C2D1DBB5204A8655A0CBF18D267]");
  out.Line("\"SpMikeCtrl\"=\"\"");
  out.Line("");
  out.Line("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]");
  out.Line("");
  out.Line("[HKEY_CURRENT_USER\\Control Panel\\Philips Speech]");
  out.Line("");
  for (const char* model : kModels) {
    if (!adjusted) break;
    out.Line(std::string("[HKEY_CURRENT_USER\\Control Panel\\Philips Speech\\") + model + "\\Default]");
    out.Line("\"SequenceEnabled\"=dword:00000000");
    out.Line("\"KALDInstallation\"=\"09/12/2026 10:15:00\"");
    out.Line("");
  }
  char line[160];
  for (int key = 0; key < keys; ++key) {
    std::snprintf(line, sizeof line, "[HKEY_CURRENT_USER\\Software\\Vendor%03d\\Product%02d\\Settings\\Item%06d]",
                  key % 997, key % 31, key);
    out.Line(line);
    std::snprintf(line, sizeof line, "\"Value\"=dword:%08x", key);
    out.Line(line);
    out.Line("");
  }
  return file;
}

long StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string name;
  long kilobytes = 0;
  while (status >> name) {
    if (name == field) {
      status >> kilobytes;
      return kilobytes;
    }
    status.ignore(1 << 16, '\n');
  }
  return 0;
}

double CpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct RunResult {
  double seconds = 0;
  double cpuSeconds = 0;  // the machine may be shared: what the run itself used
  long addedPeakKilobytes = 0;
  bool result = false;
};

// The start in a child process: its peak starts at what it holds when it begins.
RunResult RunStartInChild() {
  int channel[2];
  if (::pipe(channel) != 0) std::abort();
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    orvane::AppLogger().ClearLoggers();
    RunResult run;
    const long before = StatusKilobytes("VmRSS:");
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    run.result = orvane::VerificationPilotesSM(false, nullptr, -1);
    run.cpuSeconds = CpuSeconds() - cpuStart;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.addedPeakKilobytes = StatusKilobytes("VmHWM:") - before;
    (void)!::write(channel[1], &run, sizeof run);
    ::_exit(0);
  }
  ::close(channel[1]);
  RunResult run;
  const bool received = ::read(channel[0], &run, sizeof run) == sizeof run;
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!received) std::abort();
  return run;
}

void StartOn(benchmark::State& state, bool adjusted) {
  const auto folder = std::filesystem::temp_directory_path() / ("orvane-bench-registry-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  ::setenv("ORVANE_REGISTRY", (folder / "registry.reg").c_str(), 1);
  RunResult last;
  double storeBytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    storeBytes = static_cast<double>(std::filesystem::file_size(WriteStore(folder, static_cast<int>(state.range(0)), adjusted)));
    state.ResumeTiming();
    last = RunStartInChild();
    state.SetIterationTime(last.seconds);
    if (!last.result) state.SkipWithError("the verification did not let the program go on");
  }
  std::filesystem::remove_all(folder);
  state.counters["store_MB"] = storeBytes / 1e6;
  state.counters["cpu_s"] = last.cpuSeconds;
  state.counters["peak_added_MB"] = static_cast<double>(last.addedPeakKilobytes) * 1024 / 1e6;
  state.counters["peak_per_store_size"] = static_cast<double>(last.addedPeakKilobytes) * 1024 / storeBytes;
}

void Start(benchmark::State& state) { StartOn(state, true); }
void FirstStart(benchmark::State& state) { StartOn(state, false); }
// Keys, each with a value, then a removal section for each of them.
void ParseDeletions(benchmark::State& state) {
  std::ostringstream stream;
  Utf16Writer out(stream);
  out.Line("Windows Registry Editor Version 5.00");
  out.Line("");
  const auto keys = static_cast<int>(state.range(0));
  char line[160];
  for (int key = 0; key < keys; ++key) {
    std::snprintf(line, sizeof line, "[HKEY_CURRENT_USER\\Software\\Vendor%03d\\Item%06d]", key % 97, key);
    out.Line(line);
    out.Line("\"Value\"=dword:00000001");
    out.Line("");
  }
  for (int key = 0; key < keys; ++key) {
    std::snprintf(line, sizeof line, "[-HKEY_CURRENT_USER\\Software\\Vendor%03d\\Item%06d]", key % 97, key);
    out.Line(line);
    out.Line("");
  }
  const std::string bytes = stream.str();
  for (auto _ : state) {
    const orvane::TRegistryFile file = orvane::TRegistryFile::Parse(bytes);
    if (file.KeyExists(orvane::TRootKey::CurrentUser, "Software\\Vendor000\\Item000000")) {
      state.SkipWithError("a removed key is still there");
    }
  }
  state.counters["store_MB"] = static_cast<double>(bytes.size()) / 1e6;
}

BENCHMARK(ParseDeletions)->Arg(40000)->Unit(benchmark::kMillisecond);
BENCHMARK(Start)->Arg(20)->Arg(200000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(FirstStart)->Arg(20)->Arg(200000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
