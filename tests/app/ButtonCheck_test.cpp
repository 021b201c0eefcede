// The button check through sequences of button events, each at a tick count the test chooses.
#include "app/ButtonCheck.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

constexpr size_t kStop = 0, kPlay = 1, kRecord = 2, kForward = 6, kF2 = 16, kF3 = 17, kSmart3 = 22;

TEST(ButtonCheckTest, StartsWithNoButtonSeen) {
  TButtonCheck check;
  for (size_t i = 0; i < kSpeechMikeButtonCount; ++i) EXPECT_EQ(check.State(i), TButtonState::NotSeen);
  EXPECT_EQ(check.CellText(kStop), "Stop\n");
  EXPECT_EQ(check.CellDescription(kStop), "Stop : non testé");
  EXPECT_EQ(check.Progress(), "0 / 23 boutons vérifiés");
  EXPECT_FALSE(check.HasVerdict());
  EXPECT_EQ(check.Summary(),
            "Vérification des boutons : 0/23 vérifiés ; non testés : Stop, Play, Record, Insert, EOL, Rewind, "
            "Forward, Priority, Command, Play/Stop, Trigger, Menu up, Menu down, Menu, Instruction, F1, F2, F3, F4, "
            "Smart 1, Smart 2, Programmable 1, Smart 3");
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

// An intermittent key, the usual complaint: once suspect, it stays so whatever follows.
TEST(ButtonCheckTest, ASuspectKeyStaysSuspectWithItsFirstReason) {
  TButtonCheck check;
  check.Event(49, 100);  // F3 up without going down
  EXPECT_EQ(check.CellText(kF3), "F3\nsans appui");
  EXPECT_EQ(check.CellDescription(kF3), "F3 : suspect, relâché sans appui");
  // Pressed again it shows down, and comes back up suspect, neither verified nor stuck.
  check.Event(48, 200);
  EXPECT_EQ(check.State(kF3), TButtonState::Held);
  check.Event(49, 300);
  check.Event(48, 400);
  check.Event(49, 40400);
  EXPECT_EQ(check.CellText(kF3), "F3\nsans appui");
  // A verified key released once more without a press turns suspect.
  check.Event(2, 500);
  check.Event(3, 620);
  EXPECT_EQ(check.CellDescription(kStop), "Stop : vérifié, 120 ms");
  check.Event(3, 700);
  EXPECT_EQ(check.State(kStop), TButtonState::Suspect);
}

// Record, Forward and Rewind are held for seconds in daily use: only a key still down after
// 30 s is stuck, whether the timer looked at it while it was down or not.
TEST(ButtonCheckTest, LongHoldsAreVerifiedAndOnlyAKeyDownPast30SecondsIsStuck) {
  TButtonCheck check;
  check.Event(6, 10000);
  check.Event(7, 16500);
  EXPECT_EQ(check.CellText(kRecord), "Record\n6,5 s");
  check.Event(2, 0);
  check.Event(3, 30000);  // exactly 30 s is not stuck
  EXPECT_EQ(check.CellText(kStop), "Stop\n30,0 s");
  check.Event(4, 0);
  check.Event(5, 999);
  EXPECT_EQ(check.CellText(kPlay), "Play\n999 ms");

  check.Event(46, 50000);  // F2
  EXPECT_FALSE(check.CheckHeld(80000));
  EXPECT_EQ(check.State(kF2), TButtonState::Held);
  EXPECT_TRUE(check.CheckHeld(80001));
  EXPECT_EQ(check.CellText(kF2), "F2\nbloqué");
  EXPECT_FALSE(check.CheckHeld(90000));
  // Its late release is no release without a press, and the key stays stuck.
  check.Event(47, 95000);
  EXPECT_EQ(check.CellDescription(kF2), "F2 : suspect, toujours enfoncé après 30 s");
  check.Event(14, 0);
  check.Event(15, 30001);  // Forward, released too late without any timer having looked
  EXPECT_EQ(check.State(kForward), TButtonState::Suspect);
  EXPECT_EQ(check.VerifiedCount(), 3u);
}

TEST(ButtonCheckTest, AHoldAcrossTheTickCounterWrapMeasuresRight) {
  TButtonCheck check;
  check.Event(2, 4294967000u);
  EXPECT_FALSE(check.CheckHeld(100));
  check.Event(3, 200);
  EXPECT_EQ(check.State(kStop), TButtonState::Verified);
  EXPECT_EQ(check.LastHoldForTesting(kStop), 496u);
}

TEST(ButtonCheckTest, ClearingForgetsTheVerdictsButNotAKeyThatIsDown) {
  TButtonCheck check;
  check.Event(2, 0);
  check.Event(3, 10);
  check.Event(5, 20);
  check.Event(6, 30);
  check.Clear();
  EXPECT_FALSE(check.HasVerdict());
  EXPECT_EQ(check.State(kStop), TButtonState::NotSeen);
  EXPECT_EQ(check.State(kPlay), TButtonState::NotSeen);
  // Record went down before the clearing: its release is a good one, timed from its press.
  EXPECT_EQ(check.State(kRecord), TButtonState::Held);
  check.Event(7, 430);
  EXPECT_EQ(check.CellText(kRecord), "Record\n400 ms");
}

}  // namespace
}  // namespace orvane
