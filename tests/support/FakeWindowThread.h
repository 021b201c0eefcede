#pragma once
// A window thread whose message loop a test turns by hand.

#include <deque>
#include <functional>

#include "tests/support/ScopedPort.h"
#include "platform/WindowThread.h"

namespace orvane::testing {

class FakeWindowThread : public WindowThread {
 public:
  void Post(std::function<void()> work) override { pending_.push_back(std::move(work)); }

  // Runs what is pending, also what that work posts in turn; returns how many ran.
  int RunPending() {
    int ran = 0;
    while (!pending_.empty()) {
      auto work = std::move(pending_.front());
      pending_.pop_front();
      work();
      ++ran;
    }
    return ran;
  }
  size_t PendingCount() const { return pending_.size(); }

 private:
  std::deque<std::function<void()>> pending_;
};

struct ScopedFakeWindowThread {
  FakeWindowThread thread;
  ScopedPort<WindowThread> port{thread};
};

}  // namespace orvane::testing
