#include <windows.h>

#include "platform/TextConversion.h"
#include "provisioning/DriverPaths.h"

namespace orvane {

char DriverPathDelimiter() { return '\\'; }

std::string TemporaryFolderFromEnvironment() {
  wchar_t buffer[MAX_PATH * 2];
  const DWORD size = GetEnvironmentVariableW(L"Temp", buffer, MAX_PATH * 2);
  if (size == 0 || size >= MAX_PATH * 2) return {};
  return WideToUtf8(std::wstring(buffer, size));
}

}  // namespace orvane
