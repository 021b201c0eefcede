#include "app/DeviceStatus.h"

#include "common/DateTimeFormat.h"

namespace orvane {

namespace {

constexpr const char* kLabels[] = {"Connexion", "Batterie", "Sans fil", "Station d'accueil"};

}  // namespace

std::string TDeviceStatus::Record(TDeviceEvent event, int32_t device, uint32_t value, TDateTime at) {
  const std::string number = "(" + std::to_string(device) + ")";
  const std::string when = " à " + FormatDateTime("hh:nn:ss", at);
  const std::string shown = std::to_string(value);
  switch (event) {
    case TDeviceEvent::Connected:
      values_[kConnection] = "connecté " + number + when;
      return "Micro connecté " + number;
    case TDeviceEvent::Disconnected:
      // The battery, link and dock of a device that has gone are no longer known.
      values_ = {};
      values_[kConnection] = "déconnecté " + number + when;
      return "Micro déconnecté " + number;
    case TDeviceEvent::Battery:
      values_[kBattery] = shown + when;
      return "Micro " + number + " : état de la batterie " + shown;
    case TDeviceEvent::Wireless:
      values_[kWireless] = shown + when;
      return "Micro " + number + " : état de la liaison sans fil " + shown;
    case TDeviceEvent::Dock:
      values_[kDock] = shown + when;
      return "Micro " + number + " : état de la station d'accueil " + shown;
  }
  return {};
}

std::string TDeviceStatus::Joined(const char* separator, const char* unknown) const {
  std::string text;
  for (size_t i = 0; i < values_.size(); ++i)
    text += (i ? separator : "") + std::string(kLabels[i]) + " : " + (values_[i].empty() ? unknown : values_[i]);
  return text;
}

std::string TDeviceStatus::Text() const { return Joined("\n", "—"); }

std::string TDeviceStatus::Description() const { return "État du micro : " + Joined(" ; ", "aucun événement"); }

}  // namespace orvane
