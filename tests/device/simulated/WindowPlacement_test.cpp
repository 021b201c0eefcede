#include "device/simulated/WindowPlacement.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

const TRect kScreen{0, 0, 1600, 900};

TEST(WindowPlacement, DeviceGoesRightOfTheTesterElseLeftTopsLevel) {
  EXPECT_EQ(PlaceDeviceWindow(kScreen, {10, 20, 600, 700}, 300, 400),
            (TWindowPlacement{{10, 20, 600, 700}, {618, 20, 300, 400}}));
  EXPECT_EQ(PlaceDeviceWindow(kScreen, {900, 20, 600, 700}, 300, 400),
            (TWindowPlacement{{900, 20, 600, 700}, {592, 20, 300, 400}}));
  // A tester low on the screen: the device rises so as to stay on it.
  EXPECT_EQ(PlaceDeviceWindow(kScreen, {10, 600, 600, 300}, 300, 400).device, (TRect{618, 500, 300, 400}));
}

TEST(WindowPlacement, DeviceGoesBelowWhenNeitherSideHasRoom) {
  // The tester in the middle of a 1600-pixel screen: 400 pixels on each side, too few.
  EXPECT_EQ(PlaceDeviceWindow(kScreen, {400, 0, 800, 450}, 420, 300),
            (TWindowPlacement{{400, 0, 800, 450}, {400, 458, 420, 300}}));
}

TEST(WindowPlacement, TesterMovesWhenTheDeviceFitsNowhereAroundIt) {
  EXPECT_EQ(PlaceDeviceWindow(kScreen, {400, 300, 800, 500}, 420, 300),
            (TWindowPlacement{{0, 0, 800, 500}, {808, 0, 420, 300}}));
  // Too tall to stand beside it on a narrow screen: below the moved tester.
  EXPECT_EQ(PlaceDeviceWindow({0, 0, 1000, 900}, {100, 300, 800, 500}, 420, 300),
            (TWindowPlacement{{0, 0, 800, 500}, {0, 508, 420, 300}}));
}

TEST(WindowPlacement, ScreensAwayFromTheOriginAndScreensTooSmall) {
  const TRect second{1920, 100, 1280, 1024};
  EXPECT_EQ(PlaceDeviceWindow(second, {1920, 100, 900, 700}, 300, 400).device, (TRect{2828, 100, 300, 400}));
  // Neither beside nor below can hold both: the device keeps to the bottom right corner.
  EXPECT_EQ(PlaceDeviceWindow({0, 0, 800, 600}, {50, 50, 700, 500}, 300, 400),
            (TWindowPlacement{{0, 0, 700, 500}, {500, 200, 300, 400}}));
}

// Whatever the device's size and the tester's place, when the screen can hold both side by side
// or one above the other, the two stay on it and apart.
TEST(WindowPlacement, NeverCoversTheTesterWhenTheScreenHoldsBoth) {
  const TRect screen{0, 0, 1600, 900};
  const TRect tester{0, 0, 700, 500};
  int checked = 0;
  for (int width = 100; width <= 1000; width += 60) {
    for (int height = 100; height <= 900; height += 50) {
      const bool sideBySide = tester.width + kWindowGap + width <= screen.width && height <= screen.height;
      const bool stacked = tester.height + kWindowGap + height <= screen.height && width <= screen.width;
      if (!sideBySide && !stacked) continue;
      for (int left = -100; left <= 1000; left += 110) {
        for (int top = -50; top <= 500; top += 55) {
          const TRect placed{left, top, tester.width, tester.height};
          const TWindowPlacement result = PlaceDeviceWindow(screen, placed, width, height);
          ASSERT_FALSE(result.device.Overlaps(result.tester)) << width << "x" << height << " at " << left << "," << top;
          ASSERT_TRUE(screen.Contains(result.device)) << width << "x" << height << " at " << left << "," << top;
          if (!(result.tester == placed)) ASSERT_EQ(result.tester, (TRect{0, 0, tester.width, tester.height}));
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 1000);
}

}  // namespace
}  // namespace orvane
