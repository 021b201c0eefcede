#include "app/DeviceStatus.h"

namespace orvane {

namespace {

std::string At(uint32_t tick) { return " à " + std::to_string(tick) + " ms"; }

}  // namespace

std::string TDeviceStatus::Record(TDeviceEvent event, int32_t device, uint32_t value, uint32_t tick) {
  const std::string number = "(" + std::to_string(device) + ")";
  switch (event) {
    case TDeviceEvent::Connected:
    case TDeviceEvent::Disconnected:
      connection_ = Connection{event == TDeviceEvent::Connected, device, tick};
      return std::string(connection_->connected ? "Micro connecté " : "Micro déconnecté ") + number;
    case TDeviceEvent::Battery:
      battery_ = Stamped{value, tick};
      return "Micro " + number + " : état de la batterie " + std::to_string(value);
    case TDeviceEvent::Wireless:
      wireless_ = Stamped{value, tick};
      return "Micro " + number + " : état de la liaison sans fil " + std::to_string(value);
    case TDeviceEvent::Dock:
      dock_ = Stamped{value, tick};
      return "Micro " + number + " : état de la station d'accueil " + std::to_string(value);
  }
  return {};
}

std::string TDeviceStatus::Text() const {
  if (!connection_ && !battery_ && !wireless_ && !dock_) return "Aucun événement du micro";
  const auto line = [](const char* what, const std::optional<Stamped>& stamped) {
    return std::string(what) + " : " + (stamped ? std::to_string(stamped->value) + At(stamped->tick) : "—");
  };
  std::string connection = "Connexion : —";
  if (connection_)
    connection = std::string(connection_->connected ? "Connecté (" : "Déconnecté (") +
                 std::to_string(connection_->device) + ")" + At(connection_->tick);
  return connection + "\n" + line("Batterie", battery_) + "\n" + line("Sans fil", wireless_) + "\n" + line("Station", dock_);
}

}  // namespace orvane
