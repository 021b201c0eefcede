#include "device/SpeechMikeComponent.h"

#include <array>

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
  static constexpr std::array<const char*, 13> kNames = {
      "Stop", "Play", "FastForward", "FastRewind", "VorStop", "RecordInsert", "RecordOverwrite",
      "RecordStandbyInsert", "RecordStandbyOverwrite", "Command", "RecordStandbyCommand",
      "Instruction", "IdentifyDevice"};
  if (state < 1 || state > kNames.size()) return {};
  return std::string("spmDisplayState") + kNames[state - 1];
}

}  // namespace orvane
