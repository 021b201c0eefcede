// The tester window's design as both views read it.
#include "app/FormOrvaneLayout.h"

#include <gtest/gtest.h>

#include "app/ButtonCheck.h"

#include <vector>

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
  constexpr int kText = kDesignTextHeight;
  for (const TControlLayout& group : kFormOrvaneLayout) {
    const TControlRect inside{0, kText, group.rect.width, group.rect.height - kText};
    const TControlRect contents = RadioGroupContents(group, kText);
    for (int i = 0; i < static_cast<int>(group.items.size()); ++i) {
      const TControlRect item = RadioGroupItemRect(group, i, contents);
      EXPECT_TRUE(Inside(item, inside)) << group.items[static_cast<size_t>(i)];
      EXPECT_GE(item.height, kText) << group.items[static_cast<size_t>(i)];
      for (int j = 0; j < i; ++j) EXPECT_FALSE(Overlap(item, RadioGroupItemRect(group, j, contents)));
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
  const TControlRect contents = RadioGroupContents(lights, kDesignTextHeight);
  const TControlRect stop = RadioGroupItemRect(lights, 0, contents), off = RadioGroupItemRect(lights, kLumiereOff, contents);
  EXPECT_GT(off.left, stop.left);
  EXPECT_EQ(off.top, RadioGroupItemRect(lights, 6, contents).top);
}

// As the window grows by 100 × 50: the list follows every side, the lights the left and bottom,
// the button check the right and bottom, the device status and the sound the right and top; the
// rest stays.
TEST(FormOrvaneLayoutTest, EachControlFollowsItsSidesAsTheWindowGrows) {
  const auto grown = [](TFormOrvaneControl control, int dx, int dy) {
    return Anchored(kFormOrvaneLayout[control].rect, kFormOrvaneLayout[control].anchors, dx, dy);
  };
  EXPECT_EQ(grown(kListBoxCmd, 100, 50), (TControlRect{16, 152, 1053, 323}));
  EXPECT_EQ(grown(kRadioGroupLumiere, 100, 50), (TControlRect{16, 489, 617, 185}));
  EXPECT_EQ(grown(kButtonCheckGroup, 100, 50), (TControlRect{741, 489, 328, 185}));
  EXPECT_EQ(grown(kDeviceStatusGroup, 100, 50), (TControlRect{892, 11, 177, 134}));
  EXPECT_EQ(grown(kSoundGroup, 100, 50), (TControlRect{540, 70, 337, 78}));
  EXPECT_EQ(grown(kButton1, 100, 50), kFormOrvaneLayout[kButton1].rect);
  // Narrowed past its width, the list keeps no negative size.
  EXPECT_EQ(grown(kListBoxCmd, -1000, -300), (TControlRect{16, 152, 0, 0}));
}

// The cells in the design's group, with captions as wide as the window's font makes them: two
// lines of text and the heaviest border fit every cell, "Programmable 1" takes two columns, and
// all stands apart above the progress line.
TEST(FormOrvaneLayoutTest, EachCellHoldsTwoLinesAndItsCaptionAboveTheProgressLine) {
  std::vector<int> widths(kSpeechMikeButtonCount, 51);
  widths[12] = 57;  // Menu down
  widths[21] = 81;  // Programmable 1
  const TControlRect group = kFormOrvaneLayout[kButtonCheckGroup].rect;
  const TControlRect contents = GroupContents(group.width, group.height, kDesignTextHeight);
  const auto cells = ButtonCheckCellRects(contents, kDesignTextHeight, widths);
  const TControlRect progress = ButtonCheckProgressRect(contents, kDesignTextHeight);
  EXPECT_TRUE(Inside(progress, contents));
  const int border = ButtonStateBorder(TButtonState::Suspect);
  for (size_t i = 0; i < cells.size(); ++i) {
    EXPECT_TRUE(Inside(cells[i], contents)) << i;
    EXPECT_LT(cells[i].top + cells[i].height, progress.top) << i;
    EXPECT_GE(cells[i].height, 2 * kDesignTextHeight + 2 * border) << i;
    EXPECT_GE(cells[i].width, widths[i] + 2 * border) << i;
    for (size_t j = 0; j < i; ++j) EXPECT_FALSE(Overlap(cells[i], cells[j])) << i << " / " << j;
  }
  EXPECT_EQ(cells[22].left, cells[21].left + cells[21].width + 1);
  EXPECT_EQ(cells[22].top, cells[20].top);
}

// The sound group's parts in the design's group, with texts five pixels a character wide: each
// stands inside the group apart from the others (the fault in place of the level's parts, which
// it hides), a line of text high, an alert's words inside its border, a fault on two lines; the
// figure, the default flag and the alerts are as wide as their widest texts, the buttons as their
// captions.
TEST(FormOrvaneLayoutTest, TheSoundGroupsPartsStandApartInsideIt) {
  const auto textWidth = [](const std::string& text) {
    int characters = 0;
    for (unsigned char c : text) characters += (c & 0xC0) != 0x80;
    return 5 * characters;
  };
  const TControlRect group = kFormOrvaneLayout[kSoundGroup].rect;
  const TControlRect contents = GroupContents(group.width, group.height, kDesignTextHeight);
  const auto parts = SoundGroupRects(contents, kDesignTextHeight, textWidth);
  const auto hiddenByTheFault = [](size_t part) {
    return part == kSoundBar || part == kSoundLevel || part == kSoundSaturation || part == kSoundSilence;
  };
  for (size_t i = 0; i < parts.size(); ++i) {
    EXPECT_TRUE(Inside(parts[i], contents)) << i;
    EXPECT_GE(parts[i].height, kDesignTextHeight) << i;
    for (size_t j = 0; j < i; ++j)
      if (!(i == kSoundFault && hiddenByTheFault(j))) EXPECT_FALSE(Overlap(parts[i], parts[j])) << i << " / " << j;
  }
  EXPECT_GE(parts[kSoundFault].height, 2 * kDesignTextHeight);
  for (TSoundPart alert : {kSoundSaturation, kSoundSilence})
    EXPECT_GE(parts[alert].height, kDesignTextHeight + 2 * kSoundAlertBorder) << alert;
  EXPECT_GE(parts[kSoundSaturation].width, textWidth("saturation : non") + 2 * kSoundAlertBorder);
  EXPECT_GE(parts[kSoundSilence].width, textWidth("silence : non") + 2 * kSoundAlertBorder);
  EXPECT_GE(parts[kSoundDefault].width, textWidth("par défaut : non"));
  EXPECT_GE(parts[kSoundLevel].width, textWidth("< -100,0 dBFS"));
  EXPECT_GE(parts[kSoundActivity].width, textWidth("Enregistrement de 5 s..."));
  EXPECT_GE(parts[kSoundBar].width, contents.width / 3);
  for (TSoundPart button : {kSoundRecord, kSoundReplay}) {
    EXPECT_GE(parts[button].width, textWidth(kSoundRecordCaption) + 8) << button;
    EXPECT_GE(parts[button].height, 23) << button;
  }
}

}  // namespace
}  // namespace orvane
