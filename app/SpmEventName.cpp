#include "app/SpmEventName.h"

#include <array>

namespace orvane {

namespace {
// Dense over 0..58; the holes (24-33, 40, 41) are empty.
constexpr std::array<const char*, 59> kNames = {
    "spmNoEvent", "spmCmdError",
    "spmStopPressed", "spmStopReleased",
    "spmPlayPressed", "spmPlayReleased",
    "spmRecordPressed", "spmRecordReleased",
    "spmInsertPressed", "spmInsertReleased",
    "spmEOLPressed", "spmEOLReleased",
    "spmFastRewindPressed", "spmFastRewindReleased",
    "spmFastForwardPressed", "spmFastForwardReleased",
    "spmPriorityPressed", "spmPriorityReleased",
    "spmCommandPressed", "spmCommandReleased",
    "spmPlayStopTogglePressed", "spmPlayStopToggleReleased",
    "spmTriggerPressed", "spmTriggerReleased",
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    "spmMenuUpPressed", "spmMenuUpReleased",
    "spmMenuDownPressed", "spmMenuDownReleased",
    "spmMenuPressed", "spmMenuReleased",
    nullptr, nullptr,
    "spmInstructionPressed", "spmInstructionReleased",
    "spmFunction1Pressed", "spmFunction1Released",
    "spmFunction2Pressed", "spmFunction2Released",
    "spmFunction3Pressed", "spmFunction3Released",
    "spmFunction4Pressed", "spmFunction4Released",
    "spmSmart1Pressed", "spmSmart1Released",
    "spmSmart2Pressed", "spmSmart2Released",
    "spmProgrammable1Pressed", "spmProgrammable1Released",
    "spmSmart3Pressed",
};
}  // namespace

std::string SpmEventName(uint32_t code) {
  if (code < kNames.size() && kNames[code] != nullptr) return kNames[code];
  return "Action inconnue";
}

}  // namespace orvane
