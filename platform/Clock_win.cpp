#include <windows.h>

#include "platform/Clock.h"
#include "platform/Port.h"

namespace orvane {
namespace {

class WinClock : public Clock {
 public:
  TDateTime Now() override {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return EncodeDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
  }
  uint32_t TickCount() override { return GetTickCount(); }
};

}  // namespace

template <>
Clock& PlatformAdapter<Clock>() {
  static WinClock adapter;
  return adapter;
}

}  // namespace orvane
