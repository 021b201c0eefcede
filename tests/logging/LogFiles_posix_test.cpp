// Whatever stands at a log file's name, opening it never waits: a FIFO is refused like any
// other file that is not a regular one.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <future>

#include "logging/ApplicationLogger.h"
#include "logging/FileLogger.h"
#include "logging/LogFiles.h"
#include "logging/MemoryLogger.h"
#include "support/FakeCommandLine.h"
#include "support/HangLimit.h"
#include "tests/support/LoggingTestSupport.h"

namespace orvane {
namespace {

// Runs Work. Should it still wait after a bound that only a hang reaches, which can only be a
// writer's open waiting for a reader, a reader opened on the FIFO lets it go on, and the test fails.
template <class Work>
void RunUnlessItWaitsOn(const std::string& fifo, Work work) {
  auto done = std::async(std::launch::async, work);
  if (done.wait_for(testing::kHangLimit) == std::future_status::timeout) {
    const int reader = ::open(fifo.c_str(), O_RDONLY);
    done.wait();
    ::close(reader);
    ADD_FAILURE() << "waited on the FIFO " << fifo;
  }
  done.get();
}

void MakeFifo(const std::string& name) {
  std::filesystem::remove(name);
  ASSERT_EQ(::mkfifo(name.c_str(), 0666), 0) << name;
}

std::string NotRegular(const std::string& name) { return "N'est pas un fichier ordinaire (" + name + ")"; }

TEST(LogFilesPosix, AFifoAtTheNameIsRefusedWhenTheLoggerStarts) {
  testing::TempFolder dir;
  const std::string fifo = dir / "journal.txt";
  MakeFifo(fifo);
  for (const std::string doAppend : {"DoAppend=False", "DoAppend=True"}) {
    const TLoggerParams params{"FileName=" + fifo, doAppend};
    RunUnlessItWaitsOn(fifo, [&] {
      try {
        TFileLogger logger(255, 0, &params, false, "", false);
        ADD_FAILURE() << "file logger started on a FIFO, " << doAppend;
      } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message(), NotRegular(fifo)) << doAppend;
      }
      try {
        TMemoryLogger logger(255, 0, &params, false, "", false);
        ADD_FAILURE() << "memory logger started on a FIFO, " << doAppend;
      } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message(), NotRegular(fifo)) << doAppend;
      }
    });
  }
  // With a reader at the other end the open would succeed: it is still no log file.
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_FALSE(Port<LogFiles>().Exists(fifo));
  EXPECT_THROW(Port<LogFiles>().Open(fifo, LogFiles::OpenMode::Create), EInOutError);
  ::close(reader);
  EXPECT_THROW(Port<LogFiles>().Open(dir.Name(), LogFiles::OpenMode::Append), EInOutError);
}

TEST(LogFilesPosix, AFifoPutInPlaceOfTheFilesEndsLoggingButNeverHoldsTheProgramsEnd) {
  testing::TempFolder dir;
  testing::ScopedFakeCommandLine commandLine;
  commandLine.commandLine.programPath = dir / "orvane";
  ReleaseAppLogger();
  const std::string journal = dir / "journal.txt";
  const std::string memory = dir / "memoire.txt";
  const TLoggerParams fileParams{"FileName=" + journal};
  const TLoggerParams memoryParams{"FileName=" + memory, "DumpType=Buffer"};
  AppLogger().AddLogger(new TMemoryLogger(255, 0, &memoryParams, false, "", false));
  AppLogger().AddLogger(new TFileLogger(255, 0, &fileParams, false, "", false));
  AppLogger().Log("avant", 200, 0);
  ASSERT_TRUE(AppLogger().Thread().WaitWritten(testing::kHangLimit));
  EXPECT_EQ(testing::ReadFile(journal), "avant\r\n");

  MakeFifo(journal);
  MakeFifo(memory);
  AppLogger().Log("pendant", 200, 0);
  RunUnlessItWaitsOn(journal, [] { AppLogger().Thread().WaitWritten(2 * testing::kHangLimit); });
  EXPECT_TRUE(AppLogger().Thread().EndedForTesting());
  EXPECT_EQ(AppLogger().Thread().LastError(),
            "TAppLoggerThread Exception in Execute.F(Exception):Exception sur DoLog(21) (EInOutError:Fichier non ouvert:pendant");
  // The memory logger's last dump, at the end, meets the other FIFO.
  RunUnlessItWaitsOn(memory, [] { ReleaseAppLogger(); });
}

}  // namespace
}  // namespace orvane
