#pragma once
// The tester window's design, once for both views: the caption and place of every control (client
// coordinates at 96 DPI), the sides of the window each one follows, and where the radio groups,
// the button check and the device status put what they hold. The Win32 view lays it out at the
// screen's DPI, the Qt view as it stands.

#include <array>
#include <cstddef>
#include <span>

#include "device/SpeechMikeComponent.h"
#include "ui/ScreenScale.h"

namespace orvane {

inline constexpr const char* kFormOrvaneCaption = "Orvane - Pilotes de Philips";
// The window's outer size, and the client size that it leaves inside a standard frame.
inline constexpr int kFormOrvaneOuterWidth = 1000;
inline constexpr int kFormOrvaneOuterHeight = 677;
inline constexpr int kFormOrvaneClientWidth = 984;
inline constexpr int kFormOrvaneClientHeight = 638;

// The items of "Philips SpeechMike - Lumières": the thirteen display states by name in code
// order, then "OFF".
inline constexpr int kLumiereItemCount = 14;
inline constexpr int kLumiereOff = 13;
static_assert(kSpmDisplayStateNames.size() == kLumiereOff);
inline constexpr std::array<const char*, kLumiereItemCount> kLumiereCaptions = [] {
  std::array<const char*, kLumiereItemCount> captions{};
  for (size_t i = 0; i < kSpmDisplayStateNames.size(); ++i) captions[i] = kSpmDisplayStateNames[i];
  captions[kLumiereOff] = "OFF";
  return captions;
}();

// The items of "Affichage ".
inline constexpr int kDisplayItemCount = 2;
inline constexpr int kDisplayCommandes = 0;
inline constexpr int kDisplayTicks = 1;
inline constexpr std::array<const char*, kDisplayItemCount> kDisplayCaptions = {"Commandes", "Time (Ticks)"};

// The sides of the window that a control follows as the window grows: tied to both sides of a
// direction it stretches, to the far one only it moves.
enum TAnchor : unsigned { kAnchorLeft = 1, kAnchorTop = 2, kAnchorRight = 4, kAnchorBottom = 8 };

// Where a control placed at Rect stands once the window has grown by Dx, Dy (in the same pixels).
TControlRect Anchored(const TControlRect& rect, unsigned anchors, int dx, int dy);

// The window's controls in tab order; the button check and the device status take no focus.
enum TFormOrvaneControl : size_t {
  kButtonActiver,
  kButtonDesactiver,
  kRadioGroupLumiere,
  kButtonVideMemo,
  kRgDisplay,
  kButtonExport,
  kListBoxCmd,
  kButton1,
  kLabel1,
  kButtonCheckGroup,
  kDeviceStatusGroup,
  kFormOrvaneControlCount
};

struct TControlLayout {
  const char* caption;
  // A label's size is its text's.
  TControlRect rect;
  unsigned anchors = kAnchorLeft | kAnchorTop;
  // A radio group's items, laid out by RadioGroupItemRect in this many columns.
  std::span<const char* const> items = {};
  int columns = 0;
  // Whether Tab stops on it (on a radio group: on its selected item).
  bool tabStop = true;
};

extern const std::array<TControlLayout, kFormOrvaneControlCount> kFormOrvaneLayout;

// The insides of the groups, relative to the group, for the height of a line of its font.
// A radio group's item: below the caption, the first column top to bottom, then the next one.
TControlRect RadioGroupItemRect(const TControlLayout& group, int index, int textHeight);
// For the group's size: the button check's cell of a button, in four columns of two text lines each, and its progress
// line under the cells.
TControlRect ButtonCheckCellRect(size_t button, int groupWidth, int groupHeight, int textHeight);
TControlRect ButtonCheckProgressRect(int groupWidth, int groupHeight, int textHeight);
// The device status's lines.
TControlRect DeviceStatusTextRect(int groupWidth, int groupHeight, int textHeight);

}  // namespace orvane
