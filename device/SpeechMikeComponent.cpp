#include "device/SpeechMikeComponent.h"

namespace orvane {

std::string ComponentErrorMessage(const std::string& description) {
  size_t end = description.size();
  while (end > 0) {
    const unsigned char c = static_cast<unsigned char>(description[end - 1]);
    if (c != '.' && c > ' ') break;
    --end;
  }
  return description.substr(0, end);
}

std::string SpmDisplayStateName(uint32_t state) {
  if (state < 1 || state > kSpmDisplayStateNames.size()) return {};
  return kSpmDisplayStateNames[state - 1];
}

}  // namespace orvane
