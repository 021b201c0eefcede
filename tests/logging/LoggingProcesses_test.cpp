// Logging as whole programs do it: many processes on one log file, and a program that ends
// with lines still queued. The processes are the orvane_log_writer program beside the tests.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/ApplicationName.h"
#include "platform/CommandLine.h"
#include "platform/PathStyle.h"
#include "platform/Port.h"
#include "platform/ProcessRunner.h"
#include "tests/support/LoggingTestSupport.h"

namespace orvane {
namespace {

// Runs the writer program with these arguments and waits for its end; its exit code.
uint32_t RunWriter(const std::string& arguments) {
  const std::string self = PlatformAdapter<CommandLine>().ProgramPath();
  const std::string writer = FolderOf(self, NativePathStyle()) + "orvane_log_writer" +
                             std::filesystem::u8path(self).extension().string();
  const ProcessRunner::Outcome outcome = PlatformAdapter<ProcessRunner>().Run("\"" + writer + "\" " + arguments, 0, true);
  EXPECT_TRUE(outcome.started) << writer << " error " << outcome.error;
  return outcome.exitCode;
}

std::vector<std::string> Lines(const std::string& content) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = content.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(content.substr(start, end - start));
  if (start < content.size()) lines.push_back(content.substr(start));
  return lines;
}

// The time stamp and level of the default layout; the separators are the station's.
const std::string kStampAndLevel = R"(\d{4}-\d{2}-\d{2} \d{2}.\d{2}.\d{2}\.\d{3}: \[200\] )";

TEST(LoggingProcesses, SixteenProcessesShareOneLogFileWithoutLosingOrTearingALine) {
  constexpr int kWriters = 16;
  constexpr int kLines = 5000;
  testing::TempFolder dir;
  const std::string journal = dir / "partage.txt";
  testing::WriteFile(journal, "");
  std::vector<uint32_t> exitCodes(kWriters);
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([&, w] {
      exitCodes[w] = RunWriter("lines \"" + journal + "\" " + std::to_string(w) + " " + std::to_string(kLines));
    });
  }
  for (std::thread& writer : writers) writer.join();
  for (int w = 0; w < kWriters; ++w) EXPECT_EQ(exitCodes[w], 0u) << "writer " << w;

  // A retry's leading dots are part of the layout; anything else out of it is a torn line.
  const std::regex layout(R"(\.*)" + kStampAndLevel + R"((\d+) (\d+))");
  std::vector<int> last(kWriters, 0);
  int torn = 0, outOfOrder = 0;
  std::ostringstream examples;
  for (const std::string& line : Lines(testing::ReadFile(journal))) {
    std::smatch match;
    const int writer = std::regex_match(line, match, layout) ? std::stoi(match[1]) : -1;
    if (writer < 0 || writer >= kWriters) {
      if (++torn <= 3) examples << "\n  torn: " << line;
      continue;
    }
    const int number = std::stoi(match[2]);
    if (number != last[writer] + 1 && ++outOfOrder <= 3) examples << "\n  writer " << writer << ": " << number << " after " << last[writer];
    last[writer] = number;
  }
  int written = 0;
  for (int w = 0; w < kWriters; ++w) written += last[w] == kLines ? kLines : 0;
  EXPECT_EQ(torn, 0) << examples.str();
  EXPECT_EQ(outOfOrder, 0) << examples.str();
  EXPECT_EQ(written, kWriters * kLines) << examples.str();
  std::cout << "[          ] " << kWriters << " processes x " << kLines << " lines: " << written
            << " in order, " << torn << " torn, " << outOfOrder << " out of order\n";
}

TEST(LoggingProcesses, LinesWrittenWhileTheProgramsStaticsGoAreIntact) {
  testing::TempFolder dir;
  const std::string journal = dir / "fin.txt";
  testing::WriteFile(dir.Path() / "conf.xml",
                     "<Configuration Version=\"1.2\"><AllStations><AllApplications>"
                     "<f class=\"TFileLogger\" NiveauMax=\"250\" LogSpecifique=\"0\" FormatDateTime=\"dddddd hh:nn:ss.zzz\">"
                     "<FileName>" + journal +
                     "</FileName></f></AllApplications></AllStations></Configuration>");
  EXPECT_EQ(RunWriter("unreleased \"" + (dir / "conf.xml") + "\" 2000"), 0u);

  // The long date, in the station's words.
  const std::regex layout(R"([A-Za-z]+,? [A-Za-z]+ \d{1,2},? \d{4} \d{2}.\d{2}.\d{2}\.\d{3}: \[200\] ligne (\d+))");
  const std::vector<std::string> lines = Lines(testing::ReadFile(journal));
  ASSERT_FALSE(lines.empty());
  for (size_t i = 0; i < lines.size(); ++i) {
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[i], match, layout)) << "line " << i + 1 << " of " << lines.size() << ": " << lines[i];
    ASSERT_EQ(std::stoul(match[1]), i + 1);
  }
}

}  // namespace
}  // namespace orvane
