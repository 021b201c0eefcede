// Program start and end around the tester window.
#include "app/OrvaneProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/Global_FIB.h"
#include "logging/ApplicationLogger.h"
#include "platform/ComRuntime.h"
#include "tests/support/FakeUi.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScopedPort.h"

namespace orvane {
namespace {

class RecordingCom : public ComRuntime {
 public:
  explicit RecordingCom(bool joins) : joins_(joins) {}
  bool InitializeMainThread() override {
    calls.push_back("join");
    return joins_;
  }
  void UninitializeMainThread() override { calls.push_back("leave"); }
  std::vector<std::string> calls;

 private:
  bool joins_;
};

TEST(OrvaneProgram, LeavesComAtTheEndOnlyWhenItJoinedIt) {
  RecordingCom joined(true);
  {
    ScopedPort<ComRuntime> port(joined);
    {
      TOrvaneProgram program;
      EXPECT_EQ(joined.calls, std::vector<std::string>{"join"});
    }
    EXPECT_EQ(joined.calls, (std::vector<std::string>{"join", "leave"}));
  }
  // A thread already in COM (another part joined first) is not taken out of it.
  RecordingCom already(false);
  ScopedPort<ComRuntime> port(already);
  { TOrvaneProgram program; }
  EXPECT_EQ(already.calls, std::vector<std::string>{"join"});
}

TEST(OrvaneProgram, TheLinesLoggedJustBeforeTheEndAreWritten) {
  RecordingCom com(false);
  ScopedPort<ComRuntime> port(com);
  testing::LogCapture capture;
  {
    TOrvaneProgram program;
    for (int i = 0; i < 200; ++i) AppLogger().Log("fin " + std::to_string(i), 200, 0);
  }
  const auto messages = capture.Messages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back(), "fin 199");
  EXPECT_EQ(std::count_if(messages.begin(), messages.end(), [](const std::string& m) { return m.rfind("fin ", 0) == 0; }),
            200);
}

// The reinstallation path ends the program from deep inside a handler: the process goes only
// after the same end as a closed window's, and that end runs once.
TEST(OrvaneProgram, EndingTheProgramFromInsideRunsTheEndOnceBeforeTheProcessGoes) {
  RecordingCom com(true);
  ScopedPort<ComRuntime> comPort(com);
  testing::ScopedFakeUi ui;
  testing::LogCapture capture;
  {
    TOrvaneProgram program;
    GlobalFIB().AddPersistentQueriesForTesting(nullptr, false, true);
    AppLogger().Log("Pilotes mal installés", 5, 0);
    EXPECT_THROW(Port<Application>().Terminate(3), testing::ProgramEnded);
    EXPECT_EQ(com.calls, (std::vector<std::string>{"join", "leave"}));
    EXPECT_EQ(capture.Messages(), std::vector<std::string>{"Pilotes mal installés"});
    EXPECT_EQ(GlobalFIB().PersistentQueriesCountForTesting(), 0u);
  }
  EXPECT_EQ(com.calls, (std::vector<std::string>{"join", "leave"}));
  // A program that ended normally leaves nothing for a later end to run.
  { TOrvaneProgram program; }
  EXPECT_THROW(Port<Application>().Terminate(4), testing::ProgramEnded);
  EXPECT_EQ(com.calls, (std::vector<std::string>{"join", "leave", "join", "leave"}));
  EXPECT_EQ(ui.application.terminatedWith, (std::vector<int>{3, 4}));
}

}  // namespace
}  // namespace orvane
