#include "common/Global_File.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/FakeClock.h"
#include "support/FakeCommandLine.h"
#include "support/FakeProcessRunner.h"
#include "support/FakeRegionalSettings.h"
#include "support/FakeSessionInfo.h"

namespace orvane {
namespace {

using namespace orvane::testing;

std::string Windows(const std::string& name, const std::string& base, const std::string& current = "C:\\Courant") {
  return GetAbsoluteFileName(name, base, PathStyle::Windows, current);
}
std::string Posix(const std::string& name, const std::string& base, const std::string& current = "/srv/courant") {
  return GetAbsoluteFileName(name, base, PathStyle::Posix, current);
}

std::string FailureOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const Exception& error) {
    return error.what();
  }
  return "no failure";
}

TEST(GetAbsoluteFileName, WindowsStyleCases) {
  EXPECT_EQ(Windows("journal.txt", "C:\\Prog"), "C:\\Prog\\journal.txt");
  EXPECT_EQ(Windows(".\\journal.txt", "C:\\Prog\\"), "C:\\Prog\\journal.txt");
  EXPECT_EQ(Windows("..\\log\\journal.txt", "C:\\Prog\\Bin\\"), "C:\\Prog\\log\\journal.txt");
  EXPECT_EQ(Windows("..\\..\\x.txt", "C:\\a\\b\\c\\"), "C:\\a\\x.txt");
  EXPECT_EQ(Windows("\\log\\journal.txt", "C:\\Prog\\"), "C:\\log\\journal.txt");
  EXPECT_EQ(Windows("D:\\x.txt", "C:\\Prog"), "D:\\x.txt");
  EXPECT_EQ(Windows("\\\\serveur\\partage\\x.txt", "C:\\Prog"), "\\\\serveur\\partage\\x.txt");
  EXPECT_EQ(Windows("", "C:\\Prog"), "C:\\Prog\\");
  EXPECT_EQ(Windows(" \t journal.txt \r\n", "C:\\Prog"), "C:\\Prog\\journal.txt");
  // "/" is an ordinary character of a file name.
  EXPECT_EQ(Windows("log/journal.txt", "C:\\Prog"), "C:\\Prog\\log/journal.txt");
  EXPECT_EQ(Windows("x.txt", "\\\\serveur\\partage\\log"), "\\\\serveur\\partage\\log\\x.txt");
}

TEST(GetAbsoluteFileName, WindowsBaseIsMadeAbsoluteFirst) {
  EXPECT_EQ(Windows("x.txt", "log", "C:\\Prog\\Bin"), "C:\\Prog\\Bin\\log\\x.txt");
  EXPECT_EQ(Windows("x.txt", "..\\log\\.\\", "C:\\Prog\\Bin"), "C:\\Prog\\log\\x.txt");
  EXPECT_EQ(Windows("x.txt", "\\log", "D:\\Prog"), "D:\\log\\x.txt");
  EXPECT_EQ(Windows("x.txt", "C:/Prog/log"), "C:\\Prog\\log\\x.txt");
  EXPECT_EQ(Windows("x.txt", ""), "C:\\Courant\\x.txt");
  EXPECT_EQ(Windows("x.txt", "C:\\a\\..\\..\\b"), "C:\\b\\x.txt");
}

TEST(GetAbsoluteFileName, FailuresQuoteTheArgumentsAsPassed) {
  EXPECT_EQ(FailureOf([] { Windows("..\\journal.txt", "C:\\Prog\\"); }),
            "Erreur GetAbsoluteFileName(..\\journal.txt,C:\\Prog\\)");
  EXPECT_EQ(FailureOf([] { Windows("  ..\\journal.txt", "Prog", "C:\\"); }),
            "Erreur GetAbsoluteFileName(  ..\\journal.txt,Prog)");
  // A nested step that fails reports the outermost call's arguments.
  EXPECT_EQ(FailureOf([] { Windows(".\\..\\..\\x", "C:\\a\\b\\"); }), "Erreur GetAbsoluteFileName(.\\..\\..\\x,C:\\a\\b\\)");
  EXPECT_EQ(FailureOf([] { Windows("\\x.txt", "\\\\serveur\\partage"); }),
            "Erreur GetAbsoluteFileName(\\x.txt,\\\\serveur\\partage)");
  EXPECT_EQ(FailureOf([] { Windows("..\\x", "\\\\serveur\\"); }), "Erreur GetAbsoluteFileName(..\\x,\\\\serveur\\)");
}

TEST(GetAbsoluteFileName, PosixStyleReadsBackslashesAsSlashes) {
  EXPECT_EQ(Posix("journal.txt", "/opt/orvane"), "/opt/orvane/journal.txt");
  EXPECT_EQ(Posix("log\\journal.txt", "/opt/orvane/"), "/opt/orvane/log/journal.txt");
  EXPECT_EQ(Posix(".\\journal.txt", "/opt/orvane"), "/opt/orvane/journal.txt");
  EXPECT_EQ(Posix("..\\log\\journal.txt", "/opt/orvane/bin"), "/opt/orvane/log/journal.txt");
  EXPECT_EQ(Posix("/var/log/x.txt", "/opt"), "/var/log/x.txt");
  EXPECT_EQ(Posix("\\var\\log\\x.txt", "/opt"), "/var/log/x.txt");
  EXPECT_EQ(Posix("x.txt", "log"), "/srv/courant/log/x.txt");
  EXPECT_EQ(Posix("x.txt", "../log/./"), "/srv/log/x.txt");
  EXPECT_EQ(Posix("", "/opt/orvane"), "/opt/orvane/");
  EXPECT_EQ(FailureOf([] { Posix("../x.txt", "/opt"); }), "Erreur GetAbsoluteFileName(../x.txt,/opt)");
}

class ExpandFileMaskTest : public ::testing::Test {
 protected:
  ScopedFakeClock clock;
  ScopedFakeRegionalSettings regional;
  ScopedFakeSessionInfo session;
  ScopedFakeCommandLine commandLine;

  std::string Expand(const std::string& mask, TDateTime& next) { return GlobalFile().ExpandFileMask(mask, next); }
};

TEST_F(ExpandFileMaskTest, DateTokensAndTheirNextChange) {
  TDateTime next = 0;
  bool dated = false;
  EXPECT_EQ(GlobalFile().ExpandFileMask("log\\appli_?DATE?.txt", dated), "log\\appli_20240305.txt");
  EXPECT_TRUE(dated);
  EXPECT_EQ(Expand("log\\appli_?DATE?.txt", next), "log\\appli_20240305.txt");
  EXPECT_EQ(next, EncodeDateTime(2024, 3, 6));

  clock.clock.now = EncodeDateTime(2024, 12, 31, 23, 59, 59, 500);
  EXPECT_EQ(Expand("?FORMATDATEdd-mm-yyyy?.log", next), "31-12-2024.log");
  EXPECT_EQ(next, EncodeDateTime(2025, 1, 1));
  EXPECT_EQ(Expand("?FORMATDATEyyyy?", next), "2024");
  EXPECT_EQ(next, EncodeDateTime(2025, 1, 1));
  EXPECT_EQ(Expand("?FORMATDATEyyyy-mm?", next), "2024-12");
  EXPECT_EQ(next, EncodeDateTime(2025, 1, 1));
  EXPECT_EQ(Expand("?DATEHEURE?", next), "20241231235959");
  EXPECT_EQ(next, EncodeDateTime(2025, 1, 1));  // the next second is the next year

  clock.clock.now = EncodeDateTime(2024, 3, 5, 14, 5, 7, 250);
  EXPECT_EQ(Expand("?FORMATDATEhh?", next), "14");
  EXPECT_EQ(next, EncodeDateTime(2024, 3, 5, 15));
  Expand("?FORMATDATEhhnn?", next);
  EXPECT_EQ(next, EncodeDateTime(2024, 3, 5, 14, 6));
  Expand("?FORMATDATEhh'S'?", next);  // the search covers quoted text too
  EXPECT_EQ(next, EncodeDateTime(2024, 3, 5, 14, 5, 8));
  Expand("?FORMATDATEzzz?", next);
  EXPECT_EQ(next, clock.clock.now);
  Expand("?FORMATDATE-?", next);
  EXPECT_EQ(next, kNoChangeTime);
  // The last date token decides.
  Expand("?FORMATDATEhh?_?FORMATDATEyyyy?", next);
  EXPECT_EQ(next, EncodeDateTime(2025, 1, 1));
}

TEST_F(ExpandFileMaskTest, StationProgramAndParameterTokens) {
  session.session.RemoteFrom("POSTE12");
  commandLine.commandLine.programPath = NativePathStyle() == PathStyle::Windows ? "C:\\Prog\\Appli.exe" : "/opt/Appli";
  commandLine.commandLine.arguments = {"SITE=Nord"};
  TDateTime next = 0;
  EXPECT_EQ(Expand("?STATION_NAME?_?STATION_NAME_NOTS?_?EXENAME?.log", next), "TS_POSTE12_SERVEUR01_Appli.log");
  EXPECT_EQ(next, kNoChangeTime);
  bool dated = true;
  EXPECT_EQ(GlobalFile().ExpandFileMask("app.log", dated), "app.log");
  EXPECT_FALSE(dated);
  EXPECT_EQ(GlobalFile().ExpandFileMask("?PARAMSTR=SITE?_app.log"), "Nord_app.log");
  EXPECT_EQ(GlobalFile().ExpandFileMask("?PARAMSTR=AUTRE?_app.log"), "_app.log");
  // A replacement holding "?" starts a new token.
  commandLine.commandLine.arguments = {"SITE=?DATE?"};
  EXPECT_EQ(GlobalFile().ExpandFileMask("?PARAMSTR=SITE?.log"), "20240305.log");
}

TEST_F(ExpandFileMaskTest, InvalidMasksNameTheWholeMask) {
  EXPECT_EQ(FailureOf([] { GlobalFile().ExpandFileMask("?date?.log"); }),
            "FileLogger : Masque de fichier invalide \"?date?.log\"");
  EXPECT_EQ(FailureOf([] { GlobalFile().ExpandFileMask("a?b.log"); }),
            "FileLogger : Masque de fichier invalide \"a?b.log\"");
  const std::string farPartner = "?" + std::string(300, 'x') + "?";
  EXPECT_EQ(FailureOf([&] { GlobalFile().ExpandFileMask(farPartner); }),
            "FileLogger : Masque de fichier invalide \"" + farPartner + "\"");
  // A parameter whose value names itself would never end.
  commandLine.commandLine.arguments = {"BOUCLE=?PARAMSTR=BOUCLE?"};
  EXPECT_EQ(FailureOf([] { GlobalFile().ExpandFileMask("?PARAMSTR=BOUCLE?"); }),
            "FileLogger : Masque de fichier invalide \"?PARAMSTR=BOUCLE?\"");
}

TEST_F(ExpandFileMaskTest, TextAfterATokenKeepsAtMost400Characters) {
  const std::string tail(500, 't');
  EXPECT_EQ(GlobalFile().ExpandFileMask("?DATE?" + tail), "20240305" + std::string(400, 't'));
  // The token's partner may stand exactly 300 characters further; the date text stops at 256.
  EXPECT_EQ(GlobalFile().ExpandFileMask("?FORMATDATE" + std::string(289, '-') + "?"), std::string(256, '-'));
}

TEST_F(ExpandFileMaskTest, LimitsCountCharactersNotBytes) {
  const auto repeated = [](const std::string& character, size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += character;
    return text;
  };
  EXPECT_EQ(GlobalFile().ExpandFileMask("?DATE?" + repeated("é", 500)), "20240305" + repeated("é", 400));
  EXPECT_EQ(GlobalFile().ExpandFileMask("?DATE?" + repeated("€", 401)), "20240305" + repeated("€", 400));
  EXPECT_EQ(GlobalFile().ExpandFileMask("?FORMATDATE" + repeated("é", 289) + "?"), repeated("é", 256));
  const std::string farPartner = "?" + repeated("é", 300) + "?";
  EXPECT_EQ(FailureOf([&] { GlobalFile().ExpandFileMask(farPartner); }),
            "FileLogger : Masque de fichier invalide \"" + farPartner + "\"");
}

TEST(RunProcess, CommandLineAndStartFailures) {
  ScopedFakeProcessRunner runner;
  runner.runner.Exits(1603);
  EXPECT_EQ(RunProcess("msiexec.exe", "/i \"C:\\drivers\\SpMikeCtrl.msi\" /qn", 1, true), 1603u);
  EXPECT_EQ(runner.runner.calls.back().commandLine, "msiexec.exe /i \"C:\\drivers\\SpMikeCtrl.msi\" /qn");
  EXPECT_EQ(runner.runner.calls.back().showWindow, 1);
  EXPECT_EQ(RunProcess(" prog.exe", "", 1, true), 1603u);
  EXPECT_EQ(runner.runner.calls.back().commandLine, "prog.exe");
  EXPECT_EQ(RunProcess("prog.exe", "", 1, false), kNoExitCode);

  runner.runner.FailsToStart(2);
  EXPECT_EQ(FailureOf([] { RunProcess("absent.exe", "/x", 1, true); }),
            "Impossible d'exécuter le programme suivant :\rabsent.exe /x\rProgramme non trouvé !");
  runner.runner.FailsToStart(5);
  EXPECT_EQ(FailureOf([] { RunProcess("prog.exe", "100%d %s", 1, true); }),
            "Incapable d'exécuter le programme suivant :\rprog.exe 100%d %s\r. Code d'erreur 5");
}

}  // namespace
}  // namespace orvane
