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
  Held,      // down now
  Verified,  // pressed, then released
  Suspect,   // a worn or stuck key, for the rest of the check
};

enum class TSuspectReason { ReleasedWithoutPress, Stuck };

// The background of a cell in each state, as 0xRRGGBB: pale colours under black text, so that
// every state stays readable; the cell's text names the state as well.
uint32_t ButtonStateColour(TButtonState state);
// The width of a cell's border in each state, at 96 DPI: what tells the states apart where the
// system's colours replace the cells' own (high contrast).
int ButtonStateBorder(TButtonState state);

class TButtonCheck {
 public:
  // A button still down after this long (milliseconds) is stuck.
  static constexpr uint32_t kStuckAfter = 30000;

  // A button event handled at Tick. Codes of no button change nothing, nor does anything the
  // device sends between its disconnection and its return.
  void Event(uint32_t code, uint32_t tick);
  // Marks the buttons down longer than kStuckAfter at Tick as stuck; true when a cell changed.
  bool CheckHeld(uint32_t tick);
  // The device left (unplugged, or closed by the tester): the buttons it held come up without a
  // verdict, and their late releases will count for nothing.
  void DeviceDisconnected();
  void DeviceConnected();
  // Forgets every verdict. A button down now stays down: its release is measured from its press.
  void Clear();

  TButtonState State(size_t button) const;
  // The last hold time of a verified button, in milliseconds.
  uint32_t LastHoldForTesting(size_t button) const { return cells_.at(button).hold; }
  // What a cell shows: the button's caption, a line feed, then its state in a word or two
  // ("enfoncé", "120 ms", "6,5 s", "sans appui", "bloqué"; nothing while not seen).
  std::string CellText(size_t button) const;
  // The same in words, for those who cannot see the cell: "Stop : vérifié, 120 ms".
  std::string CellDescription(size_t button) const;
  size_t VerifiedCount() const;
  bool HasVerdict() const;
  // "N / 23 boutons vérifiés".
  std::string Progress() const;
  // The log line of the check: "Vérification des boutons : N/23 vérifiés", then the suspect
  // buttons with their reasons and the buttons without a verdict, if any; "(interrompue)" after
  // "boutons" for a check cleared before its end.
  std::string Summary(bool interrupted = false) const;

 private:
  struct Cell {
    // The verdict: NotSeen, Verified or Suspect.
    TButtonState verdict = TButtonState::NotSeen;
    TSuspectReason reason = TSuspectReason::ReleasedWithoutPress;
    uint32_t hold = 0;
    bool down = false;
    uint32_t pressedAt = 0;
    // Its next release ends a hold that was already judged, or lost with the device.
    bool releaseCounts = true;
  };
  static void MarkSuspect(Cell& cell, TSuspectReason reason);
  std::array<Cell, kSpeechMikeButtonCount> cells_{};
  bool connected_ = true;
};

}  // namespace orvane
