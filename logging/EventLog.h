#pragma once
// The event-log port: the Windows Application event log, or syslog on Linux.

#include <cstdint>
#include <string>

namespace orvane {

class EventLog {
 public:
  enum class EventType : uint16_t { Error = 1, Warning = 2, Information = 4 };
  // A registered source; nullptr when the registration failed.
  using Source = void*;

  virtual ~EventLog() = default;
  virtual Source RegisterSource(const std::string& name) = 0;
  // One event with Line as its only insertion string; false when the log refused it.
  virtual bool Report(Source source, EventType type, const std::string& line) = 0;
  virtual void DeregisterSource(Source source) = 0;
};

}  // namespace orvane
