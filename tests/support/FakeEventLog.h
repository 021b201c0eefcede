#pragma once
// Records the events the event logger reports.

#include <string>
#include <vector>

#include "tests/support/ScopedPort.h"
#include "logging/EventLog.h"

namespace orvane::testing {

class FakeEventLog : public EventLog {
 public:
  struct Event {
    std::string source;
    EventType type;
    std::string line;
    bool operator==(const Event&) const = default;
  };

  Source RegisterSource(const std::string& name) override {
    sources.push_back(name);
    return refuseRegistration ? nullptr : &sources.back();
  }
  bool Report(Source source, EventType type, const std::string& line) override {
    if (!source) return false;
    events.push_back({*static_cast<std::string*>(source), type, line});
    return true;
  }
  void DeregisterSource(Source source) override { deregistered.push_back(*static_cast<std::string*>(source)); }

  bool refuseRegistration = false;
  std::vector<std::string> sources;  // reserved so that sources keep their address
  std::vector<Event> events;
  std::vector<std::string> deregistered;
  FakeEventLog() { sources.reserve(64); }
};

struct ScopedFakeEventLog {
  FakeEventLog log;
  ScopedPort<EventLog> port{log};
};

}  // namespace orvane::testing
