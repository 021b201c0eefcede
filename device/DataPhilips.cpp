#include "device/DataPhilips.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "common/Exceptions.h"
#include "common/Global_FIB.h"
#include "platform/Port.h"
#include "logging/ApplicationLogger.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"

namespace orvane {

namespace {

void Log(const std::string& message, uint8_t level) { AppLogger().Log(message, level, 0); }

std::string MessageOf(const std::exception& error) {
  if (const auto* own = dynamic_cast<const Exception*>(&error)) return own->Message();
  return error.what();
}

// A standard library error has no class names of its own: its C++ type stands for them.
std::string TypeName(const std::exception& error) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(typeid(error).name(), nullptr, nullptr, &status),
                                              std::free);
  return status == 0 && name ? name.get() : typeid(error).name();
}

enum class TCondition { None, EolPresent, EolAndPresent, EolAndPresentElseBeep, Present };

struct TRoute {
  uint32_t code;
  TAction* TDataPhilips::*action;
  TCondition condition;
};

using D = TDataPhilips;
constexpr TRoute kRoutes[] = {
    {0, &D::ActionMicNoEvent, TCondition::None},
    {1, &D::ActionMicCmdError, TCondition::None},
    {2, &D::ActionMicStopPressed, TCondition::None},
    {3, &D::ActionMicStopReleased, TCondition::None},
    {4, &D::ActionMicPlayStopTogglePressed, TCondition::EolPresent},
    {5, &D::ActionMicPlayStopToggleReleased, TCondition::EolPresent},
    {6, &D::ActionMicRecordPressed, TCondition::EolAndPresentElseBeep},
    {7, &D::ActionMicRecordReleased, TCondition::EolAndPresent},
    {8, &D::ActionMicInsertPressed, TCondition::EolAndPresent},
    {10, &D::ActionMicEOLPressed, TCondition::Present},
    {11, &D::ActionMicEOLReleased, TCondition::None},
    {12, &D::ActionMicFastRewindPressed, TCondition::EolAndPresent},
    {13, &D::ActionMicFastRewindReleased, TCondition::EolAndPresent},
    {14, &D::ActionMicFastFowardPressed, TCondition::EolAndPresent},
    {15, &D::ActionMicFastFowardReleased, TCondition::EolAndPresent},
    {16, &D::ActionMicPriorityPressed, TCondition::None},
    {17, &D::ActionMicPriorityReleased, TCondition::None},
    {18, &D::ActionMicCommandPressed, TCondition::EolPresent},
    {19, &D::ActionMicCommandReleased, TCondition::None},
    {20, &D::ActionMicPlayStopTogglePressed, TCondition::EolPresent},
    {21, &D::ActionMicPlayStopToggleReleased, TCondition::EolPresent},
    {22, &D::ActionMicTriggerPressed, TCondition::None},
    {23, &D::ActionMicTriggeReleased, TCondition::None},
    {34, &D::ActionMicMenuUpPressed, TCondition::None},
    {35, &D::ActionMicMenuUpReleased, TCondition::None},
    {36, &D::ActionMicMenuDownPressed, TCondition::None},
    {37, &D::ActionMicMenuDownReleased, TCondition::None},
    {38, &D::ActionMicMenuPressed, TCondition::None},
    {39, &D::ActionMicMenuReleased, TCondition::None},
    {42, &D::ActionMicInstructionPressed, TCondition::None},
    {43, &D::ActionMicInstructionReleased, TCondition::None},
    {44, &D::ActionMicFunction1Pressed, TCondition::None},
    {45, &D::ActionMicFunction1Released, TCondition::None},
    {46, &D::ActionMicFunction2Pressed, TCondition::None},
    {47, &D::ActionMicFunction2Released, TCondition::None},
    {48, &D::ActionMicFunction3Pressed, TCondition::None},
    {49, &D::ActionMicFunction3Released, TCondition::None},
    {50, &D::ActionMicFunction4Pressed, TCondition::None},
    {51, &D::ActionMicFunction4Released, TCondition::None},
    {52, &D::ActionMicSmart1Pressed, TCondition::None},
    {53, &D::ActionMicSmart1Released, TCondition::None},
    {54, &D::ActionMicSmart2Pressed, TCondition::None},
    {55, &D::ActionMicSmart2Released, TCondition::None},
    {56, &D::ActionMicProgrammble1Pressed, TCondition::None},
    {57, &D::ActionMicProgrammble1Released, TCondition::None},
    {58, &D::ActionMicSmart3Pressed, TCondition::None},
    {59, &D::ActionMicSmart3Released, TCondition::None},
};

constexpr int kOwnBits = sizeof(void*) * 8;
constexpr int kOtherBits = kOwnBits == 64 ? 32 : 64;

// The package that installs the program of a bitness.
const char* PackageOf(int bits) { return bits == 64 ? "x64" : "x86"; }

}  // namespace

std::string DataPhilipsTexts::ComposantAutreArchitecture() {
  const std::string own = std::to_string(kOwnBits), other = std::to_string(kOtherBits);
  return "Le composant Philips SpeechMike de ce poste n'est enregistré que pour les programmes " + other +
         " bits : cette version " + own + " bits d'Orvane ne peut pas l'utiliser.\n\r\r"
         "Réinstaller les pilotes n'y changerait rien. Utilisez Orvane " + other + " bits (paquet " +
         PackageOf(kOtherBits) + ").";
}

std::string DataPhilipsTexts::ComposantAutreArchitectureJournal() {
  return "TDataPhilips.OpenPHILIPSDictCtrl - Erreur d'initialisation Classe non enregistrée : le composant SpeechMike "
         "n'est enregistré que pour les programmes " + std::to_string(kOtherBits) + " bits, utiliser Orvane " +
         std::to_string(kOtherBits) + " bits (" + PackageOf(kOtherBits) + ")";
}

TDataPhilips::TDataPhilips(TComponent*, TpFIBDatabase* BDAUtiliser, int32_t ID_Station) {
#define ORVANE_CREATE_ACTION(name) name = &ActionListPHILIPS.Add(#name);
  ORVANE_MIC_ACTIONS(ORVANE_CREATE_ACTION)
#undef ORVANE_CREATE_ACTION
  SpeechMikeControl.OnSPMEventButton = [this](TSpeechMikeControl& sender, int32_t device, uint32_t eventId) {
    SpeechMikeControlSPMEventButton(sender, device, eventId);
  };
  vBDAUtiliser = BDAUtiliser;
  vID_Station = ID_Station;
}

TDataPhilips::TDataPhilips(TComponent*) {
  throw Exception(
      "Vous devez absolument utiliser le constructeur TDataPhilips.Create(AOwner: TComponent;BDAUtiliser: "
      "TpFIBDatabase;ID_Station: Integer)");
}

TDataPhilips::~TDataPhilips() { vBDAUtiliser = nullptr; }

bool TDataPhilips::FreeAction(const std::string& name) {
  TAction* action = ActionListPHILIPS.Find(name);
  if (action == nullptr) return false;
#define ORVANE_FORGET_ACTION(member) \
  if (member == action) member = nullptr;
  ORVANE_MIC_ACTIONS(ORVANE_FORGET_ACTION)
#undef ORVANE_FORGET_ACTION
  return ActionListPHILIPS.Free(action);
}

bool TDataPhilips::OpenPHILIPSDictCtrl() {
  Log("TDataPhilips.OpenPHILIPSDictCtrl - IN", 250);
  bool result = true;
  try {
    SpeechMikeControl.InitializeDevice(0);
  } catch (const EOleError&) {
    if (Port<SpeechMikeComponent>().RegisteredForOtherBitnessOnly())
      OtherBitnessPath();
    else
      ReinstallationPath();
  } catch (const std::exception& error) {
    result = false;
    const uint32_t lastError = Port<Application>().LastOsError();
    const auto* own = dynamic_cast<const Exception*>(&error);
    const std::string className = own ? own->ClassName() : TypeName(error);
    const std::string parentName = own ? own->ClassParentName() : "std::exception";
    Dialogs& dialogs = Port<Dialogs>();
    dialogs.ShowMessage(" e.ClassName = " + className);
    dialogs.ShowMessage(" e.ClassType.ClassName = " + className);
    dialogs.ShowMessage(" e.ClassParent.ClassName = " + parentName);
    dialogs.ShowMessage(" GetLastError = " + std::to_string(lastError));
    BringApplicationToFront();
    dialogs.MessageError("TDataPhilips.OpenPHILIPSDictCtrl - Erreur d'initialisation: " + MessageOf(error));
  }
  if (result) {
    try {
      SpeechMikeControl.ActivateDevice();
    } catch (const std::exception& error) {
      result = false;
      BringApplicationToFront();
      Port<Dialogs>().MessageError("TDataPhilips.OpenPHILIPSDictCtrl - Erreur d'activation: " + MessageOf(error));
    }
  }
  Log("TDataPhilips.OpenPHILIPSDictCtrl - OUT", 250);
  return result;
}

void TDataPhilips::ReinstallationPath() {
  Log("TDataPhilips.OpenPHILIPSDictCtrl - Erreur d'initialisation Classe non enregistrée : Les pilotes ne semblent pas "
      "correctement installés.",
      5);
  Port<Dialogs>().MessageWarning(std::string(DataPhilipsTexts::kPilotesMalInstalles) + "\n\r\r" +
                                 DataPhilipsTexts::kReinstallationAuProchainDemarrage);
  if (vBDAUtiliser != nullptr || vID_Station > 0) {
    // The program ends whatever the update gives; a failing one must not keep it running.
    try {
      GlobalFIB().ExecSQL("update station s set s.dictee_copydllsm3='O' where s.id_station =:ID_STATION",
                          {TFIBValue{int64_t{vID_Station}}}, vBDAUtiliser);
    } catch (const std::exception&) {
    }
  } else {
    Log("TDataPhilips.OpenPHILIPSDictCtrl - Erreur: Impossible de forcer la réinstallation des pilotes [ vBDAUtiliser = "
        "nil et vID_Station= " +
            std::to_string(vID_Station) + "]",
        5);
  }
  // The device is unusable: the program ends as a failure, after the log is written.
  Port<Application>().Terminate(3);
}

// Reinstalling cannot help a program that can never load the component: the station is not
// marked for a reinstallation, and the warning names the program to use instead.
void TDataPhilips::OtherBitnessPath() {
  Log(DataPhilipsTexts::ComposantAutreArchitectureJournal(), 5);
  Port<Dialogs>().MessageWarning(DataPhilipsTexts::ComposantAutreArchitecture());
  Port<Application>().Terminate(3);
}

bool TDataPhilips::ClosePHILIPSDictCtrl() {
  Log("TDataPhilips.ClosePHILIPSDictCtrl - IN", 250);
  bool result = true;
  try {
    SpeechMikeControl.UninitializeDevice();
  } catch (const std::exception& error) {
    result = false;
    BringApplicationToFront();
    Port<Dialogs>().MessageError(std::string("TDataPhilips.ClosePHILIPSDictCtrl - ") + "Erreur de désinitialisation: " +
                                 MessageOf(error));
  }
  if (result) {
    try {
      SpeechMikeControl.DeactivateDevice();
    } catch (const std::exception& error) {
      result = false;
      BringApplicationToFront();
      Port<Dialogs>().MessageError(std::string("TDataPhilips.ClosePHILIPSDictCtrl - ") + "Erreur de désactivation: " +
                                   MessageOf(error));
    }
  }
  Log("TDataPhilips.ClosePHILIPSDictCtrl - OUT", 250);
  return result;
}

void TDataPhilips::LumiereSpeechMikePro(uint32_t state) {
  Log("LumiereSpeechMikePro - " + std::to_string(state), 250);
  SpeechMikeControl.SetDisplayState(0, state);
}

void TDataPhilips::BringApplicationToFront() { Port<Application>().BringToFront(); }

void TDataPhilips::SpeechMikeControlSPMEventButton(TSpeechMikeControl&, int32_t, uint32_t EventId) {
  for (const TRoute& route : kRoutes) {
    if (route.code != EventId) continue;
    TAction* action = this->*route.action;
    const bool eolPresent = ActionMicEOLPressed != nullptr;
    bool run = true;
    switch (route.condition) {
      case TCondition::None: break;
      case TCondition::EolPresent: run = eolPresent; break;
      case TCondition::Present: run = action != nullptr; break;
      case TCondition::EolAndPresent: run = eolPresent && action != nullptr; break;
      case TCondition::EolAndPresentElseBeep:
        run = eolPresent && action != nullptr;
        if (!run) Port<Application>().Beep();
        break;
    }
    // An action a host has freed is never executed, whatever the condition.
    if (run && action != nullptr) action->Execute();
    return;
  }
}

}  // namespace orvane
