#pragma once
// A program runner that records the command lines and answers as a test says.

#include <string>
#include <vector>

#include "tests/support/ScopedPort.h"
#include "platform/ProcessRunner.h"

namespace orvane::testing {

class FakeProcessRunner : public ProcessRunner {
 public:
  struct Call {
    std::string commandLine;
    uint16_t showWindow;
    bool wait;
  };
  Outcome Run(const std::string& commandLine, uint16_t showWindow, bool wait) override {
    calls.push_back({commandLine, showWindow, wait});
    Outcome result = outcome;
    if (!wait && result.started) result.exitCode = 0xFFFFFFFF;
    return result;
  }

  // A program that starts and ends with ExitCode.
  void Exits(uint32_t exitCode) { outcome = {true, 0, exitCode}; }
  // A program that cannot be started, with the system's error code.
  void FailsToStart(uint32_t error) { outcome = {false, error, 0xFFFFFFFF}; }

  Outcome outcome{true, 0, 0};
  std::vector<Call> calls;
};

struct ScopedFakeProcessRunner {
  FakeProcessRunner runner;
  ScopedPort<ProcessRunner> port{runner};
};

}  // namespace orvane::testing
