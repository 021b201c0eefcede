// The Windows adapters against the real system (Wine in the test runs).
#include <gtest/gtest.h>
#include <windows.h>

#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "common/ApplicationName.h"
#include "platform/Clock.h"
#include "platform/ComRuntime.h"
#include "platform/CommandLine.h"
#include "common/DateTimeFormat.h"
#include "common/Global_Computer.h"
#include "common/Global_File.h"
#include "platform/Port.h"
#include "platform/ProcessRunner.h"
#include "platform/RegionalSettings.h"
#include "platform/SessionInfo.h"
#include "platform/TextConversion.h"
#include "tests/support/HangLimit.h"

namespace orvane {
namespace {

std::string Child() { return "\"" + ProgramFolder() + "orvane_test_child.exe\""; }

std::string LocaleText(LCTYPE type) {
  wchar_t buffer[128];
  const int size = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 128);
  return size > 1 ? WideToUtf8(std::wstring(buffer, size - 1)) : std::string();
}

TEST(WinAdapters, ProgramPathAndTitleComeFromTheModuleFile) {
  EXPECT_EQ(ApplicationTitle(), "orvane_tests");
  EXPECT_EQ(ProgramFolder().back(), '\\');
  EXPECT_EQ(GetFileAttributesW(Utf8ToWide(ProgramFolder() + "orvane_test_child.exe").c_str()) == INVALID_FILE_ATTRIBUTES,
            false);
}

TEST(WinAdapters, ProgramRunnerReturnsExitCodesAndReportsMissingPrograms) {
  EXPECT_EQ(RunProcess(Child(), "exit 1603", 1, true), 1603u);
  EXPECT_EQ(RunProcess(Child(), "exit 0", 1, true), 0u);
  EXPECT_EQ(RunProcess(Child(), "exit 0", 1, false), kNoExitCode);
  try {
    RunProcess("orvane-absent-program.exe", "/i x.msi", 1, true);
    ADD_FAILURE() << "no failure";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(),
                 "Impossible d'exécuter le programme suivant :\rorvane-absent-program.exe /i x.msi\rProgramme non trouvé !");
  }
}

TEST(WinAdapters, CommandLineIsSplitFromTheProcessCommandLine) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::string file = WideToUtf8(folder) + "orvane_arguments.txt";
  DeleteFileW(Utf8ToWide(file).c_str());
  ASSERT_EQ(RunProcess(Child(), "dump \"" + file + "\" SITE=Nord \"a=hello world\" Élément=é x\"y z\"", 1, true), 0u);
  std::ifstream in(Utf8ToWide(file).c_str(), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "SITE=Nord\na=hello world\nÉlément=é\nxy z\n");
  in.close();
  DeleteFileW(Utf8ToWide(file).c_str());
}

TEST(WinAdapters, ConsoleSessionStationIsTheComputerName) {
  SessionInfo& session = PlatformAdapter<SessionInfo>();
  EXPECT_FALSE(session.IsRemoteSession());
  const std::string computer = session.ComputerName().value_or("");
  ASSERT_FALSE(computer.empty());
  wchar_t variable[64] = {};
  if (GetEnvironmentVariableW(L"COMPUTERNAME", variable, 64) > 0) {
    EXPECT_EQ(CompareStringOrdinal(Utf8ToWide(computer).c_str(), -1, variable, -1, TRUE), CSTR_EQUAL);
  }
  EXPECT_EQ(GetStationName(true, true), computer);
  EXPECT_EQ(GetSessionClientName(), "");
}

TEST(WinAdapters, RegionalSettingsFollowTheUserLocale) {
  const FormatSettings& s = PlatformAdapter<RegionalSettings>().Settings();
  // Sunday comes first here, while Windows counts from Monday.
  EXPECT_EQ(s.longDayNames[0], LocaleText(LOCALE_SDAYNAME7));
  EXPECT_EQ(s.shortDayNames[1], LocaleText(LOCALE_SABBREVDAYNAME1));
  EXPECT_EQ(s.longMonthNames[2], LocaleText(LOCALE_SMONTHNAME3));
  EXPECT_EQ(s.dateSeparator, LocaleText(LOCALE_SDATE));
  const TDateTime sunday = EncodeDateTime(2024, 3, 3, 14, 7, 9);
  EXPECT_EQ(FormatDateTime("dddd", sunday), LocaleText(LOCALE_SDAYNAME7));
  const std::string date = FormatDateTime("ddddd", sunday);
  EXPECT_NE(date.find("3"), std::string::npos) << date;
  const std::string time = FormatDateTime("tt", sunday);
  EXPECT_NE(time.find("07"), std::string::npos) << time;
  EXPECT_NE(time.find("09"), std::string::npos) << time;
}

TEST(WinAdapters, ClockShowsLocalTimeAndTicksForward) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  const DateTimeParts parts = DecodeDateTime(PlatformAdapter<Clock>().Now());
  EXPECT_EQ(parts.year, now.wYear);
  EXPECT_EQ(parts.month, now.wMonth);
  // The counter is the system's tick count: read between two readings of it, it lies between
  // them, however long the machine (or Wine) takes.
  const auto systemTicks = [] { return static_cast<uint32_t>(GetTickCount64()); };
  const uint32_t before = systemTicks();
  const uint32_t first = PlatformAdapter<Clock>().TickCount();
  const uint32_t after = systemTicks();
  EXPECT_LE(first - before, after - before);
  // And it moves on: wait for its next value, which only a stopped clock never reaches.
  const auto limit = std::chrono::steady_clock::now() + testing::kHangLimit;
  uint32_t next = first;
  while (next == first && std::chrono::steady_clock::now() < limit) {
    Sleep(1);
    next = PlatformAdapter<Clock>().TickCount();
  }
  EXPECT_NE(next, first);
}

TEST(WinAdapters, JoiningComOnAThreadAlreadyInItIsLeftAgain) {
  // COM counts every successful join, S_FALSE included; a join the program does not leave keeps
  // the thread in COM after whoever joined first has left.
  std::thread([] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    if (PlatformAdapter<ComRuntime>().InitializeMainThread()) PlatformAdapter<ComRuntime>().UninitializeMainThread();
    CoUninitialize();
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK) << "the thread was still in COM";
    CoUninitialize();
  }).join();
}

}  // namespace
}  // namespace orvane
