#include <windows.h>

#include "platform/Port.h"
#include "platform/SessionInfo.h"
#include "platform/TextConversion.h"

namespace orvane {
namespace {

using QueryFunction = BOOL(WINAPI*)(HANDLE server, DWORD sessionId, int infoClass, LPSTR* buffer, DWORD* bytes);
using FreeFunction = void(WINAPI*)(PVOID memory);

class WinSessionInfo : public SessionInfo {
 public:
  bool IsRemoteSession() override { return GetSystemMetrics(SM_REMOTESESSION) != 0; }

  std::optional<std::string> QuerySessionInformation(uint8_t infoClass) override {
    // The session library is loaded at run time and stays loaded.
    HMODULE library = LoadLibraryW(L"wtsapi32.dll");
    if (library == nullptr) return std::nullopt;
    const auto query = reinterpret_cast<QueryFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "WTSQuerySessionInformationA")));
    const auto release = reinterpret_cast<FreeFunction>(reinterpret_cast<void*>(GetProcAddress(library, "WTSFreeMemory")));
    if (query == nullptr || release == nullptr) return std::nullopt;
    LPSTR buffer = nullptr;
    DWORD bytes = 0;
    // The current server (0) and the current session (0xFFFFFFFF).
    if (!query(nullptr, 0xFFFFFFFF, infoClass, &buffer, &bytes)) return std::nullopt;
    std::optional<std::string> result;
    try {
      if (buffer != nullptr) {
        size_t length = 0;
        while (length < bytes && buffer[length] != '\0') ++length;
        result = AnsiToUtf8(std::string(buffer, length));
      } else {
        result = std::string();
      }
    } catch (...) {
      release(buffer);
      throw;
    }
    release(buffer);
    return result;
  }

  std::optional<std::string> ComputerName() override {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &size)) return std::nullopt;
    return WideToUtf8(std::wstring(name, size));
  }
};

}  // namespace

template <>
SessionInfo& PlatformAdapter<SessionInfo>() {
  static WinSessionInfo adapter;
  return adapter;
}

}  // namespace orvane
