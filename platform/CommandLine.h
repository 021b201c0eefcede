#pragma once
// The command-line port: the program's arguments (the program path is not one of them) and the
// path of the program file itself.

#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class CommandLine {
 public:
  virtual ~CommandLine() = default;
  virtual std::vector<std::string> Arguments() = 0;
  virtual std::string ProgramPath() = 0;
};

// Splits a command line as Windows programs read theirs: blanks and control characters separate
// the words, double quotes group blanks into one word and are removed.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Hands the program's argv to the command-line port. Linux programs call it first thing in main;
// on Windows the port reads the process's own command line and this does nothing.
void SetCommandLineArguments(int argc, char** argv);

}  // namespace orvane
