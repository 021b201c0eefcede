#pragma once
// The program runner port: start a command line, optionally wait for its end.

#include <cstdint>
#include <string>

namespace orvane {

class ProcessRunner {
 public:
  struct Outcome {
    bool started = false;
    // The system error code when the program could not be started; 2 is "file not found".
    uint32_t error = 0;
    // The exit code after a successful wait, else 0xFFFFFFFF.
    uint32_t exitCode = 0xFFFFFFFF;
  };
  virtual ~ProcessRunner() = default;
  // The program is the command line's first word, found by the platform's usual search.
  virtual Outcome Run(const std::string& commandLine, uint16_t showWindow, bool wait) = 0;
};

}  // namespace orvane
