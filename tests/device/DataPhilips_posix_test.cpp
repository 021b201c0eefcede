#include <gtest/gtest.h>

#include "device/DataPhilips.h"
#include "device/simulated/SimulatedSpeechMike.h"
#include "tests/support/FakeUi.h"
#include "tests/support/LogCapture.h"
#include "tests/support/StationDatabase.h"

namespace orvane::testing {
namespace {

TEST(DataPhilipsStation, BrokenDriversMarkTheStationForReinstallationBeforeTheProgramEnds) {
  StationDatabase db({{5, "N"}, {6, "N"}});
  ScopedFakeUi ui;
  SimulatedSpeechMike component;
  ScopedPort<SpeechMikeComponent> port(component);
  component.SetRegisteredForTesting(false);
  LogCapture log;
  TDataPhilips data(nullptr, db.Database(), 5);
  EXPECT_THROW(data.OpenPHILIPSDictCtrl(), ProgramEnded);
  EXPECT_EQ(db.Flag(5), "O");
  EXPECT_EQ(db.Flag(6), "N");
  EXPECT_EQ(ui.application.terminatedWith, (std::vector<int>{3}));
  for (const auto& message : log.Messages()) EXPECT_EQ(message.find("Impossible de forcer"), std::string::npos);
}

TEST(DataPhilipsStation, AComponentOfTheOtherBitnessNamesTheProgramToUseAndLeavesTheStationAsItIs) {
  static_assert(sizeof(void*) == 8, "the texts below are those of a 64-bit program");
  StationDatabase db({{5, "N"}});
  ScopedFakeUi ui;
  SimulatedSpeechMike component;
  ScopedPort<SpeechMikeComponent> port(component);
  component.SetOtherBitnessOnlyForTesting();
  LogCapture log;
  TDataPhilips data(nullptr, db.Database(), 5);
  EXPECT_THROW(data.OpenPHILIPSDictCtrl(), ProgramEnded);
  EXPECT_EQ(db.Flag(5), "N");
  EXPECT_EQ(ui.dialogs.shown,
            (std::vector<ShownDialog>{
                {"warning",
                 "Le composant Philips SpeechMike de ce poste n'est enregistré que pour les programmes 32 bits : cette "
                 "version 64 bits d'Orvane ne peut pas l'utiliser.\n\r\rRéinstaller les pilotes n'y changerait rien. "
                 "Utilisez Orvane 32 bits (paquet x86)."}}));
  EXPECT_EQ(log.Records(),
            (std::vector<LoggedRecord>{
                {"TDataPhilips.OpenPHILIPSDictCtrl - IN", 250},
                {"TDataPhilips.OpenPHILIPSDictCtrl - Erreur d'initialisation Classe non enregistrée : le composant "
                 "SpeechMike n'est enregistré que pour les programmes 32 bits, utiliser Orvane 32 bits (x86)",
                 5}}));
  EXPECT_EQ(ui.application.terminatedWith, (std::vector<int>{3}));
}

}  // namespace
}  // namespace orvane::testing
