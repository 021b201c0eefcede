#pragma once

#include <vector>

#include <gtest/gtest.h>

#include "platform/Application.h"
#include "platform/Port.h"
#include "platform/WindowThread.h"

namespace orvane::testing {

// Work posted to the window thread runs later, from its loop, in the order it was posted — also
// work posted by work already running.
inline void ExpectPostedWorkRunsLaterInOrder() {
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
}

}  // namespace orvane::testing
