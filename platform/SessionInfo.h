#pragma once
// The session and computer identity port.

#include <cstdint>
#include <optional>
#include <string>

namespace orvane {

class SessionInfo {
 public:
  virtual ~SessionInfo() = default;
  // The process runs in a remote (terminal services) session.
  virtual bool IsRemoteSession() = 0;
  // One text item of the current session, as the session library gives it (untrimmed); nothing
  // when the library, the function or the item is unavailable.
  virtual std::optional<std::string> QuerySessionInformation(uint8_t infoClass) = 0;
  // The computer's name; nothing when it cannot be read.
  virtual std::optional<std::string> ComputerName() = 0;
};

// Information classes of the session library that the core asks for.
inline constexpr uint8_t kSessionUserName = 5;
inline constexpr uint8_t kSessionClientName = 10;

}  // namespace orvane
