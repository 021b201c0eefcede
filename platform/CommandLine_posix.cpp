#include <unistd.h>

#include <mutex>

#include "platform/CommandLine.h"
#include "platform/Port.h"

namespace orvane {
namespace {

std::mutex argumentsLock;
std::vector<std::string> handedArguments;

class PosixCommandLine : public CommandLine {
 public:
  std::vector<std::string> Arguments() override {
    std::lock_guard lock(argumentsLock);
    return handedArguments;
  }
  std::string ProgramPath() override {
    std::string path(4096, '\0');
    const ssize_t size = readlink("/proc/self/exe", path.data(), path.size());
    if (size <= 0) return {};
    path.resize(static_cast<size_t>(size));
    return path;
  }
};

}  // namespace

void SetCommandLineArguments(int argc, char** argv) {
  std::lock_guard lock(argumentsLock);
  handedArguments.clear();
  for (int i = 1; i < argc && argv != nullptr && argv[i] != nullptr; ++i) handedArguments.emplace_back(argv[i]);
}

template <>
CommandLine& PlatformAdapter<CommandLine>() {
  static PosixCommandLine adapter;
  return adapter;
}

}  // namespace orvane
