// The device status between the component's events.
#include "app/DeviceStatus.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(DeviceStatusTest, WhatHasNotArrivedYetIsShownAsUnknown) {
  TDeviceStatus status;
  EXPECT_EQ(status.Record(TDeviceEvent::Battery, 2, 0, 40), "Micro (2) : état de la batterie 0");
  EXPECT_EQ(status.Text(), "Connexion : —\nBatterie : 0 à 40 ms\nSans fil : —\nStation : —");
}

TEST(DeviceStatusTest, TheLastConnectionEventWinsWithItsDeviceNumber) {
  TDeviceStatus status;
  status.Record(TDeviceEvent::Disconnected, 1, 0, 10);
  EXPECT_EQ(status.Record(TDeviceEvent::Connected, -7, 0, 20), "Micro connecté (-7)");
  EXPECT_EQ(status.Text().substr(0, status.Text().find('\n')), "Connecté (-7) à 20 ms");
}

}  // namespace
}  // namespace orvane
