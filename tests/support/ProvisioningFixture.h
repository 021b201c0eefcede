#pragma once
// Everything the driver provisioning touches, in fakes: dialogs, waiting window, registry,
// command line, installer runs, download, clock and regional settings, and the log. The test
// runs in an application folder of its own, so "..\drivers" lands in a scratch folder.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "provisioning/DriverPaths.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeCommandLine.h"
#include "tests/support/FakeDownloader.h"
#include "tests/support/FakeProcessRunner.h"
#include "tests/support/FakeRegionalSettings.h"
#include "tests/support/FakeRegistry.h"
#include "tests/support/FakeUi.h"
#include "tests/support/FakeWaitingWindow.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScratchFolder.h"

namespace orvane::testing {

inline constexpr const char* kFeatureKey = "Installer\\Features\\777D4C2D1DBB5204A8655A0CBF18D267";
inline constexpr const char* kProbeKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
inline constexpr const char* kBaseKey = "Control Panel\\Philips Speech";

class ProvisioningTest : public ::testing::Test {
 protected:
  ProvisioningTest() : downloaderPort_(downloader) {
    std::filesystem::create_directories(scratch.Path() / "poste" / "app");
    previousFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(scratch.Path() / "poste" / "app");
    runner.runner.Exits(0);
  }
  ~ProvisioningTest() override { std::filesystem::current_path(previousFolder_); }

  void DriversPresent() { registry().SetString(TRootKey::ClassesRoot, kFeatureKey, "SpMikeCtrl", ""); }
  void RegistryReadable() { registry().store.CreateKey(TRootKey::LocalMachine, kProbeKey); }
  FakeRegistry& registry() { return fakeRegistry.registry; }

  // The driver folder as the installation names it, and its package.
  static std::string DriverFolder() {
    const std::string d(1, DriverPathDelimiter());
    return ".." + d + "drivers" + d + "SpeechMike";
  }
  static std::string PackageFile() { return DriverFolder() + DriverPathDelimiter() + "SpMikeCtrl.msi"; }
  std::filesystem::path PackageOnDisk() const { return scratch.Path() / "poste" / "drivers" / "SpeechMike" / "SpMikeCtrl.msi"; }

  bool Logged(const std::string& message, int level) {
    for (const LoggedRecord& record : capture.Records()) {
      if (record.message == message && record.level == level) return true;
    }
    return false;
  }
  bool AdjustmentRan() { return Logged("AjustementCleRegistreSM - IN", 250); }
  std::vector<std::string> Dialogs() const {
    std::vector<std::string> kinds;
    for (const ShownDialog& dialog : ui.dialogs.shown) kinds.push_back(dialog.kind + ": " + dialog.text);
    return kinds;
  }

  ScratchFolder scratch;
  ScopedFakeUi ui;
  ScopedFakeWaitingWindows windows;
  ScopedFakeRegistry fakeRegistry;
  ScopedFakeCommandLine commandLine;
  ScopedFakeProcessRunner runner;
  ScopedFakeClock clock;
  ScopedFakeRegionalSettings regional;
  FakeDownloader downloader;
  LogCapture capture;

 private:
  ScopedPort<Downloader> downloaderPort_;
  std::filesystem::path previousFolder_;
};

inline const std::string kWarningMissing =
    "warning: Les pilotes du micro/pédalier Philips SpeechMike ne sont pas installés correctement.";
inline const std::string kErrorImpossible = "error: L'installation des pilotes SpeechMike est impossible.";
inline const std::string kErrorNoRights =
    "error: Vous ne semblez pas avoir les droits \"Administrateur\" sur votre poste.\n\r\r"
    "L'installation des pilotes SpeechMike est impossible.\n\r\r"
    "Réessayez d'exécuter l'application en mode Administrateur.";

}  // namespace orvane::testing
