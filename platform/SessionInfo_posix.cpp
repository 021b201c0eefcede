#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/Port.h"
#include "platform/SessionInfo.h"

namespace orvane {
namespace {

// A session reached through SSH counts as remote; its client is the address SSH_CONNECTION
// begins with.
class PosixSessionInfo : public SessionInfo {
 public:
  bool IsRemoteSession() override {
    const char* connection = std::getenv("SSH_CONNECTION");
    return connection != nullptr && *connection != '\0';
  }
  std::optional<std::string> QuerySessionInformation(uint8_t infoClass) override {
    if (infoClass == kSessionClientName) {
      const char* connection = std::getenv("SSH_CONNECTION");
      if (connection == nullptr) return std::nullopt;
      const std::string text(connection);
      return text.substr(0, text.find(' '));
    }
    if (infoClass == kSessionUserName) {
      passwd entry{};
      passwd* found = nullptr;
      char buffer[4096];
      if (getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr) {
        return std::string(found->pw_name);
      }
    }
    return std::nullopt;
  }
  std::optional<std::string> ComputerName() override {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return std::nullopt;
    // The short host name, like a NetBIOS computer name.
    std::string text(name);
    return text.substr(0, text.find('.'));
  }
};

}  // namespace

template <>
SessionInfo& PlatformAdapter<SessionInfo>() {
  static PosixSessionInfo adapter;
  return adapter;
}

}  // namespace orvane
