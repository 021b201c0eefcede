#pragma once
// How long a test waits for an event before it calls it a hang: long enough for a loaded
// machine, a sanitizer or Wine, so that only a real hang reaches it. Tests wait for the event
// itself and never for a span of time.

#include <chrono>

namespace orvane::testing {

inline constexpr std::chrono::milliseconds kHangLimit = std::chrono::minutes(2);

}  // namespace orvane::testing
