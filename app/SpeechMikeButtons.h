#pragma once
// The SpeechMike's buttons: the caption the simulated device and the button check give each one,
// and the press and release codes it sends.

#include <array>
#include <cstdint>
#include <optional>

namespace orvane {

struct TSpeechMikeButton {
  const char* caption;
  uint32_t press;
  uint32_t release;  // always press + 1
};

inline constexpr size_t kSpeechMikeButtonCount = 23;
extern const std::array<TSpeechMikeButton, kSpeechMikeButtonCount> kSpeechMikeButtons;

// The button a code belongs to, and whether the code is its press; none for the codes of no
// button (0, 1, 24 to 33, 40, 41, above 59).
struct TButtonCode {
  size_t button;
  bool press;
};
std::optional<TButtonCode> ButtonOfCode(uint32_t code);

}  // namespace orvane
