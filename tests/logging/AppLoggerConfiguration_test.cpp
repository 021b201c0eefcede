#include <gtest/gtest.h>

#include <iterator>

#include "common/ApplicationName.h"
#include "common/Exceptions.h"
#include "logging/ApplicationLogger.h"
#include "logging/FileLogger.h"
#include "logging/MemoryLogger.h"
#include "logging/WindowsEventLogger.h"
#include "support/FakeClock.h"
#include "support/FakeCommandLine.h"
#include "support/FakeEventLog.h"
#include "support/HangLimit.h"
#include "support/FakeSessionInfo.h"
#include "tests/support/LoggingTestSupport.h"

namespace orvane {
namespace {

// The program runs from a folder of the test's own, on station SERVEUR01; its key is ORVANE.
class AppLoggerConfigurationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    commandLine.commandLine.programPath = dir / "Orvane.exe";
    ReleaseAppLogger();
  }
  void TearDown() override {
    ReleaseAppLogger();
  }

  static std::string Document(const std::string& version, const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Configuration Version=\"" + version + "\">" + body + "</Configuration>";
  }
  static std::string Logger(const std::string& name, const std::string& attributes = "", const std::string& children = "") {
    return "<" + name + " class=\"TFileLogger\" NiveauMax=\"250\" LogSpecifique=\"0\" " + attributes + "><FileName>" + name +
           ".txt</FileName>" + children + "</" + name + ">";
  }
  // Loads the document; the names of the file loggers created, in order.
  std::vector<std::string> Load(const std::string& document) {
    testing::WriteFile(dir.Path() / "conf.xml", document);
    TApplicationLogger& logger = AppLogger();
    EXPECT_TRUE(logger.LoadConfiguration(dir / "conf.xml"));
    return Names(logger);
  }
  static std::vector<std::string> Names(TApplicationLogger& logger) {
    std::vector<std::string> names;
    for (int i = 0; i < logger.LoggerCount(); ++i) {
      if (auto* file = dynamic_cast<TFileLogger*>(logger.GetLogger(i))) {
        const std::string& name = file->CurrentFileName();
        names.push_back(name.substr(name.find_last_of("\\/") + 1));
      } else {
        names.push_back("?");
      }
    }
    return names;
  }
  std::string LoadError(const std::string& document) {
    testing::WriteFile(dir.Path() / "conf.xml", document);
    try {
      AppLogger().LoadConfiguration(dir / "conf.xml");
    } catch (const Exception& e) {
      return e.Message();
    }
    return "(loaded)";
  }

  testing::TempFolder dir;
  testing::ScopedFakeCommandLine commandLine;
  testing::ScopedFakeSessionInfo session;
  testing::ScopedFakeEventLog events;
  testing::ScopedFakeClock clock;
};

TEST_F(AppLoggerConfigurationTest, NoFileMeansNoLoggersAndNoError) {
  EXPECT_FALSE(AppLogger().LoadConfiguration(dir / "absent.xml"));
  EXPECT_EQ(AppLogger().LoggerCount(), 0);
  // Messages are accepted and written nowhere.
  AppLogger().Log("nowhere", 5, 0);
  EXPECT_TRUE(AppLogger().Thread().WaitWritten(testing::kHangLimit));
}

TEST_F(AppLoggerConfigurationTest, TheStationsOwnSectionComesFirst) {
  const std::string document = Document(
      "1.2", "<AllStations><AllApplications>" + Logger("all") + "</AllApplications></AllStations>"
             "<SERVEUR01><Application ExeName=\"AUTRE\">" + Logger("other") + "</Application>"
             "<Application ExeName=\"ORVANE\">" + Logger("mine") + Logger("mine2") + "</Application></SERVEUR01>");
  EXPECT_EQ(Load(document), (std::vector<std::string>{"mine.txt", "mine2.txt"}));

  // In a remote session the client's name wins over the computer's.
  session.session.RemoteFrom("PC-ACCUEIL");
  EXPECT_EQ(Load(Document("1.2", "<SERVEUR01><AllApplications>" + Logger("computer") + "</AllApplications></SERVEUR01>"
                                 "<TS_PC-ACCUEIL><AllApplications>" + Logger("client") + "</AllApplications></TS_PC-ACCUEIL>")),
            (std::vector<std::string>{"client.txt"}));
}

TEST_F(AppLoggerConfigurationTest, AStationWithoutThisProgramFallsBackToAllStations) {
  EXPECT_EQ(Load(Document("1.2", "<SERVEUR01><Application ExeName=\"AUTRE\">" + Logger("other") + "</Application>"
                                 "<Application ExeName=\"orvane\">" + Logger("lower") + "</Application></SERVEUR01>"
                                 "<AllStations><AllApplications>" + Logger("all") + "</AllApplications></AllStations>")),
            (std::vector<std::string>{"all.txt"}));
  // An empty part for every program stops the search.
  EXPECT_EQ(Load(Document("1.2", "<SERVEUR01><AllApplications/></SERVEUR01>"
                                 "<AllStations><AllApplications>" + Logger("all") + "</AllApplications></AllStations>")),
            (std::vector<std::string>{}));
}

TEST_F(AppLoggerConfigurationTest, TitleNamedPartServesUpToVersion11) {
  const std::string body = "<AllStations><" + ApplicationTitle() + ">" + Logger("titled") + "</" + ApplicationTitle() +
                           "><AllApplications>" + Logger("all") + "</AllApplications></AllStations>";
  EXPECT_EQ(Load(Document("1.1", body)), (std::vector<std::string>{"titled.txt"}));
  EXPECT_EQ(Load(Document("1.2", body)), (std::vector<std::string>{"all.txt"}));
}

TEST_F(AppLoggerConfigurationTest, ADottedProgramNameIsKnownByItsTitle) {
  commandLine.commandLine.programPath = dir / "SONDE.V2.EXE";
  // The title is "Sonde": the title-named part must carry exactly that case.
  EXPECT_EQ(Load(Document("1.1", "<AllStations><SONDE>" + Logger("upper") + "</SONDE><Sonde>" + Logger("titled") +
                                     "</Sonde></AllStations>")),
            (std::vector<std::string>{"titled.txt"}));
  // The key is the title in upper case, not the name less its extension.
  EXPECT_EQ(Load(Document("1.2", "<AllStations><Application ExeName=\"SONDE.V2\">" + Logger("dotted") +
                                     "</Application><Application ExeName=\"SONDE\">" + Logger("key") +
                                     "</Application></AllStations>")),
            (std::vector<std::string>{"key.txt"}));
}

TEST_F(AppLoggerConfigurationTest, UnknownClassFailsUpToVersion12AndIsSkippedAfter) {
  const std::string body = "<AllStations><AllApplications>" + Logger("first") +
                           "<Futur class=\"TSqlLogger\" NiveauMax=\"5\" LogSpecifique=\"0\"/>" + Logger("last") +
                           "</AllApplications></AllStations>";
  EXPECT_EQ(LoadError(Document("1.2", body)),
            "TApplicationLogger : TApplicationLogger : Configuration inattendue (TSqlLogger)");
  // The loggers created before the failure stay until the application logger goes.
  EXPECT_EQ(Names(AppLogger()), (std::vector<std::string>{"first.txt"}));
  EXPECT_EQ(Load(Document("1.3", body)), (std::vector<std::string>{"first.txt", "last.txt"}));
  EXPECT_EQ(Load(Document("2.0", body)).size(), 2u);
  EXPECT_EQ(LoadError(Document("1.10", body)),
            "TApplicationLogger : TApplicationLogger : Configuration inattendue (TSqlLogger)");
}

TEST_F(AppLoggerConfigurationTest, AttributesAndTheirDefaults) {
  Load(Document("1.2", "<AllStations><AllApplications>"
                       "<a class=\"TFileLogger\" NiveauMax=\"300\" LogSpecifique=\"0\"><FileName>a.txt</FileName></a>" +
                           Logger("b", "InsertTime=\"false\" InsertNiveauLog=\"0\" FormatDateTime=\"hh:nn\"") +
                           "<c class=\"TFileLogger\" NiveauMax=\"5\" LogSpecifique=\"-4\" InsertTime=\"TRUE\" InsertNiveauLog=\"-1\">"
                           "<FileName>c.txt</FileName></c>" +
                           "</AllApplications></AllStations>"));
  ASSERT_EQ(AppLogger().LoggerCount(), 3);
  TLogger& a = *AppLogger().GetLogger(0);
  TLogger& b = *AppLogger().GetLogger(1);
  TLogger& c = *AppLogger().GetLogger(2);
  EXPECT_EQ(a.NiveauMax(), 44);
  EXPECT_TRUE(a.InsertTime());
  EXPECT_TRUE(a.InsertNiveauLog());
  EXPECT_EQ(a.FormatDateTime(), "yyyy-mm-dd hh:nn:ss.zzz");
  EXPECT_FALSE(b.InsertTime());
  EXPECT_FALSE(b.InsertNiveauLog());
  EXPECT_EQ(b.FormatDateTime(), "hh:nn");
  EXPECT_TRUE(c.InsertTime());
  EXPECT_TRUE(c.InsertNiveauLog());
  EXPECT_EQ(c.LogSpecifique(), -4);
}

TEST_F(AppLoggerConfigurationTest, BadValuesFailWithTheirMessage) {
  const auto in = [](const std::string& loggers) {
    return Document("1.2", "<AllStations><AllApplications>" + loggers + "</AllApplications></AllStations>");
  };
  EXPECT_EQ(LoadError(in(Logger("a", "InsertTime=\"non\""))),
            "TApplicationLogger : 'non' n'est pas une valeur booléenne correcte");
  EXPECT_EQ(LoadError(in("<a class=\"TFileLogger\" LogSpecifique=\"0\"/>")),
            "TApplicationLogger : Attribut \"NiveauMax\" absent de l'élément \"a\"");
  EXPECT_EQ(LoadError(in("<a NiveauMax=\"5\" LogSpecifique=\"0\"/>")),
            "TApplicationLogger : Attribut \"class\" absent de l'élément \"a\"");
  EXPECT_EQ(LoadError(in("<a class=\"TFileLogger\" NiveauMax=\"\" LogSpecifique=\"0\"/>")),
            "TApplicationLogger : '' n'est pas une valeur entière correcte");
  EXPECT_EQ(LoadError(in(Logger("a", "", "<RenameFileTo></RenameFileTo>"))),
            "TApplicationLogger : L'élément \"RenameFileTo\" ne contient pas un seul nœud texte");
  EXPECT_EQ(LoadError(in(Logger("a", "", "<DoAppend><b>True</b></DoAppend>"))),
            "TApplicationLogger : L'élément \"DoAppend\" ne contient pas un seul nœud texte");
  EXPECT_EQ(LoadError(in("<m class=\"TMemoryLogger\" NiveauMax=\"5\" LogSpecifique=\"0\"><MaxLigne>beaucoup</MaxLigne></m>")),
            "TApplicationLogger : MemoryLogger : Paramètre MaxLigne doit être un entier");
  EXPECT_EQ(LoadError("<Configuration><AllStations/></Configuration>"),
            "TApplicationLogger : Attribut \"Version\" absent de l'élément \"Configuration\"");
  const std::string malformed = LoadError("<Configuration Version=\"1.2\"><AllStations></Configuration>");
  EXPECT_EQ(malformed.rfind("TApplicationLogger : ", 0), 0u) << malformed;
  EXPECT_GT(malformed.size(), std::string("TApplicationLogger : ").size());
}

TEST_F(AppLoggerConfigurationTest, CommentsCountAsLoggersButNotAsParameters) {
  EXPECT_EQ(Load(Document("1.2", "<!-- before --><AllStations><!-- here --><AllApplications>" +
                                     Logger("a", "", "<!-- DoAppend: ask support -->") +
                                     "</AllApplications></AllStations>")),
            (std::vector<std::string>{"a.txt"}));
  EXPECT_EQ(LoadError(Document("1.2", "<AllStations><AllApplications>" + Logger("a") +
                                          "<!-- a logger to come --></AllApplications></AllStations>")),
            "TApplicationLogger : Attribut \"class\" absent de l'élément \"#comment\"");
}

TEST_F(AppLoggerConfigurationTest, InstructionsAmongParametersAreIgnoredAndTextMeetsCDataNowhere) {
  // An instruction named like a parameter is no parameter: it neither empties the file name nor
  // fails the logger.
  EXPECT_EQ(Load(Document("1.2", "<AllStations><AllApplications>" + Logger("a", "", "<?FileName later?><?DoAppend?>") +
                                     "</AllApplications></AllStations>")),
            (std::vector<std::string>{"a.txt"}));
  // Text and a CDATA section are two pieces, whichever parser reads them; a CDATA section alone is text.
  EXPECT_EQ(LoadError(Document("1.2", "<AllStations><AllApplications><a class=\"TFileLogger\" NiveauMax=\"5\" "
                                      "LogSpecifique=\"0\"><FileName>a<![CDATA[b]]>.txt</FileName></a>"
                                      "</AllApplications></AllStations>")),
            "TApplicationLogger : L'élément \"FileName\" ne contient pas un seul nœud texte");
  EXPECT_EQ(Load(Document("1.2", "<AllStations><AllApplications><c class=\"TFileLogger\" NiveauMax=\"5\" "
                                 "LogSpecifique=\"0\"><FileName><![CDATA[c&d.txt]]></FileName></c>"
                                 "</AllApplications></AllStations>")),
            (std::vector<std::string>{"c&d.txt"}));
}

TEST_F(AppLoggerConfigurationTest, ADocumentTypeDeclarationFailsLoadingBeforeAnyEntityIsRead) {
  const std::string loggers = "<AllStations><AllApplications><f class=\"TFileLogger\" NiveauMax=\"5\" LogSpecifique=\"0\" "
                              "Note=\"&e;&e;&e;\"><FileName>&e;.txt</FileName></f></AllApplications></AllStations>";
  for (const std::string declaration :
       {std::string("<!DOCTYPE Configuration>"),
        std::string("<!DOCTYPE Configuration [<!ENTITY e \"") + std::string(10000, 'x') + "\">]>",
        std::string("<!DOCTYPE Configuration SYSTEM \"absent.dtd\">")}) {
    const std::string body = declaration == "<!DOCTYPE Configuration>" ? "<AllStations/>" : loggers;
    const std::string message =
        LoadError("<?xml version=\"1.0\"?>" + declaration + "<Configuration Version=\"1.2\">" + body + "</Configuration>");
    EXPECT_EQ(message.rfind("TApplicationLogger : ", 0), 0u) << message;
    EXPECT_GT(message.size(), std::string("TApplicationLogger : ").size()) << declaration.substr(0, 40);
    EXPECT_EQ(AppLogger().LoggerCount(), 0);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()), 1)
      << "a logger's file was made";
}

TEST_F(AppLoggerConfigurationTest, Version10TakesFileNamesFromAttributes) {
  EXPECT_EQ(Load(Document("1.0", "<AllStations><AllApplications>"
                                 "<f class=\"TFileLogger\" NiveauMax=\"5\" LogSpecifique=\"0\" FileName=\"attr.txt\"/>"
                                 "<m class=\"TMemoryLogger\" NiveauMax=\"5\" LogSpecifique=\"0\" FileName=\"mem.txt\" MaxLigne=\"7\"/>"
                                 "</AllApplications></AllStations>")),
            (std::vector<std::string>{"attr.txt", "?"}));
  auto* memory = dynamic_cast<TMemoryLogger*>(AppLogger().GetLogger(1));
  ASSERT_NE(memory, nullptr);
  EXPECT_EQ(memory->MaxLigne(), 7);
  EXPECT_EQ(memory->CurrentFileName(), dir / "mem.txt");

  EXPECT_EQ(LoadError(Document("1.0", "<AllStations><AllApplications><f class=\"TFileLogger\" NiveauMax=\"5\" "
                                      "LogSpecifique=\"0\"/></AllApplications></AllStations>")),
            "TApplicationLogger : Attribut \"FileName\" absent de l'élément \"f\"");
  // From 1.1 on the attribute means nothing: a file logger without file, failing on its first line.
  Load(Document("1.2", "<AllStations><AllApplications><f class=\"TFileLogger\" NiveauMax=\"5\" LogSpecifique=\"0\" "
                       "FileName=\"attr.txt\"/></AllApplications></AllStations>"));
  auto* file = dynamic_cast<TFileLogger*>(AppLogger().GetLogger(0));
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->CurrentFileName(), "");
}

TEST_F(AppLoggerConfigurationTest, EncodingsOfTheFileAndAccentedFileNames) {
  const std::string body = "<AllStations><AllApplications><f class=\"TFileLogger\" NiveauMax=\"250\" LogSpecifique=\"0\" "
                           "InsertTime=\"0\" InsertNiveauLog=\"0\"><FileName>journal_\xE9t\xE9.txt</FileName></f>"
                           "</AllApplications></AllStations>";
  const auto utf8 = [](std::string text) {
    std::string out;
    for (unsigned char c : text) {
      if (c < 0x80) {
        out += static_cast<char>(c);
      } else {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    return out;
  };
  const std::string accented = utf8("journal_\xE9t\xE9.txt");
  const auto check = [&](const std::string& bytes, const char* what) {
    testing::WriteFile(dir.Path() / "conf.xml", bytes);
    ASSERT_TRUE(AppLogger().LoadConfiguration(dir / "conf.xml")) << what;
    ASSERT_EQ(Names(AppLogger()), (std::vector<std::string>{accented})) << what;
    AppLogger().Log("ligne", 200, 0);
    ASSERT_TRUE(AppLogger().Thread().WaitWritten(testing::kHangLimit));
    const std::filesystem::path onDisk = dir.Path() / std::filesystem::u8path(accented);
    EXPECT_EQ(testing::ReadFile(onDisk), "ligne\r\n") << what;
    std::filesystem::remove(onDisk);
  };
  check("<?xml version=\"1.0\" encoding=\"windows-1252\"?><Configuration Version=\"1.2\">" + body + "</Configuration>",
        "windows-1252");
  check("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><Configuration Version=\"1.2\">" + utf8(body) + "</Configuration>",
        "UTF-8 with BOM");
  check("<Configuration Version=\"1.2\">" + utf8(body) + "</Configuration>", "UTF-8 without declaration");
  std::string utf16 = "\xFF\xFE";
  for (char32_t c : std::u32string(U"<?xml version=\"1.0\" encoding=\"UTF-16\"?><Configuration Version=\"1.2\">")) {
    utf16 += static_cast<char>(c);
    utf16 += '\0';
  }
  for (unsigned char c : body + "</Configuration>") {
    utf16 += static_cast<char>(c);
    utf16 += '\0';
  }
  check(utf16, "UTF-16");
}

TEST_F(AppLoggerConfigurationTest, ABrokenFileFailsEveryLogCallUntilMended) {
  testing::WriteFile(dir.Path() / "AppLogger.xml", Document("1.2", "<AllStations><AllApplications>" + Logger("a") +
                                                                     "<b class=\"TFileLogger\"/></AllApplications></AllStations>"));
  for (int i = 0; i < 2; ++i) {
    try {
      AppLogger().Log("x", 5, 0);
      FAIL() << "logged with a broken configuration";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "TApplicationLogger : Attribut \"NiveauMax\" absent de l'élément \"b\"");
    }
  }
  testing::WriteFile(dir.Path() / "AppLogger.xml",
                     Document("1.2", "<AllStations><AllApplications>" + Logger("a", "InsertTime=\"0\" InsertNiveauLog=\"0\"") +
                                         "</AllApplications></AllStations>"));
  AppLogger().Log("mended", 5, 0);
  ASSERT_TRUE(AppLogger().Thread().WaitWritten(testing::kHangLimit));
  EXPECT_EQ(testing::ReadFile(dir.Path() / "a.txt"), "mended\r\n");
}

TEST_F(AppLoggerConfigurationTest, TheShippedSampleLogsADailyFileTheContextOfErrorsAndErrorEvents) {
  std::filesystem::copy_file(std::filesystem::path(ORVANE_SOURCE_DIR) / "logging" / "AppLogger.xml", dir.Path() / "AppLogger.xml");
  clock.clock.now = EncodeDateTime(2024, 3, 5, 14, 7, 9, 42);
  AppLogger().Log("TDataPhilips.OpenPHILIPSDictCtrl - IN", 250, 0);
  AppLogger().Log("TDataPhilips.OpenPHILIPSDictCtrl - Erreur", 5, 0);
  ASSERT_TRUE(AppLogger().Thread().WaitWritten(testing::kHangLimit));
  ASSERT_EQ(AppLogger().LoggerCount(), 3);
  EXPECT_NE(dynamic_cast<TMemoryLogger*>(AppLogger().GetLogger(1)), nullptr);
  EXPECT_NE(dynamic_cast<TWindowsEventLogger*>(AppLogger().GetLogger(2)), nullptr);

  const std::string lines =
      "2024-03-05 14:07:09.042: [250] TDataPhilips.OpenPHILIPSDictCtrl - IN\r\n"
      "2024-03-05 14:07:09.042: [005] TDataPhilips.OpenPHILIPSDictCtrl - Erreur\r\n";
  EXPECT_EQ(testing::ReadFile(dir.Path() / "log" / "Orvane_20240305.txt"), lines);
  EXPECT_EQ(testing::ReadFile(dir.Path() / "log" / "Orvane_erreurs_20240305.txt"), lines);
  const std::vector<testing::FakeEventLog::Event> errors{
      {ApplicationTitle(), EventLog::EventType::Error, "TDataPhilips.OpenPHILIPSDictCtrl - Erreur"}};
  EXPECT_EQ(events.log.events, errors);
}

}  // namespace
}  // namespace orvane
