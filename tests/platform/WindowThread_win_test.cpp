#include <windows.h>

#include <gtest/gtest.h>

#include "platform/Port.h"
#include "platform/Application.h"
#include "platform/WindowThread.h"

namespace orvane {
namespace {

TEST(Win32WindowThread, PostedWorkRunsLaterFromTheMessageLoopInOrderAndQuitIsKept) {
  std::vector<int> ran;
  PlatformAdapter<WindowThread>().Post([&] {
    ran.push_back(1);
    PlatformAdapter<WindowThread>().Post([&] { ran.push_back(3); });
  });
  PlatformAdapter<WindowThread>().Post([&] { ran.push_back(2); });
  EXPECT_TRUE(ran.empty());
  PlatformAdapter<Application>().ProcessMessages();
  PlatformAdapter<Application>().ProcessMessages();
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));

  PostQuitMessage(4);
  PlatformAdapter<Application>().ProcessMessages();
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the main loop lost its quit";
  EXPECT_EQ(message.wParam, 4u);
}

}  // namespace
}  // namespace orvane
