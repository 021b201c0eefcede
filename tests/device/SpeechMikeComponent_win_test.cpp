#include <gtest/gtest.h>

#include "common/Exceptions.h"
#include "device/SpeechMikeControl.h"
#include "tests/device/SpeechMikeComponentBehaviour.h"
#include "tests/support/TestSpeechMikeServer_win.h"

namespace orvane::testing {
namespace {

class ComHarness : public ComponentHarness {
 public:
  void FailOperation(const std::string& operation, const std::string& description) override {
    scope_.server.Fail(operation, description);
  }
  void SetRegistered(bool registered) override {
    if (registered) scope_.server.Register();
    else scope_.server.Unregister();
  }
  void RegisterForOtherBitnessOnly() override {
    scope_.server.Unregister();
    scope_.server.RegisterForOtherBitnessOnly();
  }
  void PressButtons(const std::vector<uint32_t>& codes) override {
    // Alternate the VARIANT types the component may use for the unsigned code.
    VARTYPE type = VT_I4;
    for (const uint32_t code : codes) {
      scope_.server.Post(3, 7, code, type);
      type = type == VT_I4 ? VT_UI4 : VT_I4;
    }
  }
  void RunMessageLoop() override { TestSpeechMikeServer::RunMessageLoop(); }
  std::vector<std::string> Calls() override { return scope_.server.Calls(); }
  size_t Subscribed() override { return static_cast<size_t>(scope_.server.Subscribed()); }

 private:
  ScopedTestSpeechMikeServer scope_;
};

INSTANTIATE_TEST_SUITE_P(Com, ComponentBehaviour,
                         ::testing::Values(HarnessFactory{"Com", [] { return std::unique_ptr<ComponentHarness>(new ComHarness); }}),
                         HarnessName);

struct ComSpeechMike : ::testing::Test {
  ScopedTestSpeechMikeServer scope;
  TestSpeechMikeServer& server = scope.server;
};

TEST_F(ComSpeechMike, DestroyedWrapperReleasesTheComponentInstance) {
  {
    TSpeechMikeControl control;
    control.InitializeDevice(0);
    EXPECT_EQ(server.LiveObjects(), 1);
    control.Disconnect();
    EXPECT_EQ(server.LiveObjects(), 0);
    control.InitializeDevice(0);
    EXPECT_EQ(server.LiveObjects(), 1);
  }
  EXPECT_EQ(server.LiveObjects(), 0);
  EXPECT_EQ(server.Subscribed(), 0);
}

TEST_F(ComSpeechMike, AttachesToTheRunningInstanceRatherThanCreatingOne) {
  server.SetRunning(true);
  ASSERT_EQ(server.LiveObjects(), 1);
  TSpeechMikeControl control;
  control.InitializeDevice(0);
  EXPECT_EQ(server.LiveObjects(), 1);
  EXPECT_EQ(server.Subscribed(), 1);
}

TEST_F(ComSpeechMike, DeviceEventsReachTheirHandlersAndTheBarcodeTextGoesBack) {
  TSpeechMikeControl control;
  std::vector<std::string> seen;
  control.OnSPMEventDeviceConnected = [&](TSpeechMikeControl&, int32_t device) { seen.push_back("connected " + std::to_string(device)); };
  control.OnSPMEventBatteryStatusChanged = [&](TSpeechMikeControl&, int32_t, uint32_t status) {
    seen.push_back("battery " + std::to_string(status));
  };
  control.OnSPMEventUSBGap = [&](TSpeechMikeControl&, int32_t, int32_t gaps) { seen.push_back("gaps " + std::to_string(gaps)); };
  control.OnSPMEventBarcode = [&](TSpeechMikeControl&, int32_t, std::string& text) {
    seen.push_back("barcode " + text);
    text = "LU";
  };
  control.InitializeDevice(0);
  control.ActivateDevice();
  server.Post(1, 3, 0);
  server.Post(5, 3, 2, VT_UI4);
  server.Post(11, 3, static_cast<uint32_t>(-2), VT_I4);
  server.Post(4, 3, 42);
  server.Post(99, 3, 1);  // not an event of the component
  TestSpeechMikeServer::RunMessageLoop();
  EXPECT_EQ(seen, (std::vector<std::string>{"connected 3", "battery 2", "gaps -2", "barcode CODE42"}));
  EXPECT_EQ(server.LastBarcode(), "LU");
}

TEST_F(ComSpeechMike, UnregisteredClassIsACOMErrorWithTheSystemsText) {
  server.Unregister();
  TSpeechMikeControl control;
  try {
    control.InitializeDevice(0);
    FAIL() << "connected to an unregistered class";
  } catch (const EOleSysError& e) {
    EXPECT_FALSE(e.Message().empty());
    EXPECT_NE(e.Message().back(), '.');
  }
  EXPECT_EQ(server.LiveObjects(), 0);
}

}  // namespace
}  // namespace orvane::testing
