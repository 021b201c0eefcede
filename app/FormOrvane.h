#pragma once
// The tester window without a toolkit: the state of every control and every handler. The Qt and
// Win32 views create the controls, forward the user's actions here and draw what this holds.

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "app/ButtonCheck.h"
#include "app/DeviceStatus.h"
#include "app/FormOrvaneLayout.h"
#include "app/SoundGroup.h"

namespace orvane {

class TDataPhilips;
class TSpeechMikeControl;

// What the presenter asks of the window that shows it.
class TFormOrvaneView {
 public:
  virtual ~TFormOrvaneView() = default;
  // The list of events changed, as a list model tells it: a line put first (the newest event in
  // "Commandes"), a line put last (the newest in "Time (Ticks)"), every line gone. The view holds
  // the lines; the presenter keeps none.
  virtual void LineInsertedAtTop(const std::string& line) = 0;
  virtual void LineAppended(const std::string& line) = 0;
  virtual void ListCleared() = 0;
  // The presenter's other state changed: redraw the other controls from it.
  virtual void Changed() = 0;
  // Only the sound group changed, as it does at every refresh while it measures: redraw it alone.
  virtual void SoundChanged() = 0;
  // Gives the keyboard focus to a control of the window (a group itself: to no button of it),
  // or to a button of the sound group.
  virtual void Focus(TFormOrvaneControl control) = 0;
  virtual void FocusSound(TSoundPart button) = 0;
  // Closes the window once the running handler has returned; as the main window this ends the
  // program.
  virtual void RequestClose() = 0;
};

class TFormOrvane {
 public:
  explicit TFormOrvane(TFormOrvaneView* view);
  ~TFormOrvane();
  TFormOrvane(const TFormOrvane&) = delete;
  TFormOrvane& operator=(const TFormOrvane&) = delete;

  void SetView(TFormOrvaneView* view) { view_ = view; }

  // The window's handlers.
  void FormCreate();
  void FormShow();
  void FormClose();
  void ButtonActiverClick();
  void ButtonDesactiverClick();
  void ButtonVideMemoClick();
  void rgDisplayClick();
  void ButtonExportClick();
  void Button1Click();
  void RadioGroupLumiereClick();
  void SpeechMikeControl1SPMEventButton(TSpeechMikeControl& ASender, int32_t lDeviceID, uint32_t EventId);
  // The component's connection, battery, wireless and dock events (Value unused by the first two).
  void SpeechMikeControl1SPMEventDevice(TDeviceEvent event, int32_t lDeviceID, uint32_t value);
  // Runs every kButtonCheckPeriod milliseconds while the window is up: a button held too long
  // becomes stuck.
  static constexpr unsigned kButtonCheckPeriod = 500;
  void ButtonCheckTimer();
  // Runs every kSoundPeriod milliseconds while the window is up: the sound group's figures, 20
  // times a second at least, also where the system's timers keep a clock of 15,6 ms.
  static constexpr unsigned kSoundPeriod = 40;
  void SoundTimer();
  // The sound group's buttons, "Enregistrer 5 s" and "Réécouter".
  void ButtonEnregistrerClick();
  void ButtonReecouterClick();

  // Selecting an item as the radio groups do, by the user or by program: the group's click
  // handler runs only when the selection changes (and, for the lights, while it is attached).
  void SelectLumiere(int item);
  void SelectDisplay(int item);

  // Runs one of the handlers above; an error that escapes it goes to the general error display.
  template <class Handler>
  void Run(Handler&& handler) {
    try {
      handler();
    } catch (const std::exception& e) {
      ShowHandlerError(e);
    }
  }
  static void ShowHandlerError(const std::exception& e);

  // What the controls show.
  bool ButtonActiverEnabled() const { return activerEnabled_; }
  bool ButtonDesactiverEnabled() const { return desactiverEnabled_; }
  bool ButtonExportEnabled() const { return exportEnabled_; }
  int LumiereIndex() const { return lumiereIndex_; }
  int DisplayIndex() const { return displayIndex_; }
  int Columns() const { return columns_; }
  const TButtonCheck& ButtonCheck() const { return buttonCheck_; }
  const TDeviceStatus& DeviceStatus() const { return deviceStatus_; }
  const TSoundGroup& SoundGroup() const { return soundGroup_; }

  TDataPhilips* DataPhilipsForTesting() const { return dataPhilips_.get(); }

 private:
  void ClearList();
  void Changed();
  void SoundChanged();
  // After a click on a button of the sound group.
  void SoundClicked();
  // Writes the button check's outcome to the log, once per check.
  void LogButtonCheck(bool interrupted);

  TFormOrvaneView* view_;
  std::unique_ptr<TDataPhilips> dataPhilips_;
  bool activerEnabled_ = true;
  bool desactiverEnabled_ = true;
  bool exportEnabled_ = false;
  int lumiereIndex_ = kLumiereOff;
  bool lumiereClickAttached_ = true;
  int displayIndex_ = kDisplayCommandes;
  // How many lines the list holds: the next event's number in "Commandes" follows it.
  size_t lineCount_ = 0;
  int columns_ = 1;
  TButtonCheck buttonCheck_;
  bool buttonCheckLogged_ = false;
  TDeviceStatus deviceStatus_;
  TSoundGroup soundGroup_;
};

}  // namespace orvane
