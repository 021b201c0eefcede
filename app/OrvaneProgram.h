#pragma once
// Program start and end around the tester window: the process-wide services that must exist
// before any window, and their orderly end after the last one is gone.

#include <memory>

namespace orvane {

class Application;
class TKaldCurrentSite;

class TOrvaneProgram {
 public:
  // COM for the main thread, then the current-site flag. Ending the program from inside
  // (Application::Terminate) runs the same end as the destructor.
  TOrvaneProgram();
  // After the window (and with it the device controller) is destroyed.
  ~TOrvaneProgram();
  TOrvaneProgram(const TOrvaneProgram&) = delete;
  TOrvaneProgram& operator=(const TOrvaneProgram&) = delete;

 private:
  // The application logger writes what is queued and stops, COM is left when we joined it, then
  // the single instances go: the current-site flag, the database helpers, the file utilities.
  // Runs once, whichever way the program ends.
  void End();

  Application& application_;
  bool comJoined_ = false;
  bool ended_ = false;
  std::unique_ptr<TKaldCurrentSite> currentSite_;
};

}  // namespace orvane
