#include <windows.h>

#include <stdexcept>

#include "platform/TextConversion.h"
#include "tests/support/UnixProgram.h"

namespace orvane::testing {

UnixProgram::UnixProgram(const std::vector<std::string>& arguments) {
  // Wine finds the program on drive Z:, the root of the Unix file system, and hands the other
  // arguments over as they are; none holds a space or a quote.
  std::wstring line = L"Z:" + Utf8ToWide(arguments[0]);
  for (size_t i = 1; i < arguments.size(); ++i) line += L" " + Utf8ToWide(arguments[i]);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    throw std::runtime_error("cannot start " + arguments[0]);
  }
  // A Unix process has no Windows handle: Wine gives none back, and Wine 8 leaves in their place
  // whatever its own stack held, often a live handle of this process. Nothing here is ours to close.
}

UnixProgram::~UnixProgram() = default;

}  // namespace orvane::testing
