#include "provisioning/InstallationPilotesSM.h"

#include <filesystem>
#include <system_error>

#include "common/Global_FIB.h"
#include "common/Global_File.h"
#include "common/Global_Utils.h"
#include "platform/Port.h"
#include "logging/ApplicationLogger.h"
#include "provisioning/DriverPaths.h"
#include "provisioning/InstallerPackage.h"
#include "provisioning/registry/Registry.h"
#include "provisioning/TelechargerURL.h"
#include "platform/Dialogs.h"
#include "ui/FormAttenteDictee.h"

#ifndef ORVANE_DRIVER_PACKAGE_HOST
#error "ORVANE_DRIVER_PACKAGE_HOST names the server of the driver package"
#endif

namespace orvane {

namespace {

const char kProbeKeyName[] = "KALD_TEST";
const char kPackageName[] = "SpMikeCtrl.msi";
const char kInstaller[] = "msiexec.exe";
const char kPackagePath[] = "/tad/util/SpMikeCtrl.msi";
// Written by the installer from its public property DRIVERPACKAGEURL.
const char kSiteSettingsKey[] = "SOFTWARE\\Orvane";
const char kStationStatement[] = "update station s set s.dictee_copydllsm3='N' where s.id_station =:ID_STATION";
const char kInstallationImpossible[] = "L'installation des pilotes SpeechMike est impossible.";

void Log(const std::string& message, uint8_t level) { AppLogger().Log(message, level, 0); }

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool DirectoryExists(const std::string& folder) {
  std::error_code error;
  return !folder.empty() && std::filesystem::is_directory(PathOf(folder), error);
}

bool FileExists(const std::string& file) {
  std::error_code error;
  return std::filesystem::is_regular_file(PathOf(file), error);
}

// After a failed installation: whether the package is one the installer cannot open, by its own
// answer (1619: cannot be opened, 1620: no valid package) or by the package's verification.
// Keeping it would make every later start fail on it without downloading it again.
bool InstallerCannotOpen(const std::string& package, uint32_t exitCode) {
  return exitCode == 1619 || exitCode == 1620 || !IsWholeInstallerPackage(package);
}

void DropUnopenablePackage(const std::string& package, uint32_t exitCode) {
  std::error_code error;
  std::filesystem::remove(PathOf(package), error);
  Log("InstallationPilotesSM - L'installateur ne peut ouvrir SpMikeCtrl.msi (code " + std::to_string(exitCode) +
          (error ? ") : impossible de supprimer le fichier"
                 : ") : fichier supprimé, il sera téléchargé de nouveau au prochain démarrage"),
      5);
}

void CreateFolderLevel(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directory(PathOf(folder), error);
}

std::string PackageFile(const std::string& driverFolder) {
  return driverFolder + DriverPathDelimiter() + kPackageName;
}

void NoRights(ContexteVerificationSM& context) {
  Log("L'usager n'a pas les droits d'accès Administrateur pour installer les pilotes SM", 1);
  context.result = false;
  Port<Dialogs>().MessageError(
      "Vous ne semblez pas avoir les droits \"Administrateur\" sur votre poste.\n\r\r"
      "L'installation des pilotes SpeechMike est impossible.\n\r\r"
      "Réessayez d'exécuter l'application en mode Administrateur.");
}

// Closes the waiting window on every way out of the installation step.
class ClosingForm {
 public:
  explicit ClosingForm(TFormAttenteDictee& form) : form_(form) {}
  ~ClosingForm() { form_.Close(); }
  ClosingForm(const ClosingForm&) = delete;
  ClosingForm& operator=(const ClosingForm&) = delete;

 private:
  TFormAttenteDictee& form_;
};

}  // namespace

std::string DefaultDriverPackageUrl() { return std::string("https://") + ORVANE_DRIVER_PACKAGE_HOST + kPackagePath; }

std::string DriverPackageUrl() {
  std::string url;
  if (GetParamValue("DriverPackageUrl", url) && !url.empty()) return url;
  TRegValue site;
  if (Port<Registry>().ReadValue(TRootKey::LocalMachine, kSiteSettingsKey, "DriverPackageUrl", site) &&
      site.type == kRegSz && !site.text.empty())
    return site.text;
  return DefaultDriverPackageUrl();
}

std::string ChooseDriverFolder() {
  const char delimiter = DriverPathDelimiter();
  std::string folder = std::string("..") + delimiter + "drivers";
  if (!DirectoryExists(folder)) CreateFolderLevel(folder);
  folder += std::string(1, delimiter) + "SpeechMike";
  if (!DirectoryExists(folder)) CreateFolderLevel(folder);
  if (!DirectoryExists(folder)) folder = TemporaryFolderFromEnvironment();
  return folder;
}

void TelechargementPilotesSM(const std::string& url, const std::string& targetFile, const std::string& subject,
                             TFormAttenteDictee& form) {
  form.SetTexts("Téléchargement en cours...", subject, "");
  TelechargerURL(
      url, targetFile,
      [&form](const void* sender, uint32_t progress, uint32_t progressMax, uint32_t statusCode,
              const std::string& statusText, bool& cancel) {
        form.DownloadProgress(sender, progress, progressMax, statusCode, statusText, cancel);
      },
      [&form](const void* sender) { form.StartProgress(sender); },
      [&form](const void* sender) { form.EndProgress(sender); }, IsWholeInstallerPackage);
}

bool InstallationPilotesSM(const std::string& driverFolder, TpFIBDatabase* database, int32_t stationId) {
  bool result = false;
  Log("InstallationPilotesSM - IN", 250);
  {
    TFormAttenteDictee form;
    ClosingForm closing(form);
    form.ShowWaiting(false);
    const std::string package = PackageFile(driverFolder);
    if (!FileExists(package)) TelechargementPilotesSM(DriverPackageUrl(), package, kSujetPilotesSM, form);
    form.SetTexts("Installation en cours...", kSujetPilotesSM, "");
    try {
      Log("InstallationPilotesSM - RunProcess SpMikeCtrl.msi", 100);
      const std::string parameters = "/I \"" + package + "\" /qn";
      const uint32_t exitCode = RunProcess(kInstaller, parameters, 1, true);
      result = exitCode == 0;
      if (!result && InstallerCannotOpen(package, exitCode)) DropUnopenablePackage(package, exitCode);
      GlobalFIB().ExecSQL(kStationStatement, {TFIBValue(static_cast<int64_t>(stationId))}, database);
      Log("InstallationPilotesSM - Retrait de forcer la réinstallation des pilotes lors du prochain démarrage de la "
          "station[" + std::to_string(stationId) + "]",
          5);
    } catch (...) {
      Log("InstallationPilotesSM - L'installation des pilotes SM a échouée", 5);
    }
  }
  Log("InstallationPilotesSM - OUT", 250);
  return result;
}

void LancerInstallationPilotesSM(ContexteVerificationSM& context) {
  try {
    Port<Dialogs>().MessageWarning("Les pilotes du micro/pédalier Philips SpeechMike ne sont pas installés correctement.");
    // The user may install only where the verification looked if the registry lets him write there.
    if (!context.registry.CreateKey(kProbeKeyName)) throw ERegistryException("Création de KALD_TEST impossible");
    context.registry.DeleteKey(kProbeKeyName);
    const std::string folder = ChooseDriverFolder();
    if (InstallationPilotesSM(folder, context.database, context.stationId)) {
      Log("L'installation des pilotes SM s'est bien déroulée.", 200);
    } else {
      Log("L'installation des pilotes SM ne s'est pas bien déroulée.  Vérifier si les drivers sont présents sur le "
          "serveur.",
          1);
      context.result = false;
      Port<Dialogs>().MessageError(kInstallationImpossible);
    }
  } catch (...) {
    NoRights(context);
  }
}

}  // namespace orvane
