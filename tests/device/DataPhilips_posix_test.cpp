#include <gtest/gtest.h>

#include "device/DataPhilips.h"
#include "device/SimulatedSpeechMike.h"
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
  component.SetRegistered(false);
  LogCapture log;
  TDataPhilips data(nullptr, db.Database(), 5);
  EXPECT_FALSE(data.OpenPHILIPSDictCtrl());
  EXPECT_EQ(db.Flag(5), "O");
  EXPECT_EQ(db.Flag(6), "N");
  EXPECT_EQ(ui.application.terminatedWith, (std::vector<int>{3}));
  for (const auto& message : log.Messages()) EXPECT_EQ(message.find("Impossible de forcer"), std::string::npos);
}

}  // namespace
}  // namespace orvane::testing
