#include <windows.h>

#include "platform/CommandLine.h"
#include "platform/Port.h"
#include "platform/TextConversion.h"

namespace orvane {
namespace {

class WinCommandLine : public CommandLine {
 public:
  std::vector<std::string> Arguments() override {
    std::vector<std::string> words = SplitCommandLine(WideToUtf8(GetCommandLineW()));
    if (!words.empty()) words.erase(words.begin());
    return words;
  }
  std::string ProgramPath() override {
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
      const DWORD size = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
      if (size == 0) return {};
      if (size < path.size()) {
        path.resize(size);
        return WideToUtf8(path);
      }
      if (path.size() >= 65536) return {};
      path.resize(path.size() * 2);
    }
  }
};

}  // namespace

void SetCommandLineArguments(int, char**) {}

template <>
CommandLine& PlatformAdapter<CommandLine>() {
  static WinCommandLine adapter;
  return adapter;
}

}  // namespace orvane
