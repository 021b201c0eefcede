#pragma once
// The vocabulary of the SpeechMike's buttons: for each button, the caption that the simulated
// device and the button check give it, the press and release codes it sends and the names under
// which the tester lists them.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace orvane {

struct TSpeechMikeButton {
  const char* caption;
  uint32_t press;
  uint32_t release;  // always press + 1
  const char* pressName;
  const char* releaseName;  // none for Smart 3's release
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

// The name of a button event code ("spmStopPressed" …), "Action inconnue" for a code without one.
std::string SpmEventName(uint32_t code);

}  // namespace orvane
