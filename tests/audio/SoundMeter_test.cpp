#include "audio/SoundMeter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/support/FakeSoundDevices.h"
#include "tests/support/HangLimit.h"
#include "tests/support/LogCapture.h"
#include "tests/support/SoundSignals.h"

namespace orvane {
namespace {

using testing::DeliverInBlocks;
using testing::LoggedRecord;
using testing::Sine;

constexpr TSoundFormat kWineFormat{TSampleType::Float32, 2, 48000};

class SoundMeterTest : public ::testing::Test {
 protected:
  SoundMeterTest() {
    fake.devices.capture = {{"alias", "PulseAudio"}, {"in", "Micro interne"}, {"spm-in", "SpeechMike III"}};
    fake.devices.playback = {{"out", "Haut-parleurs"}, {"spm-out", "SpeechMike III"}};
    fake.devices.defaultCapture = "alias";
    fake.devices.defaultPlayback = "out";
  }
  void Deliver(double seconds, double dbfs) {
    DeliverInBlocks(Sine(kWineFormat, seconds, 1000, dbfs), 480, [&](const TSoundBlock& b) { fake.Deliver(b); });
  }

  testing::ScopedFakeSoundDevices scoped;
  testing::FakeSoundDevices& fake = scoped.devices;
  testing::LogCapture log;
  TSoundMeter meter;
};

TEST_F(SoundMeterTest, MeasuresRecordsReplaysAndSumsUpTheSpeechMike) {
  meter.Start();
  EXPECT_EQ(fake.CapturedId(), "spm-in");
  EXPECT_EQ(meter.DeviceText(), "« SpeechMike III »");
  EXPECT_EQ(meter.DefaultText(), "par défaut : non");
  EXPECT_EQ(meter.LevelText(), "");
  EXPECT_FALSE(meter.Poll());

  Deliver(1.0, -20);
  EXPECT_TRUE(meter.Poll());
  EXPECT_EQ(meter.LevelText(), "-20,0 dBFS");
  EXPECT_NEAR(meter.LevelFraction(), 40.0 / 60, 0.01);
  EXPECT_EQ(meter.SaturationText(), "saturation : non");
  EXPECT_EQ(meter.SilenceText(), "silence : non");
  EXPECT_EQ(meter.StateText(), "");
  EXPECT_TRUE(meter.RecordEnabled());
  EXPECT_FALSE(meter.ReplayEnabled());

  // Recording and replay each disable both buttons while they run.
  meter.RecordClick();
  EXPECT_FALSE(meter.RecordEnabled());
  EXPECT_FALSE(meter.ReplayEnabled());
  EXPECT_EQ(meter.StateText(), "Enregistrement de 5 s...");
  Deliver(4.9, -12);
  meter.Poll();
  EXPECT_FALSE(meter.ReplayEnabled());
  Deliver(0.2, -12);
  EXPECT_TRUE(meter.Poll());
  EXPECT_TRUE(meter.ReplayEnabled());
  meter.ReplayClick();
  ASSERT_EQ(fake.played.size(), 1u);
  EXPECT_EQ(fake.played[0].id, "spm-out");
  EXPECT_EQ(fake.played[0].samples.Frames(), 5u * 48000);
  EXPECT_EQ(fake.played[0].samples.channels, 2);
  EXPECT_FALSE(meter.RecordEnabled());
  EXPECT_FALSE(meter.ReplayEnabled());
  EXPECT_EQ(meter.StateText(), "Réécoute...");
  meter.ReplayClick();
  EXPECT_EQ(fake.played.size(), 1u);
  fake.FinishPlayback();
  EXPECT_TRUE(meter.Poll());
  EXPECT_TRUE(meter.RecordEnabled());
  EXPECT_TRUE(meter.ReplayEnabled());

  meter.Stop();
  EXPECT_FALSE(fake.Capturing());
  EXPECT_FALSE(meter.RecordEnabled());
  EXPECT_FALSE(meter.ReplayEnabled());
  EXPECT_EQ(meter.Summary(),
            "Vérification du son : « SpeechMike III » ; par défaut : non ; crête -12,0 dBFS ; moyenne -15,7 dBFS ; "
            "saturation : non ; silence : non");
  const std::vector<LoggedRecord> expected = {
      {"Son du micro : « SpeechMike III » ; par défaut : non ; réécoute sur « SpeechMike III »", 200},
      {"Son du micro : enregistrement de 5 s terminé", 200},
      {"Son du micro : réécoute sur « SpeechMike III »", 200},
      {"Son du micro : réécoute terminée", 200}};
  EXPECT_EQ(log.Records(), expected);
}

TEST_F(SoundMeterTest, WithoutASpeechMikeTheDefaultDeviceIsMeasuredAndSaidSo) {
  fake.devices.capture = {{"in", "Micro interne"}, {"usb", "Casque USB"}};
  fake.devices.defaultCapture = "usb";
  meter.Start();
  EXPECT_EQ(fake.CapturedId(), "usb");
  EXPECT_EQ(meter.DeviceText(), "« Casque USB » (aucun SpeechMike)");
  EXPECT_EQ(meter.DefaultText(), "par défaut : oui");
  meter.Stop();
  EXPECT_EQ(meter.Summary(), "Vérification du son : « Casque USB » (aucun SpeechMike) ; par défaut : oui ; aucune mesure");
}

TEST_F(SoundMeterTest, FaultsAreShownAndLoggedAndTheNextActivationTriesAgain) {
  fake.failDevices = TSoundFault::NoServer;
  meter.Start();
  EXPECT_EQ(meter.StateText(), "Aucun service audio");
  EXPECT_EQ(meter.DeviceText(), "Aucun micro");
  EXPECT_FALSE(meter.RecordEnabled());
  meter.Stop();
  EXPECT_EQ(meter.Summary(), "Vérification du son : Aucun service audio");

  fake.failDevices.reset();
  fake.devices.capture.clear();
  meter.Start();
  EXPECT_EQ(meter.StateText(), "Aucun micro sur le poste");

  fake.devices.capture = {{"spm-in", "SpeechMike III"}};
  fake.failCapture = TSoundFault::Busy;
  meter.Start();
  EXPECT_EQ(meter.StateText(), "Micro occupé par un autre programme (mode exclusif)");
  EXPECT_FALSE(meter.RecordEnabled());

  // Unplugged while measuring: the capture stops, the figures stay, a replug needs a new start.
  fake.failCapture.reset();
  meter.Start();
  Deliver(0.5, -20);
  meter.RecordClick();
  fake.Lose(TSoundFault::Unplugged);
  EXPECT_TRUE(meter.Poll());
  EXPECT_FALSE(fake.Capturing());
  EXPECT_FALSE(meter.Measuring());
  EXPECT_EQ(meter.StateText(), "Micro débranché");
  EXPECT_FALSE(meter.RecordEnabled());
  EXPECT_EQ(meter.LevelText(), "-20,0 dBFS");
  meter.Stop();
  EXPECT_EQ(meter.Summary(),
            "Vérification du son : « SpeechMike III » ; par défaut : non ; crête -20,0 dBFS ; moyenne -23,0 dBFS ; "
            "saturation : non ; silence : non ; Micro débranché");
  meter.Start();
  EXPECT_TRUE(fake.Capturing());
  EXPECT_EQ(meter.StateText(), "");

  // A replay the device refuses leaves the buttons as they were.
  fake.failPlay = TSoundFault::Busy;
  meter.RecordClick();
  Deliver(5.0, -20);
  meter.Poll();
  meter.ReplayClick();
  EXPECT_TRUE(meter.ReplayEnabled());

  const std::vector<LoggedRecord> records = log.Records();
  std::vector<LoggedRecord> errors;
  for (const LoggedRecord& record : records)
    if (record.level == 5) errors.push_back(record);
  const std::vector<LoggedRecord> expected = {
      {"Son du micro : Aucun service audio : refusé", 5},
      {"Son du micro : Aucun micro sur le poste", 5},
      {"Son du micro : Micro occupé par un autre programme (mode exclusif) (« SpeechMike III ») : refusé", 5},
      {"Son du micro : Micro débranché (« SpeechMike III »)", 5},
      {"Son du micro : réécoute impossible sur « SpeechMike III » : Micro occupé par un autre programme (mode "
       "exclusif) (refusé)", 5}};
  EXPECT_EQ(errors, expected);
}

// The adapter's thread delivers while the window thread polls: what crosses between them must
// do so without a lock and without a race (the ThreadSanitizer build runs this too).
TEST_F(SoundMeterTest, FiguresCrossFromTheCaptureThreadToTheWindowThread) {
  meter.Start();
  meter.RecordClick();
  std::thread device([&] { Deliver(6.0, -20); });
  uint64_t seen = 0;
  const auto bound = std::chrono::steady_clock::now() + testing::kHangLimit;
  while (meter.Levels().windows < 120 || !meter.ReplayEnabled()) {
    if (std::chrono::steady_clock::now() > bound) {
      ADD_FAILURE() << "the figures never crossed";
      break;
    }
    meter.Poll();
    EXPECT_GE(meter.Levels().windows, seen);
    seen = meter.Levels().windows;
    std::this_thread::yield();
  }
  device.join();
  meter.Poll();
  EXPECT_EQ(meter.Levels().windows, 120u);
  EXPECT_TRUE(meter.ReplayEnabled());
  EXPECT_EQ(meter.LevelText(), "-20,0 dBFS");
}

}  // namespace
}  // namespace orvane
