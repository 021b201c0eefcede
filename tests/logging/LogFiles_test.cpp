#include "logging/LogFiles.h"

#include <gtest/gtest.h>

#include "platform/Port.h"
#include "tests/support/LoggingTestSupport.h"

namespace orvane {
namespace {

// The platform's own files.
TEST(LogFiles, OpenModesFoldersAndRenames) {
  testing::TempFolder dir;
  LogFiles& files = Port<LogFiles>();
  const std::string name = (dir.Path() / "log" / "jour" / "a.txt").string();
  EXPECT_FALSE(files.Exists(name));
  EXPECT_THROW(files.Open(name, LogFiles::OpenMode::Append), EInOutError);

  auto created = files.Open(name, LogFiles::OpenMode::Create);
  created->Write("un\r\n");
  created->Close();
  auto appended = files.Open(name, LogFiles::OpenMode::Append);
  appended->Write("deux\r\n");
  appended->Close();
  EXPECT_EQ(testing::ReadFile(name), "un\r\ndeux\r\n");
  EXPECT_TRUE(files.Exists(name));
  EXPECT_FALSE(files.Exists((dir.Path() / "log").string()));

  const std::string other = (dir.Path() / "b.txt").string();
  testing::WriteFile(other, "b");
  EXPECT_FALSE(files.Rename(name, other));
  EXPECT_EQ(testing::ReadFile(other), "b");
  EXPECT_TRUE(files.Rename(name, (dir.Path() / "c.txt").string()));
  EXPECT_EQ(testing::ReadFile(dir.Path() / "c.txt"), "un\r\ndeux\r\n");
}

}  // namespace
}  // namespace orvane
