#include "app/ButtonCheck.h"

namespace orvane {

namespace {

// A suspect's reason: in the cell's few pixels, and in words for the log and for screen readers.
struct TReasonText {
  const char* cell;
  const char* words;
};

TReasonText ReasonText(TSuspectReason reason) {
  if (reason == TSuspectReason::Stuck) return {"bloqué", "toujours enfoncé après 30 s"};
  return {"sans appui", "relâché sans appui"};
}

// "120 ms" below a second, "6,5 s" from there on.
std::string HoldText(uint32_t hold) {
  if (hold < 1000) return std::to_string(hold) + " ms";
  const uint32_t tenths = (hold + 50) / 100;
  return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10) + " s";
}

}  // namespace

uint32_t ButtonStateColour(TButtonState state) {
  switch (state) {
    case TButtonState::Held: return 0xFFE08A;
    case TButtonState::Verified: return 0xA8E6A1;
    case TButtonState::Suspect: return 0xF4A6A6;
    case TButtonState::NotSeen: break;
  }
  return 0xFFFFFF;
}

int ButtonStateBorder(TButtonState state) {
  // Heavy for what asks for the technician's eye: a key down now, a key found wanting.
  return state == TButtonState::Held || state == TButtonState::Suspect ? 2 : 1;
}

void TButtonCheck::MarkSuspect(Cell& cell, TSuspectReason reason) {
  // The first reason stands: a key that failed once is not mended by a later good press.
  if (cell.verdict == TButtonState::Suspect) return;
  cell.verdict = TButtonState::Suspect;
  cell.reason = reason;
}

void TButtonCheck::Event(uint32_t code, uint32_t tick) {
  const auto button = ButtonOfCode(code);
  if (!button || !connected_) return;
  Cell& cell = cells_[button->button];
  if (button->press) {
    cell.down = true;
    cell.pressedAt = tick;
    cell.releaseCounts = true;
    return;
  }
  if (!cell.down) {
    if (cell.releaseCounts) MarkSuspect(cell, TSuspectReason::ReleasedWithoutPress);
    cell.releaseCounts = true;
    return;
  }
  cell.down = false;
  // Unsigned arithmetic: a hold across the tick counter's wrap still measures right.
  const uint32_t hold = tick - cell.pressedAt;
  // Judged alike whether or not the timer looked at the key while it was down.
  if (hold > kStuckAfter) {
    MarkSuspect(cell, TSuspectReason::Stuck);
  } else if (cell.verdict != TButtonState::Suspect) {
    cell.verdict = TButtonState::Verified;
    cell.hold = hold;
  }
}

bool TButtonCheck::CheckHeld(uint32_t tick) {
  bool changed = false;
  for (Cell& cell : cells_) {
    if (!cell.down || tick - cell.pressedAt <= kStuckAfter) continue;
    MarkSuspect(cell, TSuspectReason::Stuck);
    cell.down = false;
    cell.releaseCounts = false;
    changed = true;
  }
  return changed;
}

void TButtonCheck::DeviceDisconnected() {
  connected_ = false;
  for (Cell& cell : cells_) {
    if (!cell.down) continue;
    cell.down = false;
    cell.releaseCounts = false;
  }
}

void TButtonCheck::DeviceConnected() { connected_ = true; }

void TButtonCheck::Clear() {
  for (Cell& cell : cells_) cell = Cell{.down = cell.down, .pressedAt = cell.pressedAt, .releaseCounts = cell.releaseCounts};
}

TButtonState TButtonCheck::State(size_t button) const {
  const Cell& cell = cells_.at(button);
  return cell.down ? TButtonState::Held : cell.verdict;
}

std::string TButtonCheck::CellText(size_t button) const {
  const Cell& cell = cells_.at(button);
  std::string text = std::string(kSpeechMikeButtons[button].caption) + "\n";
  switch (State(button)) {
    case TButtonState::NotSeen: break;
    case TButtonState::Held: text += "enfoncé"; break;
    case TButtonState::Verified: text += HoldText(cell.hold); break;
    case TButtonState::Suspect: text += ReasonText(cell.reason).cell; break;
  }
  return text;
}

std::string TButtonCheck::CellDescription(size_t button) const {
  const Cell& cell = cells_.at(button);
  std::string text = std::string(kSpeechMikeButtons[button].caption) + " : ";
  switch (State(button)) {
    case TButtonState::NotSeen: return text + "non testé";
    case TButtonState::Held: return text + "enfoncé";
    case TButtonState::Verified: return text + "vérifié, " + HoldText(cell.hold);
    case TButtonState::Suspect: break;
  }
  return text + "suspect, " + ReasonText(cell.reason).words;
}

size_t TButtonCheck::VerifiedCount() const {
  size_t count = 0;
  for (const Cell& cell : cells_) count += cell.verdict == TButtonState::Verified ? 1 : 0;
  return count;
}

bool TButtonCheck::HasVerdict() const {
  for (const Cell& cell : cells_)
    if (cell.verdict != TButtonState::NotSeen) return true;
  return false;
}

std::string TButtonCheck::Progress() const {
  return std::to_string(VerifiedCount()) + " / " + std::to_string(kSpeechMikeButtonCount) + " boutons vérifiés";
}

std::string TButtonCheck::Summary(bool interrupted) const {
  std::string summary = std::string("Vérification des boutons") + (interrupted ? " (interrompue)" : "") + " : " +
                        std::to_string(VerifiedCount()) + "/" + std::to_string(kSpeechMikeButtonCount) + " vérifiés";
  std::string suspects, untested;
  for (size_t i = 0; i < cells_.size(); ++i) {
    const std::string caption = kSpeechMikeButtons[i].caption;
    if (cells_[i].verdict == TButtonState::Suspect)
      suspects += (suspects.empty() ? "" : ", ") + caption + " (" + ReasonText(cells_[i].reason).words + ")";
    else if (cells_[i].verdict == TButtonState::NotSeen)
      untested += (untested.empty() ? "" : ", ") + caption;
  }
  if (!suspects.empty()) summary += " ; suspects : " + suspects;
  if (!untested.empty()) summary += " ; non testés : " + untested;
  return summary;
}

}  // namespace orvane
