#pragma once
// What the tester window knows of the device beyond its buttons: the last connection, battery,
// wireless and dock events of the component, each with the tick count at which it arrived. The
// values are shown as numbers: their meanings are the component's.

#include <cstdint>
#include <optional>
#include <string>

namespace orvane {

enum class TDeviceEvent { Connected, Disconnected, Battery, Wireless, Dock };

class TDeviceStatus {
 public:
  // Records an event handled at Tick (Value is unused by the connection events) and returns its
  // log line ("Micro connecté (1)" …).
  std::string Record(TDeviceEvent event, int32_t device, uint32_t value, uint32_t tick);
  // One line each for the connection, the battery, the wireless link and the dock, separated by
  // line feeds; "Aucun événement du micro" before the first event.
  std::string Text() const;

 private:
  struct Stamped {
    uint32_t value;
    uint32_t tick;
  };
  struct Connection {
    bool connected;
    int32_t device;
    uint32_t tick;
  };
  std::optional<Connection> connection_;
  std::optional<Stamped> battery_;
  std::optional<Stamped> wireless_;
  std::optional<Stamped> dock_;
};

}  // namespace orvane
