// A program the logging tests start.
//   lines File Writer Count      logs Count numbered lines into File through a file logger, as
//                                every station does into the log of a shared folder;
//   unreleased Configuration Count   returns from main, as the program does, with Count lines
//                                still queued: the program's end writes them before its statics
//                                are destroyed.
#include <condition_variable>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <string>
#include <vector>

#include "app/OrvaneProgram.h"
#include "platform/CommandLine.h"
#include "platform/Port.h"
#include "logging/ApplicationLogger.h"
#include "logging/FileLogger.h"

namespace {

int WriteLines(const std::string& file, const std::string& writer, int count) {
  const orvane::TLoggerParams params{"FileName=" + file, "DoAppend=True"};
  orvane::TFileLogger logger(255, 0, &params, true, orvane::kDefaultLogTimeFormat, true);
  int failures = 0;
  for (int i = 1; i <= count; ++i) {
    try {
      logger.Log(writer + " " + std::to_string(i), 200, 0);
    } catch (const std::exception& e) {
      std::cerr << e.what() << '\n';
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}

// Holds the logging thread on its first record until it is released.
class HeldLogger : public orvane::TLogger {
 public:
  HeldLogger() : TLogger(255, -1, nullptr, false, "", false) {}
  void Release() {
    {
      std::lock_guard<std::mutex> lock(lock_);
      released_ = true;
    }
    released.notify_all();
  }

 protected:
  void DoLog(const std::string&) override {
    std::unique_lock<std::mutex> lock(lock_);
    released.wait(lock, [this] { return released_; });
  }

 private:
  std::mutex lock_;
  std::condition_variable released;
  bool released_ = false;
};

struct ReleasedAtScopeEnd {
  HeldLogger* held;
  ~ReleasedAtScopeEnd() { held->Release(); }
};

int LeaveWithLinesQueued(const std::string& configuration, int count) {
  // A locale that does not exist leaves Linux's regional settings at their defaults, whose long
  // date format is too long to live inside its string: a destroyed one reads back as garbage.
  putenv(const_cast<char*>("LC_ALL=orvane-absent_LOCALE"));
  orvane::TOrvaneProgram program;
  auto* held = new HeldLogger;  // the application logger's from here on
  orvane::AppLogger().LoadConfiguration(configuration);
  orvane::AppLogger().AddLogger(held);
  // Lets the logging thread go just before the program's end begins: every line but the first is
  // still queued then.
  const ReleasedAtScopeEnd release{held};
  for (int i = 1; i <= count; ++i) orvane::AppLogger().Log("ligne " + std::to_string(i), 200, 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  orvane::SetCommandLineArguments(argc, argv);
  const std::vector<std::string> arguments = orvane::PlatformAdapter<orvane::CommandLine>().Arguments();
  if (arguments.size() == 4 && arguments[0] == "lines") return WriteLines(arguments[1], arguments[2], std::stoi(arguments[3]));
  if (arguments.size() == 3 && arguments[0] == "unreleased") return LeaveWithLinesQueued(arguments[1], std::stoi(arguments[2]));
  return 99;
}
