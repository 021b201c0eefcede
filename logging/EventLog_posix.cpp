#include <syslog.h>

#include <mutex>
#include <string>

#include "platform/Port.h"
#include "logging/EventLog.h"

namespace orvane {
namespace {

// syslog keeps one identity per process and keeps the pointer openlog receives: each source
// holds its text while registered, and a report of another source than the last one opens the
// log again under that source's name.
class SyslogEventLog : public EventLog {
 public:
  Source RegisterSource(const std::string& name) override { return new std::string(name); }
  bool Report(Source source, EventType type, const std::string& line) override {
    if (!source) return false;
    const int priority = type == EventType::Error ? LOG_ERR : type == EventType::Warning ? LOG_WARNING : LOG_INFO;
    std::lock_guard<std::mutex> guard(lock_);
    if (current_ != source) {
      openlog(static_cast<std::string*>(source)->c_str(), LOG_PID, LOG_USER);
      current_ = source;
    }
    syslog(priority, "%s", line.c_str());
    return true;
  }
  void DeregisterSource(Source source) override {
    if (!source) return;
    std::lock_guard<std::mutex> guard(lock_);
    if (current_ == source) {
      closelog();
      current_ = nullptr;
    }
    delete static_cast<std::string*>(source);
  }

 private:
  std::mutex lock_;
  Source current_ = nullptr;
};

}  // namespace

template <>
EventLog& PlatformAdapter<EventLog>() {
  static SyslogEventLog adapter;
  return adapter;
}

}  // namespace orvane
