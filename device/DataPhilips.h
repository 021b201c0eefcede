#pragma once
// TDataPhilips: the controller of one SpeechMike. It opens and closes the device in a fixed
// order of component calls, sets its lights, and, while its own button handler is in force,
// turns each button event into the matching action. When the component cannot be initialised
// at all, the drivers are taken to be broken: the user is warned, the station is marked for a
// driver reinstallation at the next start, and the program ends.

#include <cstdint>
#include <string>

#include "device/Action.h"
#include "device/SpeechMikeControl.h"

namespace orvane {

class TComponent;  // a host's owner; the host holds and destroys the controller
class TpFIBDatabase;

// The 48 actions, in the order of the action list (the names are the system's, spelling kept).
#define ORVANE_MIC_ACTIONS(X)                                                                        \
  X(ActionMicNoEvent) X(ActionMicCmdError) X(ActionMicStopPressed) X(ActionMicStopReleased)           \
  X(ActionMicPlayPressed) X(ActionMicPlayReleased) X(ActionMicRecordPressed) X(ActionMicRecordReleased) \
  X(ActionMicInsertPressed) X(ActionMicInsertReleased) X(ActionMicEOLPressed) X(ActionMicEOLReleased) \
  X(ActionMicFastRewindPressed) X(ActionMicFastRewindReleased) X(ActionMicFastFowardPressed)          \
  X(ActionMicFastFowardReleased) X(ActionMicPriorityPressed) X(ActionMicPriorityReleased)             \
  X(ActionMicCommandPressed) X(ActionMicCommandReleased) X(ActionMicPlayStopTogglePressed)            \
  X(ActionMicPlayStopToggleReleased) X(ActionMicTriggerPressed) X(ActionMicTriggeReleased)            \
  X(ActionMicInstructionPressed) X(ActionMicInstructionReleased) X(ActionMicFunction1Pressed)         \
  X(ActionMicFunction1Released) X(ActionMicFunction2Pressed) X(ActionMicFunction2Released)            \
  X(ActionMicFunction3Pressed) X(ActionMicFunction3Released) X(ActionMicFunction4Pressed)             \
  X(ActionMicFunction4Released) X(ActionMicMenuUpPressed) X(ActionMicMenuUpReleased)                  \
  X(ActionMicMenuDownPressed) X(ActionMicMenuDownReleased) X(ActionMicMenuPressed)                    \
  X(ActionMicMenuReleased) X(ActionMicSmart1Pressed) X(ActionMicSmart1Released)                       \
  X(ActionMicSmart2Pressed) X(ActionMicSmart2Released) X(ActionMicProgrammble1Pressed)                \
  X(ActionMicProgrammble1Released) X(ActionMicSmart3Pressed) X(ActionMicSmart3Released)

// The localisable texts of the controller.
namespace DataPhilipsTexts {
inline constexpr const char* kPilotesMalInstalles =
    "Les pilotes du micro/pédalier Philips SpeechMike ne sont pas installés correctement.";
inline constexpr const char* kReinstallationAuProchainDemarrage =
    "Nous tenterons de les réinstaller lors du prochain démarrage de l'application.";
// The component is registered for programs of the other bitness only: which program to use.
std::string ComposantAutreArchitecture();
std::string ComposantAutreArchitectureJournal();
}  // namespace DataPhilipsTexts

class TDataPhilips {
 public:
  // The only usable constructor. Connects nothing.
  TDataPhilips(TComponent* AOwner, TpFIBDatabase* BDAUtiliser, int32_t ID_Station);
  // The generic one-argument constructor: always refused.
  explicit TDataPhilips(TComponent* AOwner);
  ~TDataPhilips();
  TDataPhilips(const TDataPhilips&) = delete;
  TDataPhilips& operator=(const TDataPhilips&) = delete;

  // Initialises and activates the device; true when both succeeded. A COM error at
  // initialisation ends the program (reinstallation path).
  bool OpenPHILIPSDictCtrl();
  // Uninitialises, then deactivates the device; true when both succeeded.
  bool ClosePHILIPSDictCtrl();
  // Sets the lights to a display state; the component's errors pass to the caller.
  void LumiereSpeechMikePro(uint32_t state);
  void BringApplicationToFront();
  // The controller's own button handler: executes at most one action for the event code.
  void SpeechMikeControlSPMEventButton(TSpeechMikeControl& ASender, int32_t lDeviceID, uint32_t EventId);

  // Frees the named action; its member then refers to none. False when there is no such action.
  bool FreeAction(const std::string& name);

  TActionList ActionListPHILIPS;
#define ORVANE_DECLARE_ACTION(name) TAction* name = nullptr;
  ORVANE_MIC_ACTIONS(ORVANE_DECLARE_ACTION)
#undef ORVANE_DECLARE_ACTION
  TSpeechMikeControl SpeechMikeControl;
  TpFIBDatabase* vBDAUtiliser = nullptr;
  int32_t vID_Station = 0;

 private:
  // Both end the program.
  [[noreturn]] void ReinstallationPath();
  [[noreturn]] void OtherBitnessPath();
};

}  // namespace orvane
