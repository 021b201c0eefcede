#pragma once
// The window-thread port: work handed to the window thread's message loop, run after the
// current message is handled, in the order posted. Components use it to raise their events
// later on the window thread, never inside the call that caused them.

#include <functional>

namespace orvane {

class WindowThread {
 public:
  virtual ~WindowThread() = default;
  // Called on the window thread; work runs there once the message loop gets to it.
  virtual void Post(std::function<void()> work) = 0;
};

}  // namespace orvane
