#include "app/SpeechMikeButtons.h"

namespace orvane {

const std::array<TSpeechMikeButton, kSpeechMikeButtonCount> kSpeechMikeButtons = {{
    {"Stop", 2, 3},          {"Play", 4, 5},           {"Record", 6, 7},           {"Insert", 8, 9},
    {"EOL", 10, 11},         {"Rewind", 12, 13},       {"Forward", 14, 15},        {"Priority", 16, 17},
    {"Command", 18, 19},     {"Play/Stop", 20, 21},    {"Trigger", 22, 23},        {"Menu up", 34, 35},
    {"Menu down", 36, 37},   {"Menu", 38, 39},         {"Instruction", 42, 43},    {"F1", 44, 45},
    {"F2", 46, 47},          {"F3", 48, 49},           {"F4", 50, 51},             {"Smart 1", 52, 53},
    {"Smart 2", 54, 55},     {"Programmable 1", 56, 57}, {"Smart 3", 58, 59},
}};

std::optional<TButtonCode> ButtonOfCode(uint32_t code) {
  for (size_t i = 0; i < kSpeechMikeButtons.size(); ++i) {
    if (code == kSpeechMikeButtons[i].press) return TButtonCode{i, true};
    if (code == kSpeechMikeButtons[i].release) return TButtonCode{i, false};
  }
  return std::nullopt;
}

}  // namespace orvane
