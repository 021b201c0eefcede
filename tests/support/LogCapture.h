#pragma once
// Makes every AppLogger().Log of a test reach an in-memory list, whatever AppLogger.xml says.
//
//   orvane::testing::LogCapture capture;
//   ... code that logs ...
//   EXPECT_EQ(capture.Records().front().message, "TDataPhilips.OpenPHILIPSDictCtrl - IN");

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "logging/ApplicationLogger.h"
#include "tests/support/HangLimit.h"

namespace orvane::testing {

struct LoggedRecord {
  std::string message;
  int level = 0;
  bool operator==(const LoggedRecord&) const = default;
};

class LogCapture {
 public:
  // Records logged before the capture starts are not part of it.
  LogCapture() {
    AppLogger().Thread().WaitWritten(kHangLimit);
    SetAppLoggerTap(&logger_);
  }
  ~LogCapture() {
    AppLogger().Thread().WaitWritten(kHangLimit);
    SetAppLoggerTap(nullptr);
  }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // Waits until what was queued so far is written, then returns every record of the capture.
  std::vector<LoggedRecord> Records() {
    AppLogger().Thread().WaitWritten(kHangLimit);
    std::lock_guard<std::mutex> lock(logger_.lock);
    return logger_.records;
  }

  std::vector<std::string> Messages() {
    std::vector<std::string> messages;
    for (const LoggedRecord& record : Records()) messages.push_back(record.message);
    return messages;
  }

 private:
  struct CaptureLogger : TLogger {
    CaptureLogger() : TLogger(255, -1, nullptr, false, "", false) {}
    void DoLog(const std::string& line) override {
      std::lock_guard<std::mutex> guard(lock);
      records.push_back({line, CurrentLevel()});
    }
    std::mutex lock;
    std::vector<LoggedRecord> records;
  };
  CaptureLogger logger_;
};

}  // namespace orvane::testing
