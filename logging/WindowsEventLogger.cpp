#include "logging/WindowsEventLogger.h"

#include "common/ApplicationName.h"
#include "platform/Port.h"

namespace orvane {

TWindowsEventLogger::TWindowsEventLogger(uint8_t niveauMax, int32_t logSpecifique, const TLoggerParams* params,
                                         bool insertTime, std::string formatDateTime, bool insertNiveauLog)
    : TLogger(niveauMax, logSpecifique, params, insertTime, std::move(formatDateTime), insertNiveauLog), log_(Port<EventLog>()) {
  EventSource = log_.RegisterSource(ApplicationTitle());
}

TWindowsEventLogger::~TWindowsEventLogger() {
  if (EventSource) log_.DeregisterSource(EventSource);
}

EventLog::EventType TWindowsEventLogger::TypeOfLevel(uint8_t level) const {
  if (level <= ErrorLevelMax_) return EventLog::EventType::Error;
  if (level <= WarningLevelMax_) return EventLog::EventType::Warning;
  return EventLog::EventType::Information;
}

void TWindowsEventLogger::DoLog(const std::string& line) {
  log_.Report(EventSource, TypeOfLevel(CurrentLevel()), line);
}

}  // namespace orvane
