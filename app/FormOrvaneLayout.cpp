#include "app/FormOrvaneLayout.h"

#include <algorithm>

#include "app/SpeechMikeButtons.h"

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
     .rect = {648, 439, 321, 185},
     .anchors = kAnchorRight | kAnchorBottom,
     .tabStop = false},
    {.caption = "État du micro", .rect = {792, 11, 177, 110}, .anchors = kAnchorRight | kAnchorTop, .tabStop = false},
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

TControlRect RadioGroupItemRect(const TControlLayout& group, int index, int textHeight) {
  const int count = static_cast<int>(group.items.size());
  const int columns = std::max(1, group.columns);
  const int rows = std::max(1, (count + columns - 1) / columns);
  const int columnWidth = (group.rect.width - 10) / columns;
  const int free = std::max(0, group.rect.height - textHeight - 5);
  const int rowHeight = free / rows;
  // What the rows leave over is shared above and below them.
  const int top = textHeight + 1 + (free % rows) / 2;
  return TControlRect{8 + (index / rows) * columnWidth, top + (index % rows) * rowHeight, columnWidth, rowHeight};
}

TControlRect ButtonCheckCellRect(size_t button, int groupWidth, int groupHeight, int textHeight) {
  constexpr int kColumns = 4;
  constexpr int kRows = (static_cast<int>(kSpeechMikeButtonCount) + kColumns - 1) / kColumns;
  const int top = textHeight + 2;
  const int bottom = ButtonCheckProgressRect(groupWidth, groupHeight, textHeight).top - 1;
  const int width = (groupWidth - 16) / kColumns;
  const int height = std::max(0, bottom - top) / kRows;
  const int index = static_cast<int>(button);
  // A pixel between neighbours keeps the cells apart.
  return TControlRect{8 + (index % kColumns) * width, top + (index / kColumns) * height, width - 1, height - 1};
}

TControlRect ButtonCheckProgressRect(int groupWidth, int groupHeight, int textHeight) {
  return TControlRect{8, groupHeight - textHeight - 4, groupWidth - 16, textHeight};
}

TControlRect DeviceStatusTextRect(int groupWidth, int groupHeight, int textHeight) {
  const int top = textHeight + 4;
  return TControlRect{8, top, groupWidth - 16, std::max(0, groupHeight - top - 6)};
}

}  // namespace orvane
