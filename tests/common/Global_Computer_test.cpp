#include "common/Global_Computer.h"

#include <gtest/gtest.h>

#include "common/ApplicationName.h"
#include "platform/CommandLine.h"
#include "common/Global_Utils.h"
#include "support/FakeCommandLine.h"
#include "support/FakeSessionInfo.h"

namespace orvane {
namespace {

using namespace orvane::testing;

class StationNameTest : public ::testing::Test {
 protected:
  ScopedFakeSessionInfo session;
  ScopedFakeCommandLine commandLine;
  FakeSessionInfo& s = session.session;
};

TEST_F(StationNameTest, ConsoleSessionGivesTheComputerNameWhateverTheFlags) {
  for (bool flag : {false, true}) {
    EXPECT_EQ(GetStationName(flag, flag), "SERVEUR01");
    EXPECT_EQ(GetStationName(flag, !flag), "SERVEUR01");
  }
  EXPECT_EQ(GetSessionClientName(), "");
  EXPECT_TRUE(s.queried.empty());  // no session query outside a remote session
}

TEST_F(StationNameTest, RemoteSessionGivesThePrefixedClientName) {
  s.RemoteFrom("  POSTE12\r\n");
  EXPECT_EQ(GetStationName(true, true), "TS_POSTE12");
  EXPECT_EQ(GetStationName(true, false), "POSTE12");
  EXPECT_EQ(GetStationName(false, false), "SERVEUR01");
  EXPECT_EQ(GetStationName(false, true), "SERVEUR01");
}

TEST_F(StationNameTest, NamesAreCutAt19Characters) {
  s.RemoteFrom("CLIENT-AU-NOM-TRES-LONG");
  EXPECT_EQ(GetStationName(true, true), "TS_CLIENT-AU-NOM-TR");
  EXPECT_EQ(GetStationName(true, false), "CLIENT-AU-NOM-TRES-");
  s.computerName = "ORDINATEUR-AU-NOM-TRES-LONG";
  EXPECT_EQ(GetStationName(false, false), "ORDINATEUR-AU-NOM-T");
  // A cut counts characters, so an accented one is never split.
  s.computerName = "ÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉ";
  EXPECT_EQ(GetStationName(false, false), "ÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉ");
}

TEST_F(StationNameTest, SwitchTurnsTheSessionNameOffInAnyCase) {
  s.RemoteFrom("POSTE12");
  for (const char* argument : {"NEPASUTILISERPREFIXTS_", "nePasUtiliserPrefixTS_=0", "NEPASUTILISERPREFIXTS_=oui"}) {
    commandLine.commandLine.arguments = {"x=1", argument};
    EXPECT_EQ(GetStationName(true, true), "SERVEUR01") << argument;
    EXPECT_EQ(GetStationName(true, false), "SERVEUR01") << argument;
  }
}

TEST_F(StationNameTest, MissingSessionItemsAndComputerNameGiveEmptyTexts) {
  s.remote = true;  // the session library answers nothing
  EXPECT_EQ(GetStationName(true, true), "TS_");
  EXPECT_EQ(GetStationName(true, false), "");
  s.computerName.reset();
  EXPECT_EQ(GetStationName(false, false), "");
  // Only the text items of the session enumeration are asked for.
  s.items[4] = "quatre";
  s.items[5] = " utilisateur ";
  EXPECT_EQ(GetSessionInfo(4), "");
  EXPECT_EQ(GetSessionInfo(5), "utilisateur");
  EXPECT_EQ(GetSessionInfo(200), "");
  EXPECT_EQ(s.queried, (std::vector<uint8_t>{10, 10, 5}));
}

TEST(ParamValue, FirstMatchWinsWithoutRegardToCase) {
  ScopedFakeCommandLine commandLine({"a=1", "param=x=y", "PARAM=z", "ForceInstallDrivers", "Élément=é"});
  std::string value = "avant";
  EXPECT_TRUE(GetParamValue("PARAM", value));
  EXPECT_EQ(value, "x=y");
  EXPECT_TRUE(GetParamValue("forceinstalldrivers", value));
  EXPECT_EQ(value, "");
  EXPECT_TRUE(GetParamValue("éLÉMENT", value));
  EXPECT_EQ(value, "é");
  value = "avant";
  EXPECT_FALSE(GetParamValue("absent", value));
  EXPECT_EQ(value, "avant");
  EXPECT_FALSE(GetParamValue("param=x", value));
  EXPECT_TRUE(ParamExists("FORCEINSTALLDRIVERS"));
  EXPECT_FALSE(ParamExists("Force"));
}

TEST(ParamValue, IfThenStrChoosesTheSecondOnFalse) {
  EXPECT_EQ(IfThenStr(true, "oui", "non"), "oui");
  EXPECT_EQ(IfThenStr(false, "oui", ""), "");
}

TEST(CommandLineSplit, BlanksSeparateAndQuotesGroup) {
  EXPECT_EQ(SplitCommandLine("prog.exe  a=1\tb"), (std::vector<std::string>{"prog.exe", "a=1", "b"}));
  EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\Appli.exe\" \"a=hello world\" x\"y z\"w"),
            (std::vector<std::string>{"C:\\Program Files\\Appli.exe", "a=hello world", "xy zw"}));
  EXPECT_EQ(SplitCommandLine("a \"\" b"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitCommandLine("a \"open to the end"), (std::vector<std::string>{"a", "open to the end"}));
  EXPECT_EQ(SplitCommandLine("C:\\dir\\ \"x\\\"y"), (std::vector<std::string>{"C:\\dir\\", "x\\y"}));
  EXPECT_TRUE(SplitCommandLine(" \r\n ").empty());
}

TEST(ApplicationName, ProgramNameWithoutExtensionPerPathStyle) {
  EXPECT_EQ(ProgramBaseName("C:\\Prog\\Appli.exe", PathStyle::Windows), "Appli");
  EXPECT_EQ(ProgramBaseName("C:\\Prog\\Orvane.EXE", PathStyle::Windows), "Orvane");
  EXPECT_EQ(ProgramBaseName("C:\\Prog\\ab", PathStyle::Windows), "");
  EXPECT_EQ(ProgramBaseName("/usr/bin/orvane", PathStyle::Posix), "orvane");
  EXPECT_EQ(ProgramBaseName("/opt/orvane.v2/orvane.bin", PathStyle::Posix), "orvane");
  EXPECT_EQ(ProgramBaseName("/opt/.orvane", PathStyle::Posix), ".orvane");
  EXPECT_EQ(FolderOf("C:\\Prog\\Appli.exe", PathStyle::Windows), "C:\\Prog\\");
  EXPECT_EQ(FolderOf("/usr/bin/orvane", PathStyle::Posix), "/usr/bin/");

  ScopedFakeCommandLine commandLine;
  commandLine.commandLine.programPath = NativePathStyle() == PathStyle::Windows ? "C:\\Prog\\APPLI.EXE" : "/opt/APPLI.EXE";
  EXPECT_EQ(ApplicationTitle(), "Appli");
  EXPECT_EQ(ApplicationKey(), "APPLI");
  EXPECT_EQ(ProgramBaseName(), "APPLI");
  EXPECT_EQ(ProgramFolder(), NativePathStyle() == PathStyle::Windows ? "C:\\Prog\\" : "/opt/");
}

TEST(ApplicationName, TitleIsTheNameUpToItsFirstDotWithTheRestInLowerCase) {
  for (const PathStyle style : {PathStyle::Windows, PathStyle::Posix}) {
    const std::string folder = style == PathStyle::Windows ? "C:\\Prog.d\\" : "/opt/prog.d/";
    EXPECT_EQ(ApplicationTitleOf(folder + "APPLI.EXE", style), "Appli");
    EXPECT_EQ(ApplicationTitleOf(folder + "Sonde.v2.bin", style), "Sonde");
    EXPECT_EQ(ApplicationTitleOf(folder + "orvane", style), "orvane");
    EXPECT_EQ(ApplicationTitleOf(folder + "ÉCHO.EXE", style), "Écho");
    EXPECT_EQ(ApplicationTitleOf(folder + ".hidden", style), "");
  }
  EXPECT_EQ(ApplicationTitleOf("D:SONDE.V2.EXE", PathStyle::Windows), "Sonde");
  EXPECT_EQ(ApplicationTitleOf("/opt/a\\B.C", PathStyle::Posix), "a\\b");
}

TEST(ApplicationName, KeyIsTheUpperCaseNameOrTheTitleItBeginsWith) {
  // The name begins with the title: the key is the title, and never the whole "SONDE.V2".
  EXPECT_EQ(ApplicationKeyOf("C:\\Prog\\SONDE.V2.EXE", PathStyle::Windows), "SONDE");
  EXPECT_EQ(ApplicationKeyOf("/opt/Sonde.v2.bin", PathStyle::Posix), "SONDE");
  // Windows drops the last four characters whatever they are; POSIX only an extension.
  EXPECT_EQ(ApplicationKeyOf("C:\\Prog\\orvane.exe", PathStyle::Windows), "ORVANE");
  EXPECT_EQ(ApplicationKeyOf("C:\\Prog\\orvane", PathStyle::Windows), "OR");
  EXPECT_EQ(ApplicationKeyOf("/usr/bin/orvane", PathStyle::Posix), "ORVANE");
  // Only a to z change case in the key; the title's comparison folds accented letters too.
  EXPECT_EQ(ApplicationKeyOf("/opt/écho", PathStyle::Posix), "éCHO");
  EXPECT_EQ(ApplicationKeyOf("C:\\ÉCHO.EXE", PathStyle::Windows), "ÉCHO");
}

}  // namespace
}  // namespace orvane
