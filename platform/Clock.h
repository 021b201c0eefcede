#pragma once
// The clock port: the current local date-time and the system tick counter.

#include <cstdint>

#include "common/DateTime.h"

namespace orvane {

class Clock {
 public:
  virtual ~Clock() = default;
  // The current local date and time.
  virtual TDateTime Now() = 0;
  // Milliseconds since the system started, wrapping at 2^32.
  virtual uint32_t TickCount() = 0;
};

}  // namespace orvane
