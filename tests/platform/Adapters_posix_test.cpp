// The Linux adapters against the real system.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include "common/ApplicationName.h"
#include "platform/Clock.h"
#include "platform/CommandLine.h"
#include "common/Global_Computer.h"
#include "common/Global_File.h"
#include "platform/Port.h"
#include "platform/ProcessRunner.h"
#include "platform/RegionalSettings_posix.h"
#include "platform/SessionInfo.h"

namespace orvane {
namespace {

TEST(PosixRegionalSettings, CLocaleGivesDashColonAndEnglishNames) {
  PosixRegionalSettings c("C");
  const FormatSettings& s = c.Settings();
  EXPECT_EQ(s.dateSeparator, "-");
  EXPECT_EQ(s.timeSeparator, ":");
  EXPECT_EQ(s.longMonthNames[0], "January");
  EXPECT_EQ(s.shortDayNames[0], "Sun");
  EXPECT_EQ(&c.Settings(), &s);  // read once
}

TEST(PosixRegionalSettings, StrftimeFormatsReadInTheFormatLanguage) {
  EXPECT_EQ(TranslateStrftimeFormat("%d/%m/%Y", "/", ":"), "dd/mm/yyyy");
  EXPECT_EQ(TranslateStrftimeFormat("%d.%m.%Y", ".", ":"), "dd/mm/yyyy");
  EXPECT_EQ(TranslateStrftimeFormat("%H:%M:%S", "/", ":"), "hh:nn:ss");
  EXPECT_EQ(TranslateStrftimeFormat("%I:%M:%S %p", "/", ":"), "hh:nn:ss ampm");
  EXPECT_EQ(TranslateStrftimeFormat("%Hh%M", "/", "h"), "hh:nn");
  // Literal letters are quoted so that they stay text.
  EXPECT_EQ(TranslateStrftimeFormat("%A %e de %B de %Y %Z", "/", ":"), "dddd d\" de \"mmmm\" de \"yyyy ");
}

TEST(PosixAdapters, ClockShowsLocalTimeAndTicksForward) {
  Clock& clock = PlatformAdapter<Clock>();
  const time_t before = time(nullptr);
  const DateTimeParts now = DecodeDateTime(clock.Now());
  tm local{};
  localtime_r(&before, &local);
  EXPECT_EQ(now.year, local.tm_year + 1900);
  EXPECT_EQ(now.month, local.tm_mon + 1);
  // The counter is the monotonic clock in milliseconds: read between two readings of that clock,
  // it lies between them, however long the machine takes.
  const auto monotonicMs = [] {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u);
  };
  const uint32_t earlier = monotonicMs();
  const uint32_t first = clock.TickCount();
  const uint32_t later = monotonicMs();
  EXPECT_LE(static_cast<uint32_t>(first - earlier), static_cast<uint32_t>(later - earlier));
  // And it moves on: wait for its next value, which only a stopped clock never reaches.
  uint32_t next = first;
  for (const uint32_t limit = first + 120000; next == first && static_cast<int32_t>(monotonicMs() - limit) < 0;)
    next = clock.TickCount();
  EXPECT_NE(next, first);
}

TEST(PosixAdapters, CommandLineComesFromArgvAndTheProgramPathFromProc) {
  char program[] = "/opt/orvane", a[] = "SITE=Nord", b[] = "ForceInstallDrivers";
  char* argv[] = {program, a, b, nullptr};
  SetCommandLineArguments(3, argv);
  EXPECT_EQ(PlatformAdapter<CommandLine>().Arguments(), (std::vector<std::string>{"SITE=Nord", "ForceInstallDrivers"}));
  SetCommandLineArguments(0, nullptr);
  EXPECT_TRUE(PlatformAdapter<CommandLine>().Arguments().empty());
  EXPECT_EQ(ProgramBaseName(PlatformAdapter<CommandLine>().ProgramPath(), PathStyle::Posix), "orvane_tests");
  EXPECT_EQ(ApplicationTitle(), "orvane_tests");
}

TEST(PosixAdapters, SshConnectionMakesARemoteSessionFromItsClientAddress) {
  SessionInfo& session = PlatformAdapter<SessionInfo>();
  const char* saved = getenv("SSH_CONNECTION");
  const std::string previous = saved ? saved : "";
  setenv("SSH_CONNECTION", "192.168.1.12 52100 10.0.0.5 22", 1);
  EXPECT_TRUE(session.IsRemoteSession());
  EXPECT_EQ(session.QuerySessionInformation(kSessionClientName), "192.168.1.12");
  EXPECT_EQ(GetStationName(true, true), "TS_192.168.1.12");
  unsetenv("SSH_CONNECTION");
  EXPECT_FALSE(session.IsRemoteSession());
  const std::string computer = session.ComputerName().value_or("");
  EXPECT_FALSE(computer.empty());
  EXPECT_EQ(computer.find('.'), std::string::npos);
  EXPECT_EQ(GetStationName(true, true), computer.substr(0, 19));
  if (saved) setenv("SSH_CONNECTION", previous.c_str(), 1);
}

TEST(PosixAdapters, ProgramRunnerSplitsLikeWindowsAndReportsExitCodes) {
  EXPECT_EQ(RunProcess("sh", "-c \"exit 3\"", 1, true), 3u);
  EXPECT_EQ(RunProcess("true", "", 1, true), 0u);
  EXPECT_EQ(RunProcess("sh", "-c \"kill -9 $$\"", 1, true), 137u);
  EXPECT_EQ(RunProcess("true", "", 1, false), kNoExitCode);
  const ProcessRunner::Outcome absent = PlatformAdapter<ProcessRunner>().Run("orvane-absent-program /x", 1, true);
  EXPECT_FALSE(absent.started);
  EXPECT_EQ(absent.error, 2u);
  try {
    RunProcess("orvane-absent-program", "/x", 1, true);
    ADD_FAILURE() << "no failure";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "Impossible d'exécuter le programme suivant :\rorvane-absent-program /x\rProgramme non trouvé !");
  }
}

}  // namespace
}  // namespace orvane
