#pragma once
// A command line and program path a test chooses.

#include <string>
#include <vector>

#include "platform/CommandLine.h"
#include "tests/support/ScopedPort.h"

namespace orvane::testing {

class FakeCommandLine : public CommandLine {
 public:
  std::vector<std::string> Arguments() override { return arguments; }
  std::string ProgramPath() override { return programPath; }

  std::vector<std::string> arguments;
  std::string programPath = "C:\\Prog\\Orvane.exe";
};

struct ScopedFakeCommandLine {
  explicit ScopedFakeCommandLine(std::vector<std::string> arguments = {}) { commandLine.arguments = std::move(arguments); }
  FakeCommandLine commandLine;
  ScopedPort<CommandLine> port{commandLine};
};

}  // namespace orvane::testing
