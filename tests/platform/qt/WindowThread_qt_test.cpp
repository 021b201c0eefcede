#include <gtest/gtest.h>

#include <QCoreApplication>

#include "platform/Port.h"
#include "device/simulated/SimulatedSpeechMike.h"
#include "device/SpeechMikeControl.h"
#include "platform/Application.h"
#include "platform/WindowThread.h"
#include "tests/platform/WindowThreadOrder.h"

namespace orvane {
namespace {

TEST(QtWindowThread, PostedWorkRunsLaterFromTheEventLoopInOrder) {
  testing::ExpectPostedWorkRunsLaterInOrder();
}

TEST(QtWindowThread, TheProgramsSimulatedDeviceRaisesItsButtonsThroughTheEventLoop) {
  SimulatedSpeechMike& device = TheSimulatedSpeechMike();
  ASSERT_EQ(&PlatformAdapter<SpeechMikeComponent>(), &device);
  TSpeechMikeControl control;
  std::vector<uint32_t> codes;
  control.OnSPMEventButton = [&](TSpeechMikeControl&, int32_t, uint32_t code) { codes.push_back(code); };
  control.InitializeDevice(0);
  control.ActivateDevice();
  device.PressButton(6);
  device.PressButton(7);
  EXPECT_TRUE(codes.empty());
  QCoreApplication::processEvents();
  EXPECT_EQ(codes, (std::vector<uint32_t>{6, 7}));
  control.UninitializeDevice();
  control.DeactivateDevice();
}

}  // namespace
}  // namespace orvane
