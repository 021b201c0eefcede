#include "ui/ScreenScale.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(ScreenScale, At144DpiEveryControlIsOneAndAHalfTimesItsPositionAndSize) {
  EXPECT_EQ(ScaleToDpi(TControlRect{16, 152, 953, 273}, 144), (TControlRect{24, 228, 1430, 410}));
  // Odd design values land on the nearest pixel, halves away from zero.
  EXPECT_EQ(ScaleToDpi(TControlRect{1, 13, 81, -3}, 144), (TControlRect{2, 20, 122, -5}));
}

TEST(ScreenScale, TheDesignDpiChangesNothingAndOtherScalesRoundToTheNearestPixel) {
  const TControlRect design{248, 11, 185, 31};
  EXPECT_EQ(ScaleToDpi(design, kDesignDpi), design);
  EXPECT_EQ(ScaleToDpi(design, 120), (TControlRect{310, 14, 231, 39}));
  EXPECT_EQ(ScaleToDpi(design, 192), (TControlRect{496, 22, 370, 62}));
}

TEST(ScreenScale, ASizeDoesNotDependOnWhereTheControlStands) {
  // Scaling the edges instead would give 1.5 x 1 a width of 1 or 2 depending on the left edge.
  EXPECT_EQ(ScaleToDpi(TControlRect{1, 0, 1, 1}, 144).width, ScaleToDpi(TControlRect{2, 0, 1, 1}, 144).width);
}

}  // namespace
}  // namespace orvane
