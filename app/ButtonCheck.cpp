#include "app/ButtonCheck.h"

namespace orvane {

uint32_t ButtonStateColour(TButtonState state) {
  switch (state) {
    case TButtonState::Held: return 0xFFE08A;
    case TButtonState::Verified: return 0xA8E6A1;
    case TButtonState::Suspect: return 0xF4A6A6;
    case TButtonState::NotSeen: break;
  }
  return 0xFFFFFF;
}

void TButtonCheck::Event(uint32_t code, uint32_t tick) {
  const auto button = ButtonOfCode(code);
  if (!button) return;
  Cell& cell = cells_[button->button];
  if (button->press) {
    cell.down = true;
    cell.pressedAt = tick;
    cell.state = TButtonState::Held;
    return;
  }
  if (!cell.down) {
    cell.state = TButtonState::Suspect;
    return;
  }
  cell.down = false;
  // Unsigned arithmetic: a hold across the tick counter's wrap still measures right.
  const uint32_t hold = tick - cell.pressedAt;
  if (hold > kLongestHold) {
    cell.state = TButtonState::Suspect;
  } else {
    cell.state = TButtonState::Verified;
    cell.lastHold = hold;
  }
}

bool TButtonCheck::CheckHeld(uint32_t tick) {
  bool changed = false;
  for (Cell& cell : cells_) {
    if (cell.down && cell.state == TButtonState::Held && tick - cell.pressedAt > kLongestHold) {
      cell.state = TButtonState::Suspect;
      changed = true;
    }
  }
  return changed;
}

void TButtonCheck::Clear() { cells_.fill(Cell{}); }

std::string TButtonCheck::CellText(size_t button) const {
  const Cell& cell = cells_.at(button);
  std::string text = std::string(kSpeechMikeButtons[button].caption) + "\n";
  switch (cell.state) {
    case TButtonState::NotSeen: break;
    case TButtonState::Held: text += "enfoncé"; break;
    case TButtonState::Verified: text += std::to_string(cell.lastHold) + " ms"; break;
    case TButtonState::Suspect: text += "suspect"; break;
  }
  return text;
}

size_t TButtonCheck::VerifiedCount() const {
  size_t count = 0;
  for (const Cell& cell : cells_) count += cell.state == TButtonState::Verified ? 1 : 0;
  return count;
}

std::string TButtonCheck::Progress() const {
  return std::to_string(VerifiedCount()) + " / " + std::to_string(kSpeechMikeButtonCount) + " boutons vérifiés";
}

std::string TButtonCheck::Summary() const {
  std::string summary = "Vérification des boutons : " + std::to_string(VerifiedCount()) + "/" +
                        std::to_string(kSpeechMikeButtonCount) + " vérifiés";
  std::string suspects;
  for (size_t i = 0; i < cells_.size(); ++i) {
    if (cells_[i].state != TButtonState::Suspect) continue;
    suspects += (suspects.empty() ? "" : ", ") + std::string(kSpeechMikeButtons[i].caption);
  }
  if (!suspects.empty()) summary += " ; suspects : " + suspects;
  return summary;
}

}  // namespace orvane
