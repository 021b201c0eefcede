#pragma once
// The button check of the tester window: one cell per button of the SpeechMike, telling whether
// the button was seen to go down and come up again. It knows no toolkit and no clock: each event
// comes with the tick count at which it was handled.

#include <array>
#include <cstdint>
#include <string>

#include "app/SpeechMikeButtons.h"

namespace orvane {

enum class TButtonState {
  NotSeen,
  Held,      // pressed, not yet released
  Verified,  // pressed, then released within kLongestHold
  Suspect,   // released without a press, or held longer than kLongestHold: a worn or stuck key
};

// The background of a cell in each state, as 0xRRGGBB: pale colours under black text, so that
// every state stays readable; the cell's text names the state as well.
uint32_t ButtonStateColour(TButtonState state);

class TButtonCheck {
 public:
  // A hold longer than this (milliseconds) marks the button as stuck.
  static constexpr uint32_t kLongestHold = 5000;

  // A button event handled at Tick. Codes of no button change nothing.
  void Event(uint32_t code, uint32_t tick);
  // Marks the buttons held longer than kLongestHold at Tick as suspect; true when a cell changed.
  bool CheckHeld(uint32_t tick);
  void Clear();

  TButtonState State(size_t button) const { return cells_.at(button).state; }
  // The last hold time of a verified button, in milliseconds.
  uint32_t LastHoldForTesting(size_t button) const { return cells_.at(button).lastHold; }
  // What a cell shows: the button's caption, a line feed, then the state ("enfoncé", "120 ms",
  // "suspect"; nothing while not seen).
  std::string CellText(size_t button) const;
  size_t VerifiedCount() const;
  // "N / 23 boutons vérifiés".
  std::string Progress() const;
  // The log line of a finished check: "Vérification des boutons : N/23 vérifiés", then the suspect
  // buttons, if any.
  std::string Summary() const;

 private:
  struct Cell {
    TButtonState state = TButtonState::NotSeen;
    bool down = false;
    uint32_t pressedAt = 0;
    uint32_t lastHold = 0;
  };
  std::array<Cell, kSpeechMikeButtonCount> cells_{};
};

}  // namespace orvane
