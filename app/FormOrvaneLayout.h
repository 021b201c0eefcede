#pragma once
// The tester window's design, once for both views: the caption and place of every control (client
// coordinates at 96 DPI), the sides of the window each one follows, and where the radio groups,
// the button check and the device status put what they hold. The Win32 view lays it out at the
// screen's DPI, the Qt view as it stands.

#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <string>

#include "app/SpeechMikeButtons.h"
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

// The window's controls in tab order; the button check and the device status take no focus, the
// sound group takes it on its buttons, after "ShowMessage de GetTickCount".
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
  kSoundGroup,
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

// A line of the window's font at 96 DPI (8 points of MS Sans Serif): what the design's insides
// of the groups are laid out for.
inline constexpr int kDesignTextHeight = 13;

// The insides of the groups, relative to the group, for the height of a line of its font.
// A group box with its caption on its frame, as Win32 draws it: below the caption, within the
// frame.
TControlRect GroupContents(int width, int height, int textHeight);
// The same for a radio group of the design, whose items run on to the frame's right side.
TControlRect RadioGroupContents(const TControlLayout& group, int textHeight);
// A group box whose toolkit starts its contents ContentsTop below its top, as Qt does with its
// title above the frame: raised until its contents start where the design's do.
TControlRect GroupBoxWithContentsAt(const TControlRect& design, int contentsTop);
// A radio group's item in the group's Contents: the first column top to bottom, then the next
// one.
TControlRect RadioGroupItemRect(const TControlLayout& group, int index, const TControlRect& contents);
// The button check's cells in its Contents, in reading order, in rows of kButtonCheckColumns
// sharing the height that the progress line under them leaves; a cell whose caption (CaptionWidths,
// in the same pixels) is wider than a column takes as many as it needs.
inline constexpr int kButtonCheckColumns = 5;
std::array<TControlRect, kSpeechMikeButtonCount> ButtonCheckCellRects(const TControlRect& contents, int textHeight,
                                                                      std::span<const int> captionWidths);
TControlRect ButtonCheckProgressRect(const TControlRect& contents, int textHeight);

// What "Son du micro" holds, its two buttons last in tab order.
enum TSoundPart : size_t {
  kSoundDevice,      // the capture device's name
  kSoundDefault,     // whether programs record from it by default
  kSoundActivity,    // the recording, the replay, a measure not running
  kSoundBar,         // the level bar with its peak hold mark
  kSoundLevel,       // the peak hold in dBFS
  kSoundSaturation,  // "saturation : oui/non"
  kSoundSilence,     // "silence : oui/non"
  kSoundFault,       // what stopped the measure, in place of the four parts above it
  kSoundRecord,      // "Enregistrer 5 s"
  kSoundReplay,      // "Réécouter"
  kSoundPartCount
};
// The border of saturation or silence while it holds, at 96 DPI.
inline constexpr int kSoundAlertBorder = 2;
inline constexpr const char* kSoundRecordCaption = "Enregistrer 5 s";
inline constexpr const char* kSoundReplayCaption = "Réécouter";
// The sound group's parts in its Contents: the buttons one above the other on the right, as wide
// as their captions need; on their left four lines of the font: the device; the default flag
// and the activity; the bar and its figure; saturation and silence, inside their borders. A
// fault takes the last two lines. TextWidth gives a text's width in the font, in the same
// pixels; the cells are sized for the widest text each may show.
std::array<TControlRect, kSoundPartCount> SoundGroupRects(const TControlRect& contents, int textHeight,
                                                          const std::function<int(const std::string&)>& textWidth);

}  // namespace orvane
