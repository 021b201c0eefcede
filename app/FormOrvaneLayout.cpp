#include "app/FormOrvaneLayout.h"

#include <algorithm>
#include <initializer_list>

#include "app/ButtonCheck.h"
#include "audio/SoundCheck.h"

namespace orvane {

// In the order of TFormOrvaneControl.
const std::array<TControlLayout, kFormOrvaneControlCount> kFormOrvaneLayout = {{
    {.caption = "Activer", .rect = {16, 16, 153, 25}},
    {.caption = "Désactiver", .rect = {16, 48, 153, 25}},
    {.caption = "Philips SpeechMike - Lumières",
     .rect = {16, 439, 617, 185},
     .anchors = kAnchorLeft | kAnchorBottom,
     .items = kLumiereCaptions,
     .columns = 2},
    {.caption = "Vider la liste des commandes", .rect = {16, 80, 153, 25}},
    {.caption = "Affichage ", .rect = {248, 11, 185, 31}, .items = kDisplayCaptions, .columns = 2},
    {.caption = "Exporter les logs", .rect = {248, 48, 185, 25}},
    // The list of events.
    {.caption = "", .rect = {16, 152, 953, 273}, .anchors = kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom},
    {.caption = "ShowMessage de GetTickCount", .rect = {536, 40, 241, 25}},
    {.caption = "Les commandes :", .rect = {16, 128, 0, 0}, .tabStop = false},
    // The button check and the device status stand in the corners that the others leave free.
    {.caption = "Vérification des boutons",
     .rect = {641, 439, 328, 185},
     .anchors = kAnchorRight | kAnchorBottom,
     .tabStop = false},
    {.caption = "État du micro", .rect = {792, 11, 177, 134}, .anchors = kAnchorRight | kAnchorTop, .tabStop = false},
    // Between "Exporter les logs", "ShowMessage de GetTickCount", the device status and the list,
    // following the device status; Tab stops on its buttons.
    {.caption = "Son du micro", .rect = {440, 70, 337, 78}, .anchors = kAnchorRight | kAnchorTop, .tabStop = false},
}};

TControlRect Anchored(const TControlRect& rect, unsigned anchors, int dx, int dy) {
  TControlRect r = rect;
  const auto follow = [](int& start, int& length, bool nearSide, bool farSide, int growth) {
    if (nearSide && farSide)
      length = std::max(0, length + growth);
    else if (farSide)
      start += growth;
  };
  follow(r.left, r.width, anchors & kAnchorLeft, anchors & kAnchorRight, dx);
  follow(r.top, r.height, anchors & kAnchorTop, anchors & kAnchorBottom, dy);
  return r;
}

TControlRect GroupContents(int width, int height, int textHeight) {
  return TControlRect{6, textHeight + 1, std::max(0, width - 12), std::max(0, height - textHeight - 3)};
}

TControlRect RadioGroupContents(const TControlLayout& group, int textHeight) {
  return TControlRect{8, textHeight + 1, group.rect.width - 10, std::max(0, group.rect.height - textHeight - 5)};
}

TControlRect GroupBoxWithContentsAt(const TControlRect& design, int contentsTop) {
  const int raise = std::max(0, contentsTop - GroupContents(design.width, design.height, kDesignTextHeight).top);
  return TControlRect{design.left, design.top - raise, design.width, design.height + raise};
}

TControlRect RadioGroupItemRect(const TControlLayout& group, int index, const TControlRect& contents) {
  const int count = static_cast<int>(group.items.size());
  const int columns = std::max(1, group.columns);
  const int rows = std::max(1, (count + columns - 1) / columns);
  const int columnWidth = contents.width / columns;
  const int rowHeight = contents.height / rows;
  // What the rows leave over is shared above and below them.
  const int top = contents.top + (contents.height % rows) / 2;
  return TControlRect{contents.left + (index / rows) * columnWidth, top + (index % rows) * rowHeight, columnWidth,
                      rowHeight};
}

std::array<TControlRect, kSpeechMikeButtonCount> ButtonCheckCellRects(const TControlRect& contents, int textHeight,
                                                                      std::span<const int> captionWidths) {
  // A pixel between neighbours keeps the cells apart; a caption must clear the widest border.
  const int pitch = (contents.width + 1) / kButtonCheckColumns;
  int border = 0;
  for (TButtonState state : {TButtonState::NotSeen, TButtonState::Held, TButtonState::Verified, TButtonState::Suspect})
    border = std::max(border, ButtonStateBorder(state));
  struct Slot {
    int row, column, span;
  };
  std::array<Slot, kSpeechMikeButtonCount> slots{};
  int row = 0, column = 0;
  for (size_t i = 0; i < slots.size(); ++i) {
    const int needed = (i < captionWidths.size() ? captionWidths[i] : 0) + 2 * border + 1;
    const int span = std::clamp((needed + pitch - 1) / std::max(1, pitch), 1, kButtonCheckColumns);
    if (column + span > kButtonCheckColumns) {
      ++row;
      column = 0;
    }
    slots[i] = {row, column, span};
    column += span;
  }
  const int rows = row + 1;
  const int bottom = ButtonCheckProgressRect(contents, textHeight).top - 1;
  const int rowPitch = (std::max(0, bottom - contents.top) + 1) / rows;
  std::array<TControlRect, kSpeechMikeButtonCount> cells{};
  for (size_t i = 0; i < slots.size(); ++i)
    cells[i] = TControlRect{contents.left + slots[i].column * pitch, contents.top + slots[i].row * rowPitch,
                            slots[i].span * pitch - 1, rowPitch - 1};
  return cells;
}

TControlRect ButtonCheckProgressRect(const TControlRect& contents, int textHeight) {
  return TControlRect{contents.left, contents.top + contents.height - textHeight, contents.width, textHeight};
}

std::array<TControlRect, kSoundPartCount> SoundGroupRects(const TControlRect& contents, int textHeight,
                                                          const std::function<int(const std::string&)>& textWidth) {
  constexpr int kGap = 4;
  // Around a button's caption, and around the words of an alert inside its border.
  constexpr int kButtonMargin = 8;
  constexpr int kAlertMargin = kSoundAlertBorder + 1;
  const auto widest = [&](std::initializer_list<std::string> texts) {
    int width = 0;
    for (const std::string& text : texts) width = std::max(width, textWidth(text));
    return width + 1;
  };
  std::array<TControlRect, kSoundPartCount> r{};
  const TControlRect& c = contents;
  const int buttonWidth =
      std::min(c.width / 3, widest({kSoundRecordCaption, kSoundReplayCaption}) + 2 * kButtonMargin);
  const int buttonHeight = (c.height - kGap) / 2;
  const int buttonLeft = c.left + c.width - buttonWidth;
  r[kSoundRecord] = {buttonLeft, c.top, buttonWidth, buttonHeight};
  r[kSoundReplay] = {buttonLeft, c.top + c.height - buttonHeight, buttonWidth, buttonHeight};

  // Four lines from the top of the contents to their bottom, what is left shared between them.
  const int width = buttonLeft - kGap - c.left;
  const int alertHeight = textHeight + 2 * kSoundAlertBorder;
  const auto line = [&](int index) { return c.top + index * std::max(0, c.height - alertHeight) / 3; };
  // The meter's widest texts: the default flag, a figure at the floor, the saturation's words.
  const int flag = widest({"par défaut : oui", "par défaut : non"});
  const int figure = widest({DecibelText(kFloorDb) + " dBFS"});
  const int saturation = widest({"saturation : oui", "saturation : non"}) + 2 * kAlertMargin;
  r[kSoundDevice] = {c.left, line(0), width, textHeight};
  r[kSoundDefault] = {c.left, line(1), flag, textHeight};
  r[kSoundActivity] = {c.left + flag + kGap, line(1), width - flag - kGap, textHeight};
  r[kSoundLevel] = {c.left + width - figure, line(2), figure, textHeight};
  r[kSoundBar] = {c.left, line(2), width - figure - kGap, textHeight};
  r[kSoundSaturation] = {c.left, line(3), saturation, alertHeight};
  const int silence = widest({"silence : oui", "silence : non"}) + 2 * kAlertMargin;
  r[kSoundSilence] = {c.left + saturation + kGap, line(3), silence, alertHeight};
  r[kSoundFault] = {c.left, line(2), width, line(3) + alertHeight - line(2)};
  return r;
}

}  // namespace orvane
