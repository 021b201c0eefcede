#include "provisioning/VerificationPilotesSM.h"

#include <exception>
#include <string>

#include "common/Global_Utils.h"
#include "platform/Port.h"
#include "logging/ApplicationLogger.h"
#include "provisioning/AjustementCleRegistreSM.h"
#include "provisioning/DriverRegistration.h"
#include "provisioning/InstallationPilotesSM.h"
#include "provisioning/registry/RegistryAccessor.h"
#include "platform/Dialogs.h"

namespace orvane {

namespace {

void Log(const std::string& message, uint8_t level) { AppLogger().Log(message, level, 0); }

void AskRegistryAccess(bool& result) {
  const std::string question =
      "Impossible de vérifier la configuration des pilotes Philips, car vous ne semblez pas avoir accès aux "
      "registres.  \r\n\r\nÊtes-vous certain de vouloir poursuivre l'ouverture de Carnexa, car il se peut qu'il ne "
      "réponde pas correctement aux commandes du Speechmike ?";
  if (Port<Dialogs>().AskWarningYesNo(question) == TModalResult::No) {
    result = false;
    Log("Installation des pilotes SM - Pas accès aux registres - Usagé a choisi de ne pas poursuivre l'utilisation du "
        "Carnexa.",
        5);
  } else {
    Log("Installation des pilotes SM - Pas accès aux registres - Usagé a choisi de poursuivre tout de même "
        "l'utilisation du Carnexa.",
        5);
  }
}

}  // namespace

bool VerificationPilotesSM(bool forcedByStation, TpFIBDatabase* database, int32_t stationId) {
  bool result = true;
  const bool forcedByParam = ParamExists("ForceInstallDrivers");
  std::exception_ptr error;
  {
    TRegistryAccessor registry;
    ContexteVerificationSM context{registry, database, stationId, result};
    try {
      Log("Vérification de l'installation des pilotes SM sur le poste", 250);
      if (forcedByParam) {
        Log("Installation des pilotes SM forcée par le paramStr.", 200);
        LancerInstallationPilotesSM(context);
      } else {
        registry.SetRootKey(TRootKey::ClassesRoot);
        if (forcedByStation) {
          Log("Installation des pilotes SM forcée par le champ DICTEE_COPYDLLSM3 de la table station.", 200);
          LancerInstallationPilotesSM(context);
        } else if (registry.OpenKeyReadOnly(kDriverFeatureKey)) {
          if (!registry.ValueExists(kDriverFeatureValue)) {
            Log("Pilotes SM3 inexistants, clé SpMikeCtrl manquante.", 200);
            LancerInstallationPilotesSM(context);
          }
        } else {
          registry.SetRootKey(TRootKey::LocalMachine);
          if (registry.OpenKeyReadOnly(kRegistryProbeKey)) {
            Log("Pilotes SM3 inexistants.", 200);
            LancerInstallationPilotesSM(context);
          } else {
            AskRegistryAccess(result);
          }
        }
      }
    } catch (...) {
      error = std::current_exception();
    }
  }
  // The accessor is released before the adjustment, which uses one of its own.
  if (result) AjustementCleRegistreSM();
  if (error) std::rethrow_exception(error);
  return result;
}

}  // namespace orvane
