#include <windows.h>

#include "platform/Port.h"
#include "platform/ProcessRunner.h"
#include "platform/TextConversion.h"

namespace orvane {
namespace {

class WinProcessRunner : public ProcessRunner {
 public:
  Outcome Run(const std::string& commandLine, uint16_t showWindow, bool wait) override {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindow;
    PROCESS_INFORMATION process{};
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::wstring line = Utf8ToWide(commandLine);
    line.push_back(L'\0');
    Outcome outcome;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                        &startup, &process)) {
      outcome.error = GetLastError();
      return outcome;
    }
    outcome.started = true;
    CloseHandle(process.hThread);
    if (wait && WaitForSingleObject(process.hProcess, INFINITE) != WAIT_FAILED) {
      DWORD exitCode = 0;
      if (GetExitCodeProcess(process.hProcess, &exitCode)) outcome.exitCode = exitCode;
    }
    CloseHandle(process.hProcess);
    return outcome;
  }
};

}  // namespace

template <>
ProcessRunner& PlatformAdapter<ProcessRunner>() {
  static WinProcessRunner adapter;
  return adapter;
}

}  // namespace orvane
