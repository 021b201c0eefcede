#include <windows.h>

#include <gtest/gtest.h>

#include "platform/Port.h"
#include "platform/Application.h"
#include "platform/WindowThread.h"
#include "tests/platform/WindowThreadOrder.h"

namespace orvane {
namespace {

TEST(Win32WindowThread, PostedWorkRunsLaterFromTheMessageLoopInOrderAndQuitIsKept) {
  testing::ExpectPostedWorkRunsLaterInOrder();

  PostQuitMessage(4);
  PlatformAdapter<Application>().ProcessMessages();
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the main loop lost its quit";
  EXPECT_EQ(message.wParam, 4u);
}

}  // namespace
}  // namespace orvane
