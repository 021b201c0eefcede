#include "provisioning/InstallationPilotesSM.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "provisioning/TelechargerURL.h"
#include "tests/support/ProvisioningFixture.h"

namespace orvane {
namespace {

using testing::kErrorImpossible;
using testing::kErrorNoRights;
using testing::kWarningMissing;
using testing::LoggedRecord;
using testing::ProvisioningTest;
using testing::ScratchFolder;

class Installation : public ProvisioningTest {
 protected:
  // The sequence as the verification runs it when the command line forces it.
  bool Run() {
    bool result = true;
    TRegistryAccessor accessor;
    ContexteVerificationSM context{accessor, nullptr, -1, result};
    LancerInstallationPilotesSM(context);
    return result;
  }
  std::vector<LoggedRecord> Records() { return capture.Records(); }
  bool WindowsGone() const {
    return windows.windows.created == windows.windows.destroyed && !windows.windows.frames.back().visible;
  }
};

const std::string kRetrait =
    "InstallationPilotesSM - Retrait de forcer la réinstallation des pilotes lors du prochain démarrage de la station[-1]";
const std::string kNotWell =
    "L'installation des pilotes SM ne s'est pas bien déroulée.  Vérifier si les drivers sont présents sur le serveur.";
const std::string kNoRightsLine = "L'usager n'a pas les droits d'accès Administrateur pour installer les pilotes SM";

TEST_F(Installation, ASuccessfulRunDownloadsInstallsAndSaysSo) {
  commandLine.commandLine.arguments = {"DriverPackageUrl=http://127.0.0.1:1/pkg.msi"};
  EXPECT_TRUE(Run());
  EXPECT_EQ(Dialogs(), std::vector<std::string>{kWarningMissing});
  EXPECT_EQ(downloader.urls, std::vector<std::string>{"http://127.0.0.1:1/pkg.msi"});
  EXPECT_EQ(downloader.files, std::vector<std::string>{PartialDownloadName(PackageFile())});
  EXPECT_EQ(ScratchFolder::Read(PackageOnDisk()), downloader.content);
  EXPECT_EQ(Records(), (std::vector<LoggedRecord>{
                           {"InstallationPilotesSM - IN", 250},
                           {"InstallationPilotesSM - RunProcess SpMikeCtrl.msi", 100},
                           {kRetrait, 5},
                           {"InstallationPilotesSM - OUT", 250},
                           {"L'installation des pilotes SM s'est bien déroulée.", 200},
                       }));
  EXPECT_EQ(windows.windows.ShownLines(),
            (std::vector<std::string>{"Téléchargement en cours... | Pilotes du micro/pédalier Philips SpeechMike",
                                      "Installation en cours... | Pilotes du micro/pédalier Philips SpeechMike"}));
  EXPECT_TRUE(WindowsGone());
  EXPECT_TRUE(registry().deleted == std::vector<std::string>{"hkey_current_user\\kald_test"});
  EXPECT_FALSE(registry().store.KeyExists(TRootKey::CurrentUser, "KALD_TEST"));
}

TEST_F(Installation, APackageAlreadyThereIsInstalledWithoutDownload) {
  std::filesystem::create_directories(PackageOnDisk().parent_path());
  ScratchFolder::Write(PackageOnDisk(), "earlier package");
  EXPECT_TRUE(Run());
  EXPECT_TRUE(downloader.urls.empty());
  EXPECT_EQ(windows.windows.ShownLines(),
            std::vector<std::string>{"Installation en cours... | Pilotes du micro/pédalier Philips SpeechMike"});
}

TEST_F(Installation, AnyExitCodeButZeroFailsAndStillClearsTheStationRequest) {
  for (uint32_t code : {1603u, 3010u}) {
    runner.runner.Exits(code);
    ui.dialogs.shown.clear();
    const size_t before = Records().size();
    EXPECT_FALSE(Run()) << code;
    EXPECT_EQ(Dialogs(), (std::vector<std::string>{kWarningMissing, kErrorImpossible}));
    const auto all = Records();
    const std::vector<LoggedRecord> records(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[2], (LoggedRecord{kRetrait, 5}));
    EXPECT_EQ(records[3], (LoggedRecord{"InstallationPilotesSM - OUT", 250}));
    EXPECT_EQ(records[4], (LoggedRecord{kNotWell, 1}));
  }
}

TEST_F(Installation, AnInstallerThatCannotStartFails) {
  runner.runner.FailsToStart(2);
  EXPECT_FALSE(Run());
  EXPECT_EQ(Dialogs(), (std::vector<std::string>{kWarningMissing, kErrorImpossible}));
  const auto records = Records();
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[2], (LoggedRecord{"InstallationPilotesSM - L'installation des pilotes SM a échouée", 5}));
  EXPECT_EQ(records[3], (LoggedRecord{"InstallationPilotesSM - OUT", 250}));
  EXPECT_EQ(records[4], (LoggedRecord{kNotWell, 1}));
  EXPECT_TRUE(WindowsGone());
}

TEST_F(Installation, AFailedDownloadLeavesNoPackageNoWindowAndTellsOfRights) {
  downloader.failHalfWay = true;
  EXPECT_FALSE(Run());
  EXPECT_EQ(Dialogs(), (std::vector<std::string>{kWarningMissing, kErrorNoRights}));
  EXPECT_EQ(Records(), (std::vector<LoggedRecord>{{"InstallationPilotesSM - IN", 250}, {kNoRightsLine, 1}}));
  EXPECT_FALSE(std::filesystem::exists(PackageOnDisk()));
  EXPECT_FALSE(std::filesystem::exists(PackageOnDisk().string() + ".part"));
  EXPECT_TRUE(runner.runner.calls.empty());
  EXPECT_TRUE(WindowsGone());
  // The next start downloads again instead of installing a broken package.
  downloader.failHalfWay = false;
  EXPECT_TRUE(Run());
  EXPECT_EQ(downloader.urls.size(), 2u);
}

std::string Unopenable(uint32_t code) {
  return "InstallationPilotesSM - L'installateur ne peut ouvrir SpMikeCtrl.msi (code " + std::to_string(code) +
         ") : fichier supprimé, il sera téléchargé de nouveau au prochain démarrage";
}

TEST_F(Installation, AKeptPackageTheInstallerCannotOpenIsDeletedAndFetchedAgainAtTheNextStart) {
  std::filesystem::create_directories(PackageOnDisk().parent_path());
  const std::string whole = downloader.content, cutShort = whole.substr(0, 100002);
  // The installer's own answers, and a package cut short by an earlier download, whatever the code.
  const std::vector<std::pair<uint32_t, std::string>> starts = {{1619, whole}, {1620, whole}, {1603, cutShort}};
  for (const auto& [code, kept] : starts) {
    ScratchFolder::Write(PackageOnDisk(), kept);
    runner.runner.Exits(code);
    EXPECT_FALSE(Run()) << code;
    EXPECT_FALSE(std::filesystem::exists(PackageOnDisk())) << code;
    EXPECT_TRUE(Logged(Unopenable(code), 5)) << code;
  }
  EXPECT_TRUE(downloader.urls.empty());

  runner.runner.Exits(0);
  EXPECT_TRUE(Run());
  EXPECT_EQ(downloader.urls.size(), 1u);
  EXPECT_EQ(ScratchFolder::Read(PackageOnDisk()), whole);
  // A whole package that fails to install for another reason stays.
  runner.runner.Exits(1603);
  EXPECT_FALSE(Run());
  EXPECT_EQ(ScratchFolder::Read(PackageOnDisk()), whole);
  EXPECT_EQ(downloader.urls.size(), 1u);
}

TEST_F(Installation, AProbeKeyThatCannotBeCreatedTellsOfRightsAndInstallsNothing) {
  registry().Refuse(registry().refuseCreate, TRootKey::CurrentUser, "KALD_TEST");
  EXPECT_FALSE(Run());
  EXPECT_EQ(Dialogs(), (std::vector<std::string>{kWarningMissing, kErrorNoRights}));
  EXPECT_EQ(Records(), (std::vector<LoggedRecord>{{kNoRightsLine, 1}}));
  EXPECT_TRUE(runner.runner.calls.empty());
  EXPECT_EQ(windows.windows.created, 0);
}

TEST(DriverPackageUrl, IsHttpsByDefaultAndTheCommandLineReplacesItWhole) {
  testing::ScopedFakeRegistry registry;
  testing::ScopedFakeCommandLine commandLine({"driverpackageurl"});
  EXPECT_EQ(DriverPackageUrl().rfind("https://", 0), 0u);
  EXPECT_EQ(DriverPackageUrl(), DefaultDriverPackageUrl());
  EXPECT_NE(DefaultDriverPackageUrl().find("/tad/util/SpMikeCtrl.msi"), std::string::npos);
  commandLine.commandLine.arguments = {"DRIVERPACKAGEURL=http://127.0.0.1:8080/a=b.msi"};
  EXPECT_EQ(DriverPackageUrl(), "http://127.0.0.1:8080/a=b.msi");
}

TEST(DriverPackageUrl, TheSiteSettingComesBetweenTheCommandLineAndTheDefault) {
  testing::ScopedFakeRegistry fake;
  testing::ScopedFakeCommandLine commandLine(std::vector<std::string>{});
  Registry& registry = fake.registry;
  const std::string key = "SOFTWARE\\Orvane";
  TRegValue site;
  site.type = kRegSz;
  // An empty setting, or one of another type, is no setting.
  ASSERT_TRUE(registry.CreateKey(TRootKey::LocalMachine, key));
  ASSERT_TRUE(registry.WriteValue(TRootKey::LocalMachine, key, "DriverPackageUrl", site));
  EXPECT_EQ(DriverPackageUrl(), DefaultDriverPackageUrl());
  TRegValue number;
  number.type = kRegDword;
  ASSERT_TRUE(registry.WriteValue(TRootKey::LocalMachine, key, "DriverPackageUrl", number));
  EXPECT_EQ(DriverPackageUrl(), DefaultDriverPackageUrl());

  site.text = "https://deploy.site.example/SpMikeCtrl.msi";
  ASSERT_TRUE(registry.WriteValue(TRootKey::LocalMachine, key, "DriverPackageUrl", site));
  EXPECT_EQ(DriverPackageUrl(), site.text);
  commandLine.commandLine.arguments = {"DriverPackageUrl=http://127.0.0.1:8080/pkg.msi"};
  EXPECT_EQ(DriverPackageUrl(), "http://127.0.0.1:8080/pkg.msi");
}

TEST_F(Installation, ASiteSettingThatIsNoWebAddressIsRefusedLikeTheCommandLine) {
  TRegValue site;
  site.type = kRegSz;
  site.text = "file:///C:/pilotes/SpMikeCtrl.msi";
  ASSERT_TRUE(registry().CreateKey(TRootKey::LocalMachine, "SOFTWARE\\Orvane"));
  ASSERT_TRUE(registry().WriteValue(TRootKey::LocalMachine, "SOFTWARE\\Orvane", "DriverPackageUrl", site));
  EXPECT_FALSE(Run());
  EXPECT_TRUE(downloader.urls.empty());
  EXPECT_EQ(Dialogs(), (std::vector<std::string>{kWarningMissing, kErrorNoRights}));
}

}  // namespace
}  // namespace orvane
