// The Windows adapters of the loggers against the system itself: the event log, MSXML 6, the
// ANSI code page of the files and a file locked by another program.

#include <windows.h>

#include <gtest/gtest.h>

#include "common/Exceptions.h"
#include "platform/Port.h"
#include "platform/TextConversion.h"
#include "logging/EventLog.h"
#include "logging/FileLogger.h"
#include "logging/LogFiles.h"
#include "logging/XmlParser.h"
#include "tests/support/LoggingTestSupport.h"

namespace orvane {
namespace {

TEST(WindowsAdapters, EventLogTakesEventsOfTheThreeTypes) {
  EventLog& log = Port<EventLog>();
  EventLog::Source source = log.RegisterSource("Orvane");
  ASSERT_NE(source, nullptr);
  EXPECT_TRUE(log.Report(source, EventLog::EventType::Error, "TDataPhilips.OpenPHILIPSDictCtrl - Erreur d'accès"));
  EXPECT_TRUE(log.Report(source, EventLog::EventType::Warning, "avertissement"));
  EXPECT_TRUE(log.Report(source, EventLog::EventType::Information, ""));
  log.DeregisterSource(source);
}

TEST(WindowsAdapters, MsXmlGivesNodesInDocumentOrderAndItsErrors) {
  testing::TempFolder dir;
  testing::WriteFile(dir.Path() / "a.xml",
                     "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n<R V=\"1.2\">\r\n  <!-- note -->\r\n"
                     "  <E a=\"\xE9\">texte</E>\r\n  <F><![CDATA[x<y]]></F>\r\n</R>");
  const std::optional<TXmlNode> root = Port<XmlParser>().ParseFile(dir / "a.xml");
  ASSERT_TRUE(root);
  EXPECT_EQ(root->name, "R");
  ASSERT_EQ(root->children.size(), 3u);
  EXPECT_EQ(root->children[0].kind, TXmlNode::Kind::Comment);
  EXPECT_EQ(root->children[0].value, " note ");
  EXPECT_EQ(*root->children[1].Attribute("a"), "\xC3\xA9");
  EXPECT_EQ(root->children[1].SingleText(), "texte");
  EXPECT_EQ(root->children[2].SingleText(), "x<y");

  testing::WriteFile(dir.Path() / "b.xml", "<R V=\"1.2\">\r\n<E>\r\n</R>");
  try {
    Port<XmlParser>().ParseFile(dir / "b.xml");
    FAIL();
  } catch (const Exception& e) {
    // The parser's own reason (and line, where the parser tells it).
    EXPECT_FALSE(e.Message().empty());
  }
  testing::WriteFile(dir.Path() / "c.xml", " \r\n");
  EXPECT_FALSE(Port<XmlParser>().ParseFile(dir / "c.xml"));
}

TEST(WindowsAdapters, FilesAreWrittenInTheAnsiCodePage) {
  testing::TempFolder dir;
  TLoggerParams params{"FileName=" + (dir / "journal_\xC3\xA9t\xC3\xA9.txt")};
  TFileLogger logger(255, 0, &params, false, "", false);
  logger.Log("Pilotes install\xC3\xA9s", 200, 0);
  char expected[64] = {};
  WideCharToMultiByte(CP_ACP, 0, L"Pilotes install\u00e9s\r\n", -1, expected, sizeof expected, nullptr, nullptr);
  EXPECT_EQ(testing::ReadFile(dir.Path() / L"journal_\u00e9t\u00e9.txt"), expected);
  if (GetACP() == 1252) EXPECT_EQ(testing::ReadFile(dir.Path() / L"journal_\u00e9t\u00e9.txt"), "Pilotes install\xE9s\r\n");
}

TEST(WindowsAdapters, AFileLockedByAnotherProgramIsRetriedThenReported) {
  testing::TempFolder dir;
  TLoggerParams params{"FileName=" + (dir / "a.txt")};
  TFileLogger logger(255, 0, &params, false, "", false);
  logger.Log("avant", 200, 0);
  const HANDLE lock = CreateFileW((dir.Path() / "a.txt").wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  try {
    logger.Log("pendant", 200, 0);
    ADD_FAILURE() << "written into a locked file";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message().rfind("Exception sur DoLog(21) (EInOutError:", 0), 0u) << e.Message();
  }
  CloseHandle(lock);
  logger.Log("apr\xC3\xA8s", 200, 0);
  // The lines written before the lock are kept although DoAppend is clear; 21 failed attempts
  // were made for the lost line, none for this one.
  EXPECT_EQ(testing::ReadFile(dir.Path() / "a.txt"), "avant\r\n" + Utf8ToAnsi("apr\xC3\xA8s") + "\r\n");
}

TEST(WindowsAdapters, ADeviceAtTheNameIsNoLogFile) {
  testing::TempFolder dir;
  // NUL in any folder is the null device: the lines would vanish without a word.
  const std::string device = dir / "NUL";
  for (const std::string doAppend : {"DoAppend=False", "DoAppend=True"}) {
    const TLoggerParams params{"FileName=" + device, doAppend};
    try {
      TFileLogger logger(255, 0, &params, false, "", false);
      ADD_FAILURE() << "file logger started on a device, " << doAppend;
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.Message(), "N'est pas un fichier ordinaire (" + device + ")") << doAppend;
    }
  }
}

}  // namespace
}  // namespace orvane
