#include "app/FormOrvane.h"

#include "app/SpeechMikeButtons.h"
#include "platform/Clock.h"
#include "platform/Port.h"
#include "device/DataPhilips.h"
#include "device/SpeechMikeControl.h"
#include "logging/ApplicationLogger.h"
#include "provisioning/VerificationPilotesSM.h"
#include "platform/Dialogs.h"

namespace orvane {

namespace {

// Each light sends the display state it names; "OFF" sends VorStop, neither 0 nor 14.
uint32_t LumiereCode(int item) {
  return item == kLumiereOff ? spmDisplayStateVorStop : static_cast<uint32_t>(item) + 1;
}

}  // namespace

TFormOrvane::TFormOrvane(TFormOrvaneView* view) : view_(view) {}

// The controller goes with the window, releasing the component.
TFormOrvane::~TFormOrvane() = default;

void TFormOrvane::Changed() {
  if (view_) view_->Changed();
}

void TFormOrvane::SoundChanged() {
  if (view_) view_->SoundChanged();
}

void TFormOrvane::ClearList() {
  lineCount_ = 0;
  if (view_) view_->ListCleared();
  // The check starts again with every fresh list; what it had found so far stays in the log.
  if (buttonCheck_.HasVerdict()) LogButtonCheck(true);
  buttonCheck_.Clear();
  buttonCheckLogged_ = false;
}

void TFormOrvane::LogButtonCheck(bool interrupted) {
  if (buttonCheckLogged_) return;
  // For support reading the log later: how far the technician got with the buttons.
  AppLogger().Log(buttonCheck_.Summary(interrupted), 200, 0);
  buttonCheckLogged_ = true;
}

void TFormOrvane::ShowHandlerError(const std::exception& e) { Port<Dialogs>().MessageError(e.what()); }

void TFormOrvane::FormCreate() {
  columns_ = 3;
  ClearList();
  desactiverEnabled_ = false;
  Changed();
}

void TFormOrvane::FormShow() {
  if (!dataPhilips_) dataPhilips_ = std::make_unique<TDataPhilips>(nullptr, nullptr, -1);
  // The window's own handler takes over the device's button events whatever the verification
  // says, also when its adjustment fails: the list would otherwise stay empty for good.
  const auto attach = [this] {
    dataPhilips_->SpeechMikeControl.OnSPMEventButton = [this](TSpeechMikeControl& sender, int32_t device,
                                                              uint32_t event) {
      SpeechMikeControl1SPMEventButton(sender, device, event);
    };
    auto& control = dataPhilips_->SpeechMikeControl;
    const auto withoutValue = [this](TDeviceEvent event) {
      return [this, event](TSpeechMikeControl&, int32_t device) { SpeechMikeControl1SPMEventDevice(event, device, 0); };
    };
    const auto withValue = [this](TDeviceEvent event) {
      return [this, event](TSpeechMikeControl&, int32_t device, uint32_t v) {
        SpeechMikeControl1SPMEventDevice(event, device, v);
      };
    };
    control.OnSPMEventDeviceConnected = withoutValue(TDeviceEvent::Connected);
    control.OnSPMEventDeviceDisconnected = withoutValue(TDeviceEvent::Disconnected);
    control.OnSPMEventBatteryStatusChanged = withValue(TDeviceEvent::Battery);
    control.OnSPMEventWirelessStatusChanged = withValue(TDeviceEvent::Wireless);
    control.OnSPMEventDockStatusChanged = withValue(TDeviceEvent::Dock);
  };
  try {
    // A refusal closes the window, but only after this handler has finished.
    if (!VerificationPilotesSM(false, nullptr, -1) && view_) view_->RequestClose();
  } catch (...) {
    attach();
    throw;
  }
  attach();
  Changed();
}

void TFormOrvane::FormClose() {
  // The enabled "Désactiver" is the window's only sign that the device is active.
  if (desactiverEnabled_) ButtonDesactiverClick();
}

void TFormOrvane::ButtonActiverClick() {
  ClearList();
  // A new activation may find another device, or the same one changed.
  deviceStatus_ = TDeviceStatus{};
  Changed();
  try {
    // Its result is not consulted: the controller has already told the user what failed.
    dataPhilips_->OpenPHILIPSDictCtrl();
  } catch (const std::exception& e) {
    Port<Dialogs>().MessageError(e.what());
    return;
  }
  buttonCheck_.DeviceConnected();
  activerEnabled_ = false;
  desactiverEnabled_ = true;
  // It chooses the devices anew, so that a replugged SpeechMike is found; it logs what it finds.
  soundGroup_.Start();
  Changed();
  // Keyboard users go on from the button that took their key press, now disabled.
  if (view_) view_->Focus(kButtonDesactiver);
}

void TFormOrvane::ButtonDesactiverClick() {
  dataPhilips_->LumiereSpeechMikePro(1);
  SelectLumiere(kLumiereOff);
  dataPhilips_->ClosePHILIPSDictCtrl();
  // The closed device sends nothing more: the keys it held come up without a verdict.
  buttonCheck_.DeviceDisconnected();
  const bool soundMeasured = soundGroup_.Stop();
  activerEnabled_ = true;
  desactiverEnabled_ = false;
  LogButtonCheck(false);
  // Beside the buttons' outcome, the sound's: for support reading the log later.
  if (soundMeasured) AppLogger().Log(soundGroup_.Meter().Summary(), 200, 0);
  Changed();
  if (view_) view_->Focus(kButtonActiver);
}

void TFormOrvane::ButtonVideMemoClick() {
  ClearList();
  Changed();
}

void TFormOrvane::rgDisplayClick() {
  ClearList();
  exportEnabled_ = displayIndex_ == kDisplayTicks;
  columns_ = displayIndex_ == kDisplayCommandes ? 3 : 4;
  Changed();
}

void TFormOrvane::ButtonExportClick() {
  if (lineCount_ == 0)
    Port<Dialogs>().MessageWarning("Aucune données à exporter.");
  else
    Port<Dialogs>().ShowMessage("Option non fonctionnelle pour le moment...");
}

void TFormOrvane::Button1Click() { Port<Dialogs>().ShowMessage(std::to_string(Port<Clock>().TickCount())); }

void TFormOrvane::RadioGroupLumiereClick() {
  if (lumiereIndex_ < 0 || lumiereIndex_ >= kLumiereItemCount) return;
  try {
    dataPhilips_->LumiereSpeechMikePro(LumiereCode(lumiereIndex_));
  } catch (const std::exception& e) {
    const std::string message = e.what();
    if (message == "Not initialized") {
      Port<Dialogs>().ShowMessage("Le Speechmike n'a pas été initialisé.  Veuillez l'activer d'abord.");
      // Back to "OFF" without telling the device, which would only refuse again.
      lumiereClickAttached_ = false;
      SelectLumiere(kLumiereOff);
      lumiereClickAttached_ = true;
      if (view_ && activerEnabled_) view_->Focus(kButtonActiver);
    } else {
      Port<Dialogs>().ShowMessage("Erreur :" + message);
    }
  }
}

void TFormOrvane::SelectLumiere(int item) {
  if (item == lumiereIndex_ || item < -1 || item >= kLumiereItemCount) return;
  lumiereIndex_ = item;
  Changed();
  if (lumiereClickAttached_) RadioGroupLumiereClick();
}

void TFormOrvane::SelectDisplay(int item) {
  if (item == displayIndex_ || item < 0 || item >= kDisplayItemCount) return;
  displayIndex_ = item;
  rgDisplayClick();
}

void TFormOrvane::SpeechMikeControl1SPMEventButton(TSpeechMikeControl&, int32_t, uint32_t EventId) {
  const uint32_t tick = Port<Clock>().TickCount();
  const std::string code = std::to_string(EventId);
  ++lineCount_;
  if (view_) {
    if (displayIndex_ == kDisplayCommandes)
      view_->LineInsertedAtTop(std::to_string(lineCount_) + " - Action : " + SpmEventName(EventId) +
                               " - EventID = " + code);
    else
      view_->LineAppended(std::to_string(tick) + " - " + code);
  }
  buttonCheck_.Event(EventId, tick);
  Changed();
}

void TFormOrvane::SpeechMikeControl1SPMEventDevice(TDeviceEvent event, int32_t lDeviceID, uint32_t value) {
  AppLogger().Log(deviceStatus_.Record(event, lDeviceID, value, Port<Clock>().Now()), 200, 0);
  // An unplugged device is no key's fault.
  if (event == TDeviceEvent::Disconnected) buttonCheck_.DeviceDisconnected();
  if (event == TDeviceEvent::Connected) buttonCheck_.DeviceConnected();
  Changed();
}

void TFormOrvane::ButtonCheckTimer() {
  if (buttonCheck_.CheckHeld(Port<Clock>().TickCount())) Changed();
}

void TFormOrvane::SoundTimer() {
  const bool busy = soundGroup_.Busy();
  if (!soundGroup_.Poll()) return;
  SoundChanged();
  // The recording is ready, or the replay over: the keyboard goes on to "Réécouter".
  if (busy && !soundGroup_.Busy() && soundGroup_.Enabled(kSoundReplay) && view_) view_->FocusSound(kSoundReplay);
}

void TFormOrvane::ButtonEnregistrerClick() {
  soundGroup_.RecordClick();
  SoundClicked();
}

void TFormOrvane::ButtonReecouterClick() {
  soundGroup_.ReplayClick();
  SoundClicked();
}

void TFormOrvane::SoundClicked() {
  SoundChanged();
  // While both buttons wait, the keyboard's focus waits in the group: left on the disabled button,
  // Windows would drop it and Qt would move it on, to "Désactiver" for the next key press.
  if (soundGroup_.Busy() && view_) view_->Focus(kSoundGroup);
}

}  // namespace orvane
