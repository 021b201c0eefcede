#pragma once
// The COM runtime port: the main thread's membership of COM, which the XML parser of the logging
// configuration needs on Windows.

namespace orvane {

class ComRuntime {
 public:
  virtual ~ComRuntime() = default;
  // Joins the calling thread to a single-threaded apartment; true when the join succeeded, also
  // when the thread already was in it, so that the caller knows it must leave it once.
  virtual bool InitializeMainThread() = 0;
  virtual void UninitializeMainThread() = 0;
};

}  // namespace orvane
