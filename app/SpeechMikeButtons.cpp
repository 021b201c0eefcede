#include "app/SpeechMikeButtons.h"

namespace orvane {

const std::array<TSpeechMikeButton, kSpeechMikeButtonCount> kSpeechMikeButtons = {{
    {"Stop", 2, 3, "spmStopPressed", "spmStopReleased"},
    {"Play", 4, 5, "spmPlayPressed", "spmPlayReleased"},
    {"Record", 6, 7, "spmRecordPressed", "spmRecordReleased"},
    {"Insert", 8, 9, "spmInsertPressed", "spmInsertReleased"},
    {"EOL", 10, 11, "spmEOLPressed", "spmEOLReleased"},
    {"Rewind", 12, 13, "spmFastRewindPressed", "spmFastRewindReleased"},
    {"Forward", 14, 15, "spmFastForwardPressed", "spmFastForwardReleased"},
    {"Priority", 16, 17, "spmPriorityPressed", "spmPriorityReleased"},
    {"Command", 18, 19, "spmCommandPressed", "spmCommandReleased"},
    {"Play/Stop", 20, 21, "spmPlayStopTogglePressed", "spmPlayStopToggleReleased"},
    {"Trigger", 22, 23, "spmTriggerPressed", "spmTriggerReleased"},
    {"Menu up", 34, 35, "spmMenuUpPressed", "spmMenuUpReleased"},
    {"Menu down", 36, 37, "spmMenuDownPressed", "spmMenuDownReleased"},
    {"Menu", 38, 39, "spmMenuPressed", "spmMenuReleased"},
    {"Instruction", 42, 43, "spmInstructionPressed", "spmInstructionReleased"},
    {"F1", 44, 45, "spmFunction1Pressed", "spmFunction1Released"},
    {"F2", 46, 47, "spmFunction2Pressed", "spmFunction2Released"},
    {"F3", 48, 49, "spmFunction3Pressed", "spmFunction3Released"},
    {"F4", 50, 51, "spmFunction4Pressed", "spmFunction4Released"},
    {"Smart 1", 52, 53, "spmSmart1Pressed", "spmSmart1Released"},
    {"Smart 2", 54, 55, "spmSmart2Pressed", "spmSmart2Released"},
    {"Programmable 1", 56, 57, "spmProgrammable1Pressed", "spmProgrammable1Released"},
    // The component sends 59 for Smart 3's release but names it nothing.
    {"Smart 3", 58, 59, "spmSmart3Pressed", nullptr},
}};

std::optional<TButtonCode> ButtonOfCode(uint32_t code) {
  for (size_t i = 0; i < kSpeechMikeButtons.size(); ++i) {
    if (code == kSpeechMikeButtons[i].press) return TButtonCode{i, true};
    if (code == kSpeechMikeButtons[i].release) return TButtonCode{i, false};
  }
  return std::nullopt;
}

std::string SpmEventName(uint32_t code) {
  // The two codes of no button.
  if (code == 0) return "spmNoEvent";
  if (code == 1) return "spmCmdError";
  if (const auto owner = ButtonOfCode(code)) {
    const TSpeechMikeButton& button = kSpeechMikeButtons[owner->button];
    if (const char* name = owner->press ? button.pressName : button.releaseName) return name;
  }
  return "Action inconnue";
}

}  // namespace orvane
