#include "audio/SoundDevices.h"

#include <gtest/gtest.h>

#include "audio/SoundCheck.h"
#include "tests/support/SoundSignals.h"

namespace orvane {
namespace {

TSoundBuffer FloatBuffer(const testing::SoundSignal& signal) {
  const auto* samples = reinterpret_cast<const float*>(signal.bytes.data());
  return TSoundBuffer{signal.format.channels, signal.format.rate,
                      std::vector<float>(samples, samples + signal.Frames() * signal.format.channels)};
}

TSoundLevels Measure(const TSoundBuffer& buffer) {
  TSoundCheck check;
  check.Feed(TSoundBlock{buffer.samples.data(), buffer.Frames(), {TSampleType::Float32, buffer.channels, buffer.rate}});
  return check.Levels();
}

// A device that takes only its own format gets the replay converted: same length, same level.
TEST(SoundDevices, ConvertedReplayKeepsItsDurationAndLevel) {
  const TSoundBuffer stereo = FloatBuffer(testing::Sine({TSampleType::Float32, 2, 48000}, 1.0, 440, -20));
  const TSoundBuffer mono = ConvertSoundBuffer(stereo, 1, 44100);
  EXPECT_EQ(mono.channels, 1);
  EXPECT_EQ(mono.rate, 44100);
  EXPECT_EQ(mono.Frames(), 44100u);
  EXPECT_NEAR(Measure(mono).loudestPeakDb, -20, 0.2);
  EXPECT_NEAR(Measure(mono).meanRmsDb, -23, 0.2);

  const TSoundBuffer back = ConvertSoundBuffer(mono, 2, 48000);
  EXPECT_EQ(back.Frames(), 48000u);
  EXPECT_EQ(back.samples[2 * 1000], back.samples[2 * 1000 + 1]);
  EXPECT_NEAR(Measure(back).meanRmsDb, -23, 0.2);
  EXPECT_EQ(ConvertSoundBuffer(TSoundBuffer{}, 2, 48000).Frames(), 0u);
}

}  // namespace
}  // namespace orvane
