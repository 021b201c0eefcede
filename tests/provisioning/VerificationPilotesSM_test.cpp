#include "provisioning/VerificationPilotesSM.h"

#include <functional>

#include <gtest/gtest.h>

#include "tests/support/ProvisioningFixture.h"

namespace orvane {
namespace {

using testing::FakeRegistry;
using testing::kErrorImpossible;
using testing::kFeatureKey;
using testing::kProbeKey;
using testing::kWarningMissing;
using testing::ProvisioningTest;

// The rows of the decision that lead to an installation: what is logged, and where the rights
// probe lands, which shows the accessor's state handed to the installation.
struct InstallationRow {
  const char* name;
  std::vector<std::string> arguments;
  bool forcedByStation;
  std::function<void(FakeRegistry&)> setUp;
  const char* logLine;
  const char* probeKey;
};

class VerificationInstalls : public ProvisioningTest, public ::testing::WithParamInterface<InstallationRow> {};

TEST_P(VerificationInstalls, LogsTheReasonProbesWhereItLookedAndInstalls) {
  const InstallationRow& row = GetParam();
  commandLine.commandLine.arguments = row.arguments;
  row.setUp(registry());

  EXPECT_TRUE(VerificationPilotesSM(row.forcedByStation, nullptr, -1));

  EXPECT_TRUE(Logged(row.logLine, 200));
  ASSERT_EQ(registry().created, std::vector<std::string>{row.probeKey});
  EXPECT_EQ(registry().deleted, std::vector<std::string>{row.probeKey});
  EXPECT_FALSE(registry().store.KeyExists(TRootKey::ClassesRoot, "KALD_TEST"));
  ASSERT_EQ(runner.runner.calls.size(), 1u);
  EXPECT_EQ(runner.runner.calls[0].commandLine, "msiexec.exe /I \"" + PackageFile() + "\" /qn");
  EXPECT_EQ(Dialogs(), std::vector<std::string>{kWarningMissing});
  EXPECT_TRUE(AdjustmentRan());
}

void Present(FakeRegistry& r) { r.SetString(TRootKey::ClassesRoot, kFeatureKey, "SpMikeCtrl", ""); }

INSTANTIATE_TEST_SUITE_P(
    Rows, VerificationInstalls,
    ::testing::Values(
        // The command line wins over present drivers and the station, whatever its case or value.
        InstallationRow{"CommandLine", {"forceinstalldrivers=0"}, true, Present,
                        "Installation des pilotes SM forcée par le paramStr.", "hkey_current_user\\kald_test"},
        InstallationRow{"Station", {"Autre"}, true, Present,
                        "Installation des pilotes SM forcée par le champ DICTEE_COPYDLLSM3 de la table station.",
                        "hkey_classes_root\\kald_test"},
        InstallationRow{"FeatureWithoutValue", {}, false,
                        [](FakeRegistry& r) { r.SetString(TRootKey::ClassesRoot, kFeatureKey, "Autre", ""); },
                        "Pilotes SM3 inexistants, clé SpMikeCtrl manquante.",
                        "hkey_classes_root\\installer\\features\\777d4c2d1dbb5204a8655a0cbf18d267\\kald_test"},
        InstallationRow{"NoFeatureKey", {}, false,
                        [](FakeRegistry& r) { r.store.CreateKey(TRootKey::LocalMachine, kProbeKey); },
                        "Pilotes SM3 inexistants.",
                        "hkey_local_machine\\software\\microsoft\\windows nt\\currentversion\\kald_test"}),
    [](const ::testing::TestParamInfo<InstallationRow>& info) { return std::string(info.param.name); });

using Verification = ProvisioningTest;

TEST_F(Verification, PresentDriversOnlyAdjust) {
  DriversPresent();
  EXPECT_TRUE(VerificationPilotesSM(false, nullptr, -1));
  EXPECT_TRUE(ui.dialogs.shown.empty());
  EXPECT_TRUE(runner.runner.calls.empty());
  EXPECT_TRUE(registry().created.empty());
  const auto records = capture.Records();
  ASSERT_GE(records.size(), 3u);
  EXPECT_EQ(records[0].message, "Vérification de l'installation des pilotes SM sur le poste");
  EXPECT_EQ(records[0].level, 250);
  EXPECT_EQ(records[1].message, "AjustementCleRegistreSM - IN");
  EXPECT_EQ(records.back().message, "AjustementCleRegistreSM - OUT");
}

TEST_F(Verification, AnUnreadableRegistryAsksAndNoStops) {
  ui.dialogs.answers = {TModalResult::No};
  EXPECT_FALSE(VerificationPilotesSM(false, nullptr, -1));
  ASSERT_EQ(ui.dialogs.shown.size(), 1u);
  EXPECT_EQ(ui.dialogs.shown[0].kind, "yesno");
  EXPECT_EQ(ui.dialogs.shown[0].text,
            "Impossible de vérifier la configuration des pilotes Philips, car vous ne semblez pas avoir accès aux "
            "registres.  \r\n\r\nÊtes-vous certain de vouloir poursuivre l'ouverture de Carnexa, car il se peut qu'il "
            "ne réponde pas correctement aux commandes du Speechmike ?");
  EXPECT_TRUE(Logged("Installation des pilotes SM - Pas accès aux registres - Usagé a choisi de ne pas poursuivre "
                     "l'utilisation du Carnexa.",
                     5));
  EXPECT_FALSE(AdjustmentRan());
  EXPECT_TRUE(runner.runner.calls.empty());
}

TEST_F(Verification, AnUnreadableRegistryGoesOnWithYesOrWithoutAnswer) {
  for (TModalResult answer : {TModalResult::Yes, TModalResult::None}) {
    ui.dialogs.answers = {answer};
    EXPECT_TRUE(VerificationPilotesSM(false, nullptr, -1));
  }
  EXPECT_TRUE(Logged("Installation des pilotes SM - Pas accès aux registres - Usagé a choisi de poursuivre tout de "
                     "même l'utilisation du Carnexa.",
                     5));
  EXPECT_TRUE(AdjustmentRan());
}

TEST_F(Verification, AFailedInstallationStopsWithoutAdjustment) {
  RegistryReadable();
  runner.runner.Exits(1603);
  EXPECT_FALSE(VerificationPilotesSM(false, nullptr, -1));
  EXPECT_FALSE(AdjustmentRan());
  EXPECT_EQ(Dialogs(), (std::vector<std::string>{kWarningMissing, kErrorImpossible}));
}

TEST_F(Verification, AnAdjustmentErrorReachesTheCallerAfterTheVerification) {
  DriversPresent();
  registry().store.CreateKey(TRootKey::CurrentUser, std::string(testing::kBaseKey));
  registry().refuseAllWrites = true;
  EXPECT_THROW(VerificationPilotesSM(false, nullptr, -1), ERegistryException);
  EXPECT_TRUE(Logged("AjustementCleRegistreSM - OUT", 250));
}

}  // namespace
}  // namespace orvane
