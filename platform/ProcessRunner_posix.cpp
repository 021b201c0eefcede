#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <vector>

#include "platform/CommandLine.h"
#include "platform/Port.h"
#include "platform/ProcessRunner.h"

extern char** environ;

namespace orvane {
namespace {

// The Windows codes of the start failures, so callers judge them alike on both platforms.
uint32_t WindowsErrorOf(int error) {
  switch (error) {
    case ENOENT: case ENOTDIR: return 2;      // file not found
    case EACCES: case EPERM: return 5;        // access denied
    case ENOEXEC: return 193;                 // not a valid program
    case ENOMEM: return 8;                    // not enough memory
    case E2BIG: return 206;                   // name too long
    default: return static_cast<uint32_t>(error);
  }
}

class PosixProcessRunner : public ProcessRunner {
 public:
  Outcome Run(const std::string& commandLine, uint16_t, bool wait) override {
    // The words as a Windows program would read its command line.
    std::vector<std::string> words = SplitCommandLine(commandLine);
    Outcome outcome;
    if (words.empty() || words[0].empty()) {
      outcome.error = 2;
      return outcome;
    }
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    if (error != 0) {
      outcome.error = WindowsErrorOf(error);
      return outcome;
    }
    outcome.started = true;
    if (!wait) {
      // Someone has to collect the child's end, or it stays a zombie.
      std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
      }).detach();
      return outcome;
    }
    int status = 0;
    pid_t waited;
    while ((waited = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    if (waited == pid) {
      if (WIFEXITED(status)) {
        outcome.exitCode = static_cast<uint32_t>(WEXITSTATUS(status));
      } else if (WIFSIGNALED(status)) {
        // As shells report it: a program killed by a signal never reads as a success.
        outcome.exitCode = 128u + static_cast<uint32_t>(WTERMSIG(status));
      }
    }
    return outcome;
  }
};

}  // namespace

template <>
ProcessRunner& PlatformAdapter<ProcessRunner>() {
  static PosixProcessRunner adapter;
  return adapter;
}

}  // namespace orvane
