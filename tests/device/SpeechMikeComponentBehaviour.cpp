#include "tests/device/SpeechMikeComponentBehaviour.h"

#include <optional>
#include <utility>

#include "common/Exceptions.h"
#include "tests/support/ScopedPort.h"
#include "device/SpeechMikeComponent.h"
#include "device/SpeechMikeControl.h"
#include "tests/support/FakeUi.h"

namespace orvane::testing {
namespace {

using Received = std::vector<std::pair<int32_t, uint32_t>>;

void Listen(TSpeechMikeControl& control, Received& received) {
  control.OnSPMEventButton = [&received, &control](TSpeechMikeControl& sender, int32_t device, uint32_t code) {
    EXPECT_EQ(&sender, &control);
    received.emplace_back(device, code);
  };
}

// The message of the COM-family error the call raised, nullopt when it raised none.
template <class Call>
std::optional<std::string> ComErrorOf(Call call) {
  try {
    call();
  } catch (const EOleError& e) {
    return e.Message();
  }
  return std::nullopt;
}

TEST_P(ComponentBehaviour, ConnectsOnTheFirstCallAndPassesTheCallsInOrder) {
  {
    TSpeechMikeControl control;
    EXPECT_FALSE(control.Connected());
    EXPECT_EQ(harness->Subscribed(), 0u);
    control.InitializeDevice(0);
    EXPECT_EQ(harness->Subscribed(), 1u);
    control.ActivateDevice();
    control.SetDisplayState(0, 13);
    control.UninitializeDevice();
    control.DeactivateDevice();
    // A later open reuses the same connection.
    control.InitializeDevice(0);
    EXPECT_EQ(harness->Subscribed(), 1u);
  }
  EXPECT_EQ(harness->Calls(), (std::vector<std::string>{"InitializeDevice(0)", "ActivateDevice()", "SetDisplayState(0,13)",
                                                        "UninitializeDevice()", "DeactivateDevice()", "InitializeDevice(0)"}));
  EXPECT_EQ(harness->Subscribed(), 0u);
}

TEST_P(ComponentBehaviour, DisplayStateBeforeInitialisationFailsNotInitialized) {
  TSpeechMikeControl control;
  EXPECT_EQ(ComErrorOf([&] { control.SetDisplayState(0, 1); }), "Not initialized");
  control.InitializeDevice(0);
  EXPECT_EQ(ComErrorOf([&] { control.SetDisplayState(0, 1); }), std::nullopt);
}

TEST_P(ComponentBehaviour, FailingOperationRaisesTheDescriptionWithoutTrailingBlanksAndPeriods) {
  harness->FailOperation("ActivateDevice", "Périphérique occupé par Carnexa. . ");
  harness->FailOperation("UninitializeDevice", "Arrêt refusé...");
  TSpeechMikeControl control;
  control.InitializeDevice(0);
  EXPECT_EQ(ComErrorOf([&] { control.ActivateDevice(); }), "Périphérique occupé par Carnexa");
  EXPECT_EQ(ComErrorOf([&] { control.UninitializeDevice(); }), "Arrêt refusé");
  EXPECT_EQ(ComErrorOf([&] { control.DeactivateDevice(); }), std::nullopt);
  EXPECT_EQ(harness->Calls(), (std::vector<std::string>{"InitializeDevice(0)", "ActivateDevice()", "UninitializeDevice()",
                                                        "DeactivateDevice()"}));
}

TEST_P(ComponentBehaviour, ButtonEventsArriveThroughTheMessageLoopWithTheirUnsignedCodes) {
  TSpeechMikeControl control;
  Received received;
  Listen(control, received);
  control.InitializeDevice(0);
  control.ActivateDevice();
  harness->PressButtons({0, 9, 59, 4294967295u, 2147483648u});
  EXPECT_TRUE(received.empty()) << "delivered inside the call that raised it";
  harness->RunMessageLoop();
  ASSERT_EQ(received.size(), 5u);
  EXPECT_EQ(received[0].second, 0u);
  EXPECT_EQ(received[1].second, 9u);
  EXPECT_EQ(received[2].second, 59u);
  EXPECT_EQ(received[3].second, 4294967295u);
  EXPECT_EQ(received[4].second, 2147483648u);
  EXPECT_EQ(received[0].first, received[4].first);
}

TEST_P(ComponentBehaviour, HandlerErrorReachesTheErrorDisplayAndTheNextEventsStillArrive) {
  FakeDialogs dialogs;
  ScopedPort<Dialogs> dialogsPort(dialogs);
  TSpeechMikeControl control;
  std::vector<uint32_t> codes;
  control.OnSPMEventButton = [&](TSpeechMikeControl&, int32_t, uint32_t code) {
    codes.push_back(code);
    if (code == 6) throw EOleException("Not initialized");
  };
  control.InitializeDevice(0);
  control.ActivateDevice();
  harness->PressButtons({6, 7});
  harness->RunMessageLoop();
  EXPECT_EQ(codes, (std::vector<uint32_t>{6, 7}));
  EXPECT_EQ(dialogs.shown, (std::vector<ShownDialog>{{"error", "Not initialized"}}));
}

TEST_P(ComponentBehaviour, ReplacedHandlerGetsTheEventsThatFollow) {
  TSpeechMikeControl control;
  Received first, second;
  Listen(control, first);
  control.InitializeDevice(0);
  control.ActivateDevice();
  harness->PressButtons({2});
  harness->RunMessageLoop();
  Listen(control, second);
  harness->PressButtons({3});
  harness->RunMessageLoop();
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].second, 2u);
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].second, 3u);
}

TEST_P(ComponentBehaviour, DestroyedWrapperIsUnsubscribedAndGetsNothingMore) {
  Received received;
  {
    TSpeechMikeControl control;
    Listen(control, received);
    control.InitializeDevice(0);
    control.ActivateDevice();
    harness->PressButtons({6});
  }
  EXPECT_EQ(harness->Subscribed(), 0u);
  harness->RunMessageLoop();
  EXPECT_TRUE(received.empty());
}

TEST_P(ComponentBehaviour, UnregisteredClassFailsTheFirstCallWithACOMErrorAndConnectsNothing) {
  harness->SetRegistered(false);
  TSpeechMikeControl control;
  const auto message = ComErrorOf([&] { control.InitializeDevice(0); });
  ASSERT_TRUE(message.has_value());
  EXPECT_FALSE(message->empty());
  EXPECT_FALSE(control.Connected());
  EXPECT_EQ(harness->Subscribed(), 0u);
  EXPECT_TRUE(harness->Calls().empty());
  // Registered again, the next call connects.
  harness->SetRegistered(true);
  control.InitializeDevice(0);
  EXPECT_TRUE(control.Connected());
}

TEST_P(ComponentBehaviour, AClassOfTheOtherBitnessOnlyIsToldApartFromAClassRegisteredNowhere) {
  SpeechMikeComponent& component = Port<SpeechMikeComponent>();
  EXPECT_FALSE(component.RegisteredForOtherBitnessOnly());
  harness->SetRegistered(false);
  EXPECT_FALSE(component.RegisteredForOtherBitnessOnly());
  harness->RegisterForOtherBitnessOnly();
  TSpeechMikeControl control;
  EXPECT_TRUE(ComErrorOf([&] { control.InitializeDevice(0); }).has_value());
  EXPECT_TRUE(component.RegisteredForOtherBitnessOnly());
  harness->SetRegistered(true);
  EXPECT_FALSE(component.RegisteredForOtherBitnessOnly());
}

}  // namespace
}  // namespace orvane::testing
