#include <spawn.h>
#include <sys/wait.h>

#include <stdexcept>

#include "tests/support/UnixProgram.h"

extern char** environ;

namespace orvane::testing {

UnixProgram::UnixProgram(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
    throw std::runtime_error("cannot start " + arguments[0]);
  }
  process_ = pid;
}

UnixProgram::~UnixProgram() { ::waitpid(static_cast<pid_t>(process_), nullptr, 0); }

}  // namespace orvane::testing
