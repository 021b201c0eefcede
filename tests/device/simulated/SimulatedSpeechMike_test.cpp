#include "device/simulated/SimulatedSpeechMike.h"

#include <map>

#include "common/Exceptions.h"
#include "device/SpeechMikeControl.h"
#include "tests/device/SpeechMikeComponentBehaviour.h"
#include "tests/support/FakeWindowThread.h"

namespace orvane::testing {
namespace {

const std::map<std::string, TSpmOperation> kOperations = {
    {"InitializeDevice", TSpmOperation::InitializeDevice},
    {"DeactivateDevice", TSpmOperation::DeactivateDevice},
    {"ActivateDevice", TSpmOperation::ActivateDevice},
    {"UninitializeDevice", TSpmOperation::UninitializeDevice},
    {"SetDisplayState", TSpmOperation::SetDisplayState}};

class SimulatedHarness : public ComponentHarness {
 public:
  void FailOperation(const std::string& operation, const std::string& description) override {
    component_.FailOperationForTesting(kOperations.at(operation), description);
  }
  void SetRegistered(bool registered) override { component_.SetRegisteredForTesting(registered); }
  void RegisterForOtherBitnessOnly() override { component_.SetOtherBitnessOnlyForTesting(); }
  void PressButtons(const std::vector<uint32_t>& codes) override {
    for (const uint32_t code : codes) component_.PressButton(code);
  }
  void RunMessageLoop() override { thread_.thread.RunPending(); }
  std::vector<std::string> Calls() override { return component_.CallsForTesting(); }
  size_t Subscribed() override { return component_.ConnectionCountForTesting(); }

 private:
  ScopedFakeWindowThread thread_;
  SimulatedSpeechMike component_;
  ScopedPort<SpeechMikeComponent> port_{component_};
};

INSTANTIATE_TEST_SUITE_P(Simulated, ComponentBehaviour,
                         ::testing::Values(HarnessFactory{"Simulated", [] {
                                             return std::unique_ptr<ComponentHarness>(new SimulatedHarness);
                                           }}),
                         HarnessName);

struct SimulatedSpeechMikeTest : ::testing::Test {
  ScopedFakeWindowThread thread;
  SimulatedSpeechMike component;
  ScopedPort<SpeechMikeComponent> port{component};
};

TEST_F(SimulatedSpeechMikeTest, WindowSeesTheDisplayStateAndEachChange) {
  int changes = 0;
  component.SetOnChanged([&] { ++changes; });
  TSpeechMikeControl control;
  control.InitializeDevice(0);
  EXPECT_TRUE(component.Initialized());
  EXPECT_EQ(component.DisplayState(), 0u);
  control.SetDisplayState(0, spmDisplayStateRecordInsert);
  EXPECT_EQ(component.DisplayState(), 6u);
  EXPECT_EQ(SpmDisplayStateName(component.DisplayState()), "spmDisplayStateRecordInsert");
  control.UninitializeDevice();
  EXPECT_EQ(component.DisplayState(), 0u) << "lights stay on after uninitialisation";
  EXPECT_GE(changes, 4);
}

TEST_F(SimulatedSpeechMikeTest, ButtonsOfAnInactiveDeviceRaiseNothing) {
  TSpeechMikeControl control;
  int received = 0;
  control.OnSPMEventButton = [&](TSpeechMikeControl&, int32_t, uint32_t) { ++received; };
  control.InitializeDevice(0);
  component.PressButton(2);
  control.ActivateDevice();
  control.DeactivateDevice();
  component.PressButton(2);
  thread.thread.RunPending();
  EXPECT_EQ(received, 0);
}

TEST_F(SimulatedSpeechMikeTest, EveryConnectionGetsTheEventsAndOtherEventsReachTheirOwnHandlers) {
  TSpeechMikeControl first, second;
  std::vector<std::string> seen;
  first.OnSPMEventButton = [&](TSpeechMikeControl&, int32_t, uint32_t code) { seen.push_back("first " + std::to_string(code)); };
  second.OnSPMEventButton = [&](TSpeechMikeControl&, int32_t, uint32_t code) { seen.push_back("second " + std::to_string(code)); };
  second.OnSPMEventFirmwareUpgradeProgress = [&](TSpeechMikeControl&, int32_t, int32_t p) { seen.push_back("progress " + std::to_string(p)); };
  first.InitializeDevice(0);
  first.ActivateDevice();
  second.Connect();
  component.PressButton(44);
  component.RaiseEvent(9, 40);
  component.RaiseEvent(99, 1);  // not an event of the component: ignored
  thread.thread.RunPending();
  EXPECT_EQ(seen, (std::vector<std::string>{"first 44", "second 44", "progress 40"}));
}

// Unplugged, even while inactive, the device sends nothing until it is plugged in again.
TEST_F(SimulatedSpeechMikeTest, AnUnpluggedDeviceSendsNothingButItsReturn) {
  TSpeechMikeControl control;
  std::vector<std::string> seen;
  control.OnSPMEventButton = [&](TSpeechMikeControl&, int32_t, uint32_t code) { seen.push_back(std::to_string(code)); };
  control.OnSPMEventDeviceConnected = [&](TSpeechMikeControl&, int32_t) { seen.push_back("connected"); };
  component.RaiseEvent(2);
  control.InitializeDevice(0);
  control.ActivateDevice();
  component.PressButton(2);
  component.RaiseEvent(1);
  component.PressButton(3);
  thread.thread.RunPending();
  EXPECT_EQ(seen, (std::vector<std::string>{"connected", "3"}));
}

TEST_F(SimulatedSpeechMikeTest, ActivationBeforeInitialisationFails) {
  TSpeechMikeControl control;
  EXPECT_THROW(control.ActivateDevice(), EOleException);
  EXPECT_FALSE(component.Active());
}

}  // namespace
}  // namespace orvane::testing
