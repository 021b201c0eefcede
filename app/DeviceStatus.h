#pragma once
// What the tester window knows of the device beyond its buttons: the last connection, battery,
// wireless and dock events of the component, each with the clock time at which it arrived, as
// the log stamps its lines. The values are shown as numbers: their meanings are the component's.

#include <array>
#include <cstdint>
#include <string>

#include "common/DateTime.h"

namespace orvane {

enum class TDeviceEvent { Connected, Disconnected, Battery, Wireless, Dock };

class TDeviceStatus {
 public:
  // Records an event handled at At and returns its log line ("Micro connecté (1)" …). Value is
  // unused by the connection events; a disconnection forgets what the device told before.
  std::string Record(TDeviceEvent event, int32_t device, uint32_t value, TDateTime at);
  // One labelled line each for the connection, the battery, the wireless link and the dock,
  // separated by line feeds: "Batterie : 3 à 14:05:00", "Sans fil : —" before its first event.
  std::string Text() const;
  // The same lines in one sentence, for screen readers.
  std::string Description() const;

 private:
  enum TLine { kConnection, kBattery, kWireless, kDock, kLineCount };
  std::string Joined(const char* separator, const char* unknown) const;
  // What each line shows after its label; empty while unknown.
  std::array<std::string, kLineCount> values_;
};

}  // namespace orvane
