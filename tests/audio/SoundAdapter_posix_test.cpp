// What only the Linux adapter can show: the server's default source is read afresh at each
// activation, and a station without a sound service.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "audio/SoundMeter.h"
#include "platform/Port.h"
#include "tests/support/HangLimit.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TestSoundServer.h"

namespace orvane {
namespace {

using testing::TestSoundServer;

TEST(SoundAdapterPosix, TheDefaultFlagFollowsTheServersDefaultSource) {
  TestSoundServer server;
  TSoundMeter meter;
  meter.Start();
  EXPECT_EQ(meter.DefaultText(), "par défaut : non");
  server.Pactl(std::string("set-default-source ") + TestSoundServer::kSpeechMikeSource);
  const auto bound = std::chrono::steady_clock::now() + testing::kHangLimit;
  while (Port<SoundDevices>().Devices().defaultCapture != TestSoundServer::kSpeechMikeSource)
    ASSERT_LT(std::chrono::steady_clock::now(), bound);
  meter.Start();
  EXPECT_EQ(meter.DeviceText(), "« SpeechMike III »");
  EXPECT_EQ(meter.DefaultText(), "par défaut : oui");
  meter.Stop();
  EXPECT_EQ(meter.Summary().rfind("Vérification du son : « SpeechMike III » ; par défaut : oui ; ", 0), 0u)
      << meter.Summary();
}

TEST(SoundAdapterPosix, WithoutASoundServiceTheGroupSaysSo) {
  std::string socket;
  {
    TestSoundServer server;
    socket = std::getenv("PULSE_SERVER");
  }
  // The server is gone; its address stays.
  ASSERT_EQ(std::getenv("PULSE_SERVER"), socket);
  testing::LogCapture log;
  TSoundMeter meter;
  meter.Start();
  EXPECT_EQ(meter.Fault(), TSoundFault::NoServer);
  EXPECT_EQ(meter.StateText(), "Aucun service audio");
  EXPECT_FALSE(meter.RecordEnabled());
  meter.Stop();
  EXPECT_EQ(meter.Summary(), "Vérification du son : Aucun service audio");
  ASSERT_EQ(log.Records().size(), 1u);
  EXPECT_EQ(log.Records()[0].level, 5);
  EXPECT_EQ(log.Records()[0].message.rfind("Son du micro : Aucun service audio : ", 0), 0u);
}

}  // namespace
}  // namespace orvane
