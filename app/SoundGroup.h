#pragma once
// The tester's group "Son du micro": the sound meter while the device is activated, and what each
// part of the group shows of it. Both views draw the group from here alone.

#include <cstdint>
#include <optional>
#include <string>

#include "app/FormOrvaneLayout.h"
#include "audio/SoundMeter.h"

namespace orvane {

class TSoundGroup {
 public:
  // At the device's activation: the meter chooses its devices again and measures.
  void Start();
  // At its deactivation: the meter stops; true when it was running, the summary then due.
  bool Stop();
  // The window's refresh; true when what the group shows changed.
  bool Poll() { return meter_.Poll(); }
  void RecordClick() { meter_.RecordClick(); }
  void ReplayClick() { meter_.ReplayClick(); }
  // A recording or a replay holds both buttons.
  bool Busy() const;
  const TSoundMeter& Meter() const { return meter_; }

  // What a part shows: a text, a button's caption, the bar's figures in words for screen readers.
  std::string Text(TSoundPart part) const;
  // Whether it stands: a fault takes the place of the level's parts, which then tell nothing.
  bool Shown(TSoundPart part) const;
  // A button's state; the other parts are always enabled.
  bool Enabled(TSoundPart part) const;
  // The bar: where the last window's peak ends and where the hold mark stands, 0 to 1.
  double LevelFraction() const { return meter_.LevelFraction(); }
  double HoldFraction() const { return meter_.PeakHoldFraction(); }
  // A part's colour as 0xRRGGBB: the bar's fill, the background of saturation or silence while it
  // holds; none where the window's own shows through.
  std::optional<uint32_t> Colour(TSoundPart part) const;
  // The width of a part's border at 96 DPI: an alert's is heavy, which tells it apart where the
  // system's colours replace the group's (high contrast), as its words do.
  int Border(TSoundPart part) const;

 private:
  bool Alert(TSoundPart part) const;

  TSoundMeter meter_;
  // Activated once at least; activated now.
  bool started_ = false;
  bool running_ = false;
};

}  // namespace orvane
