#pragma once
// A clock that shows the time a test sets.

#include "platform/Clock.h"
#include "tests/support/ScopedPort.h"

namespace orvane::testing {

class FakeClock : public Clock {
 public:
  TDateTime Now() override { return now; }
  uint32_t TickCount() override { return tickCount; }

  TDateTime now = EncodeDateTime(2024, 3, 5, 14, 5, 0);
  uint32_t tickCount = 0;
};

// A fake clock in place for the lifetime of a test.
struct ScopedFakeClock {
  FakeClock clock;
  ScopedPort<Clock> port{clock};
};

}  // namespace orvane::testing
