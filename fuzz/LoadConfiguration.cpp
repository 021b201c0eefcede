// AppLogger.xml as sites write it by hand: any text either loads or fails with a message.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "common/Exceptions.h"
#include "platform/Port.h"
#include "logging/ApplicationLogger.h"
#include "tests/support/FakeEventLog.h"
#include "tests/support/FakeLogFiles.h"

namespace {

// The loggers that a document creates write into memory, whatever names it gives them.
struct Harness {
  orvane::testing::ScopedFakeLogFiles files;
  orvane::testing::ScopedFakeEventLog events;
  std::string path = "/tmp/orvane_fuzz_LoadConfiguration_" + std::to_string(getpid()) + ".xml";
  ~Harness() { std::remove(path.c_str()); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Harness harness;
  {
    std::ofstream file(harness.path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  harness.files.files.files.clear();
  harness.files.files.files[harness.path] = "";
  harness.events.log.events.clear();
  try {
    orvane::AppLogger().LoadConfiguration(harness.path);
  } catch (const orvane::Exception& e) {
    if (e.Message().rfind("TApplicationLogger : ", 0) != 0) __builtin_trap();
  }
  orvane::AppLogger().ClearLoggers();
  return 0;
}
