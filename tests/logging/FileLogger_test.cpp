#include "logging/FileLogger.h"

#include <gtest/gtest.h>

#include "common/DateTime.h"
#include "common/Exceptions.h"
#include "common/Global_File.h"
#include "support/FakeClock.h"
#include "support/FakeLogFiles.h"
#include "tests/support/LoggingTestSupport.h"

namespace orvane {
namespace {

using testing::FakeLogFiles;

class FileLoggerTest : public ::testing::Test {
 protected:
  // Plain lines, as most checks want them.
  std::unique_ptr<TFileLogger> Make(const TLoggerParams& params) {
    return std::make_unique<TFileLogger>(255, 0, &params, false, "", false);
  }
  std::string& Content(const std::string& name) { return fake.files.files[name]; }

  testing::ScopedFakeClock clock;
  testing::ScopedFakeLogFiles fake;
  const std::string dir = testing::TempFolder().Name();
};

TEST_F(FileLoggerTest, EachLineEndsWithCrLfAndLevelAndTimeAsLaidOut) {
  TLoggerParams params{"FileName=" + dir + "appli.txt"};
  TFileLogger logger(255, 0, &params, true, kDefaultLogTimeFormat, true);
  clock.clock.now = EncodeDateTime(2024, 3, 5, 14, 7, 9, 42);
  logger.Log("TDataPhilips.OpenPHILIPSDictCtrl - IN", 250, 0);
  logger.Log("", 5, 0);
  EXPECT_EQ(Content(dir + "appli.txt"),
            "2024-03-05 14:07:09.042: [250] TDataPhilips.OpenPHILIPSDictCtrl - IN\r\n2024-03-05 14:07:09.042: [005] \r\n");
}

TEST_F(FileLoggerTest, WithoutFileNameEveryLineFails) {
  auto logger = Make({"DoAppend=True"});
  EXPECT_EQ(logger->CurrentFileName(), "");
  for (int i = 0; i < 2; ++i) {
    try {
      logger->Log("x", 5, 0);
      FAIL();
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Le fichier n'a pas été assigné au FileLogger");
    }
  }
}

TEST_F(FileLoggerTest, DailyMaskMovesToTheNextDaysFileAfterMidnight) {
  clock.clock.now = EncodeDateTime(2024, 3, 5, 23, 59, 0);
  Content(dir + "appli_20240306.txt") = "older\r\n";
  auto logger = Make({"FileName=" + dir + "appli_?DATE?.txt", "DoAppend=True"});
  logger->Log("evening", 200, 0);
  clock.clock.now = EncodeDateTime(2024, 3, 6, 0, 0, 1);
  logger->Log("morning", 200, 0);
  EXPECT_EQ(Content(dir + "appli_20240305.txt"), "evening\r\n");
  EXPECT_EQ(Content(dir + "appli_20240306.txt"), "older\r\nmorning\r\n");

  // Without DoAppend the new day's file starts empty.
  clock.clock.now = EncodeDateTime(2024, 3, 6, 12, 0, 0);
  Content(dir + "appli_20240307.txt") = "stale\r\n";
  auto fresh = Make({"FileName=" + dir + "appli_?DATE?.txt"});
  clock.clock.now = EncodeDateTime(2024, 3, 7, 8, 0, 0);
  fresh->Log("today", 200, 0);
  EXPECT_EQ(Content(dir + "appli_20240307.txt"), "today\r\n");
}

TEST_F(FileLoggerTest, DoAppendIsTrueUnlessExactlyFalse) {
  Content(dir + "a.txt") = "kept\r\n";
  Make({"FileName=" + dir + "a.txt", "DoAppend=false"})->Log("new", 5, 0);
  EXPECT_EQ(Content(dir + "a.txt"), "kept\r\nnew\r\n");
  Make({"FileName=" + dir + "a.txt", "DoAppend=False"})->Log("only", 5, 0);
  EXPECT_EQ(Content(dir + "a.txt"), "only\r\n");
  // The later line wins.
  Make({"DoAppend=False", "DoAppend=True", "FileName=" + dir + "a.txt"})->Log("more", 5, 0);
  EXPECT_EQ(Content(dir + "a.txt"), "only\r\nmore\r\n");
}

TEST_F(FileLoggerTest, RenameFileToKeepsThePreviousRunUnlessTheTargetExists) {
  clock.clock.now = EncodeDateTime(2024, 3, 5, 14, 7, 9);
  Content(dir + "appli.txt") = "run 1\r\n";
  Make({"RenameFileTo=" + dir + "appli_?DATEHEURE?.old", "FileName=" + dir + "appli.txt"})->Log("run 2", 5, 0);
  EXPECT_EQ(Content(dir + "appli_20240305140709.old"), "run 1\r\n");
  EXPECT_EQ(Content(dir + "appli.txt"), "run 2\r\n");

  // Same second: the target exists, the rename fails silently and the file starts anew.
  Make({"RenameFileTo=" + dir + "appli_?DATEHEURE?.old", "FileName=" + dir + "appli.txt"})->Log("run 3", 5, 0);
  EXPECT_EQ(Content(dir + "appli_20240305140709.old"), "run 1\r\n");
  EXPECT_EQ(Content(dir + "appli.txt"), "run 3\r\n");
}

TEST_F(FileLoggerTest, ARenameThatCannotBeMadeNeverStopsTheLogger) {
  Content(dir + "appli.txt") = "run 1\r\n";
  // A target above the root of the current directory cannot be resolved.
  std::string unreachable;
  for (int i = 0; i < 64; ++i) unreachable += "..\\";
  Make({"RenameFileTo=" + unreachable + "appli.old", "FileName=" + dir + "appli.txt"})->Log("run 2", 5, 0);
  EXPECT_EQ(Content(dir + "appli.txt"), "run 2\r\n");
  EXPECT_EQ(fake.files.files.size(), 1u);
}

TEST_F(FileLoggerTest, LockedFileIsRetriedAndItsLinesKept) {
  auto logger = Make({"FileName=" + dir + "a.txt"});
  logger->Log("first", 5, 0);
  // The append fails, then two reopen attempts.
  fake.files.lockedOpens = 3;
  logger->Log("second", 5, 0);
  EXPECT_EQ(Content(dir + "a.txt"), "first\r\n..second\r\n");
}

TEST_F(FileLoggerTest, VanishedFileIsCreatedAgain) {
  auto logger = Make({"FileName=" + dir + "a.txt", "DoAppend=True"});
  logger->Log("first", 5, 0);
  fake.files.files.erase(dir + "a.txt");
  logger->Log("second", 5, 0);
  EXPECT_EQ(Content(dir + "a.txt"), "second\r\n");
}

TEST_F(FileLoggerTest, LineFailsAfterTwentyOneAttempts) {
  auto logger = Make({"FileName=" + dir + "a.txt"});
  fake.files.lockedOpens = 1000;
  try {
    logger->Log("lost", 5, 0);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Exception sur DoLog(21) (EInOutError:Fichier non ouvert:lost");
  }
  EXPECT_EQ(fake.files.lockedOpens, 1000 - 22);
}

TEST_F(FileLoggerTest, FileThatCannotBeCreatedLeavesTheLoggerWithoutFile) {
  fake.files.unwritable.insert(dir + "a.txt");
  EXPECT_THROW(Make({"FileName=" + dir + "a.txt"}), EInOutError);

  auto logger = Make({"FileName=" + dir + "b.txt"});
  fake.files.unwritable.insert(dir + "c.txt");
  EXPECT_THROW(logger->SetFileName(dir + "c.txt"), EInOutError);
  EXPECT_EQ(logger->CurrentFileName(), "");
  EXPECT_THROW(logger->Log("x", 5, 0), Exception);
}

TEST_F(FileLoggerTest, RelativeNamesAreTakenInTheProgramsFolder) {
  auto logger = Make({"FileName=appli.txt"});
  EXPECT_TRUE(logger->CurrentFileName().size() > std::string("appli.txt").size());
  EXPECT_EQ(logger->CurrentFileName().substr(logger->CurrentFileName().size() - 9), "appli.txt");
  EXPECT_EQ(logger->NextNameChange(), kNoChangeTime);
  fake.files.files.clear();
}

// The real files of the platform: one open per line, nothing held between lines.
TEST(FileLoggerOnDisk, LinesReachTheDiskAsTheyAreLogged) {
  testing::TempFolder dir;
  TLoggerParams params{"FileName=" + (dir / "journal.txt")};
  TFileLogger logger(255, 0, &params, false, "", true);
  logger.Log("TDataPhilips.OpenPHILIPSDictCtrl - IN", 250, 0);
  EXPECT_EQ(testing::ReadFile(dir.Path() / "journal.txt"), "[250] TDataPhilips.OpenPHILIPSDictCtrl - IN\r\n");
  // Another program may move the file away between lines.
  std::filesystem::rename(dir.Path() / "journal.txt", dir.Path() / "moved.txt");
  logger.Log("suite", 200, 0);
  EXPECT_EQ(testing::ReadFile(dir.Path() / "journal.txt"), "[200] suite\r\n");
}

}  // namespace
}  // namespace orvane
