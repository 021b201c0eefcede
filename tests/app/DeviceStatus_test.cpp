// The device status between the component's events.
#include "app/DeviceStatus.h"

#include <gtest/gtest.h>

#include "support/FakeRegionalSettings.h"

namespace orvane {
namespace {

TEST(DeviceStatusTest, EachKindHasItsLabelledLineWithTheClockTimeAsTheLogHasIt) {
  testing::ScopedFakeRegionalSettings regional;
  regional.regional.settings.timeSeparator = "h";
  TDeviceStatus status;
  EXPECT_EQ(status.Text(), "Connexion : —\nBatterie : —\nSans fil : —\nStation d'accueil : —");
  EXPECT_EQ(status.Record(TDeviceEvent::Battery, 2, 4294967295u, EncodeDateTime(2024, 3, 5, 9, 5, 7)),
            "Micro (2) : état de la batterie 4294967295");
  EXPECT_EQ(status.Record(TDeviceEvent::Connected, -7, 0, EncodeDateTime(2024, 3, 5, 14, 0, 0)), "Micro connecté (-7)");
  EXPECT_EQ(status.Text(),
            "Connexion : connecté (-7) à 14h00h00\nBatterie : 4294967295 à 09h05h07\nSans fil : —\n"
            "Station d'accueil : —");
}

}  // namespace
}  // namespace orvane
