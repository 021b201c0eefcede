// The platform's sound adapter (libpulse on Linux, WASAPI under Wine) against a private sound
// server, through the group's model as the tester uses it.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "audio/SoundMeter.h"
#include "platform/Port.h"
#include "tests/support/HangLimit.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TestSoundServer.h"

namespace orvane {
namespace {

using testing::Sine;
using testing::TestSoundServer;

// Polls as the window's refresh does, until Done holds; false when only a hang would get there.
template <class Done>
bool PollUntil(TSoundMeter& meter, Done&& done) {
  const auto bound = std::chrono::steady_clock::now() + testing::kHangLimit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > bound) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    meter.Poll();
  }
  return true;
}

class SoundAdapter : public ::testing::Test {
 protected:
  TestSoundServer server;
  testing::LogCapture log;
  TSoundMeter meter;

  // Waits for a second of figures after the ones already shown, and returns the last.
  TSoundLevels SettledLevels() {
    const uint64_t from = meter.Levels().windows;
    EXPECT_TRUE(PollUntil(meter, [&] { return meter.Levels().windows >= from + 20 || !meter.Measuring(); }));
    return meter.Levels();
  }
};

TEST_F(SoundAdapter, MeasuresTheSpeechMikeRatherThanTheDefaultMicrophone) {
  const TSoundDeviceList devices = Port<SoundDevices>().Devices();
  const auto capture = ChooseDevice(devices.capture, devices.defaultCapture);
  ASSERT_TRUE(capture);
  EXPECT_EQ(capture->device.name, TestSoundServer::kSpeechMikeName);
  EXPECT_FALSE(capture->isDefault);
  const auto playback = ChooseDevice(devices.playback, devices.defaultPlayback);
  ASSERT_TRUE(playback);
  EXPECT_EQ(playback->device.name, TestSoundServer::kSpeechMikeName);

  server.Feed(Sine(TestSoundServer::kMicrophoneFormat, 1.0, 1000, -20));
  meter.Start();
  ASSERT_TRUE(meter.Measuring()) << meter.StateText();
  EXPECT_EQ(meter.DeviceText(), "« SpeechMike III »");
  SettledLevels();
  const TSoundLevels levels = SettledLevels();
  EXPECT_NEAR(levels.peakDb, -20, 0.5);
  EXPECT_NEAR(levels.rmsDb, -23, 0.5);
  EXPECT_FALSE(levels.saturated);
  EXPECT_FALSE(levels.silent);
}

TEST_F(SoundAdapter, TheReplayReachesTheSpeechMikeSpeaker) {
  server.Feed(Sine(TestSoundServer::kMicrophoneFormat, 1.0, 1000, -20));
  meter.Start();
  SettledLevels();
  meter.RecordClick();
  ASSERT_TRUE(PollUntil(meter, [&] { return meter.ReplayEnabled(); })) << meter.StateText();
  server.StopFeeding();
  server.RecordSpeaker();
  meter.ReplayClick();
  EXPECT_EQ(meter.StateText(), "Réécoute...");
  // The speaker plays the tone at the level it was recorded.
  TSoundCheck speaker;
  size_t measured = 0;
  const bool heard = PollUntil(meter, [&] {
    const auto played = server.SpeakerRecording();
    if (played.Frames() > measured) speaker.Feed(played.Block(measured, played.Frames() - measured));
    measured = played.Frames();
    return std::abs(speaker.Levels().peakDb + 20) < 0.5 && std::abs(speaker.Levels().rmsDb + 23) < 0.5;
  });
  EXPECT_TRUE(heard) << "last peak " << speaker.Levels().peakDb << " dBFS after " << measured << " frames";
  EXPECT_TRUE(PollUntil(meter, [&] { return meter.RecordEnabled(); })) << meter.StateText();
  EXPECT_EQ(meter.Fault(), TSoundFault::None);
}

TEST_F(SoundAdapter, AnUnpluggedSpeechMikeStopsTheMeterUntilItIsBack) {
  server.Feed(Sine(TestSoundServer::kMicrophoneFormat, 1.0, 1000, -20));
  meter.Start();
  SettledLevels();
  server.Unplug();
  ASSERT_TRUE(PollUntil(meter, [&] { return meter.Fault() != TSoundFault::None; }));
  EXPECT_EQ(meter.StateText(), "Micro débranché");
  EXPECT_FALSE(meter.RecordEnabled());
  meter.Stop();
  EXPECT_NE(meter.Summary().find("crête -20,0 dBFS"), std::string::npos) << meter.Summary();
  EXPECT_NE(meter.Summary().find("Micro débranché"), std::string::npos) << meter.Summary();

  // Plugged in again: the next activation measures it.
  server.StopFeeding();
  server.Pactl(std::string("load-module module-pipe-source source_name=") + TestSoundServer::kSpeechMikeSource +
               " file=" + server.FolderPath() + "/speechmike.fifo format=s16le rate=48000 channels=1"
               " source_properties=device.description=SpeechMike");
  server.WaitForFile("speechmike.fifo", true);
  server.Feed(Sine(TestSoundServer::kMicrophoneFormat, 1.0, 1000, -26));
  meter.Start();
  ASSERT_TRUE(meter.Measuring()) << meter.StateText();
  SettledLevels();
  EXPECT_NEAR(SettledLevels().peakDb, -26, 0.5);

  std::vector<std::string> errors;
  for (const auto& record : log.Records())
    if (record.level == 5) errors.push_back(record.message);
  EXPECT_EQ(errors, std::vector<std::string>{"Son du micro : Micro débranché (« SpeechMike III »)"});
}

}  // namespace
}  // namespace orvane
