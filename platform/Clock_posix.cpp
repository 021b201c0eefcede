#include <time.h>

#include "platform/Clock.h"
#include "platform/Port.h"

namespace orvane {
namespace {

class PosixClock : public Clock {
 public:
  TDateTime Now() override {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    // Every log line reads the clock: the local time is worked out once a second per thread.
    thread_local time_t second = -1;
    thread_local tm local{};
    if (now.tv_sec != second) {
      localtime_r(&now.tv_sec, &local);
      second = now.tv_sec;
    }
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                          local.tm_sec > 59 ? 59 : local.tm_sec, static_cast<int>(now.tv_nsec / 1000000));
  }
  uint32_t TickCount() override {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
  }
};

}  // namespace

template <>
Clock& PlatformAdapter<Clock>() {
  static PosixClock adapter;
  return adapter;
}

}  // namespace orvane
