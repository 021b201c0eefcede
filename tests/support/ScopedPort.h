#pragma once
// Puts a test's fake in place of a port's implementation for the lifetime of the object.
//
//   FakeRegistry registry;
//   ScopedPort<Registry> port(registry);

#include "logging/ApplicationLogger.h"
#include "platform/Port.h"
#include "tests/support/HangLimit.h"

namespace orvane {

template <class P>
class ScopedPort {
 public:
  explicit ScopedPort(P& fake) : previous_(ReplacePortForTesting(&fake)) {}
  // The logging thread may be using the fake (clock, files, event log, regional settings): the
  // records already queued are written before it goes.
  ~ScopedPort() {
    WaitAppLoggerWrittenForTesting(testing::kHangLimit);
    ReplacePortForTesting(previous_);
  }
  ScopedPort(const ScopedPort&) = delete;
  ScopedPort& operator=(const ScopedPort&) = delete;

 private:
  P* previous_;
};

}  // namespace orvane
