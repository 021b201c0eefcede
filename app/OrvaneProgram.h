#pragma once
// Program start and end around the tester window: the process-wide services that must exist
// before any window and be released, in order, after the last one is gone.

namespace orvane {

class TOrvaneProgram {
 public:
  // COM for the main thread, then the current-site flag.
  TOrvaneProgram();
  // After the window (and with it the device controller) is destroyed: the application logger
  // writes what is queued and stops, then COM is left when we joined it. The current-site flag
  // goes with the process.
  ~TOrvaneProgram();
  TOrvaneProgram(const TOrvaneProgram&) = delete;
  TOrvaneProgram& operator=(const TOrvaneProgram&) = delete;

  bool ComJoined() const { return comJoined_; }

 private:
  bool comJoined_ = false;
};

}  // namespace orvane
