// The tester window's design as both views read it.
#include "app/FormOrvaneLayout.h"

#include <gtest/gtest.h>

#include "app/SpeechMikeButtons.h"

namespace orvane {
namespace {

bool Inside(const TControlRect& inner, const TControlRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.left + inner.width <= outer.left + outer.width &&
         inner.top + inner.height <= outer.top + outer.height;
}

bool Overlap(const TControlRect& a, const TControlRect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height && b.top < a.top + a.height;
}

// A control added to the window must find room: inside the client area and clear of the others;
// a radio group's items stand inside the group below its caption, apart, a line of text high.
TEST(FormOrvaneLayoutTest, EveryControlStandsInsideTheWindowApartFromTheOthers) {
  const TControlRect client{0, 0, kFormOrvaneClientWidth, kFormOrvaneClientHeight};
  for (size_t i = 0; i < kFormOrvaneLayout.size(); ++i) {
    TControlRect a = kFormOrvaneLayout[i].rect;
    // A label's size is its text's: one line of it at least.
    if (a.width == 0) a = {a.left, a.top, 80, 13};
    EXPECT_TRUE(Inside(a, client)) << kFormOrvaneLayout[i].caption;
    for (size_t j = i + 1; j < kFormOrvaneLayout.size(); ++j)
      EXPECT_FALSE(Overlap(a, kFormOrvaneLayout[j].rect))
          << kFormOrvaneLayout[i].caption << " / " << kFormOrvaneLayout[j].caption;
  }
  constexpr int kText = 13;
  for (const TControlLayout& group : kFormOrvaneLayout) {
    const TControlRect inside{0, kText, group.rect.width, group.rect.height - kText};
    for (int i = 0; i < static_cast<int>(group.items.size()); ++i) {
      const TControlRect item = RadioGroupItemRect(group, i, kText);
      EXPECT_TRUE(Inside(item, inside)) << group.items[static_cast<size_t>(i)];
      EXPECT_GE(item.height, kText) << group.items[static_cast<size_t>(i)];
      for (int j = 0; j < i; ++j) EXPECT_FALSE(Overlap(item, RadioGroupItemRect(group, j, kText)));
    }
  }
}

TEST(FormOrvaneLayoutTest, TheLightsAreTheDisplayStatesThenOffInTwoColumns) {
  const TControlLayout& lights = kFormOrvaneLayout[kRadioGroupLumiere];
  ASSERT_EQ(lights.items.size(), static_cast<size_t>(kLumiereItemCount));
  EXPECT_STREQ(lights.items[0], "spmDisplayStateStop");
  EXPECT_STREQ(lights.items[4], "spmDisplayStateVorStop");
  EXPECT_STREQ(lights.items[12], "spmDisplayStateIdentifyDevice");
  EXPECT_STREQ(lights.items[kLumiereOff], "OFF");
  // Seven a column: "OFF" ends the second one, level with the last state of the first.
  const TControlRect stop = RadioGroupItemRect(lights, 0, 13), off = RadioGroupItemRect(lights, kLumiereOff, 13);
  EXPECT_GT(off.left, stop.left);
  EXPECT_EQ(off.top, RadioGroupItemRect(lights, 6, 13).top);
}

// As the window grows by 100 × 50: the list follows every side, the lights the left and bottom,
// the button check the right and bottom, the device status the right and top; the rest stays.
TEST(FormOrvaneLayoutTest, EachControlFollowsItsSidesAsTheWindowGrows) {
  const auto grown = [](TFormOrvaneControl control, int dx, int dy) {
    return Anchored(kFormOrvaneLayout[control].rect, kFormOrvaneLayout[control].anchors, dx, dy);
  };
  EXPECT_EQ(grown(kListBoxCmd, 100, 50), (TControlRect{16, 152, 1053, 323}));
  EXPECT_EQ(grown(kRadioGroupLumiere, 100, 50), (TControlRect{16, 489, 617, 185}));
  EXPECT_EQ(grown(kButtonCheckGroup, 100, 50), (TControlRect{748, 489, 321, 185}));
  EXPECT_EQ(grown(kDeviceStatusGroup, 100, 50), (TControlRect{892, 11, 177, 110}));
  EXPECT_EQ(grown(kButton1, 100, 50), kFormOrvaneLayout[kButton1].rect);
  // Narrowed past its width, the list keeps no negative size.
  EXPECT_EQ(grown(kListBoxCmd, -1000, -300), (TControlRect{16, 152, 0, 0}));
}

TEST(FormOrvaneLayoutTest, CellsFillFourColumnsAboveTheProgressLineInsideTheGroup) {
  const int width = 321, height = 185, text = 13;
  const TControlRect line = ButtonCheckProgressRect(width, height, text);
  EXPECT_LE(line.top + line.height, height - 2);
  const TControlRect first = ButtonCheckCellRect(0, width, height, text);
  const TControlRect last = ButtonCheckCellRect(kSpeechMikeButtonCount - 1, width, height, text);
  EXPECT_GT(first.top, text);
  EXPECT_GE(first.height, 2 * text - 3);  // two text lines
  EXPECT_LE(last.top + last.height, line.top);
  EXPECT_LE(ButtonCheckCellRect(3, width, height, text).left + first.width, width - 8);
  // Neighbours do not touch.
  EXPECT_EQ(ButtonCheckCellRect(4, width, height, text).top, first.top + first.height + 1);
  EXPECT_EQ(ButtonCheckCellRect(1, width, height, text).left, first.left + first.width + 1);
}

}  // namespace
}  // namespace orvane
