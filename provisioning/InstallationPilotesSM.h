#pragma once
// The installation of the Philips SpeechMike drivers: the sequence that warns, probes the
// rights and picks the driver folder, and the step that downloads and installs the package.

#include <cstdint>
#include <string>

#include "provisioning/registry/RegistryAccessor.h"

namespace orvane {

class TpFIBDatabase;
class TFormAttenteDictee;

// What the verification hands to the installation sequence.
struct ContexteVerificationSM {
  TRegistryAccessor& registry;  // in the state the verification left it, root key and open key included
  TpFIBDatabase* database;
  int32_t stationId;
  bool& result;  // the verification's result, which the sequence may set to false
};

inline constexpr const char* kSujetPilotesSM = "Pilotes du micro/pédalier Philips SpeechMike";

// Warns, probes the rights where the verification looked, chooses the driver folder and
// installs; every failure is told to the user and sets the context's result to false.
void LancerInstallationPilotesSM(ContexteVerificationSM& context);

// Downloads the package into DriverFolder unless it is there, runs Windows Installer silently
// on it and clears the station's reinstallation request. True exactly when the installer
// ended with exit code 0. A package the installer could not open is deleted, so that the next
// start downloads it again. A failed download raises.
bool InstallationPilotesSM(const std::string& driverFolder, TpFIBDatabase* database, int32_t stationId);

// Downloads Url to TargetFile, the waiting window showing the download and its progress.
void TelechargementPilotesSM(const std::string& url, const std::string& targetFile, const std::string& subject,
                             TFormAttenteDictee& form);

// The package's URL: the command line's DriverPackageUrl=<url>, else the site's setting (the value
// DriverPackageUrl of HKEY_LOCAL_MACHINE\SOFTWARE\Orvane), else the build's HTTPS default.
std::string DriverPackageUrl();
// The build's default package URL.
std::string DefaultDriverPackageUrl();

// The driver folder of the workstation: "..\drivers\SpeechMike" from the current directory,
// created when missing, else the temporary folder of the environment.
std::string ChooseDriverFolder();

}  // namespace orvane
