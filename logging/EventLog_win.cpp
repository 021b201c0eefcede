#include <windows.h>

#include "platform/Port.h"
#include "platform/TextConversion.h"
#include "logging/EventLog.h"

namespace orvane {
namespace {

class WinEventLog : public EventLog {
 public:
  Source RegisterSource(const std::string& name) override {
    return RegisterEventSourceW(nullptr, Utf8ToWide(name).c_str());
  }
  bool Report(Source source, EventType type, const std::string& line) override {
    const std::wstring text = Utf8ToWide(line);
    const wchar_t* strings[] = {text.c_str()};
    return ReportEventW(static_cast<HANDLE>(source), static_cast<WORD>(type), 0, 0, nullptr, 1, 0, strings, nullptr) != 0;
  }
  void DeregisterSource(Source source) override {
    if (source) DeregisterEventSource(static_cast<HANDLE>(source));
  }
};

}  // namespace

template <>
EventLog& PlatformAdapter<EventLog>() {
  static WinEventLog adapter;
  return adapter;
}

}  // namespace orvane
