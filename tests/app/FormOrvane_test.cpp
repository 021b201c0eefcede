// The tester window's handlers, driven as a user drives them, over the real device controller
// and the simulated SpeechMike.
#include "app/FormOrvane.h"

#include <gtest/gtest.h>

#include <atomic>

#include <stdexcept>

#include "platform/Clock.h"
#include "platform/Port.h"
#include "device/DataPhilips.h"
#include "device/simulated/SimulatedSpeechMike.h"
#include "device/SpeechMikeControl.h"
#include "support/FakeRegionalSettings.h"
#include "support/FakeSoundDevices.h"
#include "support/FakeUi.h"
#include "support/FakeWindowThread.h"
#include "support/LogCapture.h"
#include "support/SoundSignals.h"
#include "support/TesterWorkstation.h"

namespace orvane {
namespace {

using testing::ShownDialog;

// The logging thread stamps its lines with it while the test moves it on.
class StepClock : public Clock {
 public:
  TDateTime Now() override { return now; }
  uint32_t TickCount() override { return tick; }
  std::atomic<TDateTime> now = 45000.5;
  std::atomic<uint32_t> tick = 0;
};

// A window that records what the presenter tells it, and keeps the list as a list box would from
// the list's notifications alone.
class RecordingView : public TFormOrvaneView {
 public:
  void LineInsertedAtTop(const std::string& line) override {
    lines.insert(lines.begin(), line);
    listChanges.push_back("top: " + line);
  }
  void LineAppended(const std::string& line) override {
    lines.push_back(line);
    listChanges.push_back("end: " + line);
  }
  void ListCleared() override {
    lines.clear();
    listChanges.push_back("cleared");
  }
  void Changed() override { ++changes; }
  void SoundChanged() override { ++soundChanges; }
  void Focus(TFormOrvaneControl control) override { focused.push_back(control); }
  void FocusSound(TSoundPart button) override { focusedSound.push_back(button); }
  void RequestClose() override { ++closeRequests; }
  std::vector<std::string> lines;
  std::vector<std::string> listChanges;
  int changes = 0;
  int soundChanges = 0;
  std::vector<TFormOrvaneControl> focused;
  std::vector<TSoundPart> focusedSound;
  int closeRequests = 0;
};

// Dialogs whose first error dialog fails, as a dialog that cannot be shown does.
class FailingErrorDialogs : public testing::FakeDialogs {
 public:
  void MessageError(const std::string& text) override {
    FakeDialogs::MessageError(text);
    if (!failed_) {
      failed_ = true;
      throw std::runtime_error("Fenêtre indisponible");
    }
  }

 private:
  bool failed_ = false;
};

const std::string kNotInitialized = "Le Speechmike n'a pas été initialisé.  Veuillez l'activer d'abord.";

class FormOrvaneTest : public ::testing::Test {
 protected:
  FormOrvaneTest() {
    sound.devices.devices.capture = {{"in", "Micro interne"}, {"spm-in", "SpeechMike III"}};
    sound.devices.devices.playback = {{"out", "Haut-parleurs"}, {"spm-out", "SpeechMike III"}};
    sound.devices.devices.defaultCapture = "in";
    sound.devices.devices.defaultPlayback = "out";
  }
  void SetUp() override {
    form.FormCreate();
    form.FormShow();
    ui.dialogs.shown.clear();
  }

  void Press(uint32_t code) {
    device.PressButton(code);
    loop.thread.RunPending();
  }
  void Activate() {
    form.ButtonActiverClick();
    device.ClearCallsForTesting();
    view.focused.clear();
  }
  const TButtonCheck& Check() const { return form.ButtonCheck(); }
  std::vector<std::string> Calls() const { return device.CallsForTesting(); }

  testing::ScopedFakeUi ui;
  testing::ScopedFakeWindowThread loop;
  testing::TesterWorkstation workstation;  // drivers installed
  SimulatedSpeechMike device;
  ScopedPort<SpeechMikeComponent> devicePort{device};
  // The station's microphones: the SpeechMike's and its own, which programs use by default.
  testing::ScopedFakeSoundDevices sound;
  StepClock clock;
  ScopedPort<Clock> clockPort{clock};
  RecordingView view;
  TFormOrvane form{&view};
};

TEST_F(FormOrvaneTest, StartsInactiveWithOffSelectedAndNothingSentToTheDevice) {
  EXPECT_TRUE(form.ButtonActiverEnabled());
  EXPECT_FALSE(form.ButtonDesactiverEnabled());
  EXPECT_FALSE(form.ButtonExportEnabled());
  EXPECT_EQ(form.LumiereIndex(), kLumiereOff);
  EXPECT_EQ(form.DisplayIndex(), kDisplayCommandes);
  EXPECT_EQ(form.Columns(), 3);
  EXPECT_TRUE(view.lines.empty());
  EXPECT_EQ(view.closeRequests, 0);
  ASSERT_NE(form.DataPhilipsForTesting(), nullptr);
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(device.ConnectionCountForTesting(), 0u);
}

TEST_F(FormOrvaneTest, ActivationOpensTheDeviceAndSwitchesTheButtons) {
  form.ButtonActiverClick();
  EXPECT_EQ(Calls(), (std::vector<std::string>{"InitializeDevice(0)", "ActivateDevice()"}));
  EXPECT_FALSE(form.ButtonActiverEnabled());
  EXPECT_TRUE(form.ButtonDesactiverEnabled());
  EXPECT_TRUE(device.Active());
  EXPECT_TRUE(ui.dialogs.shown.empty());
  // The keyboard's focus leaves the button that has just been disabled for the one enabled.
  EXPECT_EQ(view.focused, std::vector<TFormOrvaneControl>{kButtonDesactiver});
  form.ButtonDesactiverClick();
  EXPECT_EQ(view.focused, (std::vector<TFormOrvaneControl>{kButtonDesactiver, kButtonActiver}));
}

TEST_F(FormOrvaneTest, CommandLinesStandNewestFirstAndNumbered) {
  Activate();
  Press(6);
  Press(7);
  Press(59);
  Press(40);
  Press(4294967295u);
  EXPECT_EQ(view.lines, (std::vector<std::string>{
                              "5 - Action : Action inconnue - EventID = 4294967295",
                              "4 - Action : Action inconnue - EventID = 40",
                              "3 - Action : Action inconnue - EventID = 59",
                              "2 - Action : spmRecordReleased - EventID = 7",
                              "1 - Action : spmRecordPressed - EventID = 6",
                          }));
}

TEST_F(FormOrvaneTest, TickLinesAreAppendedOldestFirstWithoutNames) {
  Activate();
  form.SelectDisplay(kDisplayTicks);
  EXPECT_TRUE(form.ButtonExportEnabled());
  EXPECT_EQ(form.Columns(), 4);
  clock.tick = 1000;
  Press(2);
  clock.tick = 4294967295u;
  Press(4294967295u);
  EXPECT_EQ(view.lines, (std::vector<std::string>{"1000 - 2", "4294967295 - 4294967295"}));

  form.SelectDisplay(kDisplayCommandes);
  EXPECT_FALSE(form.ButtonExportEnabled());
  EXPECT_EQ(form.Columns(), 3);
}

TEST_F(FormOrvaneTest, NumberingStartsAgainAfterEveryClearing) {
  Activate();
  Press(2);
  Press(3);
  form.ButtonVideMemoClick();
  EXPECT_TRUE(view.lines.empty());
  Press(10);
  EXPECT_EQ(view.lines, (std::vector<std::string>{"1 - Action : spmEOLPressed - EventID = 10"}));

  // To the tick display and back: the list is cleared both times.
  form.SelectDisplay(kDisplayTicks);
  EXPECT_TRUE(view.lines.empty());
  Press(11);
  ASSERT_EQ(view.lines.size(), 1u);
  form.SelectDisplay(kDisplayCommandes);
  EXPECT_TRUE(view.lines.empty());
  Press(8);
  EXPECT_EQ(view.lines, (std::vector<std::string>{"1 - Action : spmInsertPressed - EventID = 8"}));

  // Reselecting the current mode is no change and keeps the list.
  form.SelectDisplay(kDisplayCommandes);
  EXPECT_EQ(view.lines.size(), 1u);

  // A new activation starts a fresh list.
  form.ButtonDesactiverClick();
  form.ButtonActiverClick();
  EXPECT_TRUE(view.lines.empty());
  Press(9);
  EXPECT_EQ(view.lines, (std::vector<std::string>{"1 - Action : spmInsertReleased - EventID = 9"}));
}

// The window keeps no copy of the lines to compare: each change of the list reaches it as a list
// model reports rows, and only the handlers that clear the list clear it.
TEST_F(FormOrvaneTest, TheWindowIsToldEachLineAndEachClearingOfTheList) {
  EXPECT_EQ(view.listChanges, (std::vector<std::string>{"cleared"}));  // FormCreate
  view.listChanges.clear();
  form.ButtonActiverClick();
  Press(6);
  Press(7);
  form.ButtonVideMemoClick();
  Press(2);
  form.SelectDisplay(kDisplayTicks);
  clock.tick = 1000;
  Press(3);
  clock.tick = 1001;
  Press(4);
  // Neither the lights, the mode already shown, the device's own events nor the deactivation
  // touch the list.
  form.SelectLumiere(1);
  form.SelectDisplay(kDisplayTicks);
  device.RaiseEvent(1);
  loop.thread.RunPending();
  form.ButtonDesactiverClick();
  form.ButtonActiverClick();
  EXPECT_EQ(view.listChanges, (std::vector<std::string>{
                                  "cleared",
                                  "top: 1 - Action : spmRecordPressed - EventID = 6",
                                  "top: 2 - Action : spmRecordReleased - EventID = 7",
                                  "cleared",
                                  "top: 1 - Action : spmStopPressed - EventID = 2",
                                  "cleared",
                                  "end: 1000 - 3",
                                  "end: 1001 - 4",
                                  "cleared",
                              }));
}

TEST_F(FormOrvaneTest, EachLightSendsItsCodeAndOffSendsTheVorStopCode) {
  Activate();
  form.SelectLumiere(4);
  form.SelectLumiere(kLumiereOff);
  form.SelectLumiere(0);
  form.SelectLumiere(12);
  form.SelectLumiere(12);  // no change, nothing sent
  EXPECT_EQ(Calls(), (std::vector<std::string>{"SetDisplayState(0,5)", "SetDisplayState(0,5)", "SetDisplayState(0,1)",
                                               "SetDisplayState(0,13)"}));
  EXPECT_EQ(device.DisplayState(), 13u);
  EXPECT_TRUE(ui.dialogs.shown.empty());
}

TEST_F(FormOrvaneTest, DeactivationFromALightSendsStopThenOffThenClosesTheDevice) {
  Activate();
  form.SelectLumiere(6);
  device.ClearCallsForTesting();
  form.ButtonDesactiverClick();
  EXPECT_EQ(Calls(), (std::vector<std::string>{"SetDisplayState(0,1)", "SetDisplayState(0,5)", "UninitializeDevice()",
                                               "DeactivateDevice()"}));
  EXPECT_EQ(form.LumiereIndex(), kLumiereOff);
  EXPECT_TRUE(form.ButtonActiverEnabled());
  EXPECT_FALSE(form.ButtonDesactiverEnabled());
  EXPECT_FALSE(device.Active());
}

TEST_F(FormOrvaneTest, DeactivationWithOffSelectedSendsOnlyStop) {
  Activate();
  form.ButtonDesactiverClick();
  EXPECT_EQ(Calls(), (std::vector<std::string>{"SetDisplayState(0,1)", "UninitializeDevice()", "DeactivateDevice()"}));
}

TEST_F(FormOrvaneTest, ALightBeforeActivationFallsBackToOffWithoutTellingTheDevice) {
  form.SelectLumiere(2);
  EXPECT_EQ(ui.dialogs.shown, (std::vector<ShownDialog>{{"message", kNotInitialized}}));
  EXPECT_EQ(form.LumiereIndex(), kLumiereOff);
  // Only the refused attempt reached the device: the fallback to "OFF" sent nothing.
  EXPECT_EQ(Calls(), (std::vector<std::string>{"SetDisplayState(0,3)"}));
  EXPECT_EQ(view.focused, std::vector<TFormOrvaneControl>{kButtonActiver});

  // The group's handler is attached again: the next choice is tried anew.
  form.SelectLumiere(1);
  EXPECT_EQ(Calls().size(), 2u);
  EXPECT_EQ(ui.dialogs.shown.size(), 2u);
}

TEST_F(FormOrvaneTest, OtherLightErrorsAreShownAndKeepTheChosenItem) {
  Activate();
  device.FailOperationForTesting(TSpmOperation::SetDisplayState, "Périphérique occupé.");
  form.SelectLumiere(7);
  // The fallback is for the component's exact answer only; another letter case is another error.
  device.FailOperationForTesting(TSpmOperation::SetDisplayState, "not initialized");
  form.SelectLumiere(8);
  EXPECT_EQ(ui.dialogs.shown, (std::vector<ShownDialog>{{"message", "Erreur :Périphérique occupé"},
                                                        {"message", "Erreur :not initialized"}}));
  EXPECT_EQ(form.LumiereIndex(), 8);
  EXPECT_TRUE(view.focused.empty());
}

TEST_F(FormOrvaneTest, ExportOnlyTellsWhetherThereIsAnythingToExport) {
  form.ButtonExportClick();
  Activate();
  form.SelectDisplay(kDisplayTicks);
  Press(2);
  form.ButtonExportClick();
  EXPECT_EQ(ui.dialogs.shown, (std::vector<ShownDialog>{{"warning", "Aucune données à exporter."},
                                                        {"message", "Option non fonctionnelle pour le moment..."}}));
  EXPECT_EQ(view.lines.size(), 1u);
}

TEST_F(FormOrvaneTest, TickCountMessageIsUnsigned) {
  clock.tick = 4294967295u;
  form.Button1Click();
  EXPECT_EQ(ui.dialogs.shown, (std::vector<ShownDialog>{{"message", "4294967295"}}));
}

TEST_F(FormOrvaneTest, ClosingWhileInactiveRunsNoDeviceOperation) {
  form.FormClose();
  EXPECT_TRUE(Calls().empty());
}

TEST_F(FormOrvaneTest, ClosingWhileActiveDeactivatesFirst) {
  Activate();
  form.SelectLumiere(1);
  device.ClearCallsForTesting();
  form.FormClose();
  EXPECT_EQ(Calls(), (std::vector<std::string>{"SetDisplayState(0,1)", "SetDisplayState(0,5)", "UninitializeDevice()",
                                               "DeactivateDevice()"}));
  EXPECT_FALSE(form.ButtonDesactiverEnabled());
}

TEST_F(FormOrvaneTest, ASecondShowKeepsTheControllerButAttachesTheHandlerAgain) {
  TDataPhilips* first = form.DataPhilipsForTesting();
  form.DataPhilipsForTesting()->SpeechMikeControl.OnSPMEventButton = nullptr;
  form.FormShow();
  EXPECT_EQ(form.DataPhilipsForTesting(), first);
  Activate();
  Press(14);
  EXPECT_EQ(view.lines, (std::vector<std::string>{"1 - Action : spmFastForwardPressed - EventID = 14"}));
}

TEST_F(FormOrvaneTest, AnOpenThatReportsAnErrorStillSwitchesTheButtons) {
  device.FailOperationForTesting(TSpmOperation::ActivateDevice, "Périphérique absent");
  form.ButtonActiverClick();
  ASSERT_EQ(ui.dialogs.shown.size(), 1u);
  EXPECT_EQ(ui.dialogs.shown[0].kind, "error");
  EXPECT_FALSE(form.ButtonActiverEnabled());
  EXPECT_TRUE(form.ButtonDesactiverEnabled());
}

TEST_F(FormOrvaneTest, AnErrorEscapingTheOpenIsShownAndKeepsTheButtons) {
  FailingErrorDialogs dialogs;
  ScopedPort<Dialogs> dialogsPort{dialogs};
  device.FailOperationForTesting(TSpmOperation::ActivateDevice, "Périphérique absent");
  form.ButtonActiverClick();
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[1], (ShownDialog{"error", "Fenêtre indisponible"}));
  EXPECT_TRUE(form.ButtonActiverEnabled());
  EXPECT_FALSE(form.ButtonDesactiverEnabled());
}

TEST_F(FormOrvaneTest, AFailingDeactivationStepStopsTheRestAndReachesTheErrorDisplay) {
  Activate();
  form.SelectLumiere(3);
  device.ClearCallsForTesting();
  device.FailOperationForTesting(TSpmOperation::SetDisplayState, "Périphérique débranché");
  form.Run([&] { form.FormClose(); });
  EXPECT_EQ(ui.dialogs.shown, (std::vector<ShownDialog>{{"error", "Périphérique débranché"}}));
  EXPECT_EQ(Calls(), (std::vector<std::string>{"SetDisplayState(0,1)"}));
  EXPECT_FALSE(form.ButtonActiverEnabled());
  EXPECT_TRUE(form.ButtonDesactiverEnabled());
  EXPECT_EQ(form.LumiereIndex(), 3);
}

TEST_F(FormOrvaneTest, ARefusedVerificationClosesTheWindowYetAttachesTheHandler) {
  workstation.MakeUnreadable();
  ui.dialogs.answers.push_back(TModalResult::No);
  RecordingView otherView;
  TFormOrvane other{&otherView};
  other.FormCreate();
  other.FormShow();
  EXPECT_EQ(otherView.closeRequests, 1);
  ASSERT_EQ(ui.dialogs.shown.size(), 1u);
  EXPECT_EQ(ui.dialogs.shown[0].kind, "yesno");
  EXPECT_TRUE(Calls().empty());

  other.ButtonActiverClick();
  Press(2);
  EXPECT_EQ(otherView.lines, (std::vector<std::string>{"1 - Action : spmStopPressed - EventID = 2"}));
}

TEST_F(FormOrvaneTest, AFailingAdjustmentIsShownAndTheEventsStillReachTheList) {
  workstation.registry.SetDword(TRootKey::CurrentUser, "Control Panel\\Philips Speech\\3000\\Default",
                                "SequenceEnabled", 1);
  workstation.registry.refuseAllWrites = true;
  RecordingView otherView;
  TFormOrvane other{&otherView};
  other.FormCreate();
  other.Run([&] { other.FormShow(); });
  ASSERT_EQ(ui.dialogs.shown.size(), 1u);
  EXPECT_EQ(ui.dialogs.shown[0].kind, "error");

  other.ButtonActiverClick();
  Press(3);
  EXPECT_EQ(otherView.lines, (std::vector<std::string>{"1 - Action : spmStopReleased - EventID = 3"}));
}

// The button check and the device status beside the list.

constexpr size_t kStop = 0, kPlay = 1, kRecord = 2, kInsert = 3, kEol = 4, kCommand = 8, kF3 = 17, kSmart3 = 22;

// The last line of the log that begins with Start.
testing::LoggedRecord LastRecord(testing::LogCapture& log, const std::string& start) {
  const std::vector<testing::LoggedRecord> records = log.Records();
  for (auto record = records.rbegin(); record != records.rend(); ++record)
    if (record->message.starts_with(start)) return *record;
  return {};
}

// What the check wrote to the log, up to its first list.
std::vector<std::string> CheckVerdicts(testing::LogCapture& log) {
  std::vector<std::string> verdicts;
  for (const std::string& message : log.Messages())
    if (message.starts_with("Vérification des boutons")) verdicts.push_back(message.substr(0, message.find(" ; ")));
  return verdicts;
}

TEST_F(FormOrvaneTest, TheButtonCheckFollowsTheEventsInBothDisplayModes) {
  Activate();
  clock.tick = 1000;
  Press(6);
  EXPECT_EQ(Check().State(kRecord), TButtonState::Held);
  clock.tick = 1180;
  Press(7);
  EXPECT_EQ(Check().CellText(kRecord), "Record\n180 ms");

  // A change of display mode clears the list and the check; the tick mode feeds it as well.
  form.SelectDisplay(kDisplayTicks);
  EXPECT_EQ(Check().State(kRecord), TButtonState::NotSeen);
  clock.tick = 2000;
  Press(58);
  clock.tick = 2040;
  Press(59);
  EXPECT_EQ(Check().CellText(kSmart3), "Smart 3\n40 ms");
  EXPECT_EQ(Check().Progress(), "1 / 23 boutons vérifiés");

  form.ButtonVideMemoClick();
  EXPECT_EQ(Check().VerifiedCount(), 0u);
  // Stop down when the device is closed: a new activation finds it up, and no suspect.
  Press(2);
  form.ButtonDesactiverClick();
  form.ButtonActiverClick();
  clock.tick = 100000;
  form.ButtonCheckTimer();
  EXPECT_EQ(Check().State(kStop), TButtonState::NotSeen);
}

TEST_F(FormOrvaneTest, AButtonStillDownAfter30SecondsTurnsStuckAtTheNextTimerRound) {
  Activate();
  clock.tick = 10000;
  Press(18);
  const int changes = view.changes;
  clock.tick = 40000;
  form.ButtonCheckTimer();
  EXPECT_EQ(Check().State(kCommand), TButtonState::Held);
  EXPECT_EQ(view.changes, changes);
  clock.tick = 40001;
  form.ButtonCheckTimer();
  EXPECT_EQ(Check().CellText(kCommand), "Command\nbloqué");
  EXPECT_EQ(view.changes, changes + 1);
}

// Stop down, then the device unplugged: a minute later Stop is no suspect, and nothing the device
// sends before it is back counts; the list still shows all that came.
TEST_F(FormOrvaneTest, AnUnplugDuringAPressBlamesNoKey) {
  Activate();
  clock.tick = 1000;
  Press(4);
  clock.tick = 1100;
  Press(5);
  Press(2);
  device.RaiseEvent(2);
  loop.thread.RunPending();
  EXPECT_EQ(Check().State(kStop), TButtonState::NotSeen);
  EXPECT_EQ(Check().State(kPlay), TButtonState::Verified);
  clock.tick = 100000;
  form.ButtonCheckTimer();
  EXPECT_EQ(Check().State(kStop), TButtonState::NotSeen);

  // A device may still send something after its disconnection: listed, not judged.
  form.SpeechMikeControl1SPMEventButton(form.DataPhilipsForTesting()->SpeechMikeControl, 1, 9);
  EXPECT_EQ(Check().State(kInsert), TButtonState::NotSeen);
  EXPECT_EQ(view.lines.front(), "4 - Action : spmInsertReleased - EventID = 9");

  device.RaiseEvent(1);
  loop.thread.RunPending();
  Press(3);  // Stop's release, lost with the device
  EXPECT_EQ(Check().State(kStop), TButtonState::NotSeen);
  testing::LogCapture log;
  form.ButtonDesactiverClick();
  EXPECT_TRUE(LastRecord(log, "Vérification des boutons").message.starts_with(
      "Vérification des boutons : 1/23 vérifiés ; non testés : Stop, Record, Insert, EOL, Rewind"));
}

// An intermittent key stays suspect through a later good press; a long hold of daily use is a
// good one; the log gives the suspects' reasons, then the keys never pressed.
TEST_F(FormOrvaneTest, DeactivationLogsTheVerdictsWithTheirReasonsAndTheKeysNeverPressed) {
  Activate();
  clock.tick = 0;
  Press(49);
  Press(48);
  clock.tick = 100;
  Press(49);
  Press(6);
  clock.tick = 6600;
  Press(7);
  EXPECT_EQ(Check().CellText(kRecord), "Record\n6,5 s");
  EXPECT_EQ(Check().CellText(kF3), "F3\nsans appui");
  testing::LogCapture log;
  form.ButtonDesactiverClick();
  EXPECT_EQ(LastRecord(log, "Vérification des boutons"),
            (testing::LoggedRecord{
                "Vérification des boutons : 1/23 vérifiés ; suspects : F3 (relâché sans appui) ; non testés : Stop, "
                "Play, Insert, EOL, Rewind, Forward, Priority, Command, Play/Stop, Trigger, Menu up, Menu down, Menu, "
                "Instruction, F1, F2, F4, Smart 1, Smart 2, Programmable 1, Smart 3",
                200}));
}

// "Vider la liste", a change of display mode and "Activer" each start a new check: one that found
// something goes to the log first, as interrupted, and once only; a key down across the clearing
// is judged by its release as usual.
TEST_F(FormOrvaneTest, ACheckClearedWithAVerdictIsLoggedAsInterrupted) {
  Activate();
  testing::LogCapture log;
  form.ButtonVideMemoClick();
  clock.tick = 0;
  Press(2);
  clock.tick = 120;
  Press(3);
  Press(10);
  form.ButtonVideMemoClick();
  clock.tick = 700;
  Press(11);
  EXPECT_EQ(Check().CellText(kEol), "EOL\n580 ms");
  form.SelectDisplay(kDisplayTicks);
  Press(4);
  Press(5);
  // Logged at the deactivation, the check is not logged again by the next activation.
  form.ButtonDesactiverClick();
  form.ButtonActiverClick();
  EXPECT_EQ(CheckVerdicts(log), (std::vector<std::string>{"Vérification des boutons (interrompue) : 1/23 vérifiés",
                                                          "Vérification des boutons (interrompue) : 1/23 vérifiés",
                                                          "Vérification des boutons : 1/23 vérifiés"}));
}

TEST_F(FormOrvaneTest, DeviceEventsShowInTheStatusAtClockTimeAndAreLogged) {
  testing::ScopedFakeRegionalSettings regional;
  Activate();
  testing::LogCapture log;
  clock.now = EncodeDateTime(2024, 3, 5, 14, 5, 0);
  device.RaiseEvent(1);
  device.RaiseEvent(5, 3);
  device.RaiseEvent(7, 2);
  loop.thread.RunPending();
  clock.now = EncodeDateTime(2024, 3, 5, 14, 5, 9);
  device.RaiseEvent(8, 4294967295u);
  // Events the window does not follow change nothing.
  device.RaiseEvent(6);
  device.RaiseEvent(9, 50);
  loop.thread.RunPending();
  EXPECT_EQ(form.DeviceStatus().Text(),
            "Connexion : connecté (1) à 14:05:00\nBatterie : 3 à 14:05:00\nSans fil : 2 à 14:05:00\n"
            "Station d'accueil : 4294967295 à 14:05:09");
  device.RaiseEvent(2);
  loop.thread.RunPending();
  EXPECT_EQ(form.DeviceStatus().Text(),
            "Connexion : déconnecté (1) à 14:05:09\nBatterie : —\nSans fil : —\nStation d'accueil : —");
  using testing::LoggedRecord;
  EXPECT_EQ(log.Records(), (std::vector<LoggedRecord>{
                               {"Micro connecté (1)", 200},
                               {"Micro (1) : état de la batterie 3", 200},
                               {"Micro (1) : état de la liaison sans fil 2", 200},
                               {"Micro (1) : état de la station d'accueil 4294967295", 200},
                               {"Micro déconnecté (1)", 200},
                           }));
  // The status is the device's, not the list's: clearing the list keeps it; a new activation,
  // which may find another device, starts it afresh.
  form.ButtonVideMemoClick();
  EXPECT_TRUE(form.DeviceStatus().Text().starts_with("Connexion : déconnecté (1)"));
  form.ButtonDesactiverClick();
  form.ButtonActiverClick();
  EXPECT_EQ(form.DeviceStatus().Text(), "Connexion : —\nBatterie : —\nSans fil : —\nStation d'accueil : —");
}

TEST_F(FormOrvaneTest, ClosingLogsTheCheckOnlyWhenItDeactivatesTheDevice) {
  {
    testing::LogCapture log;
    form.FormClose();
    EXPECT_TRUE(log.Messages().empty());
  }
  Activate();
  Press(8);
  Press(9);
  testing::LogCapture log;
  form.FormClose();
  const std::vector<std::string> messages = log.Messages();
  ASSERT_GE(messages.size(), 2u);
  EXPECT_TRUE(messages[messages.size() - 2].starts_with("Vérification des boutons : 1/23 vérifiés ; non testés : "));
  EXPECT_TRUE(messages.back().starts_with("Vérification du son : « SpeechMike III » ; par défaut : non ; aucune "))
      << messages.back();
}

TEST_F(FormOrvaneTest, AFailedDeactivationWritesNoSummary) {
  Activate();
  device.FailOperationForTesting(TSpmOperation::SetDisplayState, "Périphérique débranché");
  testing::LogCapture log;
  form.Run([&] { form.ButtonDesactiverClick(); });
  for (const auto& message : log.Messages()) {
    EXPECT_EQ(message.find("Vérification des boutons"), std::string::npos);
    EXPECT_EQ(message.find("Vérification du son"), std::string::npos);
  }
}

// The sound group, measuring while the device is activated, as the window's refresh shows it.

constexpr TSoundFormat kCaptureFormat{TSampleType::Float32, 2, 48000};

class FormOrvaneSoundTest : public FormOrvaneTest {
 protected:
  void Deliver(const testing::SoundSignal& signal) {
    testing::DeliverInBlocks(signal, 480, [&](const TSoundBlock& block) { sound.devices.Deliver(block); });
  }
  std::string Text(TSoundPart part) const { return form.SoundGroup().Text(part); }
  bool Shown(TSoundPart part) const { return form.SoundGroup().Shown(part); }
  bool Enabled(TSoundPart part) const { return form.SoundGroup().Enabled(part); }
};

// Measured from "Activer" to "Désactiver": the figures reach the window at its refresh, and only
// when they changed; saturation in words and a heavy border; the keyboard waits in the group while
// a recording or a replay holds its buttons; the sound's outcome beside the buttons'.
TEST_F(FormOrvaneSoundTest, TheMeterRunsWhileTheDeviceIsActivatedAndIsLoggedBesideTheButtons) {
  EXPECT_EQ(Text(kSoundActivity), "Mesure dès l'activation");
  EXPECT_FALSE(sound.devices.Capturing());
  testing::LogCapture log;
  Activate();
  EXPECT_EQ(sound.devices.CapturedId(), "spm-in");
  EXPECT_EQ(Text(kSoundDevice), "« SpeechMike III »");
  const int changes = view.soundChanges;
  form.SoundTimer();
  EXPECT_EQ(view.soundChanges, changes);
  // One 50 ms window is enough for a figure.
  Deliver(testing::Sine(kCaptureFormat, 0.05, 1000, -20));
  form.SoundTimer();
  EXPECT_EQ(view.soundChanges, changes + 1);
  EXPECT_EQ(Text(kSoundBar), "Niveau : -20,0 dBFS");
  EXPECT_EQ(form.SoundGroup().Border(kSoundSaturation), 0);
  Deliver(testing::Square(kCaptureFormat, 0.1, 1000, 0));
  form.SoundTimer();
  EXPECT_EQ(Text(kSoundSaturation), "saturation : oui");
  EXPECT_EQ(form.SoundGroup().Border(kSoundSaturation), kSoundAlertBorder);

  form.ButtonEnregistrerClick();
  EXPECT_FALSE(Enabled(kSoundRecord) || Enabled(kSoundReplay));
  EXPECT_EQ(view.focused, std::vector<TFormOrvaneControl>{kSoundGroup});
  Deliver(testing::Sine(kCaptureFormat, 5.0, 1000, -12));
  form.SoundTimer();
  EXPECT_EQ(view.focusedSound, std::vector<TSoundPart>{kSoundReplay});
  form.ButtonReecouterClick();
  ASSERT_EQ(sound.devices.played.size(), 1u);
  EXPECT_EQ(sound.devices.played[0].id, "spm-out");
  sound.devices.FinishPlayback();
  form.SoundTimer();
  EXPECT_EQ(view.focused, (std::vector<TFormOrvaneControl>{kSoundGroup, kSoundGroup}));
  EXPECT_EQ(view.focusedSound, (std::vector<TSoundPart>{kSoundReplay, kSoundReplay}));

  form.ButtonDesactiverClick();
  EXPECT_FALSE(sound.devices.Capturing());
  EXPECT_EQ(Text(kSoundActivity), "Mesure arrêtée");
  const std::vector<testing::LoggedRecord> records = log.Records();
  ASSERT_GE(records.size(), 2u);
  EXPECT_TRUE(records[records.size() - 2].message.starts_with("Vérification des boutons : 0/23 vérifiés"));
  EXPECT_EQ(records.back().message.substr(0, records.back().message.find(" ; moyenne")),
            "Vérification du son : « SpeechMike III » ; par défaut : non ; crête 0,0 dBFS");
  EXPECT_TRUE(records.back().message.ends_with(" ; saturation : oui ; silence : non")) << records.back().message;
  EXPECT_EQ(records.back().level, 200);
}

// A device another program holds: the group says so in place of the level, the log has it as it
// happens and in the summary, and the next activation tries again.
TEST_F(FormOrvaneSoundTest, AFaultTakesThePlaceOfTheLevelUntilTheNextActivation) {
  sound.devices.failCapture = TSoundFault::Busy;
  testing::LogCapture log;
  Activate();
  EXPECT_EQ(Text(kSoundFault), "Micro occupé par un autre programme (mode exclusif)");
  for (TSoundPart part : {kSoundBar, kSoundLevel, kSoundSaturation, kSoundSilence}) EXPECT_FALSE(Shown(part)) << part;
  EXPECT_FALSE(Enabled(kSoundRecord));
  form.ButtonDesactiverClick();
  EXPECT_EQ(LastRecord(log, "Son du micro : Micro occupé").level, 5);
  EXPECT_EQ(log.Records().back(),
            (testing::LoggedRecord{"Vérification du son : « SpeechMike III » ; par défaut : non ; aucune mesure ; "
                                   "Micro occupé par un autre programme (mode exclusif)",
                                   200}));
  sound.devices.failCapture.reset();
  Activate();
  EXPECT_TRUE(sound.devices.Capturing());
  EXPECT_TRUE(Shown(kSoundBar) && !Shown(kSoundFault));
}

}  // namespace
}  // namespace orvane
