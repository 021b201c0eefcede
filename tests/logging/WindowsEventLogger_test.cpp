#include "logging/WindowsEventLogger.h"

#include <gtest/gtest.h>

#include "common/ApplicationName.h"
#include "support/FakeCommandLine.h"
#include "support/FakeEventLog.h"

namespace orvane {
namespace {

using Type = EventLog::EventType;

TEST(WindowsEventLogger, EventTypeFollowsTheLevelUnderTheApplicationTitle) {
  testing::ScopedFakeCommandLine commandLine;
  commandLine.commandLine.programPath = NativePathStyle() == PathStyle::Windows ? "C:\\Prog\\SONDE.V2.EXE" : "/opt/SONDE.V2.EXE";
  testing::ScopedFakeEventLog fake;
  {
    TWindowsEventLogger logger(255, 0, nullptr, false, "", false);
    logger.Log("five", 5, 0);
    logger.Log("six", 6, 0);
    logger.Log("fifty", 50, 0);
    logger.Log("", 51, 0);
  }
  const std::string title = "Sonde";
  const std::vector<testing::FakeEventLog::Event> expected{
      {title, Type::Error, "five"}, {title, Type::Warning, "six"}, {title, Type::Warning, "fifty"}, {title, Type::Information, ""}};
  EXPECT_EQ(fake.log.events, expected);
  EXPECT_EQ(fake.log.sources, (std::vector<std::string>{title}));
  EXPECT_EQ(fake.log.deregistered, (std::vector<std::string>{title}));
}

TEST(WindowsEventLogger, RefusedRegistrationFailsSilently) {
  testing::ScopedFakeEventLog fake;
  fake.log.refuseRegistration = true;
  {
    TWindowsEventLogger logger(255, 0, nullptr, false, "", false);
    EXPECT_NO_THROW(logger.Log("lost", 1, 0));
  }
  EXPECT_TRUE(fake.log.events.empty());
  EXPECT_TRUE(fake.log.deregistered.empty());
}

}  // namespace
}  // namespace orvane
