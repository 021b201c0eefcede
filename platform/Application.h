#pragma once
// The application port: what the core asks of the running program and its windows.

#include <cstdint>

namespace orvane {

class Application {
 public:
  virtual ~Application() = default;
  // Brings the application's windows to the front, restoring them when minimised.
  virtual void BringToFront() = 0;
  // Lets pending window messages through (repaints, clicks) and returns.
  virtual void ProcessMessages() = 0;
  // Ends the program with ExitCode after the orderly end of the process-wide services
  // (the application logger writes what is queued). A test's fake records it and returns.
  virtual void Terminate(int exitCode) = 0;
  // The default beep.
  virtual void Beep() = 0;
  // The thread's last operating-system error code.
  virtual uint32_t LastOsError() = 0;
};

}  // namespace orvane
