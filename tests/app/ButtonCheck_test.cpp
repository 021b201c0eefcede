// The button check through sequences of button events, each at a tick count the test chooses.
#include "app/ButtonCheck.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

constexpr size_t kStop = 0, kRecord = 2, kF2 = 16, kSmart3 = 22;

TEST(ButtonCheckTest, StartsWithNoButtonSeen) {
  TButtonCheck check;
  for (size_t i = 0; i < kSpeechMikeButtonCount; ++i) EXPECT_EQ(check.State(i), TButtonState::NotSeen);
  EXPECT_EQ(check.CellText(kStop), "Stop\n");
  EXPECT_EQ(check.Progress(), "0 / 23 boutons vérifiés");
  EXPECT_EQ(check.Summary(), "Vérification des boutons : 0/23 vérifiés");
}

TEST(ButtonCheckTest, EveryButtonIsVerifiedByItsPressThenItsRelease) {
  TButtonCheck check;
  uint32_t tick = 1000;
  for (size_t i = 0; i < kSpeechMikeButtonCount; ++i) {
    const TSpeechMikeButton& button = kSpeechMikeButtons[i];
    check.Event(button.press, tick);
    EXPECT_EQ(check.State(i), TButtonState::Held) << button.caption;
    EXPECT_EQ(check.CellText(i), std::string(button.caption) + "\nenfoncé");
    check.Event(button.release, tick + 100 + static_cast<uint32_t>(i));
    EXPECT_EQ(check.State(i), TButtonState::Verified) << button.caption;
    EXPECT_EQ(check.LastHoldForTesting(i), 100 + i);
    EXPECT_EQ(check.VerifiedCount(), i + 1);
    tick += 1000;
  }
  EXPECT_EQ(check.CellText(kRecord), "Record\n102 ms");
  EXPECT_EQ(check.Progress(), "23 / 23 boutons vérifiés");
  EXPECT_EQ(check.Summary(), "Vérification des boutons : 23/23 vérifiés");
}

TEST(ButtonCheckTest, CodesOfNoButtonChangeNothing) {
  TButtonCheck check;
  check.Event(6, 10);
  check.Event(7, 20);
  check.Event(58, 30);
  for (uint32_t code : {0u, 1u, 24u, 25u, 33u, 40u, 41u, 60u, 4294967295u}) check.Event(code, 40);
  EXPECT_EQ(check.State(kRecord), TButtonState::Verified);
  EXPECT_EQ(check.State(kSmart3), TButtonState::Held);
  EXPECT_EQ(check.VerifiedCount(), 1u);
  // 59 is Smart 3's release although it has no name.
  check.Event(59, 95);
  EXPECT_EQ(check.State(kSmart3), TButtonState::Verified);
  EXPECT_EQ(check.LastHoldForTesting(kSmart3), 65u);
}

TEST(ButtonCheckTest, AReleaseWithoutAPressIsSuspectUntilAFullPressAndRelease) {
  TButtonCheck check;
  check.Event(3, 100);
  EXPECT_EQ(check.State(kStop), TButtonState::Suspect);
  EXPECT_EQ(check.CellText(kStop), "Stop\nsuspect");
  // A second release after a verified one is suspect again.
  check.Event(2, 200);
  check.Event(3, 300);
  EXPECT_EQ(check.State(kStop), TButtonState::Verified);
  check.Event(3, 400);
  EXPECT_EQ(check.State(kStop), TButtonState::Suspect);
  EXPECT_EQ(check.Summary(), "Vérification des boutons : 0/23 vérifiés ; suspects : Stop");
}

TEST(ButtonCheckTest, AHoldLongerThanFiveSecondsIsSuspect) {
  TButtonCheck check;
  check.Event(46, 10000);  // F2
  EXPECT_FALSE(check.CheckHeld(15000));
  EXPECT_EQ(check.State(kF2), TButtonState::Held);
  EXPECT_TRUE(check.CheckHeld(15001));
  EXPECT_EQ(check.State(kF2), TButtonState::Suspect);
  EXPECT_FALSE(check.CheckHeld(16000));
  // Its late release keeps it suspect; a prompt press and release mends it.
  check.Event(47, 17000);
  EXPECT_EQ(check.State(kF2), TButtonState::Suspect);
  check.Event(46, 18000);
  check.Event(47, 18250);
  EXPECT_EQ(check.State(kF2), TButtonState::Verified);
  EXPECT_EQ(check.LastHoldForTesting(kF2), 250u);

  // Released too late without any timer having looked: suspect as well; exactly 5 s is not.
  check.Event(6, 20000);
  check.Event(7, 25001);
  EXPECT_EQ(check.State(kRecord), TButtonState::Suspect);
  check.Event(2, 30000);
  check.Event(3, 35000);
  EXPECT_EQ(check.State(kStop), TButtonState::Verified);
  EXPECT_EQ(check.Summary(), "Vérification des boutons : 2/23 vérifiés ; suspects : Record");
}

TEST(ButtonCheckTest, AHoldAcrossTheTickCounterWrapMeasuresRight) {
  TButtonCheck check;
  check.Event(2, 4294967000u);
  EXPECT_FALSE(check.CheckHeld(100));
  check.Event(3, 200);
  EXPECT_EQ(check.State(kStop), TButtonState::Verified);
  EXPECT_EQ(check.LastHoldForTesting(kStop), 496u);
}

TEST(ButtonCheckTest, ClearingForgetsEveryCellAndAPressInProgress) {
  TButtonCheck check;
  check.Event(2, 0);
  check.Event(3, 10);
  check.Event(5, 20);
  check.Event(6, 30);
  check.Clear();
  for (size_t i = 0; i < kSpeechMikeButtonCount; ++i) EXPECT_EQ(check.State(i), TButtonState::NotSeen);
  // The press before the clearing no longer counts.
  check.Event(7, 40);
  EXPECT_EQ(check.State(kRecord), TButtonState::Suspect);
}

TEST(ButtonCheckTest, TheSummaryNamesEverySuspectButtonInTheDevicesOrder) {
  TButtonCheck check;
  check.Event(59, 0);
  check.Event(2, 0);
  check.Event(3, 5);
  check.Event(57, 0);
  check.Event(9, 0);
  EXPECT_EQ(check.Summary(),
            "Vérification des boutons : 1/23 vérifiés ; suspects : Insert, Programmable 1, Smart 3");
}

}  // namespace
}  // namespace orvane
