#include "logging/ApplicationLogger.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/Exceptions.h"
#include "logging/FileLogger.h"
#include "logging/MemoryLogger.h"
#include "logging/WindowsEventLogger.h"
#include "platform/TextConversion.h"
#include "support/FakeEventLog.h"
#include "support/FakeLogFiles.h"
#include "support/HangLimit.h"
#include "support/LogCapture.h"
#include "tests/support/LoggingTestSupport.h"

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ORVANE_UNDER_TSAN 1
#endif
#endif

namespace orvane {
namespace {

using namespace std::chrono_literals;

// What the test's loggers saw; outlives the loggers, which the application logger owns.
struct Journal {
  std::mutex lock;
  std::condition_variable added;
  std::vector<std::string> lines;
  void Add(const std::string& line) {
    std::lock_guard<std::mutex> guard(lock);
    lines.push_back(line);
    added.notify_all();
  }
  // Whether `count` lines were written before a limit that only a hang reaches.
  bool WaitFor(size_t count) {
    std::unique_lock<std::mutex> guard(lock);
    return added.wait_for(guard, testing::kHangLimit, [&] { return lines.size() >= count; });
  }
  std::vector<std::string> Lines() {
    std::lock_guard<std::mutex> guard(lock);
    return lines;
  }
};

class JournalLogger : public TLogger {
 public:
  // pause: each line takes that long to write; gate: the first line waits until it opens.
  JournalLogger(std::shared_ptr<Journal> journal, std::string name, std::chrono::milliseconds pause = 0ms,
                std::shared_future<void> gate = {})
      : TLogger(255, 0, nullptr, false, "", false), journal_(std::move(journal)), name_(std::move(name)), pause_(pause),
        gate_(std::move(gate)) {}
  void DoLog(const std::string& line) override {
    if (gate_.valid()) gate_.wait();
    if (pause_ > 0ms) std::this_thread::sleep_for(pause_);
    journal_->Add(name_ + ":" + line);
  }

 private:
  std::shared_ptr<Journal> journal_;
  std::string name_;
  std::chrono::milliseconds pause_;
  std::shared_future<void> gate_;
};

class FailingLogger : public TLogger {
 public:
  FailingLogger() : TLogger(255, 0, nullptr, false, "", false) {}
  void DoLog(const std::string&) override { throw EOSError("Accès refusé"); }
};

// An absolute folder name, for loggers that write into fake files.
std::string TestFolder() { return (std::filesystem::temp_directory_path() / "orvane_producers" / "").string(); }

// A new instance of the application logger with only the test's loggers.
class AppLoggerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleaseAppLogger();
    AppLogger().ClearLoggers();
  }
  void TearDown() override { ReleaseAppLogger(); }
  std::shared_ptr<Journal> journal = std::make_shared<Journal>();
};

TEST_F(AppLoggerTest, MessagesReachEveryLoggerInCallOrder) {
  AppLogger().AddLogger(new JournalLogger(journal, "file"));
  AppLogger().AddLogger(new JournalLogger(journal, "memory"));
  AppLogger().Log("first", 250, 0);
  AppLogger().Log("second", 5, 0);
  ASSERT_TRUE(AppLogger().Thread().WaitWritten(testing::kHangLimit));
  EXPECT_EQ(journal->Lines(), (std::vector<std::string>{"file:first", "memory:first", "file:second", "memory:second"}));
}

TEST_F(AppLoggerTest, MessagesLoggedWhileBusyAreWrittenInTheSamePass) {
  AppLogger().AddLogger(new JournalLogger(journal, "slow", 20ms));
  for (int i = 0; i < 20; ++i) AppLogger().Log(std::to_string(i), 200, 0);
  ASSERT_TRUE(AppLogger().Thread().WaitWritten(testing::kHangLimit));
  const auto lines = journal->Lines();
  ASSERT_EQ(lines.size(), 20u);
  EXPECT_EQ(lines.back(), "slow:19");
}

TEST_F(AppLoggerTest, AddLoggerIgnoresNoneAndDuplicates) {
  auto* logger = new JournalLogger(journal, "a");
  AppLogger().AddLogger(logger);
  AppLogger().AddLogger(logger);
  AppLogger().AddLogger(nullptr);
  EXPECT_EQ(AppLogger().LoggerCount(), 1);
  EXPECT_EQ(AppLogger().GetLogger(0), logger);
  EXPECT_EQ(AppLogger().GetLogger(1), nullptr);
  EXPECT_EQ(AppLogger().GetLogger(-1), nullptr);
}

TEST_F(AppLoggerTest, DirectConstructionIsRefusedAndTheInstanceIsShared) {
  try {
    TApplicationLogger direct;
    FAIL() << "constructed outside AppLogger";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Vous devez accéder à la classe TApplicationLogger par le biais de la fonction AppLogger");
  }
  EXPECT_EQ(&AppLogger(), &AppLogger());
}

TEST_F(AppLoggerTest, AFailingFileLoggerEndsLoggingEverywhere) {
  testing::ScopedFakeLogFiles files;
  testing::ScopedFakeEventLog events;
  const TLoggerParams params{"FileName=" + TestFolder() + "a.txt"};
  AppLogger().AddLogger(new TFileLogger(255, 0, &params, false, "", false));
  AppLogger().AddLogger(new TWindowsEventLogger(255, 0, nullptr, false, "", false));
  testing::LogCapture capture;
  files.files.lockedOpens = 1000;  // the file cannot be written any more
  ::testing::internal::CaptureStderr();
  AppLogger().Log("first", 5, 0);
  EXPECT_FALSE(AppLogger().Thread().WaitWritten(testing::kHangLimit));
  AppLogger().Log("second", 5, 0);
  EXPECT_FALSE(AppLogger().Thread().WaitWritten(testing::kHangLimit));
  const std::string stderrText = ::testing::internal::GetCapturedStderr();

  const std::string expected =
      "TAppLoggerThread Exception in Execute.F(Exception):Exception sur DoLog(21) (EInOutError:Fichier non ouvert:first";
  EXPECT_TRUE(AppLogger().Thread().EndedForTesting());
  EXPECT_EQ(AppLogger().Thread().LastError(), expected);
  // Once, in the system's code page.
  EXPECT_EQ(stderrText, Utf8ToAnsi(expected) + "\n");
  EXPECT_TRUE(events.log.events.empty());
  EXPECT_TRUE(capture.Records().empty());
  // Records logged after the end are not kept.
  EXPECT_EQ(AppLogger().Thread().PendingCountForTesting(), 0u);
  EXPECT_EQ(files.files.files[TestFolder() + "a.txt"], "");
  ReleaseAppLogger();  // its loggers go while the fakes are there
}

TEST_F(AppLoggerTest, AnyErrorEndsTheThreadWithItsClassAndStep) {
  AppLogger().AddLogger(new FailingLogger);
  ::testing::internal::CaptureStderr();
  AppLogger().Log("first", 5, 0);
  EXPECT_FALSE(AppLogger().Thread().WaitWritten(testing::kHangLimit));
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(AppLogger().Thread().LastError(), "TAppLoggerThread Exception in Execute.F(EOSError):Accès refusé");
}

TEST_F(AppLoggerTest, OrderlyEndWritesWhatIsStillQueued) {
  std::promise<void> gate;
  AppLogger().AddLogger(new JournalLogger(journal, "file", 0ms, gate.get_future().share()));
  for (int i = 0; i < 200; ++i) AppLogger().Log(std::to_string(i), 5, 0);
  // Nothing is written before the end begins.
  gate.set_value();
  ReleaseAppLogger();
  const auto lines = journal->Lines();
  ASSERT_EQ(lines.size(), 200u);
  EXPECT_EQ(lines.back(), "file:199");
}

TEST_F(AppLoggerTest, OrderlyEndGivesUpOnAQueueTooLongToWrite) {
  // Writing all would take 50 s, far beyond what the end waits.
  AppLogger().AddLogger(new JournalLogger(journal, "stuck", 50ms));
  for (int i = 0; i < 1000; ++i) AppLogger().Log(std::to_string(i), 5, 0);
  ASSERT_TRUE(journal->WaitFor(1));
  ReleaseAppLogger();
  const size_t written = journal->Lines().size();
  EXPECT_GT(written, 0u);
  EXPECT_LT(written, 1000u);
  // The next call starts a new instance.
  AppLogger().ClearLoggers();
  AppLogger().AddLogger(new JournalLogger(journal, "next"));
  AppLogger().Log("again", 5, 0);
  ASSERT_TRUE(AppLogger().Thread().WaitWritten(testing::kHangLimit));
  EXPECT_EQ(journal->Lines().back(), "next:again");
}

TEST_F(AppLoggerTest, CaptureSeesMessagesAndLevelsOfItsOwnTimeOnly) {
  AppLogger().Log("before", 200, 0);
  testing::LogCapture capture;
  AppLogger().Log("TDataPhilips.OpenPHILIPSDictCtrl - IN", 250, 0);
  AppLogger().Log("InstallationPilotesSM - Echec", 1, 0);
  const std::vector<testing::LoggedRecord> expected{{"TDataPhilips.OpenPHILIPSDictCtrl - IN", 250},
                                                    {"InstallationPilotesSM - Echec", 1}};
  EXPECT_EQ(capture.Records(), expected);
}

// Every accepted line is written once, each producer's lines in their order, by a file logger
// and a memory logger alike.
TEST_F(AppLoggerTest, ManyProducersLoseNothingAndKeepEachOrder) {
#if defined(__SANITIZE_THREAD__) || defined(ORVANE_UNDER_TSAN)
  constexpr int kEach = 20000;  // the race detector is slow; the interleavings are the same
#else
  constexpr int kEach = 100000;
#endif
  constexpr int kProducers = 8;
  testing::ScopedFakeLogFiles files;
  const TLoggerParams fileParams{"FileName=" + TestFolder() + "file.txt"};
  const TLoggerParams memoryParams{"FileName=" + TestFolder() + "memory.txt", "MaxLigne=1000", "DumpType=Buffer"};
  AppLogger().AddLogger(new TFileLogger(255, 0, &fileParams, false, "", false));
  AppLogger().AddLogger(new TMemoryLogger(255, 0, &memoryParams, false, "", false));

  std::vector<std::thread> producers;
  for (int p = 0; p < kProducers; ++p)
    producers.emplace_back([p] {
      for (int i = 0; i < kEach; ++i) AppLogger().Log(std::to_string(p) + " " + std::to_string(i), 200, 0);
    });
  for (auto& producer : producers) producer.join();
  ASSERT_TRUE(AppLogger().Thread().WaitWritten(testing::kHangLimit));
  ReleaseAppLogger();  // the memory logger writes its last lines

  for (const char* name : {"file.txt", "memory.txt"}) {
    const std::string& content = files.files.files[TestFolder() + name];
    std::vector<int> next(kProducers, 0);
    size_t lines = 0;
    for (size_t start = 0; start < content.size();) {
      const size_t end = content.find("\r\n", start);
      ASSERT_NE(end, std::string::npos);
      const std::string line = content.substr(start, end - start);
      const int p = std::stoi(line);
      const int i = std::stoi(line.substr(line.find(' ') + 1));
      ASSERT_EQ(i, next[p]) << name << ", producer " << p;
      ++next[p];
      ++lines;
      start = end + 2;
    }
    EXPECT_EQ(lines, static_cast<size_t>(kProducers * kEach)) << name;
  }
}

}  // namespace
}  // namespace orvane
