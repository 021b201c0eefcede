#include "device/DataPhilips.h"

#include <gtest/gtest.h>

#include <memory>

#include "common/Exceptions.h"
#include "device/simulated/SimulatedSpeechMike.h"
#include "tests/support/FakeUi.h"
#include "tests/support/FakeWindowThread.h"
#include "tests/support/LogCapture.h"

namespace orvane::testing {
namespace {

const std::string kIn = "TDataPhilips.OpenPHILIPSDictCtrl - IN";
const std::string kOut = "TDataPhilips.OpenPHILIPSDictCtrl - OUT";
const std::string kBrokenDrivers =
    "TDataPhilips.OpenPHILIPSDictCtrl - Erreur d'initialisation Classe non enregistrée : Les pilotes ne semblent pas "
    "correctement installés.";
const std::string kWarning =
    "Les pilotes du micro/pédalier Philips SpeechMike ne sont pas installés correctement.\n\r\r"
    "Nous tenterons de les réinstaller lors du prochain démarrage de l'application.";

struct DataPhilipsTest : ::testing::Test {
  ScopedFakeUi ui;
  ScopedFakeWindowThread thread;
  SimulatedSpeechMike component;
  ScopedPort<SpeechMikeComponent> port{component};
  LogCapture log;
  std::unique_ptr<TDataPhilips> data = std::make_unique<TDataPhilips>(nullptr, nullptr, -1);
  std::vector<std::string> executed;

  void RecordEveryAction() {
    for (size_t i = 0; i < data->ActionListPHILIPS.Count(); ++i)
      data->ActionListPHILIPS[i].OnExecute = [this](TAction& action) { executed.push_back(action.Name()); };
  }
  std::vector<std::string> Route(uint32_t code) {
    executed.clear();
    data->SpeechMikeControlSPMEventButton(data->SpeechMikeControl, 1, code);
    return executed;
  }
  std::vector<ShownDialog> Errors() const {
    std::vector<ShownDialog> errors;
    for (const auto& dialog : ui.dialogs.shown)
      if (dialog.kind == "error") errors.push_back(dialog);
    return errors;
  }
};

using Names = std::vector<std::string>;

TEST_F(DataPhilipsTest, CreationConnectsNothingAndTheOneArgumentConstructorIsRefused) {
  EXPECT_EQ(component.ConnectionCountForTesting(), 0u);
  EXPECT_EQ(data->vID_Station, -1);
  try {
    TDataPhilips refused(nullptr);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.ClassName(), "Exception");
    EXPECT_EQ(e.Message(),
              "Vous devez absolument utiliser le constructeur TDataPhilips.Create(AOwner: TComponent;BDAUtiliser: "
              "TpFIBDatabase;ID_Station: Integer)");
  }
}

TEST_F(DataPhilipsTest, HoldsTheFortyEightActionsInOrderUnderTheirExactNames) {
  const Names expected = {
      "ActionMicNoEvent", "ActionMicCmdError", "ActionMicStopPressed", "ActionMicStopReleased", "ActionMicPlayPressed",
      "ActionMicPlayReleased", "ActionMicRecordPressed", "ActionMicRecordReleased", "ActionMicInsertPressed",
      "ActionMicInsertReleased", "ActionMicEOLPressed", "ActionMicEOLReleased", "ActionMicFastRewindPressed",
      "ActionMicFastRewindReleased", "ActionMicFastFowardPressed", "ActionMicFastFowardReleased",
      "ActionMicPriorityPressed", "ActionMicPriorityReleased", "ActionMicCommandPressed", "ActionMicCommandReleased",
      "ActionMicPlayStopTogglePressed", "ActionMicPlayStopToggleReleased", "ActionMicTriggerPressed",
      "ActionMicTriggeReleased", "ActionMicInstructionPressed", "ActionMicInstructionReleased",
      "ActionMicFunction1Pressed", "ActionMicFunction1Released", "ActionMicFunction2Pressed", "ActionMicFunction2Released",
      "ActionMicFunction3Pressed", "ActionMicFunction3Released", "ActionMicFunction4Pressed", "ActionMicFunction4Released",
      "ActionMicMenuUpPressed", "ActionMicMenuUpReleased", "ActionMicMenuDownPressed", "ActionMicMenuDownReleased",
      "ActionMicMenuPressed", "ActionMicMenuReleased", "ActionMicSmart1Pressed", "ActionMicSmart1Released",
      "ActionMicSmart2Pressed", "ActionMicSmart2Released", "ActionMicProgrammble1Pressed",
      "ActionMicProgrammble1Released", "ActionMicSmart3Pressed", "ActionMicSmart3Released"};
  Names names;
  for (size_t i = 0; i < data->ActionListPHILIPS.Count(); ++i) names.push_back(data->ActionListPHILIPS[i].Name());
  EXPECT_EQ(names, expected);
  EXPECT_EQ(data->ActionListPHILIPS.Find("ActionMicTriggeReleased"), data->ActionMicTriggeReleased);
  EXPECT_EQ(data->ActionListPHILIPS.Find("ActionMicSmart3Released"), data->ActionMicSmart3Released);
  EXPECT_EQ(data->ActionListPHILIPS.Find("ActionMicFastForwardPressed"), nullptr);
  EXPECT_FALSE(data->ActionMicNoEvent->Execute()) << "an action without a handler does something";
}

TEST_F(DataPhilipsTest, OpenInitialisesThenActivatesAndCloseUninitialisesThenDeactivates) {
  EXPECT_TRUE(data->OpenPHILIPSDictCtrl());
  EXPECT_TRUE(component.Active());
  EXPECT_TRUE(data->ClosePHILIPSDictCtrl());
  EXPECT_TRUE(data->OpenPHILIPSDictCtrl());
  EXPECT_EQ(component.CallsForTesting(), (Names{"InitializeDevice(0)", "ActivateDevice()", "UninitializeDevice()", "DeactivateDevice()",
                                      "InitializeDevice(0)", "ActivateDevice()"}));
  EXPECT_EQ(component.ConnectionCountForTesting(), 1u);
  EXPECT_TRUE(ui.dialogs.shown.empty());
  EXPECT_EQ(log.Records(), (std::vector<LoggedRecord>{{kIn, 250},
                                                      {kOut, 250},
                                                      {"TDataPhilips.ClosePHILIPSDictCtrl - IN", 250},
                                                      {"TDataPhilips.ClosePHILIPSDictCtrl - OUT", 250},
                                                      {kIn, 250},
                                                      {kOut, 250}}));
  data.reset();
  EXPECT_EQ(component.ConnectionCountForTesting(), 0u) << "destroying the controller keeps the component";
}

TEST_F(DataPhilipsTest, FailedActivationShowsOneErrorAndLeavesTheDeviceInitialised) {
  component.FailOperationForTesting(TSpmOperation::ActivateDevice, "Périphérique occupé.");
  EXPECT_FALSE(data->OpenPHILIPSDictCtrl());
  EXPECT_EQ(ui.dialogs.shown,
            (std::vector<ShownDialog>{{"error", "TDataPhilips.OpenPHILIPSDictCtrl - Erreur d'activation: Périphérique occupé"}}));
  EXPECT_EQ(ui.application.broughtToFront, 1);
  EXPECT_TRUE(component.Initialized());
  EXPECT_TRUE(ui.application.terminatedWith.empty());
  EXPECT_EQ(log.Messages(), (Names{kIn, kOut}));
}

// A component whose initialisation fails with an error outside the COM family.
struct BrokenComponent : SpeechMikeComponent, SpeechMikeConnection {
  std::unique_ptr<SpeechMikeConnection> Connect(SpeechMikeEventSink&) override {
    struct Forward : SpeechMikeConnection {
      BrokenComponent* owner;
      explicit Forward(BrokenComponent* o) : owner(o) {}
      void InitializeDevice(int32_t mode) override { owner->InitializeDevice(mode); }
      void DeactivateDevice() override { owner->DeactivateDevice(); }
      void ActivateDevice() override { owner->ActivateDevice(); }
      void UninitializeDevice() override { owner->UninitializeDevice(); }
      void SetDisplayState(int32_t d, uint32_t s) override { owner->SetDisplayState(d, s); }
    };
    return std::make_unique<Forward>(this);
  }
  bool RegisteredForOtherBitnessOnly() override { return false; }
  void InitializeDevice(int32_t) override { throw EOSError("Accès refusé"); }
  void DeactivateDevice() override { calls.push_back("DeactivateDevice"); }
  void ActivateDevice() override { calls.push_back("ActivateDevice"); }
  void UninitializeDevice() override { calls.push_back("UninitializeDevice"); }
  void SetDisplayState(int32_t, uint32_t) override {}
  Names calls;
};

TEST_F(DataPhilipsTest, NonComInitialisationErrorShowsTheDiagnosticsThenTheErrorAndSkipsActivation) {
  BrokenComponent broken;
  ScopedPort<SpeechMikeComponent> brokenPort(broken);
  ui.application.lastOsError = 3221225477u;
  EXPECT_FALSE(data->OpenPHILIPSDictCtrl());
  EXPECT_EQ(ui.dialogs.shown, (std::vector<ShownDialog>{
                                  {"message", " e.ClassName = EOSError"},
                                  {"message", " e.ClassType.ClassName = EOSError"},
                                  {"message", " e.ClassParent.ClassName = Exception"},
                                  {"message", " GetLastError = 3221225477"},
                                  {"error", "TDataPhilips.OpenPHILIPSDictCtrl - Erreur d'initialisation: Accès refusé"},
                              }));
  EXPECT_EQ(ui.application.broughtToFront, 1);
  EXPECT_TRUE(broken.calls.empty());
  EXPECT_TRUE(ui.application.terminatedWith.empty());
  EXPECT_EQ(log.Messages(), (Names{kIn, kOut}));
}

TEST_F(DataPhilipsTest, UnregisteredClassWithTheTestersArgumentsWarnsLogsAndEndsTheProgramWithCode3) {
  component.SetRegisteredForTesting(false);
  EXPECT_THROW(data->OpenPHILIPSDictCtrl(), ProgramEnded);
  EXPECT_EQ(ui.dialogs.shown, (std::vector<ShownDialog>{{"warning", kWarning}}));
  EXPECT_EQ(ui.application.broughtToFront, 0);
  EXPECT_EQ(ui.application.terminatedWith, (std::vector<int>{3}));
  EXPECT_EQ(log.Records(),
            (std::vector<LoggedRecord>{
                {kIn, 250},
                {kBrokenDrivers, 5},
                {"TDataPhilips.OpenPHILIPSDictCtrl - Erreur: Impossible de forcer la réinstallation des pilotes [ "
                 "vBDAUtiliser = nil et vID_Station= -1]",
                 5}}));
}

TEST_F(DataPhilipsTest, AnyComErrorAtInitialisationTakesTheReinstallationPath) {
  data = std::make_unique<TDataPhilips>(nullptr, nullptr, 0);  // station 0 counts as none
  component.FailOperationForTesting(TSpmOperation::InitializeDevice, "Erreur interne.");
  EXPECT_THROW(data->OpenPHILIPSDictCtrl(), ProgramEnded);
  EXPECT_EQ(ui.application.terminatedWith, (std::vector<int>{3}));
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(component.CallsForTesting(), (Names{"InitializeDevice(0)"}));
  const auto records = log.Records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[2].message.substr(records[2].message.size() - 15), "vID_Station= 0]");
}

TEST_F(DataPhilipsTest, StationWithoutConnectionIsNotReportedAsMissing) {
  data = std::make_unique<TDataPhilips>(nullptr, nullptr, 7);
  component.SetRegisteredForTesting(false);
  EXPECT_THROW(data->OpenPHILIPSDictCtrl(), ProgramEnded);
  EXPECT_EQ(log.Messages(), (Names{kIn, kBrokenDrivers}));
  EXPECT_EQ(ui.application.terminatedWith, (std::vector<int>{3}));
}

TEST_F(DataPhilipsTest, FailedUninitialisationShowsOneErrorAndSkipsDeactivation) {
  data->OpenPHILIPSDictCtrl();
  component.ClearCallsForTesting();
  component.FailOperationForTesting(TSpmOperation::UninitializeDevice, "Refusé. ");
  EXPECT_FALSE(data->ClosePHILIPSDictCtrl());
  EXPECT_EQ(ui.dialogs.shown,
            (std::vector<ShownDialog>{{"error", "TDataPhilips.ClosePHILIPSDictCtrl - Erreur de désinitialisation: Refusé"}}));
  EXPECT_EQ(component.CallsForTesting(), (Names{"UninitializeDevice()"}));
  component.ClearFailuresForTesting();
  component.FailOperationForTesting(TSpmOperation::DeactivateDevice, "Absent");
  EXPECT_FALSE(data->ClosePHILIPSDictCtrl());
  EXPECT_EQ(Errors().back().text, "TDataPhilips.ClosePHILIPSDictCtrl - Erreur de désactivation: Absent");
  EXPECT_EQ(ui.application.broughtToFront, 2);
  EXPECT_EQ(log.Messages().back(), "TDataPhilips.ClosePHILIPSDictCtrl - OUT");
}

TEST_F(DataPhilipsTest, LightsAreLoggedBeforeTheComponentIsCalledAndItsErrorsPass) {
  EXPECT_THROW(data->LumiereSpeechMikePro(13), EOleError);
  EXPECT_EQ(log.Records(), (std::vector<LoggedRecord>{{"LumiereSpeechMikePro - 13", 250}}));
  data->OpenPHILIPSDictCtrl();
  data->LumiereSpeechMikePro(spmDisplayStateVorStop);
  EXPECT_EQ(component.DisplayState(), 5u);
  EXPECT_EQ(component.CallsForTesting().back(), "SetDisplayState(0,5)");
}

TEST_F(DataPhilipsTest, ButtonCodesRunTheirActionsPlayRunsTheToggleAndUnnamedCodesRunNothing) {
  RecordEveryAction();
  EXPECT_EQ(Route(0), Names{"ActionMicNoEvent"});
  EXPECT_EQ(Route(4), Names{"ActionMicPlayStopTogglePressed"});
  EXPECT_EQ(Route(5), Names{"ActionMicPlayStopToggleReleased"});
  EXPECT_EQ(Route(6), Names{"ActionMicRecordPressed"});
  EXPECT_EQ(Route(8), Names{"ActionMicInsertPressed"});
  EXPECT_EQ(Route(9), Names{});
  EXPECT_EQ(Route(14), Names{"ActionMicFastFowardPressed"});
  EXPECT_EQ(Route(23), Names{"ActionMicTriggeReleased"});
  EXPECT_EQ(Route(34), Names{"ActionMicMenuUpPressed"});
  EXPECT_EQ(Route(39), Names{"ActionMicMenuReleased"});
  EXPECT_EQ(Route(44), Names{"ActionMicFunction1Pressed"});
  EXPECT_EQ(Route(56), Names{"ActionMicProgrammble1Pressed"});
  EXPECT_EQ(Route(59), Names{"ActionMicSmart3Released"});
  // Every code routes at most one action, never the play or insert-release ones.
  for (uint32_t code : {24u, 33u, 40u, 41u, 60u, 61u, 4294967295u}) EXPECT_EQ(Route(code), Names{}) << code;
  for (uint32_t code = 0; code < 70; ++code) {
    const Names ran = Route(code);
    EXPECT_LE(ran.size(), 1u);
    for (const auto& name : ran) {
      EXPECT_NE(name, "ActionMicPlayPressed");
      EXPECT_NE(name, "ActionMicPlayReleased");
      EXPECT_NE(name, "ActionMicInsertReleased");
    }
  }
  EXPECT_EQ(ui.application.beeps, 0);
}

TEST_F(DataPhilipsTest, WithoutTheEolActionTheTransportButtonsDoNothingAndRecordBeeps) {
  RecordEveryAction();
  ASSERT_TRUE(data->FreeAction("ActionMicEOLPressed"));
  EXPECT_EQ(data->ActionMicEOLPressed, nullptr);
  EXPECT_EQ(data->ActionListPHILIPS.Count(), 47u);
  for (uint32_t code : {4u, 5u, 7u, 8u, 10u, 12u, 13u, 14u, 15u, 18u, 20u, 21u}) EXPECT_EQ(Route(code), Names{}) << code;
  EXPECT_EQ(ui.application.beeps, 0);
  EXPECT_EQ(Route(6), Names{});
  EXPECT_EQ(ui.application.beeps, 1);
  // Codes without a condition still run.
  EXPECT_EQ(Route(11), Names{"ActionMicEOLReleased"});
  EXPECT_EQ(Route(19), Names{"ActionMicCommandReleased"});
  EXPECT_EQ(Route(2), Names{"ActionMicStopPressed"});
}

TEST_F(DataPhilipsTest, MissingActionsAreSkippedAndRecordWithoutItsActionBeeps) {
  RecordEveryAction();
  data->FreeAction("ActionMicRecordPressed");
  data->FreeAction("ActionMicStopPressed");
  data->ActionMicInsertPressed = nullptr;
  EXPECT_EQ(Route(6), Names{});
  EXPECT_EQ(ui.application.beeps, 1);
  EXPECT_EQ(Route(7), Names{"ActionMicRecordReleased"});
  EXPECT_EQ(Route(2), Names{});
  EXPECT_EQ(Route(8), Names{});
  EXPECT_EQ(ui.application.beeps, 1);
  EXPECT_FALSE(data->FreeAction("ActionMicStopPressed"));
}

TEST_F(DataPhilipsTest, PressedButtonsReachTheActionsThroughTheComponentUntilAHostReplacesTheHandler) {
  RecordEveryAction();
  data->OpenPHILIPSDictCtrl();
  component.PressButton(2);
  EXPECT_TRUE(executed.empty());
  thread.thread.RunPending();
  EXPECT_EQ(executed, Names{"ActionMicStopPressed"});
  std::vector<uint32_t> seen;
  data->SpeechMikeControl.OnSPMEventButton = [&](TSpeechMikeControl&, int32_t, uint32_t code) { seen.push_back(code); };
  component.PressButton(3);
  thread.thread.RunPending();
  EXPECT_EQ(executed, Names{"ActionMicStopPressed"});
  EXPECT_EQ(seen, std::vector<uint32_t>{3});
}

}  // namespace
}  // namespace orvane::testing
