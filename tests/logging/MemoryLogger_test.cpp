#include "logging/MemoryLogger.h"

#include <gtest/gtest.h>

#include "common/DateTime.h"
#include "common/Exceptions.h"
#include "support/FakeClock.h"
#include "support/FakeLogFiles.h"
#include "tests/support/LoggingTestSupport.h"

namespace orvane {
namespace {

class MemoryLoggerTest : public ::testing::Test {
 protected:
  std::unique_ptr<TMemoryLogger> Make(TLoggerParams params) {
    params.insert(params.begin(), "FileName=" + file);
    return std::make_unique<TMemoryLogger>(255, 0, &params, false, "", false);
  }
  std::string& Content() { return fake.files.files[file]; }

  testing::ScopedFakeClock clock;
  testing::ScopedFakeLogFiles fake;
  const std::string dir = testing::TempFolder().Name();
  const std::string file = dir + "dump.txt";
};

TEST_F(MemoryLoggerTest, BufferModeWritesEveryMaxLigneLinesAndTheRestAtTheEnd) {
  auto logger = Make({"MaxLigne=3", "DumpType=Buffer"});
  logger->Log("1", 250, 0);
  logger->Log("2", 250, 0);
  EXPECT_EQ(Content(), "");
  logger->Log("3", 250, 0);
  EXPECT_EQ(Content(), "1\r\n2\r\n3\r\n");
  EXPECT_TRUE(logger->Lines().empty());
  logger->Log("4", 250, 0);
  logger->Log("5", 250, 0);
  logger.reset();
  EXPECT_EQ(Content(), "1\r\n2\r\n3\r\n4\r\n5\r\n");
}

TEST_F(MemoryLoggerTest, TriggerModeWritesTheLastLinesBeforeASeriousOne) {
  auto logger = Make({"MaxLigne=3", "DumpType=Trigger", "NiveauDump=5"});
  for (int i = 1; i <= 7; ++i) logger->Log("trace " + std::to_string(i), 250, 0);
  logger->Log("error", 5, 0);
  EXPECT_EQ(Content(), "trace 6\r\ntrace 7\r\nerror\r\n");
  // The ring goes on after a dump, and whatever no serious line follows is never written.
  for (int i = 8; i <= 12; ++i) logger->Log("trace " + std::to_string(i), 250, 0);
  logger->Log("failure", 1, 0);
  logger->Log("trace 13", 250, 0);
  logger.reset();
  EXPECT_EQ(Content(), "trace 6\r\ntrace 7\r\nerror\r\ntrace 11\r\ntrace 12\r\nfailure\r\n");
}

TEST_F(MemoryLoggerTest, TriggerModeDefaultsNeverFireOnTheSystemsLevels) {
  auto logger = Make({"MaxLigne=3", "DumpType=Trigger"});
  logger->Log("failure", 1, 0);
  logger->Log("trace", 250, 0);
  logger.reset();
  EXPECT_EQ(Content(), "");
}

TEST_F(MemoryLoggerTest, LimitsAtBothEnds) {
  auto everyLine = Make({"DumpType=Trigger", "NiveauDump=255"});
  everyLine->Log("a", 250, 0);
  EXPECT_EQ(Content(), "a\r\n");
  everyLine.reset();

  Content().clear();
  auto bufferZero = Make({"MaxLigne=0", "DumpType=Buffer"});
  bufferZero->Log("b", 250, 0);
  bufferZero->Log("c", 250, 0);
  EXPECT_EQ(Content(), "b\r\nc\r\n");
  bufferZero.reset();

  // Trigger mode without room keeps nothing: a trigger writes one empty line.
  Content().clear();
  auto triggerZero = Make({"MaxLigne=0", "DumpType=Trigger", "NiveauDump=5"});
  triggerZero->Log("d", 250, 0);
  triggerZero->Log("e", 5, 0);
  EXPECT_EQ(Content(), "\r\n");
}

TEST_F(MemoryLoggerTest, TrailingBlanksAndEmptyLinesOfTheBufferAreDropped) {
  auto logger = Make({"MaxLigne=3", "DumpType=Buffer"});
  logger->Log("  first  ", 250, 0);
  logger->Log("last\t ", 250, 0);
  logger->Log("", 250, 0);
  EXPECT_EQ(Content(), "  first  \r\nlast\r\n");
}

TEST_F(MemoryLoggerTest, ParametersAreReadAsWritten) {
  EXPECT_EQ(Make({"DumpType=buffer"})->DumpMode(), TMemoryLogger::TDumpMode::Trigger);
  EXPECT_EQ(Make({})->DumpMode(), TMemoryLogger::TDumpMode::Buffer);
  EXPECT_EQ(Make({})->MaxLigne(), 1024);
  EXPECT_TRUE(Make({})->DoAppend());
  try {
    Make({"MaxLigne=mille"});
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "MemoryLogger : Paramètre MaxLigne doit être un entier");
  }
  try {
    Make({"NiveauDump=5x"});
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'5x' n'est pas une valeur entière correcte");
  }
}

TEST_F(MemoryLoggerTest, WithoutFileDumpsWriteNothingButEmptyTheBuffer) {
  TLoggerParams params{"MaxLigne=2", "DumpType=Buffer"};
  TMemoryLogger logger(255, 0, &params, false, "", false);
  logger.Log("a", 250, 0);
  logger.Log("b", 250, 0);
  EXPECT_TRUE(logger.Lines().empty());
  EXPECT_TRUE(fake.files.files.empty());
}

TEST_F(MemoryLoggerTest, DatedMaskDumpsToTheFileOfTheDumpsDay) {
  clock.clock.now = EncodeDateTime(2024, 3, 5, 23, 0, 0);
  TLoggerParams params{"FileName=" + dir + "dump_?DATE?.txt", "DumpType=Trigger", "NiveauDump=5"};
  TMemoryLogger logger(255, 0, &params, false, "", false);
  logger.Log("before midnight", 5, 0);
  clock.clock.now = EncodeDateTime(2024, 3, 6, 0, 30, 0);
  logger.Log("after midnight", 5, 0);
  EXPECT_EQ(fake.files.files[dir + "dump_20240305.txt"], "before midnight\r\n");
  EXPECT_EQ(fake.files.files[dir + "dump_20240306.txt"], "after midnight\r\n");
}

TEST_F(MemoryLoggerTest, LockedDumpFileKeepsTheEarlierDumps) {
  auto logger = Make({"MaxLigne=1", "DumpType=Buffer", "DoAppend=False"});
  logger->Log("first", 250, 0);
  fake.files.lockedOpens = 1;
  logger->Log("second", 250, 0);
  EXPECT_EQ(Content(), "first\r\nsecond\r\n");

  // Twice refused: the error goes to the caller and the lines stay.
  fake.files.lockedOpens = 2;
  EXPECT_THROW(logger->Log("third", 250, 0), EInOutError);
  EXPECT_EQ(logger->Lines(), (std::vector<std::string>{"third"}));
}

}  // namespace
}  // namespace orvane
