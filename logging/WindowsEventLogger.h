#pragma once
// A logger that reports each line as an event of the system's event log (the Application event
// log on Windows, syslog on Linux), under the application's title, so that administrators see
// the program's errors with the system's own tools.

#include "logging/EventLog.h"
#include "logging/Logger.h"

namespace orvane {

class TWindowsEventLogger : public TLogger {
 public:
  // Reads no parameter.
  TWindowsEventLogger(uint8_t niveauMax, int32_t logSpecifique, const TLoggerParams* params, bool insertTime,
                      std::string formatDateTime, bool insertNiveauLog);
  ~TWindowsEventLogger() override;

  uint8_t ErrorLevelMax() const { return ErrorLevelMax_; }
  uint8_t WarningLevelMax() const { return WarningLevelMax_; }
  EventLog::EventType TypeOfLevel(uint8_t level) const;

 protected:
  // Reports one event; a refused report is not a failure.
  void DoLog(const std::string& line) override;

 private:
  EventLog& log_;  // the log the source was registered with
  EventLog::Source EventSource = nullptr;
  uint8_t ErrorLevelMax_ = 5;
  uint8_t WarningLevelMax_ = 50;
};

}  // namespace orvane
