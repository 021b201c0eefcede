#pragma once
// A session and computer identity a test chooses, including the failures: no session library
// (items missing), a computer name that cannot be read.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/ScopedPort.h"
#include "platform/SessionInfo.h"

namespace orvane::testing {

class FakeSessionInfo : public SessionInfo {
 public:
  bool IsRemoteSession() override { return remote; }
  std::optional<std::string> QuerySessionInformation(uint8_t infoClass) override {
    queried.push_back(infoClass);
    const auto found = items.find(infoClass);
    if (found == items.end()) return std::nullopt;
    return found->second;
  }
  std::optional<std::string> ComputerName() override { return computerName; }

  // A remote session opened from the client computer Client.
  void RemoteFrom(const std::string& client) {
    remote = true;
    items[kSessionClientName] = client;
  }

  bool remote = false;
  std::map<uint8_t, std::string> items;
  std::optional<std::string> computerName = std::string("SERVEUR01");
  std::vector<uint8_t> queried;
};

struct ScopedFakeSessionInfo {
  FakeSessionInfo session;
  ScopedPort<SessionInfo> port{session};
};

}  // namespace orvane::testing
