#pragma once
// The application logger: every part of the program logs through AppLogger().Log(message,
// level, 0). A call only queues the message; one background thread hands each message, in the
// order of the calls, to every logger that AppLogger.xml configures.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "logging/Logger.h"
#include "logging/XmlParser.h"

namespace orvane {

class TApplicationLogger;

struct TLogRecord {
  uint8_t Level = 0;
  int32_t Specific = 0;
  std::string Message;
};

class TAppLoggerThread {
 public:
  explicit TAppLoggerThread(TApplicationLogger* owner);
  // Stops the thread at once; records still queued are discarded.
  ~TAppLoggerThread();
  TAppLoggerThread(const TAppLoggerThread&) = delete;
  TAppLoggerThread& operator=(const TAppLoggerThread&) = delete;

  void Enqueue(const std::string& message, uint8_t level, int32_t specific);
  // Waits until every record queued before the call is written or the thread has ended, at most
  // Limit; true when they were all written.
  bool WaitWritten(std::chrono::milliseconds limit);
  // Asks the thread to stop after the record in hand and waits for its end.
  void Stop();

  // The diagnostic of the error that ended the thread; empty otherwise.
  std::string LastError() const;
  bool EndedForTesting() const;
  // Records queued and not yet taken by the thread.
  size_t PendingCountForTesting() const;

 private:
  void Execute();
  void Body(std::string& stepMark, std::vector<TLogRecord>& batch);
  void WriteRecord(const TLogRecord& record);

  TApplicationLogger* Owner;
  mutable std::mutex QueueLock;
  std::condition_variable WakeEvent;  // with wakeSignalled_, an auto-reset event
  std::condition_variable writtenEvent_;
  std::vector<TLogRecord> Queue;
  bool wakeSignalled_ = false;
  bool waiting_ = false;
  std::atomic<bool> terminated_{false};
  bool ended_ = false;
  int writtenWaiters_ = 0;
  uint64_t queued_ = 0;
  uint64_t written_ = 0;
  std::string LastError_;

  std::thread thread_;
};

class TApplicationLogger {
 public:
  // Legal only from inside AppLogger.
  TApplicationLogger();
  ~TApplicationLogger();
  TApplicationLogger(const TApplicationLogger&) = delete;
  TApplicationLogger& operator=(const TApplicationLogger&) = delete;

  // Queues one message and returns at once.
  void Log(const std::string& message, uint8_t level, int32_t specific);

  // Takes ownership; none and a logger already in the list are ignored.
  void AddLogger(TLogger* logger);
  int LoggerCount() const { return static_cast<int>(Loggers.size()); }
  TLogger* GetLogger(int index) const;
  void ClearLoggers();
  // Takes the logger out of the list and destroys it; only while the thread has written everything
  // queued and nothing else logs, as when a test's capture ends.
  void RemoveLoggerForTesting(TLogger* logger);

  // Creates the loggers that the file assigns to this station and this program; false when the
  // file does not exist. Every failure reads "TApplicationLogger : " and the cause.
  bool LoadConfiguration(const std::string& fileName);
  // The loggers of the station element's application part; false when it has none.
  bool LoadApplication(const TXmlNode& station);
  void CreateLogger(const TXmlNode& node);

  const std::string& Version() const { return Version_; }
  TAppLoggerThread& Thread() { return *thread_; }

 private:
  std::vector<std::unique_ptr<TLogger>> Loggers;
  std::string Version_;
  std::unique_ptr<TAppLoggerThread> thread_;
};

// The single instance, created on first use (which loads AppLogger.xml).
TApplicationLogger& AppLogger();

// Orderly end of the application logger, at program end (TOrvaneProgram): writes what is still
// queued (giving up after two seconds), stops the thread, lets the loggers finish and destroys the
// instance. The next AppLogger call creates a new one.
void ReleaseAppLogger();

// Waits until the records queued so far are written, at most Limit, when an application logger
// exists; creates none. True when none exists or all were written.
bool WaitAppLoggerWrittenForTesting(std::chrono::milliseconds limit);

}  // namespace orvane
