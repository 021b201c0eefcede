#pragma once
// Makes every AppLogger().Log of a test reach an in-memory list as well: a logger of its own joins
// the application logger's, whatever AppLogger.xml says, and leaves with the capture.
//
//   orvane::testing::LogCapture capture;
//   ... code that logs ...
//   EXPECT_EQ(capture.Records().front().message, "TDataPhilips.OpenPHILIPSDictCtrl - IN");

#include <memory>
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
    AppLogger().AddLogger(new CaptureLogger(captured_));
  }
  // The capture's logger is gone already when the application logger it joined was released or
  // configured anew.
  ~LogCapture() {
    TLogger* logger = captured_->Logger();
    if (logger == nullptr) return;
    AppLogger().Thread().WaitWritten(kHangLimit);
    AppLogger().RemoveLoggerForTesting(logger);
  }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // Waits until what was queued so far is written, then returns every record of the capture.
  std::vector<LoggedRecord> Records() {
    AppLogger().Thread().WaitWritten(kHangLimit);
    std::lock_guard<std::mutex> lock(captured_->lock);
    return captured_->records;
  }

  std::vector<std::string> Messages() {
    std::vector<std::string> messages;
    for (const LoggedRecord& record : Records()) messages.push_back(record.message);
    return messages;
  }

 private:
  // What the capture's logger saw; outlives the logger, which the application logger owns.
  struct Captured {
    std::mutex lock;
    std::vector<LoggedRecord> records;
    TLogger* logger = nullptr;
    TLogger* Logger() {
      std::lock_guard<std::mutex> guard(lock);
      return logger;
    }
  };
  class CaptureLogger : public TLogger {
   public:
    explicit CaptureLogger(std::shared_ptr<Captured> captured)
        : TLogger(255, -1, nullptr, false, "", false), captured_(std::move(captured)) {
      std::lock_guard<std::mutex> guard(captured_->lock);
      captured_->logger = this;
    }
    ~CaptureLogger() override {
      std::lock_guard<std::mutex> guard(captured_->lock);
      captured_->logger = nullptr;
    }

   protected:
    void DoLog(const std::string& line) override {
      std::lock_guard<std::mutex> guard(captured_->lock);
      captured_->records.push_back({line, CurrentLevel()});
    }

   private:
    std::shared_ptr<Captured> captured_;
  };
  std::shared_ptr<Captured> captured_ = std::make_shared<Captured>();
};

}  // namespace orvane::testing
