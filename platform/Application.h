#pragma once
// The application port: what the core asks of the running program and its windows.

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <utility>

namespace orvane {

class Application {
 public:
  virtual ~Application() = default;
  // Brings the application's windows to the front, restoring them when minimised.
  virtual void BringToFront() = 0;
  // Lets pending window messages through (repaints, clicks) and returns.
  virtual void ProcessMessages() = 0;
  // The default beep.
  virtual void Beep() = 0;
  // The thread's last operating-system error code.
  virtual uint32_t LastOsError() = 0;

  // What Terminate runs before the process goes: the program's orderly end (the application
  // logger writes what is queued, the process-wide services are released). The program's
  // start-up hands it over; its normal end takes it back with none.
  void SetOrderlyEnd(std::function<void()> end) { orderlyEnd_ = std::move(end); }
  // Ends the program with ExitCode, from wherever it is: the orderly end, then the process exits.
  [[noreturn]] void Terminate(int exitCode) {
    if (std::function<void()> end = std::exchange(orderlyEnd_, nullptr)) end();
    Exit(exitCode);
    std::abort();  // only an Exit that came back
  }

 protected:
  // Leaves the process; the objects of static duration are destroyed, the windows are not.
  [[noreturn]] virtual void Exit(int exitCode) { std::exit(exitCode); }

 private:
  std::function<void()> orderlyEnd_;
};

}  // namespace orvane
