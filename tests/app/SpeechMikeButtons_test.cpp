#include "app/SpeechMikeButtons.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(SpmEventName, PressAndReleaseCodesOfEachButtonHaveTheirNames) {
  EXPECT_EQ(SpmEventName(0), "spmNoEvent");
  EXPECT_EQ(SpmEventName(1), "spmCmdError");
  EXPECT_EQ(SpmEventName(2), "spmStopPressed");
  EXPECT_EQ(SpmEventName(9), "spmInsertReleased");
  EXPECT_EQ(SpmEventName(15), "spmFastForwardReleased");
  EXPECT_EQ(SpmEventName(23), "spmTriggerReleased");
  EXPECT_EQ(SpmEventName(34), "spmMenuUpPressed");
  EXPECT_EQ(SpmEventName(39), "spmMenuReleased");
  EXPECT_EQ(SpmEventName(42), "spmInstructionPressed");
  EXPECT_EQ(SpmEventName(51), "spmFunction4Released");
  EXPECT_EQ(SpmEventName(57), "spmProgrammable1Released");
  EXPECT_EQ(SpmEventName(58), "spmSmart3Pressed");
}

TEST(SpmEventName, CodesWithoutANameAreUnknownActions) {
  for (uint32_t code = 24; code <= 33; ++code) EXPECT_EQ(SpmEventName(code), "Action inconnue") << code;
  for (uint32_t code : {40u, 41u, 59u, 60u, 1000u, 2147483648u, 4294967295u})
    EXPECT_EQ(SpmEventName(code), "Action inconnue") << code;
}

TEST(SpmEventName, PressCodesAreEvenAndReleasesNameTheSameButton) {
  for (uint32_t code = 2; code < 58; code += 2) {
    const std::string press = SpmEventName(code);
    if (press == "Action inconnue") continue;
    ASSERT_EQ(press.substr(press.size() - 7), "Pressed") << code;
    EXPECT_EQ(SpmEventName(code + 1), press.substr(0, press.size() - 7) + "Released") << code;
  }
}

}  // namespace
}  // namespace orvane
