#include "audio/SoundCheck.h"

#include <gtest/gtest.h>

#include "tests/support/SoundSignals.h"

namespace orvane {
namespace {

using testing::DeliverInBlocks;
using testing::Sine;
using testing::Square;
using testing::Zeros;

constexpr TSoundFormat kInt16Mono{TSampleType::Int16, 1, 48000};
constexpr TSoundFormat kFloatStereo{TSampleType::Float32, 2, 48000};

// Blocks of 441 frames never line up with the 50 ms windows: windows must span blocks.
void Feed(TSoundCheck& check, const testing::SoundSignal& signal) {
  DeliverInBlocks(signal, 441, [&](const TSoundBlock& block) { check.Feed(block); });
}

class SoundCheckFormats : public ::testing::TestWithParam<TSoundFormat> {};

TEST_P(SoundCheckFormats, SineAtMinus20ReadsItsPeakAndRms) {
  TSoundCheck check;
  Feed(check, Sine(GetParam(), 1.0, 1000, -20));
  const TSoundLevels& levels = check.Levels();
  EXPECT_EQ(levels.windows, 20u);
  EXPECT_NEAR(levels.peakDb, -20, 0.2);
  EXPECT_NEAR(levels.rmsDb, -23, 0.2);
  EXPECT_NEAR(levels.peakHoldDb, -20, 0.2);
  EXPECT_NEAR(levels.loudestPeakDb, -20, 0.2);
  EXPECT_NEAR(levels.meanRmsDb, -23, 0.2);
  EXPECT_FALSE(levels.saturated);
  EXPECT_FALSE(levels.silent);
}

TEST_P(SoundCheckFormats, FullScaleSquareSaturatesForTheHoldSpan) {
  TSoundCheck check;
  Feed(check, Square(GetParam(), 0.1, 500, 0));
  EXPECT_TRUE(check.Levels().saturated);
  EXPECT_NEAR(check.Levels().peakDb, 0, 0.01);
  // The word stays for 1,5 s (30 windows) after the last full-scale sample, then goes.
  const TSoundFormat format = GetParam();
  Feed(check, Sine(format, 29 * 0.05, 1000, -20));
  EXPECT_TRUE(check.Levels().saturated);
  Feed(check, Sine(format, 0.05, 1000, -20));
  EXPECT_FALSE(check.Levels().saturated);
  EXPECT_TRUE(check.Levels().everSaturated);
}

TEST_P(SoundCheckFormats, ZerosAreSilenceOnceThreeSecondsOfSamplesArrived) {
  const TSoundFormat format = GetParam();
  TSoundCheck check;
  Feed(check, Zeros(format, 3 * 48000 - 2400));
  EXPECT_FALSE(check.Levels().silent);
  EXPECT_FALSE(check.Levels().silentThroughout);
  EXPECT_EQ(check.Levels().rmsDb, kFloorDb);
  Feed(check, Zeros(format, 2400));
  EXPECT_TRUE(check.Levels().silent);
  EXPECT_TRUE(check.Levels().silentThroughout);
  // A voice ends the silence, and the check was no longer silent throughout.
  Feed(check, Sine(format, 0.05, 300, -30));
  EXPECT_FALSE(check.Levels().silent);
  EXPECT_FALSE(check.Levels().silentThroughout);
}

INSTANTIATE_TEST_SUITE_P(Blocks, SoundCheckFormats,
                         ::testing::Values(kInt16Mono, TSoundFormat{TSampleType::Int16, 2, 48000},
                                           TSoundFormat{TSampleType::Float32, 1, 48000}, kFloatStereo),
                         [](const auto& info) {
                           return std::string(info.param.type == TSampleType::Int16 ? "Int16" : "Float32") +
                                  (info.param.channels == 1 ? "Mono" : "Stereo");
                         });

TEST(SoundCheck, SaturationMeansWithinATenthOfADecibelOfFullScale) {
  TSoundCheck check;
  Feed(check, Sine(kFloatStereo, 0.2, 1000, -0.2));
  EXPECT_FALSE(check.Levels().everSaturated);
  Feed(check, Sine(kFloatStereo, 0.2, 1000, -0.05));
  EXPECT_TRUE(check.Levels().everSaturated);
}

TEST(SoundCheck, PeakHoldKeepsTheLoudestPeakForOneAndAHalfSeconds) {
  TSoundCheck check;
  Feed(check, Sine(kInt16Mono, 0.05, 1000, -6));
  Feed(check, Sine(kInt16Mono, 29 * 0.05, 1000, -30));
  EXPECT_NEAR(check.Levels().peakHoldDb, -6, 0.2);
  EXPECT_NEAR(check.Levels().peakDb, -30, 0.2);
  Feed(check, Sine(kInt16Mono, 0.05, 1000, -30));
  EXPECT_NEAR(check.Levels().peakHoldDb, -30, 0.2);
  // The whole check keeps the loudest peak, and its mean lies between the two levels.
  EXPECT_NEAR(check.Levels().loudestPeakDb, -6, 0.2);
  EXPECT_GT(check.Levels().meanRmsDb, -33);
  EXPECT_LT(check.Levels().meanRmsDb, -9);
}

TEST(SoundCheck, RecordsFiveSecondsAsTheyCameIn) {
  TSoundCheck check;
  Feed(check, Zeros(kInt16Mono, 1000));
  check.StartRecording();
  const auto tone = Sine(kInt16Mono, 6.0, 440, -12);
  Feed(check, tone);
  EXPECT_FALSE(check.Recording());
  const TSoundBuffer& recorded = check.Recorded();
  ASSERT_EQ(recorded.Frames(), 5u * 48000);
  EXPECT_EQ(recorded.channels, 1);
  EXPECT_EQ(recorded.rate, 48000);
  int16_t sample;
  std::memcpy(&sample, tone.bytes.data() + 2 * 1234, 2);
  EXPECT_FLOAT_EQ(recorded.samples[1234], sample / 32768.0f);
}

TEST(SoundCheck, ChoosesTheSpeechMikeElseTheDefaultDevice) {
  const std::vector<TSoundDevice> devices = {
      {"alias", "PulseAudio"}, {"internal", "Micro interne"}, {"spm", "Philips SPEECHMIKE III"}, {"spm2", "SpeechMike Premium"}};
  // Where the default is an alias (Wine), the SpeechMike is never the default itself.
  auto chosen = ChooseDevice(devices, "alias");
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->device.id, "spm");
  EXPECT_TRUE(chosen->speechMike);
  EXPECT_FALSE(chosen->isDefault);
  EXPECT_TRUE(ChooseDevice(devices, "spm")->isDefault);

  const std::vector<TSoundDevice> others = {{"internal", "Micro interne"}, {"usb", "Casque USB"}};
  chosen = ChooseDevice(others, "usb");
  EXPECT_EQ(chosen->device.id, "usb");
  EXPECT_FALSE(chosen->speechMike);
  EXPECT_TRUE(chosen->isDefault);
  // A default that is not in the list: the first device, which is not the default.
  chosen = ChooseDevice(others, "gone");
  EXPECT_EQ(chosen->device.id, "internal");
  EXPECT_FALSE(chosen->isDefault);
  EXPECT_FALSE(ChooseDevice({}, "internal"));
}

TEST(SoundCheck, FiguresHaveOneDecimalAndADecimalComma) {
  EXPECT_EQ(DecibelText(-12.34), "-12,3");
  EXPECT_EQ(DecibelText(-0.04), "0,0");
  EXPECT_EQ(DecibelText(kFloorDb), "< -100,0");
}

}  // namespace
}  // namespace orvane
